#include "changenickdialog.h"

#include "irc/ircsession.h"
#include "irc/sessionpresenter.h"
#include "ui/dialogs/nickservdialogs.h"

#include <QBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

ChangeNickDialog::ChangeNickDialog(IrcSession &session, QWidget *parent)
    : QDialog(parent), m_session(session)
{
    setObjectName(QStringLiteral("nchange"));
    setWindowTitle(QStringLiteral("Change Nick"));
    setAttribute(Qt::WA_DeleteOnClose);

    auto *label1 = new QLabel(QStringLiteral("Enter Your New Nickname"), this);
    label1->setObjectName(QStringLiteral("Label1"));
    m_text1 = new QLineEdit(this);
    m_text1->setObjectName(QStringLiteral("Text1"));
    auto *change = new QPushButton(QStringLiteral("Change"), this);
    change->setObjectName(QStringLiteral("XPButton1"));
    change->setAutoDefault(false); // Enter acts through the text box's own connection

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(label1);
    layout->addWidget(m_text1);
    layout->addWidget(change, 0, Qt::AlignRight);

    connect(change, &QPushButton::clicked, this, &ChangeNickDialog::change);
    connect(m_text1, &QLineEdit::returnPressed, this, &ChangeNickDialog::change);
    m_text1->setFocus();
}

void ChangeNickDialog::change()
{
    // Blanks pass unchanged; only what cannot go out in one line is left behind.
    const QString nick = sendableText(m_text1);
    if (nick.isEmpty())
        return;
    m_session.SendData(QString(u"nick "_qs + nick));
    // Taken at once, without waiting for the server to confirm it.
    m_session.variables().CurrentNick = nick;
    m_session.presenter().setAwaitingIdentification(false);
    close();
}
