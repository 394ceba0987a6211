#include "shape.h"

#include <QPainter>

namespace letro {

Shape::Shape(int borderWidth, QWidget *parent) : QWidget(parent), m_borderWidth(borderWidth)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
}

void Shape::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPen pen(palette().color(QPalette::WindowText), m_borderWidth);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    const qreal inset = m_borderWidth / 2.0;
    const QRectF box = QRectF(rect()).adjusted(inset, inset, -inset, -inset);
    const qreal radius = qMin(box.width(), box.height()) / 8.0;
    painter.drawRoundedRect(box, radius, radius);
}

} // namespace letro
