#pragma once

#include <QDialog>

class IrcSession;
class QLineEdit;

// Asks NickServ to change the nickname's password. Unloads itself when closed.
class ChangePasswordDialog : public QDialog
{
    Q_OBJECT
public:
    explicit ChangePasswordDialog(IrcSession &session, QWidget *parent = nullptr);

private:
    void change();

    IrcSession &m_session;
    QLineEdit *m_text1;
};
