#include "windowplacement.h"

#include "centring.h"
#include "twips.h"

#include <QWidget>

namespace letro {

void centreWindow(QWidget *window, const QSize &screenTwips)
{
    const QRect frame = window->frameGeometry();
    const QPoint topLeft =
        centredTopLeft(screenTwips.width(), screenTwips.height(), pixelsToTwips(frame.width()),
                       pixelsToTwips(frame.height()));
    // QWidget::move places the frame's top-left corner.
    window->move(twipsToPixels(topLeft.x()), twipsToPixels(topLeft.y()));
}

} // namespace letro
