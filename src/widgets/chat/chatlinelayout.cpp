#include "chatlinelayout.h"

#include "text/chatbuffer.h"
#include "text/smileytable.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <climits>
#include <cmath>
#include <span>

namespace {

// A smiley code in a line and the size its picture is drawn at.
struct PictureSpan
{
    int start;
    int length;
    int index; // in SmileyTable::codes()
    QSize size;
};

QFont fontOf(const QFont &lineFont, const QTextCharFormat &format)
{
    QFont font = lineFont;
    if (format.hasProperty(QTextFormat::FontPointSize))
        font.setPointSizeF(format.fontPointSize());
    if (format.hasProperty(QTextFormat::FontWeight))
        font.setWeight(QFont::Weight(format.fontWeight()));
    if (format.hasProperty(QTextFormat::FontItalic))
        font.setItalic(format.fontItalic());
    if (format.hasProperty(QTextFormat::FontFamilies))
        font.setFamilies(format.fontFamilies().toStringList());
    return font;
}

const QStringList &monospaceFamilies()
{
    static const QStringList families = {
        QFontDatabase::systemFont(QFontDatabase::FixedFont).family()};
    return families;
}

// The buffer's style runs of a line as layout formats, cut to the text's length. A format
// names only what differs from the line's font (its size, a normal weight): every font property
// a format sets makes the layout resolve a font of its own for that stretch.
QList<QTextLayout::FormatRange> formatsOf(const ChatBuffer &buffer,
                                          std::span<const ChatBuffer::Run> runs, int length,
                                          qreal linePointSize, const QBrush &reversedText)
{
    QList<QTextLayout::FormatRange> formats;
    formats.reserve(qsizetype(runs.size()));
    for (const ChatBuffer::Run &run : runs) {
        if (run.start >= length)
            break;
        QTextLayout::FormatRange range;
        range.start = run.start;
        range.length = std::min<int>(run.length, length - run.start);
        if (buffer.pointSizeOf(run) != linePointSize)
            range.format.setFontPointSize(buffer.pointSizeOf(run));
        if (run.styles & ChatBuffer::Bold)
            range.format.setFontWeight(QFont::Bold);
        if (run.styles & ChatBuffer::Underline)
            range.format.setFontUnderline(true);
        if (run.styles & ChatBuffer::Italic)
            range.format.setFontItalic(true);
        if (run.styles & ChatBuffer::Strikeout)
            range.format.setFontStrikeOut(true);
        if (run.styles & ChatBuffer::Monospace)
            range.format.setFontFamilies(monospaceFamilies());
        const bool withBackground = run.styles & ChatBuffer::Background;
        // Reversed text is drawn with inverted colours: the run's colour fills the background and
        // the text takes the run's background colour, or the view's base colour.
        if (run.styles & ChatBuffer::Reverse) {
            range.format.setBackground(QColor::fromRgb(run.colour));
            if (withBackground)
                range.format.setForeground(QColor::fromRgb(run.background));
            else
                range.format.setForeground(reversedText);
        } else {
            range.format.setForeground(QColor::fromRgb(run.colour));
            if (withBackground)
                range.format.setBackground(QColor::fromRgb(run.background));
        }
        formats.append(range);
    }
    return formats;
}

// The smiley codes of a line with the size of each picture. In single-line mode the line cannot
// grow, so taller pictures shrink to it.
std::vector<PictureSpan> pictureSpansIn(const QString &text, const QFont &font, bool singleLine)
{
    std::vector<PictureSpan> spans;
    const int maxHeight = singleLine ? std::max(1, int(QFontMetricsF(font).height())) : INT_MAX;
    for (const SmileyMatch &match : SmileyTable::find(text)) {
        QSize size = SmileyTable::codes()[size_t(match.index)].size;
        if (size.height() > maxHeight)
            size = size.scaled(INT_MAX, maxHeight, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
        spans.push_back({int(match.start), int(match.length), match.index, size});
    }
    return spans;
}

// A stretch of a line between two format or code boundaries, and what covers it.
struct Piece
{
    int start;
    int end;
    qsizetype format; // covering format, or -1
    qsizetype span;   // covering code, or -1
};

// Cuts the line where any format or span (a smiley code, an address) begins or ends; stretches
// nothing covers are left out.
template<typename Span>
std::vector<Piece> piecesOf(int length, const QList<QTextLayout::FormatRange> &formats,
                            std::span<const Span> spans)
{
    std::vector<int> bounds{0, length};
    for (const QTextLayout::FormatRange &range : formats) {
        bounds.push_back(range.start);
        bounds.push_back(range.start + range.length);
    }
    for (const Span &span : spans) {
        bounds.push_back(span.start);
        bounds.push_back(span.start + span.length);
    }
    std::sort(bounds.begin(), bounds.end());
    bounds.erase(std::unique(bounds.begin(), bounds.end()), bounds.end());

    std::vector<Piece> pieces;
    qsizetype f = 0;
    size_t p = 0;
    for (size_t i = 0; i + 1 < bounds.size(); ++i) {
        const int start = bounds[i];
        const int end = bounds[i + 1];
        if (start >= length)
            break;
        while (f < formats.size() && formats[f].start + formats[f].length <= start)
            ++f;
        while (p < spans.size() && spans[p].start + spans[p].length <= start)
            ++p;
        const qsizetype format = f < formats.size() && formats[f].start <= start ? f : -1;
        const qsizetype span = p < spans.size() && spans[p].start <= start ? qsizetype(p) : -1;
        if (format >= 0 || span >= 0)
            pieces.push_back({start, end, format, span});
    }
    return pieces;
}

// A piece as a format range, with the format that covers it, if any.
QTextLayout::FormatRange rangeOf(const Piece &piece, const QList<QTextLayout::FormatRange> &formats)
{
    QTextLayout::FormatRange range;
    range.start = piece.start;
    range.length = piece.end - piece.start;
    if (piece.format >= 0)
        range.format = formats[piece.format].format;
    return range;
}

// The formats of a line with its addresses underlined in the link colour. Formats are cut where
// an address begins or ends, so they never overlap; a stretch of an address no format covers
// gets one of its own.
QList<QTextLayout::FormatRange> withLinks(const QList<QTextLayout::FormatRange> &formats,
                                          std::span<const ChatBuffer::Link> links, int length,
                                          const QBrush &linkColour)
{
    if (links.empty())
        return formats;
    QList<QTextLayout::FormatRange> result;
    for (const Piece &piece : piecesOf(length, formats, links)) {
        QTextLayout::FormatRange range = rangeOf(piece, formats);
        if (piece.span >= 0) {
            range.format.setFontUnderline(true);
            range.format.setForeground(linkColour);
        }
        result.append(range);
    }
    return result;
}

// The formats of a line with room made for its smiley pictures. The characters of each code get
// an absolute letter spacing that makes their run exactly as wide as the picture, and are drawn
// transparent; the picture is painted over them. The text itself stays as it is, so selecting and
// copying still see the code. Formats are split where codes begin and end, never overlapped.
QList<QTextLayout::FormatRange> withPictureRoom(const QString &text, const QFont &lineFont,
                                                const QList<QTextLayout::FormatRange> &formats,
                                                const std::vector<PictureSpan> &spans)
{
    const std::vector<Piece> pieces =
        piecesOf(int(text.size()), formats, std::span<const PictureSpan>(spans));
    std::vector<qreal> natural(spans.size(), 0);
    for (const Piece &piece : pieces) {
        if (piece.span < 0)
            continue;
        const QFont font =
            piece.format >= 0 ? fontOf(lineFont, formats[piece.format].format) : lineFont;
        natural[size_t(piece.span)] +=
            QFontMetricsF(font).horizontalAdvance(text.mid(piece.start, piece.end - piece.start));
    }

    QList<QTextLayout::FormatRange> result;
    result.reserve(qsizetype(pieces.size()));
    for (const Piece &piece : pieces) {
        QTextLayout::FormatRange range = rangeOf(piece, formats);
        if (piece.span >= 0) {
            const PictureSpan &span = spans[size_t(piece.span)];
            // Every character of the code, the last one included, gets the spacing.
            range.format.setFontLetterSpacingType(QFont::AbsoluteSpacing);
            range.format.setFontLetterSpacing((span.size.width() - natural[size_t(piece.span)]) /
                                              span.length);
            range.format.setForeground(QColor(Qt::transparent));
        }
        result.append(range);
    }
    return result;
}

// Breaks the layout into text lines of the given width, stacked from the top; returns the height.
int stackTextLines(QTextLayout &layout, int width, const std::vector<PictureSpan> &spans)
{
    qreal y = 0;
    size_t nextSpan = 0;
    layout.beginLayout();
    for (QTextLine textLine = layout.createLine(); textLine.isValid();
         textLine = layout.createLine()) {
        textLine.setLineWidth(width);
        // A picture taller than its text line makes room for itself above the text.
        qreal extra = 0;
        const int lineEnd = textLine.textStart() + textLine.textLength();
        for (; nextSpan < spans.size() && spans[nextSpan].start < lineEnd; ++nextSpan)
            extra = std::max(extra, spans[nextSpan].size.height() - textLine.height());
        textLine.setPosition(QPointF(0, y + std::ceil(extra)));
        y += std::ceil(extra) + textLine.height();
    }
    layout.endLayout();
    return std::max(1, int(std::ceil(y)));
}

// Where each picture is drawn: centred on the span its code takes, and on the text line, or
// standing on the line's bottom when taller.
std::vector<ChatLineLayout::Picture> placePictures(const QTextLayout &layout,
                                                   const std::vector<PictureSpan> &spans)
{
    std::vector<ChatLineLayout::Picture> pictures;
    for (const PictureSpan &span : spans) {
        const QTextLine textLine = layout.lineForTextPosition(span.start);
        if (!textLine.isValid())
            continue;
        const int end = span.start + span.length;
        const qreal x0 = textLine.cursorToX(span.start);
        const qreal x1 = end <= textLine.textStart() + textLine.textLength()
                             ? textLine.cursorToX(end)
                             : x0 + span.size.width();
        const qreal left = (x0 + x1 - span.size.width()) / 2;
        const QRectF box = textLine.rect();
        const qreal top = span.size.height() <= box.height()
                              ? box.top() + (box.height() - span.size.height()) / 2
                              : box.bottom() - span.size.height();
        pictures.push_back({span.start, span.length, span.index,
                            QRect(QPoint(qRound(left), qRound(top)), span.size)});
    }
    return pictures;
}

} // namespace

QFont chatLineFont(const QFont &viewFont, qreal pointSize)
{
    QFont font = viewFont;
    font.setWeight(QFont::Normal);
    font.setUnderline(false);
    font.setStrikeOut(false);
    if (pointSize > 0)
        font.setPointSizeF(pointSize);
    return font;
}

std::unique_ptr<ChatLineLayout> ChatLineLayout::build(const ChatBuffer &buffer, int line,
                                                      const ChatLineStyle &style)
{
    const QString text = buffer.lineText(line);
    const std::span<const ChatBuffer::Run> runs = buffer.lineRuns(line);
    const qreal pointSize = runs.empty() ? buffer.basePointSize() : buffer.pointSizeOf(runs[0]);
    const QList<QTextLayout::FormatRange> formats =
        withLinks(formatsOf(buffer, runs, int(text.size()), pointSize, style.reversedText),
                  buffer.lineLinks(line), int(text.size()), style.link);

    auto result = std::make_unique<ChatLineLayout>();
    QTextLayout &layout = result->layout;
    const QFont font = chatLineFont(style.viewFont, pointSize);
    layout.setText(text);
    layout.setFont(font);
    QTextOption option;
    option.setWrapMode(style.singleLine ? QTextOption::NoWrap
                                        : QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);

    const std::vector<PictureSpan> spans = style.smileyPictures
                                               ? pictureSpansIn(text, font, style.singleLine)
                                               : std::vector<PictureSpan>();
    layout.setFormats(spans.empty() ? formats : withPictureRoom(text, font, formats, spans));
    layout.setCacheEnabled(true);

    result->height = stackTextLines(layout, style.width, spans);
    result->pictures = placePictures(layout, spans);
    return result;
}

void ChatLineLayout::draw(QPainter &painter, QPoint origin, const QTextCharFormat &selectionFormat,
                          int selectionStart, int selectionEnd,
                          const QList<QTextLayout::FormatRange> &highlights) const
{
    // Selected parts of a code keep the selection's background but not its text colour, so
    // the code's characters stay hidden under the picture.
    QList<QTextLayout::FormatRange> selections = highlights;
    if (selectionEnd > selectionStart) {
        QTextCharFormat underPicture = selectionFormat;
        underPicture.setForeground(QColor(Qt::transparent));
        const auto add = [&](int from, int to, const QTextCharFormat &format) {
            if (to > from)
                selections.append(QTextLayout::FormatRange{from, to - from, format});
        };
        int position = selectionStart;
        for (const Picture &picture : pictures) {
            const int from = std::max(picture.start, position);
            const int to = std::min(picture.start + picture.length, selectionEnd);
            if (to <= from)
                continue;
            add(position, from, selectionFormat);
            add(from, to, underPicture);
            position = to;
        }
        add(position, selectionEnd, selectionFormat);
    }
    layout.draw(&painter, origin, selections);

    for (const Picture &picture : pictures) {
        const QImage &image = SmileyTable::picture(picture.index);
        const QRect target = picture.rect.translated(origin);
        painter.setRenderHint(QPainter::SmoothPixmapTransform, target.size() != image.size());
        painter.drawImage(target, image);
    }
}
