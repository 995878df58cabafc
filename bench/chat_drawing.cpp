// Lays out and draws room lines the way the chat view does, and prints the cost of each step
// per line: a quick check of the text path without a server or a display server. Lines are
// shaped like a busy room's: a bold coloured sender, 40 to 200 characters of text, about a
// third of them with colour and bold codes.
// For comparison it also times the plainest text path Qt offers, with no QTextLayout: each
// line's glyphs looked up in one raw font, unshaped and unwrapped, and drawn as one glyph run.
// That is the most a text path of our own could save.
// Usage: bench_chat_drawing [lines] (offscreen unless DISPLAY is set)

#include "chat/chatlinelayout.h"
#include "text/appendformatted.h"
#include "text/chatbuffer.h"
#include "text/formatcodes.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QGlyphRun>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QRawFont>
#include <QTextCharFormat>

#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr int kWidth = 800;
constexpr int kStripHeight = 200;

QString randomWord(QRandomGenerator &random)
{
    static const QStringList words =
        QStringLiteral("the of and to a in is it you that he was for on are with as I his they "
                       "be at one have this from or had by hot word but what some we can out "
                       "other were all there when up use your how said an each she which do "
                       "their time if will way about many then them write")
            .split(u' ');
    return words[random.bounded(qsizetype(words.size()))];
}

QString roomLine(QRandomGenerator &random)
{
    static const QStringList nicks = {u"alice"_qs, u"bob"_qs,   u"carol_"_qs, u"dave|away"_qs,
                                      u"erin"_qs,  u"frank"_qs, u"zoe[m]"_qs, u"night42"_qs};
    QStringList words;
    int length = 0;
    const int target = 40 + int(random.bounded(161));
    while (length < target) {
        words.append(randomWord(random));
        length += int(words.back().size()) + 1;
    }
    if (random.bounded(10) < 3) {
        const qsizetype at = random.bounded(words.size());
        const QString colour =
            QString(FormatCode::Colour) + u"0"_qs + QChar(u'2' + random.bounded(8));
        words[at] = colour + words[at] + FormatCode::Colour;
        const qsizetype bold = random.bounded(words.size());
        words[bold] = FormatCode::Bold + words[bold] + FormatCode::Bold;
    }
    const QString bold(FormatCode::Bold);
    const QString colour(FormatCode::Colour);
    return bold + colour + u"06 < "_qs + nicks[random.bounded(nicks.size())] + u" > "_qs + colour +
           u"01"_qs + bold + words.join(u' ');
}

// Each line's text as one glyph run in the raw font: the glyphs and their kerned advances,
// placed on one baseline.
QGlyphRun glyphRunOf(const QRawFont &font, const QString &text)
{
    const QList<quint32> glyphs = font.glyphIndexesForString(text);
    const QList<QPointF> advances = font.advancesForGlyphIndexes(glyphs, QRawFont::KernedAdvances);
    QList<QPointF> positions;
    positions.reserve(glyphs.size());
    qreal x = 0;
    for (const QPointF &advance : advances) {
        positions.append(QPointF(x, font.ascent()));
        x += advance.x();
    }
    QGlyphRun run;
    run.setRawFont(font);
    run.setGlyphIndexes(glyphs);
    run.setPositions(positions);
    return run;
}

double microsecondsPerLine(const QElapsedTimer &timer, int lines)
{
    return double(timer.nsecsElapsed()) / 1000.0 / lines;
}

// Draws each item below the one before it in the strip, starting again from a blank strip when
// the next would not fit, the way new lines fill a view; returns the cost per item.
template<typename Items, typename HeightOf, typename Draw>
double drawingCost(QImage &strip, const Items &items, HeightOf heightOf, Draw draw)
{
    QElapsedTimer timer;
    timer.start();
    QPainter painter(&strip);
    int y = 0;
    for (const auto &item : items) {
        const int height = heightOf(item);
        if (y + height > strip.height()) {
            painter.fillRect(strip.rect(), Qt::white);
            y = 0;
        }
        draw(painter, item, y);
        y += height;
    }
    painter.end();
    return microsecondsPerLine(timer, int(items.size()));
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int lines = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 3000;

    QRandomGenerator random(15);
    ChatBuffer buffer;
    for (int i = 0; i < lines; ++i)
        AppendFormatted(buffer, roomLine(random));

    ChatLineStyle style;
    style.viewFont = QApplication::font();
    style.reversedText = QColor(Qt::white);
    style.width = kWidth - 8;
    style.link = QColor(Qt::blue);

    std::vector<std::unique_ptr<ChatLineLayout>> layouts;
    layouts.reserve(size_t(lines));
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < lines; ++i)
        layouts.push_back(ChatLineLayout::build(buffer, i, style));
    const double layoutCost = microsecondsPerLine(timer, lines);

    QImage strip(kWidth, kStripHeight, QImage::Format_RGB32);
    QTextCharFormat selection;
    selection.setBackground(Qt::darkBlue);
    selection.setForeground(Qt::white);
    const double drawCost = drawingCost(
        strip, layouts, [](const auto &layout) { return layout->height; },
        [&](QPainter &painter, const auto &layout, int y) {
            layout->draw(painter, QPoint(4, y), selection, 0, 0);
        });

    const QRawFont rawFont = QRawFont::fromFont(style.viewFont);
    std::vector<QGlyphRun> runs;
    runs.reserve(size_t(lines));
    timer.restart();
    for (int i = 0; i < lines; ++i)
        runs.push_back(glyphRunOf(rawFont, buffer.lineText(i)));
    const double lookupCost = microsecondsPerLine(timer, lines);
    const int runHeight = int(std::ceil(rawFont.ascent() + rawFont.descent()));
    const double runCost = drawingCost(
        strip, runs, [runHeight](const QGlyphRun &) { return runHeight; },
        [](QPainter &painter, const QGlyphRun &run, int y) {
            painter.drawGlyphRun(QPointF(4, y), run);
        });

    std::printf("%d lines: layout %.1f us per line, drawing %.1f us per line\n", lines, layoutCost,
                drawCost);
    std::printf(
        "raw glyph runs for comparison: lookup %.1f us per line, drawing %.1f us per line\n",
        lookupCost, runCost);
    return 0;
}
