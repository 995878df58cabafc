#pragma once

#include <QAccessibleWidget>

class ChatView;

// What a screen reader sees of a ChatView: read-only multi-line text, the plain text of its
// lines (formatting codes left out) joined with "\n", with the caret, the selection and
// character, word and line boundaries. The view announces appended lines itself, one event per
// batch.
class ChatViewAccessible : public QAccessibleWidget, public QAccessibleTextInterface
{
public:
    explicit ChatViewAccessible(ChatView *view);

    // For QAccessible::installFactory: an interface for every ChatView.
    static QAccessibleInterface *create(const QString &className, QObject *object);

    void *interface_cast(QAccessible::InterfaceType type) override;
    QAccessible::State state() const override;
    QString text(QAccessible::Text type) const override;

    void selection(int selectionIndex, int *startOffset, int *endOffset) const override;
    int selectionCount() const override;
    void addSelection(int startOffset, int endOffset) override;
    void removeSelection(int selectionIndex) override;
    void setSelection(int selectionIndex, int startOffset, int endOffset) override;
    int cursorPosition() const override;
    void setCursorPosition(int position) override;
    QString text(int startOffset, int endOffset) const override;
    QString textBeforeOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                             int *startOffset, int *endOffset) const override;
    QString textAfterOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                            int *startOffset, int *endOffset) const override;
    QString textAtOffset(int offset, QAccessible::TextBoundaryType boundaryType, int *startOffset,
                         int *endOffset) const override;
    int characterCount() const override;
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint &point) const override;
    void scrollToSubstring(int startIndex, int endIndex) override;
    QString attributes(int offset, int *startOffset, int *endOffset) const override;

private:
    using Finder = QString (QAccessibleTextInterface::*)(int, QAccessible::TextBoundaryType, int *,
                                                         int *) const;
    // Applies one of Qt's boundary rules to the lines around offset.
    QString findAround(Finder find, int offset, QAccessible::TextBoundaryType boundaryType,
                       int *startOffset, int *endOffset) const;
    ChatView *view() const;
};
