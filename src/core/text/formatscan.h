#pragma once

#include <QList>
#include <QRgb>
#include <QString>
#include <QStringView>

// One stretch of a line drawn with the same colour and styles.
struct FormatRun
{
    int start = 0;
    int length = 0;
    QRgb colour = qRgb(0, 0, 0);
    bool bold = false;
    bool underline = false;
    bool reverse = false;

    bool sameStyle(const FormatRun &other) const
    {
        return colour == other.colour && bold == other.bold && underline == other.underline &&
               reverse == other.reverse;
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

// Display colour of a foreground colour number; numbers outside 0..22 give black.
QRgb PaletteColour(qint16 number);

// Turns text with IRC formatting codes into plain text plus style runs. Colour and styles start
// off (black, not bold, not underlined, not reversed) on every line. Adjacent runs of the same
// style are merged. Pure: no state is kept between calls.
void scanFormatted(QStringView text, FormattedLine &out);
FormattedLine scanFormatted(QStringView text);
