#pragma once

#include <QDialog>

class IrcSession;

// Asks the server for a new nickname and takes it as the current nick at once. Unloads itself
// when closed.
class ChangeNickDialog : public QDialog
{
    Q_OBJECT
public:
    explicit ChangeNickDialog(IrcSession &session, QWidget *parent = nullptr);

private:
    bool change(const QString &nick);

    IrcSession &m_session;
};
