#include "linkopener.h"

#include "irc/commands.h"
#include "irc/ircsession.h"
#include "irc/linktarget.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QProcess>

LinkOpener::LinkOpener(IrcSession &session)
    : openInBrowser([](const QUrl &url) { QDesktopServices::openUrl(url); }),
      startInstance([](const QString &address) {
          QProcess::startDetached(QCoreApplication::applicationFilePath(), {address});
      }),
      m_session(session)
{}

void LinkOpener::open(const QString &address)
{
    const LinkTarget target =
        linkTarget(address, m_session.serverHost(), m_session.variables().CurrentRoom);
    switch (target.action) {
    case LinkTarget::Action::OpenInBrowser:
        openInBrowser(target.url);
        break;
    case LinkTarget::Action::JoinRoom:
        m_session.SendData(commands::join(target.room));
        break;
    case LinkTarget::Action::StartInstance:
        startInstance(target.url.toString(QUrl::FullyEncoded));
        break;
    case LinkTarget::Action::None:
        break;
    }
}
