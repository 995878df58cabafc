#include "composition.h"

#include "session/ranksigns.h"
#include "session/sessionvariables.h"
#include "text/blanks.h"
#include "text/formatcodes.h"
#include "text/ircstyle.h"
#include "text/lineends.h"
#include "text/roomformatting.h"

#include <QTextBoundaryFinder>

using namespace ircstyle;

namespace {

const QString kPrivmsg = QStringLiteral("PRIVMSG ");
const QString kAction = ctcp + u"ACTION"_qs;

// The chosen colour; the blank keeps a leading digit of the text out of the colour number.
QString colourPrefix(const RoomFormatting &formatting)
{
    return FormatCode::Colour + formatting.colourIndex() + u' ';
}

// The own name in bold dark blue, up to the closing ">" (without it).
QString ownName(const QString &nick)
{
    return bold + colour(2) + u" < "_qs + nick;
}

// The rainbow rewrite, for the room and private windows alike: bold before underline in both
// the echo and the sent line.
Composition rainbowMessage(QStringView text, const QString &target,
                           const RoomFormatting &formatting, const QString &nick, int start)
{
    const QString styled =
        formatting.boldPrefix() + formatting.underlinePrefix() + rainbowText(text, start);
    return {ownName(nick) + u" > "_qs + bold + styled, kPrivmsg + target + u" :"_qs + styled, {}};
}

} // namespace

QStringList messageLines(QStringView input)
{
    QStringList lines;
    for (const QStringView piece : input.tokenize(u'\n')) {
        for (const QStringView part : piece.tokenize(u'\r')) {
            const QStringView line = firstLine(part);
            if (!trimmedBlanks(line).isEmpty())
                lines << line.toString();
        }
    }
    return lines;
}

Composition composeRoomMessage(QStringView input, const RoomFormatting &formatting,
                               const SessionVariables &session, int rainbowStart)
{
    const QString text = firstLine(input).toString();
    const QString trimmed = trimmedBlanks(text);
    if (trimmed.isEmpty())
        return {};
    Composition out;
    if (formatting.isRainbow()) {
        out = rainbowMessage(text, session.CurrentRoom, formatting, session.CurrentNick,
                             rainbowStart);
    } else {
        const QString styled =
            colourPrefix(formatting) + formatting.boldPrefix() + formatting.underlinePrefix();
        out.echo = ownName(session.CurrentNick) + u" > "_qs + bold + styled + text;
        out.line = kPrivmsg + session.CurrentRoom + u" :"_qs + styled + text;
    }
    // Commands for the room's robots go out plain; the echo still shows the user's styles.
    if (trimmed.startsWith(u'!'))
        out.line = kPrivmsg + session.CurrentRoom + u" :"_qs + text;
    return out;
}

Composition composeSayAction(SayAction action, QStringView selectedEntry,
                             const SessionVariables &session)
{
    if (selectedEntry.isEmpty())
        return {{}, {}, SelectUserError};
    // The member in red, the rest of the sentence back in purple.
    const QString nick = colour(4) + ranksigns::withoutSign(selectedEntry).toString() + colour(6);
    QString deed;
    switch (action) {
    case SayAction::Hi:
        deed = u" shakes "_qs + nick + u"'s hand."_qs;
        break;
    case SayAction::Kiss:
        deed = u" give some bigg kisses to "_qs + nick + u" !"_qs;
        break;
    case SayAction::Slap:
        deed = u" slaps "_qs + nick + u" around a bit with a large trout !"_qs;
        break;
    }
    return {colour(6) + u" * "_qs + session.CurrentNick + deed,
            kPrivmsg + session.CurrentRoom + u" :"_qs + kAction + deed + ctcp,
            {}};
}

Composition composeAct(QStringView text, const SessionVariables &session)
{
    const QString act = firstLine(text).toString();
    if (act.isEmpty())
        return {};
    return {colour(6) + u" * "_qs + session.CurrentNick + colour(4) + u' ' + act,
            kPrivmsg + session.CurrentRoom + u" :"_qs + kAction + u' ' + act + ctcp,
            {}};
}

Composition composePrivateMessage(QStringView input, const QString &partner,
                                  const RoomFormatting &formatting, const QString &ownNick,
                                  int rainbowStart)
{
    const QString text = firstLine(input).toString();
    if (trimmedBlanks(text).isEmpty())
        return {};
    if (formatting.isRainbow())
        return rainbowMessage(text, partner, formatting, ownNick, rainbowStart);
    // The private echo has always put underline before bold; both orders render the same.
    return {ownName(ownNick) + u" >"_qs + bold + colourPrefix(formatting) +
                formatting.underlinePrefix() + formatting.boldPrefix() + text,
            kPrivmsg + partner + u" :"_qs + colourPrefix(formatting) + formatting.boldPrefix() +
                formatting.underlinePrefix() + text,
            {}};
}

QString rainbowText(QStringView text, int start)
{
    int number = ((start % 16) + 16) % 16;
    QString out;
    out.reserve(text.size() * 4);
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, text);
    qsizetype from = 0;
    for (qsizetype to = graphemes.toNextBoundary(); to > 0; to = graphemes.toNextBoundary()) {
        const QStringView character = text.sliced(from, to - from);
        from = to;
        if (character == u",") {
            out += character;
            continue;
        }
        while (number == 8 || number == 9 || number == 11)
            ++number;
        out += paddedColour(number);
        out += character;
        if (++number == 16)
            number = 1;
    }
    return out;
}
