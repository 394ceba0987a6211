// Placing a top-level window with the centring rule, from the outer size the
// window has as Qt reports it (frame included once the window is shown).
#pragma once

#include <QSize>

class QWidget;

namespace letro {

// screenTwips: the whole screen's size in twips.
void centreWindow(QWidget *window, const QSize &screenTwips);

} // namespace letro
