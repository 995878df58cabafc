#include "chatview.h"

#include "text/chatbuffer.h"
#include "text/smileytable.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTextBoundaryFinder>
#include <QTextLayout>
#include <QWheelEvent>

#include <algorithm>
#include <climits>
#include <cmath>

namespace {
constexpr int kMarginX = 4;
constexpr int kMarginY = 2;
constexpr int kMinLayoutWidth = 40; // keeps a squeezed view from splitting lines per character
constexpr size_t kCacheLimit = 256;
constexpr int kWheelLines = 3;
constexpr int kAutoScrollMs = 50;

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
    return font;
}

// The formats of a line with room made for its smiley pictures. The characters of each code get
// an absolute letter spacing that makes their run exactly as wide as the picture, and are drawn
// transparent; the picture is painted over them. The text itself stays as it is, so selecting and
// copying still see the code. Formats are split where codes begin and end, never overlapped.
QList<QTextLayout::FormatRange> withPictureRoom(const QString &text, const QFont &lineFont,
                                                const QList<QTextLayout::FormatRange> &formats,
                                                const std::vector<PictureSpan> &spans)
{
    const int length = int(text.size());
    std::vector<int> bounds{0, length};
    for (const QTextLayout::FormatRange &range : formats) {
        bounds.push_back(range.start);
        bounds.push_back(range.start + range.length);
    }
    for (const PictureSpan &span : spans) {
        bounds.push_back(span.start);
        bounds.push_back(span.start + span.length);
    }
    std::sort(bounds.begin(), bounds.end());
    bounds.erase(std::unique(bounds.begin(), bounds.end()), bounds.end());

    struct Piece
    {
        int start;
        int end;
        qsizetype format; // covering format, or -1
        qsizetype span;   // covering code, or -1
    };
    std::vector<Piece> pieces;
    std::vector<qreal> natural(spans.size(), 0);
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
        if (format < 0 && span < 0)
            continue;
        pieces.push_back({start, end, format, span});
        if (span >= 0) {
            const QFont font = format >= 0 ? fontOf(lineFont, formats[format].format) : lineFont;
            natural[size_t(span)] +=
                QFontMetricsF(font).horizontalAdvance(text.mid(start, end - start));
        }
    }

    QList<QTextLayout::FormatRange> result;
    result.reserve(qsizetype(pieces.size()));
    for (const Piece &piece : pieces) {
        QTextLayout::FormatRange range;
        range.start = piece.start;
        range.length = piece.end - piece.start;
        if (piece.format >= 0)
            range.format = formats[piece.format].format;
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
} // namespace

struct ChatView::CachedLine
{
    struct Picture
    {
        int start;
        int length;
        int index;  // in SmileyTable::codes()
        QRect rect; // in layout coordinates
    };

    QTextLayout layout;
    int height = 0;
    std::vector<Picture> pictures; // empty unless smiley pictures are on
};

