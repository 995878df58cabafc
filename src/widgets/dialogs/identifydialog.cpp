#include "identifydialog.h"

#include "controls/sablecoolbutton.h"
#include "irc/commands.h"
#include "irc/ircsession.h"
#include "nickservdialogs.h"
#include "util/passwordbox.h"

#include <QBoxLayout>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>

IdentifyDialog::IdentifyDialog(IrcSession &session, QWidget *parent)
    : QDialog(parent), m_session(session)
{
    setUpNickServDialog(this, QStringLiteral("frmpassword"),
                        QStringLiteral(" Password Authorization"));

    m_noticeLabel =
        new QLabel(QStringLiteral("This nickname is registered. Please enter the password."), this);
    m_noticeLabel->setObjectName(QStringLiteral("results"));
    m_noticeLabel->setWordWrap(true);

    auto *nickLabel = new QLabel(QStringLiteral("Nickname :  "), this);
    nickLabel->setObjectName(QStringLiteral("lblusr"));
    m_nickBox = new QLineEdit(session.variables().CurrentNick, this);
    m_nickBox->setObjectName(QStringLiteral("txtnick"));
    m_nickBox->setReadOnly(true);

    auto *passwordLabel = new QLabel(QStringLiteral("Password :"), this);
    passwordLabel->setObjectName(QStringLiteral("lblpwd"));
    m_passwordBox = new QLineEdit(this);
    m_passwordBox->setObjectName(QStringLiteral("txtpwd"));
    showPasswordAsStars(m_passwordBox);

    auto *okButton = new SableCoolButton(QStringLiteral("OK"), this);
    okButton->setObjectName(QStringLiteral("cmdok"));
    auto *changeNickButton = new SableCoolButton(QStringLiteral("Change Nick"), this);
    changeNickButton->setObjectName(QStringLiteral("cn"));

    auto *fields = new QFormLayout;
    fields->addRow(nickLabel, m_nickBox);
    fields->addRow(passwordLabel, m_passwordBox);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okButton);
    buttons->addWidget(changeNickButton);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_noticeLabel);
    layout->addLayout(fields);
    layout->addLayout(buttons);

    connect(okButton, &SableCoolButton::clicked, this, &IdentifyDialog::identify);
    connect(m_passwordBox, &QLineEdit::returnPressed, this, &IdentifyDialog::identify);
    connect(changeNickButton, &SableCoolButton::clicked, this, &IdentifyDialog::changeNick);
    m_passwordBox->setFocus();
}

void IdentifyDialog::setNick(const QString &nick)
{
    m_nickBox->setText(nick);
}

void IdentifyDialog::setNoticeVisible(bool visible)
{
    m_noticeLabel->setVisible(visible);
}

void IdentifyDialog::identify()
{
    submitAndClose(this, m_passwordBox, [this](const QString &password) {
        return m_session.sendLine(commands::identify(password));
    });
}

void IdentifyDialog::changeNick()
{
    close();
    emit showChannelRequested();
    emit changeNickRequested();
}
