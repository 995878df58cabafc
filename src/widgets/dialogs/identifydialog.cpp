#include "identifydialog.h"

#include "controls/sablecoolbutton.h"
#include "irc/commands.h"
#include "irc/ircsession.h"
#include "nickservdialogs.h"

#include <QBoxLayout>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>

IdentifyDialog::IdentifyDialog(IrcSession &session, QWidget *parent)
    : QDialog(parent), m_session(session)
{
    setObjectName(QStringLiteral("frmpassword"));
    setWindowTitle(QStringLiteral(" Password Authorization"));
    setAttribute(Qt::WA_DeleteOnClose);

    m_results =
        new QLabel(QStringLiteral("This nickname is registered. Please enter the password."), this);
    m_results->setObjectName(QStringLiteral("results"));
    m_results->setWordWrap(true);

    auto *lblusr = new QLabel(QStringLiteral("Nickname :  "), this);
    lblusr->setObjectName(QStringLiteral("lblusr"));
    m_txtnick = new QLineEdit(session.variables().CurrentNick, this);
    m_txtnick->setObjectName(QStringLiteral("txtnick"));
    m_txtnick->setReadOnly(true);

    auto *lblpwd = new QLabel(QStringLiteral("Password :"), this);
    lblpwd->setObjectName(QStringLiteral("lblpwd"));
    m_txtpwd = new QLineEdit(this);
    m_txtpwd->setObjectName(QStringLiteral("txtpwd"));
    m_txtpwd->setEchoMode(QLineEdit::Password);

    auto *cmdok = new SableCoolButton(QStringLiteral("OK"), this);
    cmdok->setObjectName(QStringLiteral("cmdok"));
    auto *cn = new SableCoolButton(QStringLiteral("Change Nick"), this);
    cn->setObjectName(QStringLiteral("cn"));

    auto *fields = new QFormLayout;
    fields->addRow(lblusr, m_txtnick);
    fields->addRow(lblpwd, m_txtpwd);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdok);
    buttons->addWidget(cn);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_results);
    layout->addLayout(fields);
    layout->addLayout(buttons);

    connect(cmdok, &SableCoolButton::clicked, this, &IdentifyDialog::identify);
    connect(m_txtpwd, &QLineEdit::returnPressed, this, &IdentifyDialog::identify);
    connect(cn, &SableCoolButton::clicked, this, &IdentifyDialog::changeNick);
    m_txtpwd->setFocus();
}

void IdentifyDialog::setNick(const QString &nick)
{
    m_txtnick->setText(nick);
}

void IdentifyDialog::setNoticeVisible(bool visible)
{
    m_results->setVisible(visible);
}

void IdentifyDialog::identify()
{
    const QString password = sendableText(m_txtpwd);
    if (password.isEmpty())
        return;
    m_session.SendData(commands::identify(password));
    close();
}

void IdentifyDialog::changeNick()
{
    close();
    emit showChannelRequested();
    emit changeNickRequested();
}