ChatView::ChatView(QWidget *parent) : QAbstractScrollArea(parent)
{
    setFocusPolicy(Qt::ClickFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Always shown, so the wrap width does not change when the first screenful fills.
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    verticalScrollBar()->setRange(0, 0);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setCursor(Qt::IBeamCursor);
}

ChatView::~ChatView() = default;

void ChatView::setBuffer(ChatBuffer *buffer)
{
    if (buffer == m_buffer)
        return;
    if (m_buffer)
        disconnect(m_buffer, nullptr, this, nullptr);
    m_buffer = buffer;
    if (buffer) {
        connect(buffer, &ChatBuffer::lineAppended, this, &ChatView::onLineAppended);
        connect(buffer, &ChatBuffer::cleared, this, &ChatView::reset);
        connect(buffer, &QObject::destroyed, this, &ChatView::reset);
    }
    reset();
    updateScrollRange();
    scrollToBottom();
    updateGeometry();
}

ChatBuffer *ChatView::buffer() const
{
    return m_buffer;
}

void ChatView::setSingleLine(bool singleLine)
{
    if (singleLine == m_singleLine)
        return;
    m_singleLine = singleLine;
    m_cache.clear();
    setVerticalScrollBarPolicy(singleLine ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAlwaysOn);
    setSizePolicy(QSizePolicy::Expanding, singleLine ? QSizePolicy::Fixed : QSizePolicy::Expanding);
    updateScrollRange();
    scrollToBottom();
    updateGeometry();
    viewport()->update();
}

void ChatView::setSmileyPictures(bool on)
{
    if (on == m_smileyPictures)
        return;
    m_smileyPictures = on;
    // Lines change width and height: lay out again what is shown, and keep the scroll range.
    m_cache.clear();
    updateScrollRange();
    viewport()->update();
}

bool ChatView::isAtBottom() const
{
    // Appends never move a view off the bottom, so a range not yet brought up to date still
    // answers correctly.
    const QScrollBar *bar = verticalScrollBar();
    return m_singleLine || bar->value() >= bar->maximum();
}

QRect ChatView::lineRect(int line) const
{
    for (const PlacedLine &placed : placeLines()) {
        if (placed.index == line)
            return QRect(0, placed.top, viewport()->width(), placed.height);
    }
    return QRect();
}

QString ChatView::selectedText() const
{
    if (!hasSelection() || !m_buffer)
        return QString();
    const TextPos from = std::min(m_anchor, m_cursor);
    const TextPos to = std::max(m_anchor, m_cursor);
    QString text;
    for (int line = from.line; line <= to.line && line < lineCount(); ++line) {
        const QString lineText = m_buffer->lineText(line);
        const qsizetype start =
            line == from.line ? std::min<qsizetype>(from.offset, lineText.size()) : 0;
        const qsizetype end =
            line == to.line ? std::min<qsizetype>(to.offset, lineText.size()) : lineText.size();
        if (line != from.line)
            text += u'\n';
        text += QStringView(lineText).sliced(start, std::max<qsizetype>(0, end - start));
    }
    return text;
}

QSize ChatView::sizeHint() const
{
    const QSize hint = QAbstractScrollArea::sizeHint();
    if (!m_singleLine)
        return hint;
    const qreal pointSize = m_buffer ? m_buffer->basePointSize() : font().pointSizeF();
    const int lineHeight = int(std::ceil(QFontMetricsF(lineFont(pointSize)).height()));
    return QSize(hint.width(), lineHeight + 2 * kMarginY + 2 * frameWidth());
}

QSize ChatView::minimumSizeHint() const
{
    const QSize hint = QAbstractScrollArea::minimumSizeHint();
    return m_singleLine ? QSize(hint.width(), sizeHint().height()) : hint;
}

void ChatView::scrollToBottom()
{
    if (m_rangeDirty)
        updateScrollRange();
    verticalScrollBar()->setValue(verticalScrollBar()->maximum());
}

void ChatView::copy() const
{
    if (hasSelection())
        QGuiApplication::clipboard()->setText(selectedText());
}

void ChatView::selectAll()
{
    const int count = lineCount();
    if (count == 0)
        return;
    setSelection(TextPos{0, 0}, TextPos{count - 1, int(m_buffer->lineText(count - 1).size())});
}

void ChatView::clearSelection()
{
    setSelection(TextPos{}, TextPos{});
}

void ChatView::clear()
{
    if (m_buffer)
        m_buffer->clear(); // the buffer's cleared() resets this view
    else
        reset();
}

void ChatView::paintEvent(QPaintEvent *event)
{
    QPainter painter(viewport());
    painter.fillRect(event->rect(), palette().base());

    const std::vector<PlacedLine> placed = placeLines();
    m_paintedToEnd = placed.empty() || placed.back().index == lineCount() - 1;

    const TextPos from = std::min(m_anchor, m_cursor);
    const TextPos to = std::max(m_anchor, m_cursor);
    QList<QTextLayout::FormatRange> selection(1);
    selection[0].format.setBackground(palette().highlight());
    selection[0].format.setForeground(palette().highlightedText());

    for (const PlacedLine &line : placed) {
        if (line.top + line.height <= event->rect().top() || line.top > event->rect().bottom())
            continue;
        const int length = int(line.layout->text().size());
        const int start = line.index == from.line ? std::min(from.offset, length) : 0;
        const int end = line.index == to.line ? std::min(to.offset, length) : length;
        const bool selected =
            hasSelection() && line.index >= from.line && line.index <= to.line && end > start;
        const std::vector<CachedLine::Picture> &pictures = line.cached->pictures;
        if (!pictures.empty()) {
            drawWithPictures(painter, *line.cached, QPoint(kMarginX, line.top),
                             selected ? selection[0].format : QTextCharFormat(),
                             selected ? start : 0, selected ? end : 0);
            continue;
        }
        if (selected) {
            selection[0].start = start;
            selection[0].length = end - start;
        }
        line.layout->draw(&painter, QPointF(kMarginX, line.top),
                          selected ? selection : QList<QTextLayout::FormatRange>());
    }
    trimCache();
}

void ChatView::drawWithPictures(QPainter &painter, const CachedLine &line, QPoint origin,
                                const QTextCharFormat &selectionFormat, int selectionStart,
                                int selectionEnd) const
{
    // Selected parts of a code keep the selection's background but not its text colour, so
    // the code's characters stay hidden under the picture.
    QList<QTextLayout::FormatRange> selections;
    if (selectionEnd > selectionStart) {
        QTextCharFormat underPicture = selectionFormat;
        underPicture.setForeground(QColor(Qt::transparent));
        const auto add = [&](int from, int to, const QTextCharFormat &format) {
            if (to > from)
                selections.append(QTextLayout::FormatRange{from, to - from, format});
        };
        int position = selectionStart;
        for (const CachedLine::Picture &picture : line.pictures) {
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
    line.layout.draw(&painter, origin, selections);

    for (const CachedLine::Picture &picture : line.pictures) {
        const QImage &image = SmileyTable::picture(picture.index);
        const QRect target = picture.rect.translated(origin);
        painter.setRenderHint(QPainter::SmoothPixmapTransform, target.size() != image.size());
        painter.drawImage(target, image);
    }
}

void ChatView::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollRange();
}

void ChatView::showEvent(QShowEvent *event)
{
    QAbstractScrollArea::showEvent(event);
    if (m_rangeDirty)
        updateScrollRange();
}

void ChatView::changeEvent(QEvent *event)
{
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::PaletteChange) {
        // Cached layouts hold the font face and, for reversed text, the base colour.
        m_cache.clear();
        updateScrollRange();
        updateGeometry();
        viewport()->update();
    }
}

void ChatView::scrollContentsBy(int, int)
{
    viewport()->update();
}

void ChatView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    const std::optional<TextPos> pos =
        positionAt(event->position().toPoint(), QTextLine::CursorBetweenCharacters);
    m_dragging = pos.has_value();
    m_dragPoint = event->position().toPoint();
    setSelection(pos.value_or(TextPos{}), pos.value_or(TextPos{}));
}

