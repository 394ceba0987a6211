// The main window as designed: every control with its name, text, font,
// geometry (twips), colours, picture, visibility and tab order, and the
// wiring of each control's event to its handler.
#include "exercise/form1.h"

#include "exercise/exercisenumber.h"
#include "ui/buttonfaces.h"
#include "ui/richtextbox.h"
#include "ui/twips.h"
#include "ui/velantro.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace letro {

namespace {

QFont arial(double points, bool bold)
{
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

// "MS Sans Serif" has no metric twin here: the system's UI font at that size.
QFont dialogFont(double points, bool bold)
{
    QFont font = QApplication::font();
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

void place(QWidget *widget, int left, int top, int width, int height)
{
    widget->setGeometry(twipsRect(left, top, width, height));
}

QLabel *label(QWidget *parent, const char *name, const QString &text, const QFont &font,
              const QColor &color)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(QLatin1String(name));
    l->setFont(font);
    QPalette palette = l->palette();
    palette.setColor(QPalette::WindowText, color);
    l->setPalette(palette);
    l->setFocusPolicy(Qt::NoFocus);
    return l;
}

QPushButton *pictureButton(QWidget *parent, const QString &name, const QString &picture,
                           const QSize &pictureSize, const QColor &face, const QString &tip)
{
    auto *button = new QPushButton(parent);
    button->setObjectName(name);
    button->setIcon(QIcon(picture));
    button->setIconSize(pictureSize);
    button->setStyleSheet(buttonFaceStyle(face));
    button->setToolTip(tip);
    button->setAccessibleName(tip);
    return button;
}

QPushButton *captionButton(QWidget *parent, const QString &name, const QString &caption,
                           const QFont &font, const QColor &face, const QString &tip)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setFont(font);
    button->setStyleSheet(buttonFaceStyle(face));
    button->setToolTip(tip);
    button->setAccessibleDescription(tip);
    return button;
}

QString indexed(const char *name, int index)
{
    return QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(index);
}

} // namespace

