#pragma once

#include <QWidget>

class ChatBuffer;
class ChatView;
class IrcSession;
class QLabel;
class QLineEdit;
class QPushButton;

// The window of one private conversation: the partner's name, the start line, the view of the
// conversation and the input line. Closing it frees the partner's slot in the conversation
// table; the window object stays for the next conversation that takes the slot.
class ConversationWindow : public QWidget
{
    Q_OBJECT
public:
    ConversationWindow(IrcSession &session, ChatBuffer &view, QWidget *parent = nullptr);

    // Shows the window for a partner: caption and heading become the partner's nick, and a
    // window that was closed starts again with a fresh start line.
    void open(const QString &partner);
    QString partner() const { return windowTitle(); }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void appendStartLine();

    IrcSession &m_session;
    ChatBuffer &m_buffer;
    ChatView *m_txtprvmsg = nullptr;
    QLabel *m_lbltop2 = nullptr;
    QLabel *m_lbltop3 = nullptr;
    QLineEdit *m_txtprvtosnd = nullptr;
    QPushButton *m_cmdclose = nullptr;
};
