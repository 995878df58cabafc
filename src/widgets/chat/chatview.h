#pragma once

#include "chattextindex.h"
#include "text/chatsearch.h"

#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QElapsedTimer>
#include <QPointer>
#include <QTextLayout>
#include <QTextLine>

#include <functional>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

class ChatBuffer;
struct ChatLineLayout;
class QAccessibleTextInsertEvent;
class QPainter;
class QTextLayout;

// Shows the lines of a ChatBuffer. Only the lines on screen are laid out, and a few of those
// layouts are cached, so appending a line costs next to nothing and a buffer of any length
// costs the view no memory. The scroll bar counts lines: its value is the index of the top line,
// and at its maximum the view is anchored to the newest line and follows new lines as they come.
class ChatView : public QAbstractScrollArea
{
    Q_OBJECT
public:
    explicit ChatView(QWidget *parent = nullptr);
    ~ChatView() override;

    // The buffer is not owned and may be destroyed while shown.
    void setBuffer(ChatBuffer *buffer);
    ChatBuffer *buffer() const;

    // Topic-box mode: the last line only, unwrapped, without a scroll bar, one line tall.
    void setSingleLine(bool singleLine);
    bool isSingleLine() const { return m_singleLine; }

    // Smiley codes (":)", ":angel", see SmileyTable) drawn as their pictures; off at first.
    // Only the drawing changes: the text, selection and copies keep the codes. Lines grow to
    // fit taller pictures, except in single-line mode, where pictures shrink to the line.
    void setSmileyPictures(bool on);
    bool smileyPictures() const { return m_smileyPictures; }

    bool isAtBottom() const;
    // Where a line is drawn, in viewport coordinates; a null rectangle when it is not on screen.
    QRect lineRect(int line) const;

    bool hasSelection() const { return m_anchor != m_cursor; }
    // Selected text; the lines it spans are joined with "\n".
    QString selectedText() const;

    // The text as assistive technology reads it: the lines' plain text joined with "\n",
    // addressed by character offsets.
    const ChatTextIndex &textIndex() const;
    QString textBetween(int from, int to) const;
    // Anchor and caret of the selection as offsets; equal when nothing is selected.
    std::pair<int, int> selectionOffsets() const;
    void selectOffsets(int anchor, int caret);
    // Where a character is drawn, in viewport coordinates; null when it is not on screen.
    QRect characterRect(int offset) const;
    // The offset drawn at a viewport point; -1 when there is no text.
    int offsetAt(QPoint point) const;
    void scrollToOffset(int offset);

    // New lines are announced only while assistive technology listens, so that a flood costs
    // nothing more without it. A listener set here hears every announcement as well, whether
    // the platform has assistive technology or not (tests, tools); empty removes it.
    // Matches of a search drawn on the lines shown: the current one in the selection's colours
    // and scrolled into view, the others tinted. An empty search draws none.
    void setSearchMatches(const ChatSearch &search, const ChatMatch &current);
    const ChatMatch &currentSearchMatch() const { return m_searchCurrent; }
    // Space kept free below the lines, for a bar shown there.
    void reserveBottom(int pixels);

    // The first line that came while the view's window was inactive: from the window's next
    // activation a thin line above it marks where the unseen lines begin, until the window is
    // left again. -1 when there is none.
    int unreadMarkerLine() const { return m_unreadMarker; }

    static void
    setAnnouncementListener(std::function<void(const QAccessibleTextInsertEvent &)> listener);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

public slots:
    void scrollToBottom();
    void copy() const;
    void selectAll();
    void clearSelection();
    // Empties the buffer shown.
    void clear();

signals:
    void selectionChanged();
    // A left click (no drag) on an address in a line; address is the link's text as shown.
    void linkActivated(const QString &address);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void timerEvent(QTimerEvent *event) override;
    bool viewportEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct TextPos
    {
        int line = 0;
        int offset = 0;
        friend auto operator<=>(const TextPos &, const TextPos &) = default;
    };
    struct PlacedLine
    {
        int index;
        int top;
        int height;
        const QTextLayout *layout;
        const ChatLineLayout *cached;
    };

    int lineCount() const;
    int layoutWidth() const;
    QFont lineFont(qreal pointSize) const;
    const ChatLineLayout &layoutFor(int line) const;
    void trimCache() const;
    std::vector<PlacedLine> placeLines() const;
    int linesFittingAtBottom() const;
    std::optional<TextPos> positionAt(QPoint point, QTextLine::CursorPosition mode) const;

