#include "changepassworddialog.h"

#include "irc/commands.h"
#include "irc/linesender.h"
#include "nickservdialogs.h"

#include <QBoxLayout>
#include <QLabel>

ChangePasswordDialog::ChangePasswordDialog(LineSender &server, QWidget *parent)
    : QDialog(parent), m_server(server)
{
    setUpNickServDialog(this, QStringLiteral("frmchpwd"),
                        QStringLiteral("Change Nickname Password"));
    buildChangeForm(this, QStringLiteral("Enter Your New Password"),
                    [this](const QString &password) {
                        return m_server.sendLine(commands::changePassword(password));
                    });
    auto *resultsLabel =
        new QLabel(QStringLiteral("Notice : View the results on the main text box."), this);
    resultsLabel->setObjectName(QStringLiteral("results"));
    static_cast<QVBoxLayout *>(layout())->addWidget(resultsLabel);
}
