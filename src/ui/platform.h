// What the windows need to know about the desktop they run on, in one place.
#pragma once

class QCloseEvent;
class QString;

namespace letro {

// True for Qt's Wayland platform plugins ("wayland", "wayland-egl", ...).
bool isWaylandPlatform(const QString &platformName);

// True when this program runs as a native Wayland client.
bool onWayland();

// True for an X11 client on a Wayland desktop (through Xwayland): Qt's xcb
// plugin while the environment names a Wayland compositor's socket.
bool isXwaylandClient(const QString &platformName, const QString &waylandDisplay);

// True when this program runs through Xwayland.
bool onXwayland();

// A window whose handler is waiting on a modal box (a message, a dialog) must
// not go away under it: the handler would go on in a deleted window. X11
// window managers' close requests never reach a window a modal box blocks,
// but a Wayland compositor's do, as does a close from code. Refuses `event`
// while a modal window is up and returns true; returns false otherwise.
bool refuseCloseUnderModalWindow(QCloseEvent *event);

} // namespace letro
