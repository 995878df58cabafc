#include "formatscan.h"

#include "formatcodes.h"

#include <array>

namespace {

bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool isShortNumber(QStringView s)
{
    if (s.size() > 2)
        return false;
    for (QChar c : s) {
        if (!isAsciiDigit(c))
            return false;
    }
    return true;
}

// 0 to 15: the program's own colours; 16 to 98: the extended colours of other clients.
constexpr std::array<QRgb, 99> kPalette = {
    0xffffff, 0x000000, 0x0000aa, 0x008c00, 0xff0000, 0x7f0000, 0x7f007f, 0xff7f00, 0xffbe17,
    0x00ff00, 0x009490, 0x00ffff, 0x0000ff, 0xe600ff, 0x5c5c5c, 0xb8b8b8, 0x470000, 0x472100,
    0x474700, 0x324700, 0x004700, 0x00472c, 0x004747, 0x002747, 0x000047, 0x2e0047, 0x470047,
    0x47002a, 0x740000, 0x743a00, 0x747400, 0x517400, 0x007400, 0x007449, 0x007474, 0x004074,
    0x000074, 0x4b0074, 0x740074, 0x740045, 0xb50000, 0xb56300, 0xb5b500, 0x7db500, 0x00b500,
    0x00b571, 0x00b5b5, 0x0063b5, 0x0000b5, 0x7500b5, 0xb500b5, 0xb5006b, 0xff0000, 0xff8c00,
    0xffff00, 0xb2ff00, 0x00ff00, 0x00ffa0, 0x00ffff, 0x008cff, 0x0000ff, 0xa500ff, 0xff00ff,
    0xff0098, 0xff5959, 0xffb459, 0xffff71, 0xcfff60, 0x6fff6f, 0x65ffc9, 0x6dffff, 0x59b4ff,
    0x5959ff, 0xc459ff, 0xff66ff, 0xff59bc, 0xff9c9c, 0xffd39c, 0xffff9c, 0xe2ff9c, 0x9cff9c,
    0x9cffdb, 0x9cffff, 0x9cd3ff, 0x9c9cff, 0xdc9cff, 0xff9cff, 0xff94d3, 0x000000, 0x131313,
    0x282828, 0x363636, 0x4d4d4d, 0x656565, 0x818181, 0x9f9f9f, 0xbcbcbc, 0xe2e2e2, 0xffffff,
};

constexpr QRgb kDefaultColour = qRgb(0, 0, 0);

class RunWriter
{
public:
    explicit RunWriter(FormattedLine &out) : m_out(out) { m_out.clear(); }

    FormatRun style;

    void appendChar(QChar c) { m_out.text.append(c); }

    // Closes the text collected since the last code into a run with the current style.
    void flush()
    {
        const int end = int(m_out.text.size());
        if (end == m_pendingStart)
            return;
        if (!m_out.runs.isEmpty()) {
            FormatRun &last = m_out.runs.last();
            if (last.sameStyle(style) && last.start + last.length == m_pendingStart) {
                last.length = end - last.start;
                m_pendingStart = end;
                return;
            }
        }
        FormatRun run = style;
        run.start = m_pendingStart;
        run.length = end - m_pendingStart;
        m_out.runs.append(run);
        m_pendingStart = end;
    }

private:
    FormattedLine &m_out;
    int m_pendingStart = 0;
};

} // namespace

bool IsColourSpec(QStringView s)
{
    const qsizetype comma = s.indexOf(u',');
    if (comma < 0)
        return isShortNumber(s);
    const QStringView foreground = s.left(comma);
    const QStringView background = s.mid(comma + 1);
    if (!isShortNumber(foreground) || !isShortNumber(background))
        return false;
    return !(foreground.isEmpty() && background.isEmpty());
}

QRgb PaletteColour(qint16 number)
{
    if (number < 0 || number >= qint16(kPalette.size()))
        return kDefaultColour;
    return 0xff000000 | kPalette[size_t(number)];
}

