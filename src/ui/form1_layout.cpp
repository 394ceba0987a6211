// The main window as designed: every control with its name, text, font,
// geometry (twips), colours, picture, visibility and tab order, and the
// wiring of each control's event to its handler.
#include "exercise/form1.h"

#include "exercise/exercisenumber.h"
#include "scoring/spoken.h"
#include "ui/accessibility.h"
#include "ui/controls.h"
#include "ui/richtextbox.h"
#include "ui/velantro.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace letro {

namespace {

QString indexed(const char *name, int index)
{
    return QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(index);
}

} // namespace

void Form1::createControls()
{
    designWindow(this, QStringLiteral("Form1"), QStringLiteral("Letro 1.0 - letro@example.org"),
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint, QColor(255, 128, 128),
                 QSize(10050, 7215));
    setFont(dialogFont(8, false));
    installAccessibleInterfaces();

    // The picture buttons, made first: no other control overlaps them except
    // the yes/no picture, which the record-view button is raised above. Each
    // row: the control, its name, its picture and the picture's size, its face
    // colour, its tooltip, and its place in twips.
    constexpr QSize icon(32, 32), arrowUp(40, 41), arrowDown(40, 40), type(48, 46);
    const struct
    {
        QPushButton **control;
        PictureButtonDesign design;
    } pictureButtons[] = {
        // clang-format off
        {&Command1,    {u"Command1",    u"altavoz",     icon,      qRgb(255, 192, 128),
                        u"Escuchar el dictado",           {4680, 120, 735, 735}}},
        {&Command2,    {u"Command2",    u"libro",       icon,      qRgb(128, 255, 128),
                        u"Mostrar u ocultar lo escrito",  {6360, 120, 735, 735}}},
        {&Command3[0], {u"Command3(0)", u"siguiente",   arrowUp,   DefaultFace,
                        u"Ejercicio siguiente",           {1080, 120, 735, 735}}},
        {&Command3[1], {u"Command3(1)", u"anterior",    arrowDown, DefaultFace,
                        u"Ejercicio anterior",            {3000, 120, 735, 735}}},
        {&Command4[0], {u"Command4(0)", u"palabras",    type,      DefaultFace,
                        u"Palabras",                      {120, 960, 855, 855}}},
        {&Command4[1], {u"Command4(1)", u"frase-corta", type,      DefaultFace,
                        u"Frase corta",                   {120, 1920, 855, 855}}},
        {&Command4[2], {u"Command4(2)", u"frase-larga", type,      DefaultFace,
                        u"Frase larga",                   {120, 2880, 855, 855}}},
        {&Command5,    {u"Command5",    u"pluma",       icon,      qRgb(192, 255, 255),
                        u"Empezar a escribir",            {3840, 120, 735, 735}}},
        {&Command6,    {u"Command6",    u"bloque",      icon,      qRgb(255, 128, 255),
                        u"Elegir el tipo de letra",       {7320, 960, 855, 735}}},
        {&Command7,    {u"Command7",    u"lupa",        icon,      qRgb(255, 255, 0),
                        u"Cambiar el tamaño de la letra", {7320, 1680, 855, 735}}},
        // clang-format on
    };
    for (const auto &button : pictureButtons)
        *button.control = pictureButton(this, button.design);
    // The chosen type is the checked one, for screen readers; the look is
    // the same checked or not. (Not auto-exclusive: that would take the
    // other two out of the Tab order.)
    for (QPushButton *typeButton : Command4)
        typeButton->setCheckable(true);
    Command4[0]->setChecked(true);

    RichTextBox1 = new RichTextBox(this);
    RichTextBox1->setObjectName(QStringLiteral("RichTextBox1"));
    RichTextBox1->setFont(arialFont(15.75, false));
    RichTextBox1->setAccessibleName(QStringLiteral("Escribe aquí el dictado"));
    placeInTwips(RichTextBox1, {1080, 960, 6135, 2895});

    RichTextBox2 = new RichTextBox(this);
    RichTextBox2->setObjectName(QStringLiteral("RichTextBox2"));
    RichTextBox2->setFont(arialFont(12, false));
    RichTextBox2->setAccessibleName(QStringLiteral("Lo escrito hasta ahora"));
    RichTextBox2->setReadOnly(true);
    placeInTwips(RichTextBox2, {120, 4800, 9750, 1935});
    RichTextBox2->hide();

    const QColor navy(0, 0, 128), blue(0, 0, 255);
    Label1 = designLabel(this, QStringLiteral("Label1"), QString(), arialFont(12, true), navy,
                         {2880, 3960, 5775, 375});

    Velantro1 = new Velantro(QStringLiteral("Velantro1"), QColor(192, 192, 192),
                             QRect(5520, 120, 975, 735), this);
    Velantro1->setAccessibleDescription(QStringLiteral("La última tecla"));
    // The picture's box reaches under the record-view button; the button stays on top.
    Command2->raise();
    // The yes and no pictures are decoded now, not at the pupil's first key.
    Velantro1->preload(m_services.programFolder + QStringLiteral("/gifs/si.gif"));
    Velantro1->preload(m_services.programFolder + QStringLiteral("/gifs/no.gif"));

    Label2 = designLabel(this, QStringLiteral("Label2"), QString(), arialFont(14.25, false), blue,
                         {7440, 120, 1455, 495});

    Text1 = new QLineEdit(QStringLiteral("1"), this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setFont(arialFont(18, true));
    Text1->setAlignment(Qt::AlignCenter);
    Text1->setAccessibleName(QStringLiteral("Número de ejercicio"));
    placeInTwips(Text1, {1920, 240, 975, 495});

    // The counters and the tallies: name, caption, font, face, tooltip, place.
    const QFont counterFont = dialogFont(13.5, true);
    const struct
    {
        QPushButton **control;
        QString name, caption;
        QFont font;
        QColor face;
        QString tip;
        QRect twips;
    } captionButtons[] = {
        // clang-format off
        {&Command8[0], indexed("Command8", 0), QStringLiteral("0"), counterFont,
         QColor(192, 192, 255), QStringLiteral("Aciertos"), {7320, 2520, 855, 615}},
        {&Command8[1], indexed("Command8", 1), QStringLiteral("0"), counterFont,
         QColor(255, 192, 192), QStringLiteral("Errores"), {7320, 3240, 855, 615}},
        {&Command9[0], indexed("Command9", 0), QStringLiteral("Sin faltas ortográficas"), font(),
         QColor(192, 192, 255), QStringLiteral("Ejercicios terminados sin faltas"),
         {3000, 4320, 2655, 375}},
        {&Command9[1], indexed("Command9", 1), QStringLiteral("Con faltas ortográficas"), font(),
         QColor(255, 192, 192), QStringLiteral("Ejercicios terminados con faltas"),
         {5760, 4320, 2655, 375}},
        // clang-format on
    };
    for (const auto &button : captionButtons) {
        *button.control = captionButton(this, button.name, button.caption, button.font, button.face,
                                        button.tip, button.twips);
    }
    showFigure(Figure::Hits, Command8[0]->text());
    showFigure(Figure::Mistakes, Command8[1]->text());
    showFigure(Figure::CleanTally, Command9[0]->text());
    showFigure(Figure::FaultyTally, Command9[1]->text());

    Label3 = designLabel(this, QStringLiteral("Label3"), QStringLiteral("Palabras"),
                         arialFont(18, true), blue, {120, 4320, 2775, 495});
    Label4 = designLabel(this, QStringLiteral("Label4"), QStringLiteral("Nivel"),
                         arialFont(12, true), blue, {120, 3960, 1935, 375});

    Combo1 = new QComboBox(this);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo1->setEditable(true);
    Combo1->setInsertPolicy(QComboBox::NoInsert);
    Combo1->setEditText(QStringLiteral("Fuentes"));
    // Named for what it chooses; the font shown is its value.
    nameComboBox(Combo1, QStringLiteral("Tipo de letra"));
    Combo1->lineEdit()->setAccessibleName(QStringLiteral("Tipo de letra"));
    placeInTwips(Combo1, {7320, 600, 1455, 315});
    Combo1->hide();

    Velantro2 = new Velantro(QStringLiteral("Velantro2"), QColor(255, 128, 128),
                             QRect(8160, 960, 1215, 2055), this);
    Velantro2->setAccessibleDescription(QStringLiteral("Resultado del último ejercicio"));

    // Tab order as designed, over the controls that can take the focus.
    QWidget *const tabOrder[] = {Command1,    Command2,    RichTextBox1, RichTextBox2, Command3[0],
                                 Command3[1], Text1,       Command4[0],  Command4[1],  Command4[2],
                                 Command5,    Command6,    Command7,     Command8[0],  Command8[1],
                                 Combo1,      Command9[0], Command9[1]};
    for (size_t i = 1; i < std::size(tabOrder); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);

    // Both timers run from the window's creation; start-up stops them.
    Timer1 = designTimer(this, QStringLiteral("Timer1"), 1000);
    Timer2 = designTimer(this, QStringLiteral("Timer2"), 10);
}

QRect Form1::keptInView() const
{
    // Everything down to the tallies: the typed text, the clock, the
    // counters, the verdict picture and the tally a finish has just grown.
    return QRect(QPoint(0, 0), QPoint(width() - 1, Command9[1]->geometry().bottom()));
}

void Form1::showFigure(Figure figure, const QString &caption)
{
    const std::array<QPushButton *, 4> buttons = {Command8[0], Command8[1], Command9[0],
                                                  Command9[1]};
    QPushButton *button = buttons[size_t(figure)];
    button->setText(caption);
    // The caption alone is a bare number: the name says what it counts.
    button->setAccessibleName(figureName(figure, caption));
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
