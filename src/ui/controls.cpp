#include "controls.h"

#include "twips.h"

#include <QApplication>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

namespace letro {

QFont arialFont(double points, bool bold)
{
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

QFont dialogFont(double points, bool bold)
{
    QFont font = QApplication::font();
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

void setColour(QWidget *widget, QPalette::ColorRole role, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(role, colour);
    widget->setPalette(palette);
}

void placeInTwips(QWidget *widget, const QRect &twips)
{
    widget->setGeometry(twipsRect(twips.x(), twips.y(), twips.width(), twips.height()));
}

void designWindow(QWidget *window, const QString &name, const QString &title,
                  Qt::WindowFlags titleButtons, const QColor &background, const QSize &twips)
{
    window->setObjectName(name);
    window->setWindowTitle(title);
    window->setWindowIcon(QIcon(QStringLiteral(":/icons/pluma.svg")));
    window->setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | titleButtons);
    window->setAutoFillBackground(true);
    setColour(window, QPalette::Window, background);
    window->setFixedSize(twipsToPixels(twips.width()), twipsToPixels(twips.height()));
}

QLabel *designLabel(QWidget *parent, const QString &name, const QString &text, const QFont &font,
                    const QColor &colour, const QRect &twips, Qt::Alignment alignment)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setFont(font);
    if (alignment)
        label->setAlignment(alignment);
    setColour(label, QPalette::WindowText, colour);
    label->setFocusPolicy(Qt::NoFocus);
    placeInTwips(label, twips);
    return label;
}

QPushButton *pictureButton(QWidget *parent, const PictureButtonDesign &design)
{
    auto *button = new QPushButton(parent);
    button->setObjectName(design.name.toString());
    button->setIcon(QIcon(QStringLiteral(":/icons/%1.svg").arg(design.picture)));
    button->setIconSize(design.pictureSize);
    const QColor face = design.face == DefaultFace ? QApplication::palette().color(QPalette::Button)
                                                   : QColor::fromRgb(design.face);
    button->setStyleSheet(buttonFaceStyle(face));
    const QString tip = design.tip.toString();
    button->setToolTip(tip);
    button->setAccessibleName(tip);
    placeInTwips(button, design.twips);
    return button;
}

QPushButton *captionButton(QWidget *parent, const QString &name, const QString &caption,
                           const QFont &font, const QColor &face, const QString &tip,
                           const QRect &twips)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setFont(font);
    button->setStyleSheet(buttonFaceStyle(face));
    if (!tip.isEmpty()) {
        button->setToolTip(tip);
        button->setAccessibleDescription(tip);
    }
    placeInTwips(button, twips);
    return button;
}

QTimer *designTimer(QWidget *parent, const QString &name, int milliseconds)
{
    auto *timer = new QTimer(parent);
    timer->setObjectName(name);
    timer->setInterval(milliseconds);
    timer->start();
    return timer;
}

QString buttonFaceStyle(const QColor &face)
{
    const QString colour = face.name();
    return QStringLiteral("QPushButton { background-color: %1; border: 2px outset %1; padding: 0; }"
                          "QPushButton:pressed { border-style: inset; }"
                          "QPushButton:focus { border: 2px solid #202070; }")
        .arg(colour);
}

} // namespace letro
