#pragma once

#include <QDialog>

class LineSender;

// Asks NickServ to change the nickname's password. Unloads itself when closed.
class ChangePasswordDialog : public QDialog
{
    Q_OBJECT
public:
    explicit ChangePasswordDialog(LineSender &server, QWidget *parent = nullptr);

private:
    LineSender &m_server;
};