void ChatView::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_dragging)
        return;
    m_dragPoint = event->position().toPoint();
    extendSelectionTo(m_dragPoint);
    const bool outside = m_dragPoint.y() < 0 || m_dragPoint.y() >= viewport()->height();
    if (outside && !m_singleLine)
        m_autoScroll.start(kAutoScrollMs, this);
    else
        m_autoScroll.stop();
}

void ChatView::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    m_dragging = false;
    m_autoScroll.stop();
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (hasSelection() && clipboard->supportsSelection())
        clipboard->setText(selectedText(), QClipboard::Selection);
}

void ChatView::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !m_buffer) {
        event->ignore();
        return;
    }
    m_dragging = false;
    m_autoScroll.stop();
    const std::optional<TextPos> pos =
        positionAt(event->position().toPoint(), QTextLine::CursorOnCharacter);
    if (!pos)
        return;
    const QString text = m_buffer->lineText(pos->line);
    QTextBoundaryFinder finder(QTextBoundaryFinder::Word, text);
    finder.setPosition(pos->offset);
    qsizetype start = finder.isAtBoundary() ? pos->offset : finder.toPreviousBoundary();
    finder.setPosition(pos->offset);
    qsizetype end = finder.toNextBoundary();
    if (start < 0)
        start = 0;
    if (end < 0)
        end = text.size();
    setSelection(TextPos{pos->line, int(start)}, TextPos{pos->line, int(end)});
}

