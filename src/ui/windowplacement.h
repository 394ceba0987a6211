// Placing a top-level window by its outer size (frame included), as the
// centring rule and the main window's heights ask.
//
// A window manager's frame is known to Qt only once the window is mapped and
// reparented, too late for the first frame the pupil sees. So before a window
// is first shown its frame is asked of the window manager; once it is shown,
// Qt's own figure counts, and should it differ from the one the window was
// placed with (a window manager that did not answer), the window is placed
// again.
#pragma once

#include <QMargins>
#include <QSize>

#include <functional>

class QWidget;

namespace letro {

// The frame around the window: Qt's figure once the window is shown and its
// frame known, otherwise the window manager's answer (asked once per window),
// zero without a window manager or off X11.
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
