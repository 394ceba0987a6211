// Placing a top-level window by its outer size (frame included), as the
// centring rule and the main window's heights ask.
//
// A window manager's frame is known to Qt only once the window is mapped and
// reparented, too late for the first frame the pupil sees. So before a window
// is first shown its frame is asked of the window manager; once it is shown,
// Qt's own figure counts, and should it differ from the one the window was
// placed with (a window manager that did not answer), the window is placed
// again.
//
// A Wayland compositor that draws the frame itself (server-side decorations)
// never tells its size, and Qt reports none: there the windows are sized by
// the frame they were designed around, so that the client area is the one
// designed whatever the compositor draws. A frame Qt draws itself (client-
// side decorations) is reported once the window is shown, and counts then.
#pragma once

#include <QMargins>
#include <QSize>

#include <functional>

class QWidget;

namespace letro {

// The frame the windows were designed around, in pixels: the introduction
// window is designed 6480 x 6600 twips outside around a client area of
// 6390 x 6135, with the caption at the top.
QMargins designedFrame();

// The frame to size and place a window by: `reported` (Qt's figure for the
// shown window) when there is one; else on Wayland the designed frame; else
// `asked` (the X11 window manager's answer, zero without one).
QMargins placementFrame(const QMargins &reported, bool wayland, const QMargins &asked);

// placementFrame for this window, the window manager asked once per window.
QMargins windowFrame(QWidget *window);

// Fixes the window's height so that its outer height is `twips`.
void setOuterHeight(QWidget *window, int twips);

// Moves the window by the centring rule, from its outer size.
// screenTwips: the whole screen's size in twips.
void centreWindow(QWidget *window, const QSize &screenTwips);

// Runs `place` again whenever the frame Qt reports for the shown window
// differs from the one the window was last placed with.
void placeAgainWhenFrameChanges(QWidget *window, std::function<void()> place);

} // namespace letro
