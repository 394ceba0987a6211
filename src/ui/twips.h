// Geometry helpers. Every size and place in the window designs is given in
// twips; on screen we use device-independent pixels at 15 twips each, so Qt
// scales the windows by itself on HiDPI screens.
#pragma once

#include <QRect>
#include <QtMath>

namespace letro {

constexpr int TwipsPerPixel = 15;

inline int twipsToPixels(double twips)
{
    return qRound(twips / TwipsPerPixel);
}

inline int pixelsToTwips(int pixels)
{
    return pixels * TwipsPerPixel;
}

inline QRect twipsRect(int left, int top, int width, int height)
{
    return QRect(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width),
                 twipsToPixels(height));
}

} // namespace letro
