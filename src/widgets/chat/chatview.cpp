#include "chatview.h"

#include "chatlinelayout.h"
#include "chatviewaccessible.h"
#include "text/chatbuffer.h"
#include "util/ircbackground.h"

#include <QAccessible>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTextLayout>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace {
constexpr int kMarginX = 4;
constexpr int kMarginY = 2;
constexpr int kMinLayoutWidth = 40; // keeps a squeezed view from splitting lines per character
constexpr size_t kCacheLimit = 256;
constexpr int kWheelLines = 3;
// Behind lines that name the user: pale enough that text reads on it as it does on white.
constexpr QRgb kMentionBackground = qRgb(255, 243, 176);

// Where a single line goes in a box of the given height: centred when it fits. Some fonts (the
// substitutes for small design fonts among them) have line boxes far taller than their letters;
// in a box too short for that, the letters themselves are centred, from the top of the capitals
// to the bottom of the descenders, and only the empty part of the line box is cut off.
int singleLineTop(const ChatLineLayout &line, int height)
{
    const QTextLine text = line.layout.lineAt(0);
    if (line.height <= height || !text.isValid())
        return std::max(0, (height - line.height) / 2);
    const QRectF letters =
        QFontMetricsF(line.layout.font()).tightBoundingRect(QStringLiteral("Hgjpqy"));
    const qreal baseline = (height - letters.height()) / 2 - letters.top();
    return qRound(baseline - text.y() - text.ascent());
}
} // namespace

ChatView::ChatView(QWidget *parent) : QAbstractScrollArea(parent)
{
    // Tab reaches the view too, so its text can be read, selected and copied from the keyboard.
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Always shown, so the wrap width does not change when the first screenful fills.
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    verticalScrollBar()->setRange(0, 0);
    static const bool accessible = [] {
        QAccessible::installFactory(&ChatViewAccessible::create);
        return true;
    }();
    Q_UNUSED(accessible);
    useIrcBackground(this);
    viewport()->setBackgroundRole(QPalette::Base);
    // paintEvent fills what it paints: nothing behind the view need be drawn first.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setMouseTracking(true); // a hand over addresses
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
        connect(buffer, &ChatBuffer::linesDropped, this, &ChatView::onLinesDropped);
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
    // Every pixel now shows the lines as placed: when they follow the newest line from the
    // bottom edge, new lines can later scroll them up instead of painting them again.
    // Lines that all fit are drawn from the top, leaving room below: not anchored yet.
    const bool anchored =
        !placed.empty() && !m_singleLine && isAtBottom() && placed.front().top <= kMarginY &&
        m_paintedToEnd &&
        placed.back().top + placed.back().height == viewport()->height() - kMarginY;
    m_paintedNewest = anchored ? placed.back().index : -1;
    m_paintedWidth = viewport()->width();

    const TextPos from = std::min(m_anchor, m_cursor);
    const TextPos to = std::max(m_anchor, m_cursor);
    QTextCharFormat selection;
    selection.setBackground(palette().highlight());
    selection.setForeground(palette().highlightedText());

    for (const PlacedLine &line : placed) {
        if (line.top + line.height <= event->rect().top() || line.top > event->rect().bottom())
            continue;
        const int length = int(line.layout->text().size());
        const int start = line.index == from.line ? std::min(from.offset, length) : 0;
        const int end = line.index == to.line ? std::min(to.offset, length) : length;
        const bool selected =
            hasSelection() && line.index >= from.line && line.index <= to.line && end > start;
        if (m_buffer->isHighlighted(line.index))
            painter.fillRect(QRect(0, line.top, viewport()->width(), line.height),
                             QColor(kMentionBackground));
        line.cached->draw(painter, QPoint(kMarginX, line.top), selection, selected ? start : 0,
                          selected ? end : 0, searchFormats(line.index, line.layout->text()));
        // The caret shows where the keyboard extends the selection from.
        if (m_caretShown && hasFocus() && line.index == m_cursor.line) {
            painter.setPen(palette().color(QPalette::Text));
            line.layout->drawCursor(&painter, QPointF(kMarginX, line.top),
                                    std::min(m_cursor.offset, length));
        }
    }
    drawUnreadMarker(painter, placed);
    trimCache();
}

void ChatView::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollRange();
}

void ChatView::showEvent(QShowEvent *event)
{
    QAbstractScrollArea::showEvent(event);
    watchWindow();
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
    // Following appended lines is drawn by drawNewLines.
    if (m_appendScroll)
        return;
    m_paintedNewest = -1;
    viewport()->update();
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
    if (event->matches(QKeySequence::SelectAll)) {
        selectAll();
        event->accept();
        return;
    }
    if (extendSelectionByKey(event)) {
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

QRect ChatView::characterRect(int offset) const
{
    const TextPos pos = positionOf(offset);
    for (const PlacedLine &placed : placeLines()) {
        if (placed.index != pos.line)
            continue;
        const QTextLine line = placed.layout->lineForTextPosition(pos.offset);
        if (!line.isValid())
            return QRect();
        const qreal left = line.cursorToX(pos.offset);
        const qreal right = line.cursorToX(pos.offset + 1);
        return QRectF(kMarginX + left, placed.top + line.y(), std::max<qreal>(1, right - left),
                      line.height())
            .toAlignedRect();
    }
    return QRect();
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
    return chatLineFont(font(), pointSize);
}

const ChatLineLayout &ChatView::layoutFor(int line) const
{
    const int width = layoutWidth();
    if (width != m_cacheWidth) {
        m_cache.clear();
        m_cacheWidth = width;
    }
    std::unique_ptr<ChatLineLayout> &slot = m_cache[line];
    if (!slot) {
        const ChatLineStyle style{font(),       palette().base(), width,
                                  m_singleLine, m_smileyPictures, palette().link()};
        slot = ChatLineLayout::build(*m_buffer, line, style);
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
        const ChatLineLayout &line = layoutFor(count - 1);
        placed.push_back(
            {count - 1, singleLineTop(line, height), line.height, &line.layout, &line});
        return placed;
    }

    const QScrollBar *bar = verticalScrollBar();
    if (bar->value() < bar->maximum()) {
        int y = kMarginY;
        for (int i = std::clamp(bar->value(), 0, count - 1); i < count && y < height; ++i) {
            const ChatLineLayout &line = layoutFor(i);
            placed.push_back({i, y, line.height, &line.layout, &line});
            y += line.height;
        }
        return placed;
    }

    // Following: the newest line sits on the bottom edge, unless all lines fit from the top.
    int y = height - kMarginY;
    for (int i = count - 1; i >= 0 && y > 0; --i) {
        const ChatLineLayout &line = layoutFor(i);
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

void ChatView::updateScrollRange(bool appending)
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
    if (following) {
        m_appendScroll = appending;
        bar->setValue(maximum);
        m_appendScroll = false;
    }
    trimCache();
}

void ChatView::reset()
{
    m_cache.clear();
    m_paintedNewest = -1;
    m_textIndex.reset();
    m_announceFrom = -1;
    m_caretPlaced = false;
    m_caretShown = false;
    m_dragging = false;
    m_autoScroll.stop();
    m_rangeDirty = false;
    m_newLines = false;
    m_tailFrom = 0;
    m_searchCurrent = {};
    m_unreadMarker = -1;
    m_unreadFrom = m_unreadFrom >= 0 ? 0 : -1;
    verticalScrollBar()->setRange(0, 0);
    clearSelection();
    viewport()->update();
}
