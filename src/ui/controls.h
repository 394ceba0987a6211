// Building the controls of the two windows as designed: fonts, colours,
// places in twips, labels, graphical buttons with a picture or a caption on a
// face of their own colour, and the windows themselves.
#pragma once

#include <QColor>
#include <QFont>
#include <QPalette>
#include <QRect>
#include <QString>
#include <QStringView>

class QLabel;
class QPushButton;
class QTimer;
class QWidget;

namespace letro {

// A face of the system's button-face colour.
constexpr QRgb DefaultFace = 0;

// A graphical button with a picture from the program's resources
// (":/icons/<picture>.svg").
struct PictureButtonDesign
{
    QStringView name;
    QStringView picture;
    QSize pictureSize;
    QRgb face;       // qRgb(...) or DefaultFace
    QStringView tip; // tooltip and accessible name
    QRect twips;
};

QFont arialFont(double points, bool bold);
// "MS Sans Serif" has no metric twin here: the system's UI font at that size.
QFont dialogFont(double points, bool bold);

void setColour(QWidget *widget, QPalette::ColorRole role, const QColor &colour);
void placeInTwips(QWidget *widget, const QRect &twips);

// A window of a fixed outer design: name, caption, the pen icon, title-bar
// buttons, background colour and client size in twips.
void designWindow(QWidget *window, const QString &name, const QString &title,
                  Qt::WindowFlags titleButtons, const QColor &background, const QSize &twips);

// A label with a transparent background, its text in the given colour.
QLabel *designLabel(QWidget *parent, const QString &name, const QString &text, const QFont &font,
                    const QColor &colour, const QRect &twips, Qt::Alignment alignment = {});

QPushButton *pictureButton(QWidget *parent, const PictureButtonDesign &design);
// A graphical button showing a caption; `tip` may be empty.
QPushButton *captionButton(QWidget *parent, const QString &name, const QString &caption,
                           const QFont &font, const QColor &face, const QString &tip,
                           const QRect &twips);

// A timer named `name` with its interval, running as designed.
QTimer *designTimer(QWidget *parent, const QString &name, int milliseconds);

// The look of the graphical buttons: a flat face of the given colour with a
// raised edge that sinks when pressed, and a dark edge while the button has
// the keyboard focus.
QString buttonFaceStyle(const QColor &face);

} // namespace letro