void ChatView::wheelEvent(QWheelEvent *event)
{
    if (m_singleLine || event->angleDelta().y() == 0) {
        event->ignore();
        return;
    }
    // Fine-grained wheels send small deltas: a notch is 120, and each notch moves three lines.
    m_wheelRemainder += event->angleDelta().y();
    const int notches = m_wheelRemainder / 120;
    m_wheelRemainder -= notches * 120;
    if (notches != 0) {
        if (m_rangeDirty)
            updateScrollRange();
        QScrollBar *bar = verticalScrollBar();
        bar->setValue(bar->value() - notches * kWheelLines);
    }
    event->accept();
}

void ChatView::keyPressEvent(QKeyEvent *event)
{
    // The text cannot be edited: typed keys are left to the parent (the window may pass them
    // on to its input line); only copying and scrolling are handled here.
    if (event->matches(QKeySequence::Copy)) {
        copy();
        event->accept();
        return;
    }
    QAbstractSlider::SliderAction action = QAbstractSlider::SliderNoAction;
    switch (event->key()) {
    case Qt::Key_PageUp:
        action = QAbstractSlider::SliderPageStepSub;
        break;
    case Qt::Key_PageDown:
        action = QAbstractSlider::SliderPageStepAdd;
        break;
    case Qt::Key_Home:
        action = QAbstractSlider::SliderToMinimum;
        break;
    case Qt::Key_End:
        action = QAbstractSlider::SliderToMaximum;
        break;
    default:
        break;
    }
    if (action == QAbstractSlider::SliderNoAction || m_singleLine) {
        event->ignore();
        return;
    }
    if (m_rangeDirty)
        updateScrollRange();
    verticalScrollBar()->triggerAction(action);
    event->accept();
}

void ChatView::timerEvent(QTimerEvent *event)
{
    if (event->timerId() != m_autoScroll.timerId()) {
        QAbstractScrollArea::timerEvent(event);
        return;
    }
    if (m_rangeDirty)
        updateScrollRange();
    QScrollBar *bar = verticalScrollBar();
    bar->setValue(bar->value() + (m_dragPoint.y() < 0 ? -1 : 1));
    extendSelectionTo(m_dragPoint);
}

int ChatView::lineCount() const
{
    return m_buffer ? m_buffer->lineCount() : 0;
}

int ChatView::layoutWidth() const
{
    return std::max(viewport()->width() - 2 * kMarginX, kMinLayoutWidth);
}

QFont ChatView::lineFont(qreal pointSize) const
{
    // Lines use the view's font face; weight, underline and size come from each run.
    QFont font = this->font();
    font.setWeight(QFont::Normal);
    font.setUnderline(false);
    font.setStrikeOut(false);
    if (pointSize > 0)
        font.setPointSizeF(pointSize);
    return font;
}

