#include "chatviewaccessible.h"

#include "chattextindex.h"
#include "chatview.h"

#include <algorithm>

namespace {

// A stretch of the view's text around an offset, for the boundary rules Qt already has (words,
// sentences, lines): they are applied to the stretch rather than to the whole text.
class TextStretch : public QAccessibleTextInterface
{
public:
    TextStretch(QString text, int start) : m_text(std::move(text)), m_start(start) {}

    template<typename Find>
    QString find(int offset, int *startOffset, int *endOffset, Find findInStretch)
    {
        const QString found = findInStretch(this, offset - m_start, startOffset, endOffset);
        if (*startOffset >= 0) {
            *startOffset += m_start;
            *endOffset += m_start;
        }
        return found;
    }

    QString text(int startOffset, int endOffset) const override
    {
        return m_text.mid(startOffset, endOffset - startOffset);
    }
    int characterCount() const override { return int(m_text.size()); }
    void selection(int, int *startOffset, int *endOffset) const override
    {
        *startOffset = *endOffset = 0;
    }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint &) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int, int *startOffset, int *endOffset) const override
    {
        *startOffset = *endOffset = 0;
        return {};
    }

private:
    QString m_text;
    int m_start;
};

// The line holding offset and the lines either side of it, so that words and lines can be
// found across a line's ends.
TextStretch stretchAround(const ChatView &view, int offset)
{
    const ChatTextIndex &index = view.textIndex();
    const int line = index.lineAt(std::clamp(offset, 0, index.length()));
    if (line < 0)
        return TextStretch(QString(), 0);
    const int first = std::max(0, line - 1);
    const int last = std::min(index.lineCount() - 1, line + 1);
    const int from = index.lineStart(first);
    const int to = index.lineStart(last) + index.lineLength(last) + 1;
    return TextStretch(view.textBetween(from, to), from);
}

} // namespace

ChatViewAccessible::ChatViewAccessible(ChatView *view)
    : QAccessibleWidget(view, QAccessible::EditableText)
{}

QAccessibleInterface *ChatViewAccessible::create(const QString &, QObject *object)
{
    if (auto *view = qobject_cast<ChatView *>(object))
        return new ChatViewAccessible(view);
    return nullptr;
}

ChatView *ChatViewAccessible::view() const
{
    return static_cast<ChatView *>(widget());
}

void *ChatViewAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface *>(this);
    return QAccessibleWidget::interface_cast(type);
}

QAccessible::State ChatViewAccessible::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    state.readOnly = true;
    state.multiLine = !view()->isSingleLine();
    state.selectableText = true;
    return state;
}

QString ChatViewAccessible::text(QAccessible::Text type) const
{
    if (type == QAccessible::Value)
        return text(0, characterCount());
    return QAccessibleWidget::text(type);
}

void ChatViewAccessible::selection(int selectionIndex, int *startOffset, int *endOffset) const
{
    *startOffset = *endOffset = 0;
    if (selectionIndex != 0 || !view()->hasSelection())
        return;
    const auto [anchor, caret] = view()->selectionOffsets();
    *startOffset = std::min(anchor, caret);
    *endOffset = std::max(anchor, caret);
}

int ChatViewAccessible::selectionCount() const
{
    return view()->hasSelection() ? 1 : 0;
}

void ChatViewAccessible::addSelection(int startOffset, int endOffset)
{
    setSelection(0, startOffset, endOffset);
}

void ChatViewAccessible::removeSelection(int selectionIndex)
{
    if (selectionIndex == 0)
        view()->clearSelection();
}

void ChatViewAccessible::setSelection(int selectionIndex, int startOffset, int endOffset)
{
    if (selectionIndex == 0)
        view()->selectOffsets(startOffset, endOffset);
}

int ChatViewAccessible::cursorPosition() const
{
    return view()->selectionOffsets().second;
}

void ChatViewAccessible::setCursorPosition(int position)
{
    view()->selectOffsets(position, position);
}

QString ChatViewAccessible::text(int startOffset, int endOffset) const
{
    return view()->textBetween(startOffset, endOffset);
}

int ChatViewAccessible::characterCount() const
{
    return view()->textIndex().length();
}

QString ChatViewAccessible::textBeforeOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                             int *startOffset, int *endOffset) const
{
    return findAround(&QAccessibleTextInterface::textBeforeOffset, offset, boundaryType,
                      startOffset, endOffset);
}

QString ChatViewAccessible::textAfterOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                            int *startOffset, int *endOffset) const
{
    return findAround(&QAccessibleTextInterface::textAfterOffset, offset, boundaryType, startOffset,
                      endOffset);
}

QString ChatViewAccessible::textAtOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                         int *startOffset, int *endOffset) const
{
    if (boundaryType == QAccessible::NoBoundary) {
        *startOffset = 0;
        *endOffset = characterCount();
        return text(0, *endOffset);
    }
    return findAround(&QAccessibleTextInterface::textAtOffset, offset, boundaryType, startOffset,
                      endOffset);
}

QString ChatViewAccessible::findAround(Finder find, int offset,
                                       QAccessible::TextBoundaryType boundaryType, int *startOffset,
                                       int *endOffset) const
{
    // Nothing comes before or after the whole text.
    if (boundaryType == QAccessible::NoBoundary) {
        *startOffset = *endOffset = -1;
        return QString();
    }
    TextStretch stretch = stretchAround(*view(), offset);
    return stretch.find(offset, startOffset, endOffset,
                        [find, boundaryType](TextStretch *s, int at, int *start, int *end) {
                            return (s->*find)(at, boundaryType, start, end);
                        });
}

QRect ChatViewAccessible::characterRect(int offset) const
{
    const QRect rect = view()->characterRect(offset);
    if (rect.isNull())
        return rect;
    return QRect(view()->viewport()->mapToGlobal(rect.topLeft()), rect.size());
}

int ChatViewAccessible::offsetAtPoint(const QPoint &point) const
{
    return view()->offsetAt(view()->viewport()->mapFromGlobal(point));
}

void ChatViewAccessible::scrollToSubstring(int startIndex, int)
{
    view()->scrollToOffset(startIndex);
}

QString ChatViewAccessible::attributes(int, int *startOffset, int *endOffset) const
{
    *startOffset = 0;
    *endOffset = characterCount();
    return QString();
}
