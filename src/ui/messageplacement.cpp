#include "messageplacement.h"

#include <QFontMetrics>

#include <algorithm>

namespace letro {

int titledWidth(const QFont &font, const QString &title)
{
    QFont bold = font;
    bold.setBold(true);
    return QFontMetrics(bold).horizontalAdvance(title) + TitleBarRoom;
}

QPoint besideKeptArea(const QRect &keep, const QSize &outer, const QRect &screen)
{
    const int centred = keep.center().x() - outer.width() / 2;
    const int left = std::max(screen.left(), std::min(centred, screen.right() + 1 - outer.width()));

    const int below = keep.bottom() + 1 + MessageBoxGap;
    const int above = keep.top() - MessageBoxGap - outer.height();
    int top;
    if (below + outer.height() - 1 <= screen.bottom())
        top = below;
    else if (above >= screen.top())
        top = above;
    else
        top = std::max(screen.top(), screen.bottom() + 1 - outer.height());
    return QPoint(left, top);
}

QRect besideKeptAreaShortened(const QRect &keep, const QSize &outer, int leastHeight,
                              const QRect &screen)
{
    const int below = screen.bottom() - (keep.bottom() + MessageBoxGap);
    const int above = keep.top() - MessageBoxGap - screen.top();
    QSize size = outer;
    if (outer.height() > std::max(below, above) && std::max(below, above) >= leastHeight)
        size.setHeight(std::max(below, above));
    return QRect(besideKeptArea(keep, size, screen), size);
}

} // namespace letro
