#pragma once

#include <QPointer>
#include <QWidget>

struct ChatMatch;
class ChatSearch;
class ChatView;
class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QToolButton;

// A bar along the bottom of a chat view for finding text in all of the view's lines, not only
// those on screen: a text box, previous and next buttons, and "Match case". Ctrl+F in the view
// opens it; typing finds the newest match at or above the current one, Enter goes to the next
// (newer) match and Shift+Enter to the previous (older) one, both wrapping round; Esc closes it
// and gives the focus back. The view scrolls to the current match and draws every match it
// shows; when the text is nowhere, the box turns red and the bar says so.
class FindBar : public QWidget
{
    Q_OBJECT
public:
    // A hidden bar for the view, as the view's child.
    explicit FindBar(ChatView *view);

    // Lets Ctrl+F anywhere in a window open the bar too. While sharedWith (an action on the same
    // keys, if any) is enabled the keys stay its own, except in the view and the bar.
    void openOnWindowKeys(QWidget *window, const QAction *sharedWith = nullptr);

    bool isNotFound() const;

public slots:
    void open();
    void dismiss();
    void findNext();
    void findPrevious();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    // Finds the text again after it or the case setting changed, keeping the current match
    // when it still matches.
    void findAgain();
    ChatSearch typedSearch() const;
    // To the next match below the current one, or above it; wrapping round.
    void step(bool down);
    void goTo(const ChatSearch &search, const ChatMatch &match);
    void setNotFound(bool notFound);
    void place();

    ChatView *m_view;
    // The view's viewport, compared with what events come from: the view itself cannot be asked
    // while it is being destroyed, and the events of its destruction pass this bar's filter.
    QWidget *m_viewport;
    QLineEdit *m_text;
    QToolButton *m_previousButton;
    QToolButton *m_nextButton;
    QCheckBox *m_matchCase;
    QLabel *m_status;
    QToolButton *m_closeButton;
    QPointer<QWidget> m_returnFocus;
};
