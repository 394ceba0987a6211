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
#include <optional>

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

// The size to ask for again when the window system gives a window `current`
// while its minimum and maximum pin a width or a height: `current` with each
// pinned one put back; nothing when `current` has them already.
std::optional<QSize> fixedSizeToRestore(const QSize &minimum, const QSize &maximum,
                                        const QSize &current);

// On Wayland, asks again for the window's fixed size whenever the compositor
// resizes it to another. A compositor may answer a resize with a configure
// that still carries the size from before it, and Qt's Wayland plugin (Qt
// 6.8) applies that size whatever the window's minimum and maximum: the
// window would stay short, its lower controls cut off. Asked again, the
// compositor takes the size the window commits. A compositor that keeps
// refusing it is asked a few times, not for ever.
void holdFixedSizeOnWayland(QWidget *window);

} // namespace letro
