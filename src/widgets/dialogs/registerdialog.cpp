#include "registerdialog.h"

#include "controls/xpbutton.h"
#include "irc/commands.h"
#include "irc/ircsession.h"
#include "nickservdialogs.h"
#include "util/messageboxes.h"
#include "util/passwordbox.h"

#include <QBoxLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRandomGenerator>

namespace {

constexpr quint64 CodeLimit = 100'000'000'000'000; // codes have at most 14 digits

QLabel *namedLabel(const QString &text, const char *name, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    return label;
}

QLineEdit *namedBox(const char *name, const QString &toolTip, QWidget *parent)
{
    auto *box = new QLineEdit(parent);
    box->setObjectName(QLatin1String(name));
    box->setToolTip(toolTip);
    return box;
}

XPButton *namedButton(const QString &text, const char *name, QWidget *parent)
{
    auto *button = new XPButton(text, parent);
    button->setObjectName(QLatin1String(name));
    return button;
}

} // namespace

RegisterDialog::RegisterDialog(IrcSession &session, QWidget *parent)
    : QDialog(parent), m_session(session)
{
    setUpNickServDialog(this, QStringLiteral("registerr"),
                        QStringLiteral("Please fill the informations."));

    m_nickBox = namedBox("nick", {}, this);
    m_nickBox->setReadOnly(true);
    m_emailBox = namedBox("mid", QStringLiteral("Email Address"), this);

    auto *passwordGroup = new QGroupBox(QStringLiteral("Password Required :"), this);
    passwordGroup->setObjectName(QStringLiteral("fra"));
    m_passwordBox = namedBox("pwd", QStringLiteral("Password"), passwordGroup);
    showPasswordAsStars(m_passwordBox);
    m_retypeBox = namedBox("rpwd", QStringLiteral("Password"), passwordGroup);
    showPasswordAsStars(m_retypeBox);
    auto *passwords = new QGridLayout(passwordGroup);
    passwords->addWidget(namedLabel(QStringLiteral("Password:"), "lblpwd", passwordGroup), 0, 0);
    passwords->addWidget(m_passwordBox, 0, 1);
    passwords->addWidget(namedLabel(QStringLiteral("-Re type:"), "lblpwdr", passwordGroup), 1, 0);
    passwords->addWidget(m_retypeBox, 1, 1);

    m_codeLabel = namedLabel({}, "lbcode", this);
    m_codeLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_codeBox = namedBox("txtcode", QStringLiteral("Code Above"), this);

    m_registerButton = namedButton(QStringLiteral("Register Nickname"), "cmdok", this);
    m_dropButton = namedButton(QStringLiteral("Unregister Nickname"), "cmddrop", this);
    auto *cancelButton = namedButton(QStringLiteral("Cancel"), "cancel", this);

    auto *fields = new QGridLayout;
    fields->addWidget(namedLabel(QStringLiteral("Nickname:"), "lblusr", this), 0, 0);
    fields->addWidget(m_nickBox, 0, 1);
    fields->addWidget(passwordGroup, 1, 0, 1, 2);
    fields->addWidget(namedLabel(QStringLiteral("Email Address:"), "Label1", this), 2, 0);
    fields->addWidget(m_emailBox, 2, 1);
    fields->addWidget(namedLabel(QStringLiteral("Please Type this Code First"), "lblrnd", this), 3,
                      0);
    fields->addWidget(m_codeLabel, 3, 1);
    fields->addWidget(namedLabel(QStringLiteral("Code"), "lblcodew", this), 4, 0);
    fields->addWidget(m_codeBox, 4, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_registerButton);
    buttons->addWidget(m_dropButton);
    buttons->addWidget(cancelButton);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(namedLabel(QStringLiteral("Notice : View the results on the main text box."),
                                 "results", this));
    layout->addLayout(buttons);

    connect(m_registerButton, &XPButton::clicked, this, &RegisterDialog::registerNickname);
    connect(m_emailBox, &QLineEdit::returnPressed, this, &RegisterDialog::registerNickname);
    connect(m_dropButton, &XPButton::clicked, this, &RegisterDialog::dropNickname);
    connect(cancelButton, &XPButton::clicked, this, &QDialog::close);

    newCode();
    m_nickBox->setText(session.variables().CurrentNick);
}

void RegisterDialog::setMode(Mode mode)
{
    const bool registering = mode == Mode::Register;
    // Every control of both modes is set, so that a dialog still open from the other mode
    // does not keep both actions disabled.
    m_registerButton->setEnabled(registering);
    m_passwordBox->setEnabled(registering);
    m_retypeBox->setEnabled(registering);
    m_emailBox->setEnabled(registering);
    m_dropButton->setEnabled(!registering);
    (registering ? m_passwordBox : m_codeBox)->setFocus();
}

void RegisterDialog::showEvent(QShowEvent *event)
{
    // The nick may have changed while the dialog stayed open; show the one the server will act on.
    m_nickBox->setText(m_session.variables().CurrentNick);
    QDialog::showEvent(event);
}

void RegisterDialog::registerNickname()
{
    if (!acceptCode(QStringLiteral("Please type the code and correctly first.")))
        return;
    if (m_passwordBox->text() != m_retypeBox->text()) {
        showError(QStringLiteral("The Passwords in both the fields must be same"));
        m_passwordBox->clear();
        m_retypeBox->clear();
        return;
    }
    const QString password = sendableText(m_passwordBox);
    const QString email = sendableText(m_emailBox);
    if (password.isEmpty() || email.isEmpty())
        return;
    if (m_session.sendLine(commands::registerNick(password, email)))
        close();
}

void RegisterDialog::dropNickname()
{
    if (!acceptCode(QStringLiteral("Please type the code Correctly First.")))
        return;
    if (m_session.sendLine(commands::dropNick(m_session.variables().CurrentNick)))
        close();
}

// A wrong code is refused and replaced, so each try needs the code shown at that moment.
bool RegisterDialog::acceptCode(const QString &refusal)
{
    if (m_codeBox->text() == m_codeLabel->text())
        return true;
    showError(refusal);
    newCode();
    m_codeBox->clear();
    return false;
}

void RegisterDialog::showError(const QString &text)
{
    messageboxes::inform(this, QMessageBox::Information, QStringLiteral("Error"), text);
}

void RegisterDialog::newCode()
{
    m_codeLabel->setText(QString::number(QRandomGenerator::global()->bounded(CodeLimit)));
}
