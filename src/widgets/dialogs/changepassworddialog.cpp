#include "changepassworddialog.h"

#include "irc/ircsession.h"
#include "nickservdialogs.h"

#include <QBoxLayout>
#include <QLabel>
#include <QLineEdit>

ChangePasswordDialog::ChangePasswordDialog(IrcSession &session, QWidget *parent)
    : QDialog(parent), m_session(session)
{
    setObjectName(QStringLiteral("frmchpwd"));
    setWindowTitle(QStringLiteral("Change Nickname Password"));
    setAttribute(Qt::WA_DeleteOnClose);

    m_text1 =
        buildChangeForm(this, QStringLiteral("Enter Your New Password"), [this] { change(); });
    auto *results =
        new QLabel(QStringLiteral("Notice : View the results on the main text box."), this);
    results->setObjectName(QStringLiteral("results"));
    static_cast<QVBoxLayout *>(layout())->addWidget(results);
}

void ChangePasswordDialog::change()
{
    const QString password = sendableText(m_text1);
    if (password.isEmpty())
        return;
    m_session.SendData(QString(u"nickserv set password "_qs + password));
    close();
}