    int offsetOf(TextPos pos) const;
    TextPos positionOf(int offset) const;
    // Shift with the arrows, Home and End extends the selection from the caret.
    bool extendSelectionByKey(const QKeyEvent *event);
    void scrollToLine(int line);
    // Tells assistive technology about the lines appended since the last time, in one event.
    void announceNewLines();

    void onLineAppended();
    // The buffer let its oldest lines go: what refers to lines moves with them, and a view
    // scrolled back keeps showing the same lines.
    void onLinesDropped(int count);
    // Once per display frame: brings the scroll range up to date with the lines appended,
    // announces them and draws them.
    void takeInNewLines();
    void bringRangeUpToDate();
    // appending: the range grows because lines were added, and following them moves the
    // pixels already drawn rather than asking for a whole new picture.
    void updateScrollRange(bool appending = false);
    // Moves what is drawn up by the new lines' height and paints only the strip they take, or
    // the whole view when that cannot be done.
    void drawNewLines();
    // Picks the wait before the next frame from how fast the text scrolls: added pixels of new
    // lines since the last frame, in a view this tall.
    void paceFrames(int added, int height);
    // How long a frame started now waits for more lines, in milliseconds.
    int nextFrameWait() const;
    void reset();
    void setSelection(TextPos anchor, TextPos cursor);
    void extendSelectionTo(QPoint point);
    // Search highlights for a line on screen, drawn under the selection.
    QList<QTextLayout::FormatRange> searchFormats(int line, QStringView text) const;
    // Follows the activation of the window the view is in, for the unread marker.
    void watchWindow();
    void windowActivationChanged(bool active);
    void drawUnreadMarker(QPainter &painter, const std::vector<PlacedLine> &placed) const;

    // The address drawn at a viewport point, as its text; empty when there is none.
    QString linkAt(QPoint point) const;
    // A hand and the address as tool tip over an address, the text cursor elsewhere.
    void showLinkHover(QPoint point);
    // A press on an address opens it when released there without a drag.
    void pressLink(QPoint point);
    void dragFromLink(QPoint point);
    bool releaseLink(QPoint point);

    QPointer<ChatBuffer> m_buffer;
    bool m_singleLine = false;
    bool m_smileyPictures = false;
    bool m_rangeDirty = false;
    bool m_newLines = false; // appended since a frame last took lines in
    bool m_paintedToEnd = true;
    bool m_appendScroll = false; // the scroll bar moves to follow appended lines
    // What the pixels on screen show: the newest line drawn, anchored to the bottom edge at
    // this width. -1 when they show something else.
    int m_paintedNewest = -1;
    int m_paintedWidth = -1;

    TextPos m_anchor;
    TextPos m_cursor;
    bool m_caretPlaced = false; // by a click, the keyboard or assistive technology
    bool m_caretShown = false;  // once the keyboard has moved it
    bool m_dragging = false;
    QPoint m_dragPoint;
    QBasicTimer m_autoScroll;
    QBasicTimer m_frame;
    bool m_jumpScrolling = false; // new lines come too fast to read: fewer frames
    QElapsedTimer m_frameClock;   // since the last frame drew new lines
    QBasicTimer m_rangeCatchUp;
    QElapsedTimer m_rangeClock; // since the scroll range last took appended lines in
    int m_wheelRemainder = 0;
    QString m_pressedLink; // the address pressed on, until a drag or the release
    QPoint m_pressPoint;
    bool m_overLink = false;

    mutable std::unordered_map<int, std::unique_ptr<ChatLineLayout>> m_cache;
    mutable int m_cacheWidth = -1;
    int m_tailFrom = 0; // first of the newest lines that fit the viewport, last computed
    mutable ChatTextIndex m_textIndex;
    int m_announceFrom = -1; // first line not yet announced to assistive technology
    static std::function<void(const QAccessibleTextInsertEvent &)> s_announcementListener;

    ChatSearch m_search;
    ChatMatch m_searchCurrent;
    QPointer<QWidget> m_watchedWindow;
    int m_unreadFrom = -1; // first line that came while the window was inactive
    int m_unreadMarker = -1;
};
