// Asking an X11 window manager, before a window is first shown, how wide the
// frame it will put around it is (the EWMH request _NET_REQUEST_FRAME_EXTENTS).
// Qt learns the frame only once the window is mapped and reparented, which is
// too late for a window that must open at its outer size and centred.
#pragma once

#include <QMargins>

#include <optional>

class QWidget;

namespace letro {

// The frame the window manager will give this (not yet shown) window; zero
// margins when no window manager runs; nothing when the platform is not X11
// or the window manager does not answer the request in time.
std::optional<QMargins> askWindowManagerForFrame(QWidget *window);

} // namespace letro
