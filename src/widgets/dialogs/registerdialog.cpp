#include "registerdialog.h"

#include "controls/xpbutton.h"
#include "irc/commands.h"
#include "irc/ircsession.h"
#include "nickservdialogs.h"

#include <QBoxLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
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
    setObjectName(QStringLiteral("registerr"));
    setWindowTitle(QStringLiteral("Please fill the informations."));
    setAttribute(Qt::WA_DeleteOnClose);

    m_nick = namedBox("nick", {}, this);
    m_nick->setReadOnly(true);
    m_mid = namedBox("mid", QStringLiteral("Email Address"), this);

    auto *fra = new QGroupBox(QStringLiteral("Password Required :"), this);
    fra->setObjectName(QStringLiteral("fra"));
    m_pwd = namedBox("pwd", QStringLiteral("Password"), fra);
    m_pwd->setEchoMode(QLineEdit::Password);
    m_rpwd = namedBox("rpwd", QStringLiteral("Password"), fra);
    m_rpwd->setEchoMode(QLineEdit::Password);
    auto *passwords = new QGridLayout(fra);
    passwords->addWidget(namedLabel(QStringLiteral("Password:"), "lblpwd", fra), 0, 0);
    passwords->addWidget(m_pwd, 0, 1);
    passwords->addWidget(namedLabel(QStringLiteral("-Re type:"), "lblpwdr", fra), 1, 0);
    passwords->addWidget(m_rpwd, 1, 1);

    m_lbcode = namedLabel({}, "lbcode", this);
    m_lbcode->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_txtcode = namedBox("txtcode", QStringLiteral("Code Above"), this);

    m_cmdok = namedButton(QStringLiteral("Register Nickname"), "cmdok", this);
    m_cmddrop = namedButton(QStringLiteral("Unregister Nickname"), "cmddrop", this);
    auto *cancel = namedButton(QStringLiteral("Cancel"), "cancel", this);

    auto *fields = new QGridLayout;
    fields->addWidget(namedLabel(QStringLiteral("Nickname:"), "lblusr", this), 0, 0);
    fields->addWidget(m_nick, 0, 1);
    fields->addWidget(fra, 1, 0, 1, 2);
    fields->addWidget(namedLabel(QStringLiteral("Email Address:"), "Label1", this), 2, 0);
    fields->addWidget(m_mid, 2, 1);
    fields->addWidget(namedLabel(QStringLiteral("Please Type this Code First"), "lblrnd", this), 3,
                      0);
    fields->addWidget(m_lbcode, 3, 1);
    fields->addWidget(namedLabel(QStringLiteral("Code"), "lblcodew", this), 4, 0);
    fields->addWidget(m_txtcode, 4, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_cmdok);
    buttons->addWidget(m_cmddrop);
    buttons->addWidget(cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(namedLabel(QStringLiteral("Notice : View the results on the main text box."),
                                 "results", this));
    layout->addLayout(buttons);

    connect(m_cmdok, &XPButton::clicked, this, &RegisterDialog::registerNickname);
    connect(m_mid, &QLineEdit::returnPressed, this, &RegisterDialog::registerNickname);
    connect(m_cmddrop, &XPButton::clicked, this, &RegisterDialog::dropNickname);
    connect(cancel, &XPButton::clicked, this, &QDialog::close);

    newCode();
    m_nick->setText(session.variables().CurrentNick);
}

void RegisterDialog::setMode(Mode mode)
{
    const bool registering = mode == Mode::Register;
    // Every control of both modes is set, so that a dialog still open from the other mode
    // does not keep both actions disabled.
    m_cmdok->setEnabled(registering);
    m_pwd->setEnabled(registering);
    m_rpwd->setEnabled(registering);
    m_mid->setEnabled(registering);
    m_cmddrop->setEnabled(!registering);
    (registering ? m_pwd : m_txtcode)->setFocus();
}

void RegisterDialog::showEvent(QShowEvent *event)
{
    // The nick may have changed while the dialog stayed open; show the one the server will act on.
    m_nick->setText(m_session.variables().CurrentNick);
    QDialog::showEvent(event);
}

void RegisterDialog::registerNickname()
{
    if (!acceptCode(QStringLiteral("Please type the code and correctly first.")))
        return;
    if (m_pwd->text() != m_rpwd->text()) {
        showError(QStringLiteral("The Passwords in both the fields must be same"));
        m_pwd->clear();
        m_rpwd->clear();
        return;
    }
    const QString password = sendableText(m_pwd);
    const QString email = sendableText(m_mid);
    if (password.isEmpty() || email.isEmpty())
        return;
    m_session.SendData(commands::registerNick(password, email));
    close();
}

void RegisterDialog::dropNickname()
{
    if (!acceptCode(QStringLiteral("Please type the code Correctly First.")))
        return;
    m_session.SendData(commands::dropNick());
    close();
}

// A wrong code is refused and replaced, so each try needs the code shown at that moment.
bool RegisterDialog::acceptCode(const QString &refusal)
{
    if (m_txtcode->text() == m_lbcode->text())
        return true;
    showError(refusal);
    newCode();
    m_txtcode->clear();
    return false;
}

void RegisterDialog::showError(const QString &text)
{
    // Opened, never run: the event loop goes on and lines keep arriving behind the box.
    auto *box = new QMessageBox(QMessageBox::Information, QStringLiteral("Error"), text,
                                QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

void RegisterDialog::newCode()
{
    m_lbcode->setText(QString::number(QRandomGenerator::global()->bounded(CodeLimit)));
}
