#pragma once

#include <QDialog>

class IrcSession;
class QLabel;
class QLineEdit;

// Identifies the nickname to NickServ with a password, or hands over to the change-nickname
// dialog. Unloads itself when closed.
class IdentifyDialog : public QDialog
{
    Q_OBJECT
public:
    explicit IdentifyDialog(IrcSession &session, QWidget *parent = nullptr);

    void setNick(const QString &nick);
    // The "This nickname is registered" notice.
    void setNoticeVisible(bool visible);

signals:
    void changeNickRequested();
    void showChannelRequested();

private:
    void identify();
    void changeNick();

    IrcSession &m_session;
    QLabel *m_noticeLabel;
    QLineEdit *m_nickBox;
    QLineEdit *m_passwordBox;
};
