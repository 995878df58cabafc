// ChatView's new lines: taken in once per frame, announced to assistive technology and drawn by
// scrolling what is on screen. The view's layout and painting live in chatview.cpp.
#include "chatview.h"

#include "chatlinelayout.h"
#include "text/chatbuffer.h"

#include <QAccessible>
#include <QScrollBar>

#include <utility>

namespace {
// New lines are drawn at most this often: twenty a second still reads as at once.
constexpr int kFrameMs = 50;
// Text that crosses the whole view in less than this cannot be read as it goes by. The view
// then jumps a screenful at a time, at most this often, like a terminal's jump scroll: each
// frame would draw a whole new screen anyway, and fewer of them cost the program and the
// display server far less.
constexpr int kReadableMs = 250;
constexpr int kJumpFrameMs = 200;
// While the view follows new lines its scroll bar sits at the bottom whatever the count, and
// redrawing it costs more than the lines (the style's gradients are filled on worker threads,
// each woken for it): its range is brought up to date once a second.
constexpr int kRangeMs = 1000;
} // namespace

std::function<void(const QAccessibleTextInsertEvent &)> ChatView::s_announcementListener;

void ChatView::onLineAppended()
{
    // Called for every line: no layout here. The lines of a display frame are taken in
    // together, so a busy room costs one small drawing per frame, not one per line.
    m_rangeDirty = true;
    m_newLines = true;
    // Asking the platform whether assistive technology listens costs more than the rest of
    // this: it is asked by the first line of a frame only.
    const bool frameDue = m_frame.isActive();
    if (m_announceFrom < 0 && (s_announcementListener || (!frameDue && QAccessible::isActive())))
        m_announceFrom = lineCount() - 1;
    if (!frameDue && (isVisible() || m_announceFrom >= 0))
        m_frame.start(nextFrameWait(), this);
}

void ChatView::onLinesDropped(int count)
{
    const auto moved = [count](int line) { return line < 0 ? line : std::max(0, line - count); };
    m_cache.clear(); // keyed by line number
    m_textIndex.reset();
    m_paintedNewest = -1;
    m_announceFrom = moved(m_announceFrom);
    m_unreadFrom = moved(m_unreadFrom);
    m_unreadMarker = m_unreadMarker < count ? -1 : m_unreadMarker - count;
    if (m_searchCurrent.line < count)
        m_searchCurrent = {};
    else
        m_searchCurrent.line -= count;
    if (std::min(m_anchor, m_cursor).line < count) {
        clearSelection();
    } else {
        m_anchor.line -= count;
        m_cursor.line -= count;
    }

    QScrollBar *bar = verticalScrollBar();
    const bool following = bar->value() >= bar->maximum();
    const int top = bar->value() - count;
    updateScrollRange();
    if (!following)
        bar->setValue(std::max(0, top));
    viewport()->update();
}

void ChatView::announceNewLines()
{
    if (m_announceFrom < 0 || !m_buffer)
        return;
    const int from = std::min(m_announceFrom, lineCount());
    m_announceFrom = -1;
    const ChatTextIndex &index = textIndex();
    if (from >= index.lineCount())
        return;
    // The new lines follow the old text after a "\n" of their own.
    const int start = from == 0 ? 0 : index.lineStart(from) - 1;
    QAccessibleTextInsertEvent inserted(this, start, textBetween(start, index.length()));
    if (s_announcementListener)
        s_announcementListener(inserted);
    QAccessible::updateAccessibility(&inserted);
}

void ChatView::takeInNewLines()
{
    m_frame.stop();
    announceNewLines();
    // The scroll range may have caught up with these lines already; they still need drawing.
    if (!std::exchange(m_newLines, false))
        return;
    const bool following = isAtBottom();
    const bool rangeRecent = m_rangeClock.isValid() && m_rangeClock.elapsed() < kRangeMs;
    if (m_rangeDirty && following && rangeRecent) {
        if (!m_rangeCatchUp.isActive())
            m_rangeCatchUp.start(kRangeMs, this);
    } else if (m_rangeDirty) {
        bringRangeUpToDate();
    }
    // Lines added below a view scrolled back change only the scroll bar.
    if (following || m_paintedToEnd)
        drawNewLines();
}

void ChatView::bringRangeUpToDate()
{
    m_rangeCatchUp.stop();
    m_rangeClock.start();
    if (m_rangeDirty)
        updateScrollRange(true);
}

void ChatView::drawNewLines()
{
    const int count = lineCount();
    const int height = viewport()->height();
    if (m_paintedNewest < 0 || m_paintedNewest >= count || m_paintedWidth != viewport()->width() ||
        !isAtBottom()) {
        viewport()->update();
        return;
    }
    // From the newest line back, so that lines scrolled past in one frame are never laid out.
    int added = 0;
    for (int line = count - 1; line > m_paintedNewest && added < height; --line)
        added += layoutFor(line).height;
    paceFrames(std::min(added, height), height);
    if (added >= height) {
        viewport()->update();
    } else if (added > 0) {
        m_paintedNewest = count - 1;
        viewport()->scroll(0, -added);
    }
}

void ChatView::paceFrames(int added, int height)
{
    qint64 since = kFrameMs;
    if (m_frameClock.isValid())
        since = m_frameClock.restart();
    else
        m_frameClock.start();
    // Speeds compared without dividing: added / since against height / kReadableMs.
    m_jumpScrolling = height > 0 && qint64(added) * kReadableMs >= qint64(height) * since;
}

int ChatView::nextFrameWait() const
{
    // Jumping goes on while lines keep coming right after each frame; the first line after a
    // pause is drawn promptly, whatever the text did before it.
    const bool jumping =
        m_jumpScrolling && m_frameClock.isValid() && m_frameClock.elapsed() < kFrameMs;
    return jumping ? kJumpFrameMs : kFrameMs;
}

void ChatView::setAnnouncementListener(
    std::function<void(const QAccessibleTextInsertEvent &)> listener)
{
    s_announcementListener = std::move(listener);
}
