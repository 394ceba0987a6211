// The look of the graphical buttons: a flat face of the given colour with a
// raised edge that sinks when pressed, and a dark edge while the button has
// the keyboard focus.
#pragma once

#include <QColor>
#include <QString>

namespace letro {

QString buttonFaceStyle(const QColor &face);

} // namespace letro
