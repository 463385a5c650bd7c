#include "PlatformChoice.h"

namespace PlatformChoice {

QByteArray choose(const QProcessEnvironment &env)
{
    if (!env.value("QT_QPA_PLATFORM").isEmpty() || env.value("DISPLAY").isEmpty())
        return {};
    const bool wayland = !env.value("WAYLAND_DISPLAY").isEmpty()
                         || env.value("XDG_SESSION_TYPE").compare("wayland", Qt::CaseInsensitive) == 0;
    // Wayland stays as the fallback: an X display that is set but does not
    // answer still leaves a running clock.
    return wayland ? QByteArray("xcb;wayland") : QByteArray();
}

bool apply()
{
    const QByteArray platform = choose(QProcessEnvironment::systemEnvironment());
    if (platform.isEmpty())
        return false;
    qputenv("QT_QPA_PLATFORM", platform);
    return true;
}

void forget(bool applied)
{
    if (applied)
        qunsetenv("QT_QPA_PLATFORM");
}

} // namespace PlatformChoice
