#include "nickservdialogs.h"

#include "controls/sablecoolbutton.h"
#include "irc/ircsession.h"
#include "session/sessionvariables.h"
#include "text/lineends.h"

#include <QBoxLayout>
#include <QLabel>
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
    return firstLine(box->text()).toString();
}

QLineEdit *buildChangeForm(QDialog *dialog, const QString &prompt, std::function<void()> change)
{
    auto *label1 = new QLabel(prompt, dialog);
    label1->setObjectName(QStringLiteral("Label1"));
    auto *text1 = new QLineEdit(dialog);
    text1->setObjectName(QStringLiteral("Text1"));
    auto *button = new SableCoolButton(QStringLiteral("Change"), dialog);
    button->setObjectName(QStringLiteral("XPButton1"));

    auto *layout = new QVBoxLayout(dialog);
    layout->addWidget(label1);
    layout->addWidget(text1);
    layout->addWidget(button, 0, Qt::AlignRight);

    QObject::connect(button, &SableCoolButton::clicked, dialog, change);
    QObject::connect(text1, &QLineEdit::returnPressed, dialog, change);
    text1->setFocus();
    return text1;
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
