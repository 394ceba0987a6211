#include "app/form2.h"

#include "exercise/form1.h"
#include "ui/buttonfaces.h"
#include "ui/shape.h"
#include "ui/twips.h"
#include "ui/velantro.h"
#include "ui/windowplacement.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

namespace letro {

namespace {

QFont arialBold(double points)
{
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(points);
    font.setBold(true);
    return font;
}

QLabel *centredLabel(QWidget *parent, const QString &name, const QString &text, double points,
                     const QColor &color, const QRect &twips)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setFont(arialBold(points));
    // As designed, a label's text sits at its top: the title letters, whose
    // labels differ in height, then share one baseline.
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, color);
    label->setPalette(palette);
    label->setGeometry(twipsRect(twips.x(), twips.y(), twips.width(), twips.height()));
    return label;
}

} // namespace

Form2::Form2(const Services &services, QWidget *parent)
    : QWidget(parent), m_services(services.withDefaults())
{
    createControls();
    connect(Timer1, &QTimer::timeout, this, &Form2::Timer1_Timer);
    connect(Command1, &QPushButton::clicked, this, &Form2::Command1_Click);
    placeAgainWhenFrameChanges(this, [this] { centreWindow(this, m_services.screenTwips()); });
}

void Form2::createControls()
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Letro 1.0 - @EL "));
    setWindowIcon(QIcon(QStringLiteral(":/icons/pluma.svg")));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::white);
    setPalette(palette);
    setFixedSize(twipsToPixels(6390), twipsToPixels(6135));

    Shape1 = new Shape(3, this);
    Shape1->setObjectName(QStringLiteral("Shape1"));
    Shape1->setGeometry(twipsRect(120, 120, 6135, 5895));

    const QColor blue(0, 0, 255);
    Label1[1] = centredLabel(this, QStringLiteral("Label1(1)"), QStringLiteral("Escucha y escribe"),
                             18, blue, QRect(960, 840, 4215, 495));
    Label1[2] = centredLabel(this, QStringLiteral("Label1(2)"),
                             QStringLiteral("sin hacer faltas de ortografía"), 18, blue,
                             QRect(480, 1200, 5175, 495));

    Velantro1 =
        new Velantro(QStringLiteral("Velantro1"), QApplication::palette().color(QPalette::Button),
                     QRect(2400, 1920, 2175, 1575), this);

    Label1[3] = centredLabel(this, QStringLiteral("Label1(3)"), QStringLiteral("Equipo de Letro"),
                             18, blue, QRect(240, 3960, 5895, 495));
    Label1[4] = centredLabel(this, QStringLiteral("Label1(4)"), QStringLiteral("Autor"), 18, blue,
                             QRect(1680, 3600, 3015, 495));
    Label1[5] = centredLabel(this, QStringLiteral("Label1(5)"), QStringLiteral("letro@example.org"),
                             18, blue, QRect(1080, 4320, 4335, 495));

    Command1 = new QPushButton(QStringLiteral("CONTINUAR"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setFont(arialBold(18));
    Command1->setStyleSheet(buttonFaceStyle(QColor(192, 192, 255)));
    Command1->setGeometry(twipsRect(960, 5040, 4455, 615));
    Command1->setDefault(true);

    const char *letters[] = {"L", "e", "t", "r", "o"};
    for (int i = 0; i < TitleLetterCount; ++i) {
        const int height = i == 4 ? 975 : 735;
        TitleLetter[size_t(i)] =
            centredLabel(this, QStringLiteral("TitleLetter(%1)").arg(i), QLatin1String(letters[i]),
                         36, QColor(0, 0, 192), QRect(1920 + 360 * i, 120, 495, height));
    }

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(200);
    Timer1->start();
}

void Form2::Form_Load()
{
    m_cycle = TitleCycle();
    centreWindow(this, m_services.screenTwips());
    Velantro1->setGifPath(m_services.programFolder + QStringLiteral("/gifs/escritor.gif"));
}

void Form2::Timer1_Timer()
{
    const TitleCycle::Step step = m_cycle.tick();
    QLabel *letter = TitleLetter[size_t(step.letter)];
    QPalette palette = letter->palette();
    palette.setColor(QPalette::WindowText, classicPaletteColor(step.color));
    letter->setPalette(palette);
}

void Form2::Command1_Click()
{
    // The main window's start-up closes this window (later, when control is
    // back in the event loop), so nothing here touches it afterwards.
    Form1::showMainWindow(m_services);
}

} // namespace letro
