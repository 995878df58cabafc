#include "freedesktopnotifier.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QVariantMap>

QString FreedesktopNotifier::bodyText(const QString &body)
{
    qsizetype cut = std::min(body.size(), LongestBody);
    if (cut > 0 && cut < body.size() && body[cut - 1].isHighSurrogate())
        --cut;
    QString text = body.left(cut).toHtmlEscaped();
    if (cut < body.size())
        text += QChar(0x2026); // an ellipsis says the text goes on
    return text;
}

void FreedesktopNotifier::notify(const QString &summary, const QString &body)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"),
        QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    // The summary is plain text by definition; only its length needs a bound.
    call << QStringLiteral("Velmora Messenger") << quint32(0) << QString()
         << summary.left(LongestSummary) << bodyText(body) << QStringList() << QVariantMap()
         << qint32(-1);
    // Sent without waiting for the answer: no service, or a slow one, never holds up the room.
    bus.send(call);
}
