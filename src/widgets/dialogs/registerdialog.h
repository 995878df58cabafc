#pragma once

#include <QDialog>

class IrcSession;
class QLabel;
class QLineEdit;
class XPButton;

// Registers or drops the current nickname with NickServ. Either action first asks the user to
// type back a random code shown in the dialog; the code lives as long as the dialog, which
// unloads itself when closed.
class RegisterDialog : public QDialog
{
    Q_OBJECT
public:
    enum class Mode
    {
        Register,
        Drop
    };

    explicit RegisterDialog(IrcSession &session, QWidget *parent = nullptr);

    // Enables the controls of one action and disables those of the other.
    void setMode(Mode mode);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void registerNickname();
    void dropNickname();
    bool acceptCode(const QString &refusal);
    void showError(const QString &text);
    void newCode();

    IrcSession &m_session;
    QLineEdit *m_nickBox;
    QLineEdit *m_passwordBox;
    QLineEdit *m_retypeBox;
    QLineEdit *m_emailBox;
    QLabel *m_codeLabel;
    QLineEdit *m_codeBox;
    XPButton *m_registerButton;
    XPButton *m_dropButton;
};
