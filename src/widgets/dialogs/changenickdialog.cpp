#include "changenickdialog.h"

#include "irc/commands.h"
#include "irc/ircsession.h"
#include "irc/sessionpresenter.h"
#include "nickservdialogs.h"

#include <QLineEdit>

ChangeNickDialog::ChangeNickDialog(IrcSession &session, QWidget *parent)
    : QDialog(parent), m_session(session)
{
    setObjectName(QStringLiteral("nchange"));
    setWindowTitle(QStringLiteral("Change Nick"));
    setAttribute(Qt::WA_DeleteOnClose);

    m_text1 =
        buildChangeForm(this, QStringLiteral("Enter Your New Nickname"), [this] { change(); });
}

void ChangeNickDialog::change()
{
    // Blanks pass unchanged; only what cannot go out in one line is left behind.
    const QString nick = sendableText(m_text1);
    if (nick.isEmpty())
        return;
    m_session.SendData(commands::changeNick(nick));
    // Taken at once, without waiting for the server to confirm it.
    m_session.variables().CurrentNick = nick;
    m_session.presenter().setAwaitingIdentification(false);
    close();
}
