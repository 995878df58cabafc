#include "desktopnotifier.h"

#ifdef VELMORA_HAVE_DBUS
#include "freedesktopnotifier.h"
#endif

namespace {

class SilentNotifier : public DesktopNotifier
{
public:
    void notify(const QString &, const QString &) override {}
};

} // namespace

std::unique_ptr<DesktopNotifier> createDesktopNotifier()
{
#ifdef VELMORA_HAVE_DBUS
    return std::make_unique<FreedesktopNotifier>();
#else
    return std::make_unique<SilentNotifier>();
#endif
}