namespace {

// A bare colour code ends both colours.
void clearColours(FormatRun &style)
{
    style.colour = kDefaultColour;
    style.hasBackground = false;
    style.background = 0;
}

bool isHexDigit(QChar c)
{
    return isAsciiDigit(c) || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

// Six hex digits at text[at], or -1.
qint64 hexColourAt(QStringView text, qsizetype at)
{
    if (at + 6 > text.size())
        return -1;
    for (qsizetype i = at; i < at + 6; ++i) {
        if (!isHexDigit(text[i]))
            return -1;
    }
    return 0xff000000 | text.mid(at, 6).toUInt(nullptr, 16);
}

// \x03 at text[at]: the number's shape grows while it stays valid, and the character that
// breaks it is not part of it. Returns where the text goes on, or -1 when the number runs to the
// end of the text (then it changes nothing).
qsizetype readColour(QStringView text, qsizetype at, FormatRun &style)
{
    const qsizetype numberStart = at + 1;
    qsizetype end = numberStart;
    while (end < text.size() && IsColourSpec(text.mid(numberStart, end - numberStart + 1)))
        ++end;
    if (end >= text.size())
        return -1;
    const QStringView number = text.mid(numberStart, end - numberStart);
    if (number.isEmpty()) {
        clearColours(style);
        return end;
    }
    const qsizetype comma = number.indexOf(u',');
    const QStringView foreground = comma < 0 ? number : number.left(comma);
    const QStringView background = comma < 0 ? QStringView() : number.mid(comma + 1);
    if (!foreground.isEmpty())
        style.colour = PaletteColour(qint16(foreground.toInt()));
    if (!background.isEmpty()) {
        const qint16 backgroundNumber = qint16(background.toInt());
        // 99 is "no colour" in the extended table: the view's own background.
        style.hasBackground = backgroundNumber < qint16(kPalette.size()) - 1;
        style.background = style.hasBackground ? PaletteColour(backgroundNumber) : 0;
    }
    return end;
}

// \x04 at text[at]: RRGGBB, optionally followed by ",RRGGBB" for the background; a bare \x04
// ends both colours. Returns where the text goes on.
qsizetype readHexColour(QStringView text, qsizetype at, FormatRun &style)
{
    const qint64 foreground = hexColourAt(text, at + 1);
    if (foreground < 0) {
        clearColours(style);
        return at + 1;
    }
    style.colour = QRgb(foreground);
    const qsizetype afterForeground = at + 7;
    if (afterForeground < text.size() && text[afterForeground] == u',') {
        const qint64 background = hexColourAt(text, afterForeground + 1);
        if (background >= 0) {
            style.hasBackground = true;
            style.background = QRgb(background);
            return afterForeground + 7;
        }
    }
    return afterForeground;
}

bool isHiddenControl(QChar c)
{
    return c.unicode() < 0x20 && c != u'\t';
}

} // namespace

void scanFormatted(QStringView text, FormattedLine &out)
{
    RunWriter writer(out);
    out.text.reserve(text.size());
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = text[i];
        if (!isHiddenControl(c)) {
            writer.appendChar(c);
            ++i;
            continue;
        }
        writer.flush();
        FormatRun &style = writer.style;
        if (c == FormatCode::Colour) {
            i = readColour(text, i, style);
            if (i < 0)
                return; // a colour number running to the end of the text changes nothing
            continue;
        }
        if (c == FormatCode::HexColour) {
            i = readHexColour(text, i, style);
            continue;
        }
        if (c == FormatCode::Bold)
            style.bold = !style.bold;
        else if (c == FormatCode::Underline)
            style.underline = !style.underline;
        else if (c == FormatCode::Reverse)
            style.reverse = !style.reverse;
        else if (c == FormatCode::Italic)
            style.italic = !style.italic;
        else if (c == FormatCode::Strikeout)
            style.strikeout = !style.strikeout;
        else if (c == FormatCode::Monospace)
            style.monospace = !style.monospace;
        else if (c == FormatCode::Plain)
            style = FormatRun();
        ++i;
    }
    writer.flush();
}

FormattedLine scanFormatted(QStringView text)
{
    FormattedLine line;
    scanFormatted(text, line);
    return line;
}
