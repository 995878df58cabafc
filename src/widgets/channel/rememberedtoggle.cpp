#include "rememberedtoggle.h"

#include "platform/settingsstore.h"

#include <QAction>

namespace {
const QString Section = QStringLiteral("Store");
} // namespace

bool rememberToggle(QAction *toggle, const QString &name, bool byDefault)
{
    const QString stored = LoadSetting(Section, name).toString();
    // A switch that is on at first stays on unless it was turned off, and the other way round.
    const bool on = byDefault ? stored != u"0" : stored == u"1";
    {
        const QSignalBlocker quiet(toggle);
        toggle->setChecked(on);
    }
    QObject::connect(toggle, &QAction::toggled, toggle, [name](bool checked) {
        SaveSetting(Section, name, checked ? QStringLiteral("1") : QStringLiteral("0"));
    });
    return on;
}
