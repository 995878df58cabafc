#include "nickservdialogs.h"

#include "app/sessionvariables.h"
#include "irc/ircsession.h"

#include <QLineEdit>

namespace {

void present(QDialog *dialog)
{
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

} // namespace

QString sendableText(const QLineEdit *box)
{
    const QString text = box->text();
    qsizetype end = 0;
    while (end < text.size() && text[end] != u'\r' && text[end] != u'\n' && text[end] != QChar(0))
        ++end;
    return text.first(end);
}

NickServDialogs::NickServDialogs(IrcSession &session, QWidget *dialogParent, QObject *parent)
    : QObject(parent), m_session(session), m_dialogParent(dialogParent)
{}

NickServDialogs::~NickServDialogs()
{
    // Dialogs without a parent widget are ours to delete; those with one may already be gone.
    delete m_identify.data();
    delete m_register.data();
    delete m_changeNick.data();
    delete m_changePassword.data();
}

template<typename Dialog> Dialog *NickServDialogs::load(QPointer<Dialog> &dialog)
{
    if (!dialog)
        dialog = new Dialog(m_session, m_dialogParent);
    return dialog;
}

void NickServDialogs::showIdentify(const QString &nick, bool withNotice)
{
    const bool loaded = m_identify;
    IdentifyDialog *dialog = load(m_identify);
    if (!loaded) {
        connect(dialog, &IdentifyDialog::changeNickRequested, this,
                &NickServDialogs::showChangeNick);
        connect(dialog, &IdentifyDialog::showChannelRequested, this,
                &NickServDialogs::showChannelRequested);
    }
    dialog->setNick(nick.isEmpty() ? m_session.variables().CurrentNick : nick);
    dialog->setNoticeVisible(withNotice);
    present(dialog);
}

void NickServDialogs::showRegister(RegisterDialog::Mode mode)
{
    RegisterDialog *dialog = load(m_register);
    dialog->setMode(mode);
    present(dialog);
}

void NickServDialogs::showChangeNick()
{
    present(load(m_changeNick));
}

void NickServDialogs::showChangePassword()
{
    present(load(m_changePassword));
}
