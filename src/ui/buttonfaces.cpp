#include "buttonfaces.h"

namespace letro {

QString buttonFaceStyle(const QColor &face)
{
    const QString colour = face.name();
    return QStringLiteral("QPushButton { background-color: %1; border: 2px outset %1; padding: 0; }"
                          "QPushButton:pressed { border-style: inset; }"
                          "QPushButton:focus { border: 2px solid #202070; }")
        .arg(colour);
}

} // namespace letro
