#include "changepassworddialog.h"

#include "irc/commands.h"
#include "irc/linesender.h"
#include "nickservdialogs.h"

#include <QBoxLayout>
#include <QLabel>
#include <QLineEdit>

ChangePasswordDialog::ChangePasswordDialog(LineSender &server, QWidget *parent)
    : QDialog(parent), m_server(server)
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
    m_server.sendLine(commands::changePassword(password));
    close();
}
