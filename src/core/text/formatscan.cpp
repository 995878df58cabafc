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

constexpr std::array<QRgb, 23> kPalette = {
    qRgb(255, 255, 255), qRgb(0, 0, 0),      qRgb(0, 0, 170),   qRgb(0, 140, 0),
    qRgb(255, 0, 0),     qRgb(127, 0, 0),    qRgb(127, 0, 127), qRgb(255, 127, 0),
    qRgb(255, 190, 23),  qRgb(0, 255, 0),    qRgb(0, 148, 144), qRgb(0, 255, 255),
    qRgb(0, 0, 255),     qRgb(230, 0, 255),  qRgb(92, 92, 92),  qRgb(184, 184, 184),
    qRgb(28, 74, 106),   qRgb(176, 102, 11), qRgb(79, 4, 123),  qRgb(48, 101, 105),
    qRgb(113, 97, 4),    qRgb(86, 16, 99),   qRgb(28, 111, 23),
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
    return kPalette[size_t(number)];
}

void scanFormatted(QStringView text, FormattedLine &out)
{
    RunWriter writer(out);
    out.text.reserve(text.size());
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = text[i];
        if (c == FormatCode::Bold || c == FormatCode::Plain) {
            writer.flush();
            writer.style.bold = !writer.style.bold;
        } else if (c == FormatCode::Underline) {
            writer.flush();
            writer.style.underline = !writer.style.underline;
        } else if (c == FormatCode::Reverse) {
            writer.flush();
            writer.style.reverse = !writer.style.reverse;
        } else if (c == FormatCode::Colour) {
            writer.flush();
            // Grow the colour number while it still has a valid shape. The character that
            // breaks the shape is not consumed: it is examined again as ordinary input.
            const qsizetype numberStart = i + 1;
            qsizetype end = numberStart;
            while (end < n && IsColourSpec(text.mid(numberStart, end - numberStart + 1)))
                ++end;
            if (end >= n)
                return; // a colour number running to the end of the text changes nothing
            const QStringView number = text.mid(numberStart, end - numberStart);
            if (number.isEmpty()) {
                writer.style.colour = kDefaultColour;
            } else {
                const qsizetype comma = number.indexOf(u',');
                const QStringView foreground = comma < 0 ? number : number.left(comma);
                writer.style.colour = PaletteColour(qint16(foreground.toInt()));
            }
            i = end;
            continue;
        } else {
            writer.appendChar(c);
        }
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
