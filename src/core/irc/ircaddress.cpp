#include "ircaddress.h"

#include <QUrl>

namespace {

QString decodedName(const QString &encoded)
{
    return QUrl::fromPercentEncoding(encoded.section(u',', 0, 0).toUtf8());
}

} // namespace

QString ircRoomName(const QString &text)
{
    if (text.startsWith(u'#') || text.startsWith(u'&'))
        return text;
    return u'#' + text;
}

std::optional<IrcAddress> parseIrcAddress(const QString &text)
{
    const QUrl url(text, QUrl::StrictMode);
    const bool plain = url.scheme().compare(u"irc", Qt::CaseInsensitive) == 0;
    const bool tls = url.scheme().compare(u"ircs", Qt::CaseInsensitive) == 0;
    if (!url.isValid() || !(plain || tls) || url.host().isEmpty())
        return std::nullopt;
    IrcAddress address;
    address.host = url.host();
    address.tls = tls;
    address.port = url.port();
    const QString path = decodedName(url.path(QUrl::FullyEncoded).mid(1));
    const QString fragmentRoom = decodedName(url.fragment(QUrl::FullyEncoded));
    if (!path.isEmpty())
        address.room = ircRoomName(path);
    else if (!fragmentRoom.isEmpty())
        address.room = u'#' + fragmentRoom;
    return address;
}
