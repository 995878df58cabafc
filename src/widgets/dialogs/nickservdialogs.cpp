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

void setUpNickServDialog(QDialog *dialog, const QString &objectName, const QString &title)
{
    dialog->setObjectName(objectName);
    dialog->setWindowTitle(title);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
}

void submitAndClose(QDialog *dialog, const QLineEdit *box,
                    const std::function<bool(const QString &)> &submit)
{
    const QString text = sendableText(box);
    if (text.isEmpty() || !submit(text))
        return;
    dialog->close();
}

void buildChangeForm(QDialog *dialog, const QString &prompt,
                     std::function<bool(const QString &)> submit)
{
    auto *promptLabel = new QLabel(prompt, dialog);
    promptLabel->setObjectName(QStringLiteral("Label1"));
    auto *textBox = new QLineEdit(dialog);
    textBox->setObjectName(QStringLiteral("Text1"));
    auto *changeButton = new SableCoolButton(QStringLiteral("Change"), dialog);
    changeButton->setObjectName(QStringLiteral("XPButton1"));

    auto *layout = new QVBoxLayout(dialog);
    layout->addWidget(promptLabel);
    layout->addWidget(textBox);
    layout->addWidget(changeButton, 0, Qt::AlignRight);

    const auto change = [dialog, textBox, submit = std::move(submit)] {
        submitAndClose(dialog, textBox, submit);
    };
    QObject::connect(changeButton, &SableCoolButton::clicked, dialog, change);
    QObject::connect(textBox, &QLineEdit::returnPressed, dialog, change);
    textBox->setFocus();
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
