#pragma once

#include <QList>
#include <QRgb>
#include <QString>
#include <QStringView>

// One stretch of a line drawn with the same colours and styles.
struct FormatRun
{
    int start = 0;
    int length = 0;
    QRgb colour = qRgb(0, 0, 0);
    QRgb background = 0; // only when hasBackground
    bool hasBackground = false;
    bool bold = false;
    bool underline = false;
    bool reverse = false;
    bool italic = false;
    bool strikeout = false;
    bool monospace = false;

    bool sameStyle(const FormatRun &other) const
    {
        return colour == other.colour && hasBackground == other.hasBackground &&
               (!hasBackground || background == other.background) && bold == other.bold &&
               underline == other.underline && reverse == other.reverse && italic == other.italic &&
               strikeout == other.strikeout && monospace == other.monospace;
    }
    friend bool operator==(const FormatRun &, const FormatRun &) = default;
};

// A line with its formatting codes removed: the visible text and the runs that cover it.
struct FormattedLine
{
    QString text;
    QList<FormatRun> runs;

    void clear()
    {
        text.clear();
        runs.clear();
    }
};

// True when s is one of the colour-number shapes that may follow a colour code:
// "", "#", "##", "#,", "##,", "#,#", "##,#", "#,##", "##,##", ",#", ",##" (# is a digit 0-9).
bool IsColourSpec(QStringView s);

// Display colour of a colour number: 0 to 15 the program's own table, 16 to 98 the extended
// colours other clients use; anything else gives black.
QRgb PaletteColour(qint16 number);

// Turns text with IRC formatting codes into plain text plus style runs. Colours and styles start
// off (black on no background, no style) on every line. Bold (\x02), underline (\x1f), reverse
// (\x16), italic (\x1d), strikeout (\x1e) and monospace (\x11) toggle; \x03 takes a colour
// number and an optional background number, \x04 six hex digits and optionally a comma and six
// more; \x0f ends every style and colour. Other control characters but tab are not shown.
// Adjacent runs of the same style are merged. Pure: no state is kept between calls.
void scanFormatted(QStringView text, FormattedLine &out);
FormattedLine scanFormatted(QStringView text);