const ChatView::CachedLine &ChatView::layoutFor(int line) const
{
    const int width = layoutWidth();
    if (width != m_cacheWidth) {
        m_cache.clear();
        m_cacheWidth = width;
    }
    std::unique_ptr<CachedLine> &slot = m_cache[line];
    if (slot)
        return *slot;

    const QString text = m_buffer->lineText(line);
    const std::span<const ChatBuffer::Run> runs = m_buffer->lineRuns(line);
    const int length = int(text.size());

    QList<QTextLayout::FormatRange> formats;
    formats.reserve(qsizetype(runs.size()));
    for (const ChatBuffer::Run &run : runs) {
        if (run.start >= length)
            break;
        QTextLayout::FormatRange range;
        range.start = run.start;
        range.length = std::min<int>(run.length, length - run.start);
        range.format.setFontPointSize(m_buffer->pointSizeOf(run));
        range.format.setFontWeight((run.styles & ChatBuffer::Bold) ? QFont::Bold : QFont::Normal);
        range.format.setFontUnderline(run.styles & ChatBuffer::Underline);
        // Reversed text is drawn with inverted colours: the run's colour fills the background and
        // the text takes the view's base colour.
        if (run.styles & ChatBuffer::Reverse) {
            range.format.setBackground(QColor::fromRgb(run.colour));
            range.format.setForeground(palette().base());
        } else {
            range.format.setForeground(QColor::fromRgb(run.colour));
        }
        formats.append(range);
    }

    slot = std::make_unique<CachedLine>();
    QTextLayout &layout = slot->layout;
    const QFont font =
        lineFont(runs.empty() ? m_buffer->basePointSize() : m_buffer->pointSizeOf(runs[0]));
    layout.setText(text);
    layout.setFont(font);
    QTextOption option;
    option.setWrapMode(m_singleLine ? QTextOption::NoWrap
                                    : QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);

    std::vector<PictureSpan> spans;
    if (m_smileyPictures) {
        // In single-line mode the line cannot grow, so taller pictures shrink to it.
        const int maxHeight =
            m_singleLine ? std::max(1, int(QFontMetricsF(font).height())) : INT_MAX;
        for (const SmileyMatch &match : SmileyTable::find(text)) {
            QSize size = SmileyTable::codes()[size_t(match.index)].size;
            if (size.height() > maxHeight)
                size = size.scaled(INT_MAX, maxHeight, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
            spans.push_back({int(match.start), int(match.length), match.index, size});
        }
    }
    layout.setFormats(spans.empty() ? formats : withPictureRoom(text, font, formats, spans));
    layout.setCacheEnabled(true);

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
    slot->height = std::max(1, int(std::ceil(y)));

    for (const PictureSpan &span : spans) {
        // Centred on the span its code takes, and on the text line, or standing on the line's
        // bottom when taller.
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
        slot->pictures.push_back({span.start, span.length, span.index,
                                  QRect(QPoint(qRound(left), qRound(top)), span.size)});
    }
    return *slot;
}

void ChatView::trimCache() const
{
    if (m_cache.size() <= kCacheLimit)
        return;
    const std::vector<PlacedLine> placed = placeLines();
    const int first = placed.empty() ? 0 : placed.front().index;
    const int last = placed.empty() ? -1 : placed.back().index;
    std::erase_if(m_cache, [&](const auto &entry) {
        return (entry.first < first || entry.first > last) && entry.first < m_tailFrom;
    });
}

std::vector<ChatView::PlacedLine> ChatView::placeLines() const
{
    std::vector<PlacedLine> placed;
    const int count = lineCount();
    if (count == 0)
        return placed;
    const int height = viewport()->height();

    if (m_singleLine) {
        const CachedLine &line = layoutFor(count - 1);
        placed.push_back(
            {count - 1, std::max(0, (height - line.height) / 2), line.height, &line.layout, &line});
        return placed;
    }

    const QScrollBar *bar = verticalScrollBar();
    if (bar->value() < bar->maximum()) {
        int y = kMarginY;
        for (int i = std::clamp(bar->value(), 0, count - 1); i < count && y < height; ++i) {
            const CachedLine &line = layoutFor(i);
            placed.push_back({i, y, line.height, &line.layout, &line});
            y += line.height;
        }
        return placed;
    }

    // Following: the newest line sits on the bottom edge, unless all lines fit from the top.
    int y = height - kMarginY;
    for (int i = count - 1; i >= 0 && y > 0; --i) {
        const CachedLine &line = layoutFor(i);
        y -= line.height;
        placed.push_back({i, y, line.height, &line.layout, &line});
    }
    std::reverse(placed.begin(), placed.end());
    if (placed.front().index == 0 && placed.front().top > kMarginY) {
        const int shift = placed.front().top - kMarginY;
        for (PlacedLine &line : placed)
            line.top -= shift;
    }
    return placed;
}

int ChatView::linesFittingAtBottom() const
{
    const int count = lineCount();
    const int room = viewport()->height() - 2 * kMarginY;
    int used = 0;
    int fitting = 0;
    for (int i = count - 1; i >= 0; --i) {
        used += layoutFor(i).height;
        if (used > room)
            break;
        ++fitting;
    }
    return std::max(fitting, 1);
}

std::optional<ChatView::TextPos> ChatView::positionAt(QPoint point,
                                                      QTextLine::CursorPosition mode) const
{
    const std::vector<PlacedLine> placed = placeLines();
    if (placed.empty())
        return std::nullopt;
    if (point.y() < placed.front().top)
        return TextPos{placed.front().index, 0};
    for (const PlacedLine &line : placed) {
        if (point.y() >= line.top + line.height)
            continue;
        const QTextLayout &layout = *line.layout;
        const qreal y = point.y() - line.top;
        QTextLine textLine = layout.lineAt(layout.lineCount() - 1);
        for (int i = 0; i < layout.lineCount(); ++i) {
            if (y < layout.lineAt(i).rect().bottom()) {
                textLine = layout.lineAt(i);
                break;
            }
        }
        return TextPos{line.index, textLine.xToCursor(point.x() - kMarginX, mode)};
    }
    const PlacedLine &last = placed.back();
    return TextPos{last.index, int(last.layout->text().size())};
}

void ChatView::onLineAppended()
{
    // Called for every line: no layout here, just one posted catch-up for the whole batch.
    m_rangeDirty = true;
    if (!m_syncPosted && isVisible()) {
        m_syncPosted = true;
        QMetaObject::invokeMethod(this, &ChatView::syncScrollRange, Qt::QueuedConnection);
    }
}

void ChatView::syncScrollRange()
{
    m_syncPosted = false;
    if (!m_rangeDirty)
        return;
    updateScrollRange();
    if (isAtBottom() || m_paintedToEnd)
        viewport()->update();
}

void ChatView::updateScrollRange()
{
    m_rangeDirty = false;
    QScrollBar *bar = verticalScrollBar();
    const bool following = bar->value() >= bar->maximum();
    const int count = lineCount();
    const int fitting = count > 0 && !m_singleLine ? linesFittingAtBottom() : 1;
    const int maximum = std::max(0, count - fitting);
    m_tailFrom = maximum;
    bar->setRange(0, maximum);
    bar->setPageStep(fitting);
    bar->setSingleStep(1);
    if (following)
        bar->setValue(maximum);
    trimCache();
}

void ChatView::reset()
{
    m_cache.clear();
    m_dragging = false;
    m_autoScroll.stop();
    m_rangeDirty = false;
    m_tailFrom = 0;
    verticalScrollBar()->setRange(0, 0);
    clearSelection();
    viewport()->update();
}

void ChatView::setSelection(TextPos anchor, TextPos cursor)
{
    const bool changed =
        (anchor != cursor || hasSelection()) && (anchor != m_anchor || cursor != m_cursor);
    m_anchor = anchor;
    m_cursor = cursor;
    if (changed) {
        viewport()->update();
        emit selectionChanged();
    }
}

void ChatView::extendSelectionTo(QPoint point)
{
    if (const std::optional<TextPos> pos = positionAt(point, QTextLine::CursorBetweenCharacters))
        setSelection(m_anchor, *pos);
}
