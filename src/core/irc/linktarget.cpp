#include "linktarget.h"

#include "ircaddress.h"
#include "text/linkdetector.h"

LinkTarget linkTarget(const QString &address, const QString &serverHost, const QString &room)
{
    LinkTarget target;
    const QString full = linkAddress(address);
    if (full.startsWith(u"irc", Qt::CaseInsensitive)) {
        const std::optional<IrcAddress> irc = parseIrcAddress(full);
        if (!irc)
            return target;
        const bool thisNetwork = irc->host.compare(serverHost, Qt::CaseInsensitive) == 0;
        if (thisNetwork && !room.isEmpty() &&
            (irc->room.isEmpty() || irc->room.compare(room, Qt::CaseInsensitive) == 0)) {
            target.action = LinkTarget::Action::JoinRoom;
            target.room = room;
            return target;
        }
        target.action = LinkTarget::Action::StartInstance;
        target.url = QUrl(full, QUrl::StrictMode);
        return target;
    }
    const QUrl url(full, QUrl::TolerantMode);
    if (!url.isValid() || url.host().isEmpty())
        return target;
    target.action = LinkTarget::Action::OpenInBrowser;
    target.url = url;
    return target;
}
