#include "mentiondetector.h"

#include "formatscan.h"

namespace {

char16_t folded(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'A' && u <= u'Z')
        return u + (u'a' - u'A');
    switch (u) {
    case u'[':
        return u'{';
    case u']':
        return u'}';
    case u'\\':
        return u'|';
    case u'~':
        return u'^';
    default:
        return u < 0x80 ? u : c.toCaseFolded().unicode();
    }
}

bool matchesAt(QStringView text, qsizetype at, QStringView nick)
{
    for (qsizetype i = 0; i < nick.size(); ++i) {
        if (folded(text[at + i]) != folded(nick[i]))
            return false;
    }
    return true;
}

bool hasFormattingCodes(QStringView text)
{
    for (const QChar c : text) {
        if (c.unicode() < 0x20)
            return true;
    }
    return false;
}

} // namespace

namespace mentions {

bool isNickCharacter(QChar c)
{
    switch (c.unicode()) {
    case u'[':
    case u']':
    case u'\\':
    case u'`':
    case u'_':
    case u'^':
    case u'{':
    case u'|':
    case u'}':
    case u'-':
        return true;
    default:
        return c.isLetterOrNumber();
    }
}

bool sameNick(QStringView a, QStringView b)
{
    return a.size() == b.size() && matchesAt(a, 0, b);
}

bool containsNick(QStringView plainText, QStringView nick)
{
    if (nick.isEmpty())
        return false;
    const char16_t first = folded(nick.front());
    for (qsizetype at = 0; at + nick.size() <= plainText.size(); ++at) {
        if (folded(plainText[at]) != first)
            continue;
        if (at > 0 && isNickCharacter(plainText[at - 1]))
            continue;
        const qsizetype end = at + nick.size();
        if (end < plainText.size() && isNickCharacter(plainText[end]))
            continue;
        if (matchesAt(plainText, at, nick))
            return true;
    }
    return false;
}

bool mentionsNick(QStringView text, QStringView nick)
{
    if (!hasFormattingCodes(text))
        return containsNick(text, nick);
    // One scratch line reused: a busy room with colours allocates nothing per line here.
    static FormattedLine scratch;
    scanFormatted(text, scratch);
    return containsNick(scratch.text, nick);
}

} // namespace mentions
