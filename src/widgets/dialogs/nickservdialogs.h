#pragma once

#include "changenickdialog.h"
#include "changepassworddialog.h"
#include "identifydialog.h"
#include "registerdialog.h"

#include <QObject>

#include <functional>
#include <QPointer>

class IrcSession;
class QLineEdit;
class QDialog;
class QWidget;

// The part of a box's text that can go out inside one protocol line: everything before the first
// CR, LF or NUL. A pasted text may hold them, and the session would cut the whole line there, so
// the dialogs cut each field first and the rest of the line still goes out as typed.
QString sendableText(const QLineEdit *box);

// What every NickServ dialog starts with: its object name and title, and unloading itself when
// it is closed.
void setUpNickServDialog(QDialog *dialog, const QString &objectName, const QString &title);

// Hands the box's sendable text to submit and closes the dialog when submit took it (true); an
// empty text does neither, and a refused one (not connected) leaves the dialog as it is.
void submitAndClose(QDialog *dialog, const QLineEdit *box,
                    const std::function<bool(const QString &)> &submit);

// Fills a one-question dialog: the prompt `Label1`, the text box `Text1` and the button
// `XPButton1` "Change"; the button and Enter in the box submit the box's text (see
// submitAndClose). The dialog's layout is a QVBoxLayout that callers may add to.
void buildChangeForm(QDialog *dialog, const QString &prompt,
                     std::function<bool(const QString &)> submit);

// Loads the NickServ dialogs on first use and shows them. A dialog unloads itself when it is
// closed, so the next request loads a fresh one.
class NickServDialogs : public QObject
{
    Q_OBJECT
public:
    // The dialogs are children of dialogParent (usually the room window).
    explicit NickServDialogs(IrcSession &session, QWidget *dialogParent = nullptr,
                             QObject *parent = nullptr);
    ~NickServDialogs() override;

    // The loaded dialogs, or null.
    IdentifyDialog *identifyDialog() const { return m_identify; }
    RegisterDialog *registerDialog() const { return m_register; }
    ChangeNickDialog *changeNickDialog() const { return m_changeNick; }
    ChangePasswordDialog *changePasswordDialog() const { return m_changePassword; }

public slots:
    // The nickname box shows nick, or the current nick when nick is empty. The identify menu
    // shows the dialog without its "nickname is registered" notice.
    void showIdentify(const QString &nick = {}, bool withNotice = true);
    void showRegister(RegisterDialog::Mode mode);
    void showChangeNick();
    void showChangePassword();

signals:
    // The identify dialog's "Change Nick" wants the room window in front.
    void showChannelRequested();

private:
    template<typename Dialog> Dialog *load(QPointer<Dialog> &dialog);

    IrcSession &m_session;
    QPointer<QWidget> m_dialogParent;
    QPointer<IdentifyDialog> m_identify;
    QPointer<RegisterDialog> m_register;
    QPointer<ChangeNickDialog> m_changeNick;
    QPointer<ChangePasswordDialog> m_changePassword;
};
