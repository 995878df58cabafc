#include "changepassworddialog.h"

#include "irc/ircsession.h"
#include "ui/dialogs/nickservdialogs.h"

#include <QBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

ChangePasswordDialog::ChangePasswordDialog(IrcSession &session, QWidget *parent)
    : QDialog(parent), m_session(session)
{
    setObjectName(QStringLiteral("frmchpwd"));
    setWindowTitle(QStringLiteral("Change Nickname Password"));
    setAttribute(Qt::WA_DeleteOnClose);

    auto *label1 = new QLabel(QStringLiteral("Enter Your New Password"), this);
    label1->setObjectName(QStringLiteral("Label1"));
    m_text1 = new QLineEdit(this);
    m_text1->setObjectName(QStringLiteral("Text1"));
    auto *change = new QPushButton(QStringLiteral("Change"), this);
    change->setObjectName(QStringLiteral("XPButton1"));
    change->setAutoDefault(false); // Enter acts through the text box's own connection
    auto *results =
        new QLabel(QStringLiteral("Notice : View the results on the main text box."), this);
    results->setObjectName(QStringLiteral("results"));

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(label1);
    layout->addWidget(m_text1);
    layout->addWidget(change, 0, Qt::AlignRight);
    layout->addWidget(results);

    connect(change, &QPushButton::clicked, this, &ChangePasswordDialog::change);
    connect(m_text1, &QLineEdit::returnPressed, this, &ChangePasswordDialog::change);
    m_text1->setFocus();
}

void ChangePasswordDialog::change()
{
    const QString password = sendableText(m_text1);
    if (password.isEmpty())
        return;
    m_session.SendData(QString(u"nickserv set password "_qs + password));
    close();
}
