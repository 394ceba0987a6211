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

bool refuseCloseUnderModalWindow(QCloseEvent *event)
{
    if (!QGuiApplication::modalWindow())
        return false;
    event->ignore();
    return true;
}

} // namespace letro
