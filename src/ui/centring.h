// The centring rule shared by both windows: each difference between the screen
// and the window is rounded to a whole number (halves to the even neighbour)
// and then halved with integer division that truncates toward zero. A window
// larger than the screen gets a negative offset and is placed there as is.
#pragma once

#include <QPoint>

namespace letro {

// One axis of the rule, in twips.
long long centredOffset(double screenTwips, double windowTwips);

// Left and top in twips for a window of the given outer size on a screen of
// the given size (all in twips).
QPoint centredTopLeft(double screenWidth, double screenHeight, double windowWidth,
                      double windowHeight);

} // namespace letro