void Form1::createControls()
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Letro 1.0 - letro@example.org"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/pluma.svg")));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setFont(dialogFont(8, false));
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(255, 128, 128));
    setPalette(palette);
    setFixedSize(twipsToPixels(10050), twipsToPixels(7215));

    const QColor defaultFace = QApplication::palette().color(QPalette::Button);
    const QSize icon32(32, 32);

    Command1 =
        pictureButton(this, QStringLiteral("Command1"), QStringLiteral(":/icons/altavoz.svg"),
                      icon32, QColor(255, 192, 128), QStringLiteral("Escuchar el dictado"));
    place(Command1, 4680, 120, 735, 735);

    Command2 =
        pictureButton(this, QStringLiteral("Command2"), QStringLiteral(":/icons/libro.svg"), icon32,
                      QColor(128, 255, 128), QStringLiteral("Mostrar u ocultar lo escrito"));
    place(Command2, 6360, 120, 735, 735);

    RichTextBox1 = new RichTextBox(this);
    RichTextBox1->setObjectName(QStringLiteral("RichTextBox1"));
    RichTextBox1->setFont(arial(15.75, false));
    RichTextBox1->setAccessibleName(QStringLiteral("Escribe aquí el dictado"));
    place(RichTextBox1, 1080, 960, 6135, 2895);

    RichTextBox2 = new RichTextBox(this);
    RichTextBox2->setObjectName(QStringLiteral("RichTextBox2"));
    RichTextBox2->setFont(arial(12, false));
    RichTextBox2->setAccessibleName(QStringLiteral("Lo escrito hasta ahora"));
    place(RichTextBox2, 120, 4800, 9750, 1935);
    RichTextBox2->hide();

    Label1 = label(this, "Label1", QString(), arial(12, true), QColor(0, 0, 128));
    place(Label1, 2880, 3960, 5775, 375);

    Velantro1 = new Velantro(QStringLiteral("Velantro1"), QColor(192, 192, 192),
                             QRect(5520, 120, 975, 735), this);
    // The picture's box reaches under the record-view button; the button stays on top.
    Command2->raise();

    Label2 = label(this, "Label2", QString(), arial(14.25, false), QColor(0, 0, 255));
    place(Label2, 7440, 120, 1455, 495);

    Command3[0] =
        pictureButton(this, indexed("Command3", 0), QStringLiteral(":/icons/siguiente.svg"),
                      QSize(40, 41), defaultFace, QStringLiteral("Ejercicio siguiente"));
    place(Command3[0], 1080, 120, 735, 735);
    Command3[1] =
        pictureButton(this, indexed("Command3", 1), QStringLiteral(":/icons/anterior.svg"),
                      QSize(40, 40), defaultFace, QStringLiteral("Ejercicio anterior"));
    place(Command3[1], 3000, 120, 735, 735);

    Text1 = new QLineEdit(QStringLiteral("1"), this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setFont(arial(18, true));
    Text1->setAlignment(Qt::AlignCenter);
    Text1->setAccessibleName(QStringLiteral("Número de ejercicio"));
    place(Text1, 1920, 240, 975, 495);

    const char *typePictures[] = {":/icons/palabras.svg", ":/icons/frase-corta.svg",
                                  ":/icons/frase-larga.svg"};
    for (int i = 0; i < 3; ++i) {
        Command4[size_t(i)] =
            pictureButton(this, indexed("Command4", i), QLatin1String(typePictures[i]),
                          QSize(48, 46), defaultFace, typeName(i));
        place(Command4[size_t(i)], 120, 960 + 960 * i, 855, 855);
    }

    Command5 = pictureButton(this, QStringLiteral("Command5"), QStringLiteral(":/icons/pluma.svg"),
                             icon32, QColor(192, 255, 255), QStringLiteral("Empezar a escribir"));
    place(Command5, 3840, 120, 735, 735);

    Command6 =
        pictureButton(this, QStringLiteral("Command6"), QStringLiteral(":/icons/bloque.svg"),
                      icon32, QColor(255, 128, 255), QStringLiteral("Elegir el tipo de letra"));
    place(Command6, 7320, 960, 855, 735);

    Command7 =
        pictureButton(this, QStringLiteral("Command7"), QStringLiteral(":/icons/lupa.svg"), icon32,
                      QColor(255, 255, 0), QStringLiteral("Cambiar el tamaño de la letra"));
    place(Command7, 7320, 1680, 855, 735);

    Command8[0] =
        captionButton(this, indexed("Command8", 0), QStringLiteral("0"), dialogFont(13.5, true),
                      QColor(192, 192, 255), QStringLiteral("Aciertos"));
    place(Command8[0], 7320, 2520, 855, 615);
    Command8[1] =
        captionButton(this, indexed("Command8", 1), QStringLiteral("0"), dialogFont(13.5, true),
                      QColor(255, 192, 192), QStringLiteral("Errores"));
    place(Command8[1], 7320, 3240, 855, 615);

    Label3 = label(this, "Label3", QStringLiteral("Palabras"), arial(18, true), QColor(0, 0, 255));
    place(Label3, 120, 4320, 2775, 495);

    Label4 = label(this, "Label4", QStringLiteral("Nivel"), arial(12, true), QColor(0, 0, 255));
    place(Label4, 120, 3960, 1935, 375);

    Combo1 = new QComboBox(this);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo1->setEditable(true);
    Combo1->setInsertPolicy(QComboBox::NoInsert);
    Combo1->setEditText(QStringLiteral("Fuentes"));
    Combo1->setAccessibleName(QStringLiteral("Tipos de letra"));
    place(Combo1, 7320, 600, 1455, 315);
    Combo1->hide();

    Command9[0] = captionButton(
        this, indexed("Command9", 0), QStringLiteral("Sin faltas ortográficas"), font(),
        QColor(192, 192, 255), QStringLiteral("Ejercicios terminados sin faltas"));
    place(Command9[0], 3000, 4320, 2655, 375);
    Command9[1] = captionButton(
        this, indexed("Command9", 1), QStringLiteral("Con faltas ortográficas"), font(),
        QColor(255, 192, 192), QStringLiteral("Ejercicios terminados con faltas"));
    place(Command9[1], 5760, 4320, 2655, 375);

    Velantro2 = new Velantro(QStringLiteral("Velantro2"), QColor(255, 128, 128),
                             QRect(8160, 960, 1215, 2055), this);

    // Tab order as designed, over the controls that can take the focus.
    QWidget *const tabOrder[] = {Command1,    Command2,    RichTextBox1, RichTextBox2, Command3[0],
                                 Command3[1], Text1,       Command4[0],  Command4[1],  Command4[2],
                                 Command5,    Command6,    Command7,     Command8[0],  Command8[1],
                                 Combo1,      Command9[0], Command9[1]};
    for (size_t i = 1; i < std::size(tabOrder); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    Timer2 = new QTimer(this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    Timer2->setInterval(10);
    // Both timers are enabled in the design; start-up stops them.
    Timer1->start();
    Timer2->start();
}

void Form1::connectHandlers()
{
    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form1::Command2_Click);
    for (int i = 0; i < 2; ++i)
        connect(Command3[size_t(i)], &QPushButton::clicked, this, [this, i] { Command3_Click(i); });
    for (int i = 0; i < 3; ++i)
        connect(Command4[size_t(i)], &QPushButton::clicked, this, [this, i] { Command4_Click(i); });
    connect(Command5, &QPushButton::clicked, this, &Form1::Command5_Click);
    connect(Command6, &QPushButton::clicked, this, &Form1::Command6_Click);
    connect(Command7, &QPushButton::clicked, this, &Form1::Command7_Click);
    connect(Combo1, &QComboBox::activated, this, &Form1::Combo1_Click);
    connect(Text1, &QLineEdit::textChanged, this, &Form1::Text1_Change);
    Text1->installEventFilter(this);
    Text1->setValidator(new ExerciseNumberValidator(Text1));
    connect(Timer1, &QTimer::timeout, this, &Form1::Timer1_Timer);
    connect(Timer2, &QTimer::timeout, this, &Form1::Timer2_Timer);
    RichTextBox1->setKeyDownHook([this](int &keyCode, Qt::KeyboardModifiers shift) {
        RichTextBox1_KeyDown(keyCode, shift);
    });
    RichTextBox1->setKeyPressHook([this](QChar typed) { richtextbox1_KeyPress(typed); });
    RichTextBox2->setKeyDownHook([this](int &keyCode, Qt::KeyboardModifiers shift) {
        RichTextBox2_KeyDown(keyCode, shift);
    });
}

} // namespace letro
