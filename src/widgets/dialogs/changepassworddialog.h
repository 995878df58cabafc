#pragma once

#include <QDialog>

class LineSender;
class QLineEdit;

// Asks NickServ to change the nickname's password. Unloads itself when closed.
class ChangePasswordDialog : public QDialog
{
    Q_OBJECT
public:
    explicit ChangePasswordDialog(LineSender &server, QWidget *parent = nullptr);

private:
    void change();

    LineSender &m_server;
    QLineEdit *m_text1;
};
