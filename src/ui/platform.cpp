#include "platform.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QString>

namespace letro {

bool isWaylandPlatform(const QString &platformName)
{
    return platformName.startsWith(QLatin1String("wayland"));
}

bool onWayland()
{
    return qGuiApp && isWaylandPlatform(QGuiApplication::platformName());
}

bool isXwaylandClient(const QString &platformName, const QString &waylandDisplay)
{
    return platformName == QLatin1String("xcb") && !waylandDisplay.isEmpty();
}

bool onXwayland()
{
    return qGuiApp && isXwaylandClient(QGuiApplication::platformName(),
                                       qEnvironmentVariable("WAYLAND_DISPLAY"));
}

bool refuseCloseUnderModalWindow(QCloseEvent *event)
{
    if (!QGuiApplication::modalWindow())
        return false;
    event->ignore();
    return true;
}

} // namespace letro
