// ChatView's selection: choosing text with the mouse (drag, with automatic scrolling past the
// edges, and a word on double click), copying it, and the primary selection on X11. The view's
// layout and scrolling live in chatview.cpp.
#include "chatview.h"

#include "text/chatbuffer.h"

#include <QAccessible>
#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTextBoundaryFinder>

#include <algorithm>

namespace {
constexpr int kAutoScrollMs = 50;
} // namespace

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
    pressLink(m_dragPoint);
    m_caretPlaced = pos.has_value();
    m_caretShown = false;
    setSelection(pos.value_or(TextPos{}), pos.value_or(TextPos{}));
}

void ChatView::mouseMoveEvent(QMouseEvent *event)
{
    if (event->buttons() == Qt::NoButton)
        showLinkHover(event->position().toPoint());
    if (!m_dragging)
        return;
    m_dragPoint = event->position().toPoint();
    dragFromLink(m_dragPoint);
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
    if (releaseLink(event->position().toPoint()))
        return;
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

void ChatView::timerEvent(QTimerEvent *event)
{
    if (event->timerId() == m_frame.timerId()) {
        takeInNewLines();
        return;
    }
    if (event->timerId() == m_rangeCatchUp.timerId()) {
        // A frame on its way brings the range up to date with its lines, laying out and
        // drawing once for both.
        if (m_frame.isActive())
            m_rangeCatchUp.stop();
        else
            bringRangeUpToDate();
        return;
    }
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

void ChatView::setSelection(TextPos anchor, TextPos cursor)
{
    const bool changed =
        (anchor != cursor || hasSelection()) && (anchor != m_anchor || cursor != m_cursor);
    const bool caretMoved = cursor != m_cursor;
    m_anchor = anchor;
    m_cursor = cursor;
    if (changed) {
        viewport()->update();
        emit selectionChanged();
    }
    if (QAccessible::isActive() && (changed || caretMoved)) {
        const auto [from, to] = selectionOffsets();
        QAccessibleTextSelectionEvent selection(this, std::min(from, to), std::max(from, to));
        selection.setCursorPosition(to);
        QAccessible::updateAccessibility(&selection);
    }
}

void ChatView::extendSelectionTo(QPoint point)
{
    if (const std::optional<TextPos> pos = positionAt(point, QTextLine::CursorBetweenCharacters))
        setSelection(m_anchor, *pos);
}

const ChatTextIndex &ChatView::textIndex() const
{
    if (m_buffer)
        m_textIndex.sync(*m_buffer);
    else
        m_textIndex.reset();
    return m_textIndex;
}

QString ChatView::textBetween(int from, int to) const
{
    return m_buffer ? textIndex().text(*m_buffer, from, to) : QString();
}

int ChatView::offsetOf(TextPos pos) const
{
    const ChatTextIndex &index = textIndex();
    if (pos.line >= index.lineCount())
        return index.length();
    return index.lineStart(pos.line) + std::min(pos.offset, index.lineLength(pos.line));
}

ChatView::TextPos ChatView::positionOf(int offset) const
{
    const ChatTextIndex &index = textIndex();
    const int line = index.lineAt(std::clamp(offset, 0, index.length()));
    if (line < 0)
        return TextPos{};
    return TextPos{line, std::clamp(offset - index.lineStart(line), 0, index.lineLength(line))};
}

std::pair<int, int> ChatView::selectionOffsets() const
{
    return {offsetOf(m_anchor), offsetOf(m_cursor)};
}

void ChatView::selectOffsets(int anchor, int caret)
{
    m_caretPlaced = true;
    setSelection(positionOf(anchor), positionOf(caret));
    scrollToLine(m_cursor.line);
}

int ChatView::offsetAt(QPoint point) const
{
    const std::optional<TextPos> pos = positionAt(point, QTextLine::CursorBetweenCharacters);
    return pos ? offsetOf(*pos) : -1;
}

void ChatView::scrollToOffset(int offset)
{
    scrollToLine(positionOf(offset).line);
}

void ChatView::scrollToLine(int line)
{
    for (const PlacedLine &placed : placeLines()) {
        if (placed.index == line && placed.top >= 0 &&
            placed.top + placed.height <= viewport()->height())
            return;
    }
    if (m_rangeDirty)
        updateScrollRange();
    QScrollBar *bar = verticalScrollBar();
    bar->setValue(line < bar->value() ? line : line - bar->pageStep() + 1);
}

bool ChatView::extendSelectionByKey(const QKeyEvent *event)
{
    if (!(event->modifiers() & Qt::ShiftModifier) || lineCount() == 0)
        return false;
    const bool wholeText = event->modifiers() & Qt::ControlModifier;
    if (!m_caretPlaced && !hasSelection()) {
        // Nothing chosen yet: start from the end, where the newest lines are.
        m_anchor = m_cursor = positionOf(textIndex().length());
    }
    const int caret = offsetOf(m_cursor);
    TextPos to = m_cursor;
    switch (event->key()) {
    case Qt::Key_Left:
        to = positionOf(caret - 1);
        break;
    case Qt::Key_Right:
        to = positionOf(caret + 1);
        break;
    case Qt::Key_Up:
        to = TextPos{std::max(0, m_cursor.line - 1), m_cursor.offset};
        break;
    case Qt::Key_Down:
        to = TextPos{std::min(lineCount() - 1, m_cursor.line + 1), m_cursor.offset};
        break;
    case Qt::Key_Home:
        to = wholeText ? TextPos{} : TextPos{m_cursor.line, 0};
        break;
    case Qt::Key_End:
        to = wholeText ? positionOf(textIndex().length())
                       : TextPos{m_cursor.line, textIndex().lineLength(m_cursor.line)};
        break;
    default:
        return false;
    }
    m_caretShown = true;
    selectOffsets(offsetOf(m_anchor), offsetOf(to));
    return true;
}
