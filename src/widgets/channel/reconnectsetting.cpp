#include "reconnectsetting.h"

#include "irc/ircsession.h"
#include "platform/settingsstore.h"

#include <QAction>

namespace {
const QString Section = QStringLiteral("Store");
const QString Name = QStringLiteral("reconnect");
} // namespace

void reconnectsetting::bind(QAction *toggle, IrcSession &session)
{
    const bool on = LoadSetting(Section, Name).toString() == u"1";
    {
        const QSignalBlocker quiet(toggle);
        toggle->setChecked(on);
    }
    session.setReconnectAutomatically(on);
    QObject::connect(toggle, &QAction::toggled, &session, [&session](bool checked) {
        session.setReconnectAutomatically(checked);
        SaveSetting(Section, Name, checked ? QStringLiteral("1") : QStringLiteral("0"));
    });
}
