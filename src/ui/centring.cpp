#include "centring.h"

#include <cmath>

namespace letro {

long long centredOffset(double screenTwips, double windowTwips)
{
    // std::nearbyint follows the current rounding mode, which is round-to-nearest-even.
    const auto difference = static_cast<long long>(std::nearbyint(screenTwips - windowTwips));
    return difference / 2; // C++ integer division truncates toward zero
}

QPoint centredTopLeft(double screenWidth, double screenHeight, double windowWidth,
                      double windowHeight)
{
    // The widths are read before the heights, as the windows always did.
    const long long left = centredOffset(screenWidth, windowWidth);
    const long long top = centredOffset(screenHeight, windowHeight);
    return QPoint(static_cast<int>(left), static_cast<int>(top));
}

} // namespace letro
