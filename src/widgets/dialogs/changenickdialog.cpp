#include "changenickdialog.h"

#include "irc/commands.h"
#include "irc/ircsession.h"
#include "irc/sessionpresenter.h"
#include "nickservdialogs.h"

ChangeNickDialog::ChangeNickDialog(IrcSession &session, QWidget *parent)
    : QDialog(parent), m_session(session)
{
    setUpNickServDialog(this, QStringLiteral("nchange"), QStringLiteral("Change Nick"));
    // Blanks pass unchanged; only what cannot go out in one line is left behind.
    buildChangeForm(this, QStringLiteral("Enter Your New Nickname"),
                    [this](const QString &nick) { return change(nick); });
}

bool ChangeNickDialog::change(const QString &nick)
{
    if (!m_session.sendLine(commands::changeNick(nick)))
        return false;
    // Taken at once, without waiting for the server to confirm it.
    m_session.variables().CurrentNick = nick;
    m_session.presenter().setAwaitingIdentification(false);
    return true;
}
