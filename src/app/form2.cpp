#include "app/form2.h"

#include "app/whoareyou.h"
#include "exercise/form1.h"
#include "progress/classlist.h"
#include "ui/accessibility.h"
#include "ui/buttonkeys.h"
#include "ui/controls.h"
#include "ui/shape.h"
#include "ui/velantro.h"
#include "ui/windowplacement.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

namespace letro {

Form2::Form2(const Services &services, QWidget *parent)
    : QWidget(parent), m_services(services.withDefaults())
{
    createControls();
    connect(Timer1, &QTimer::timeout, this, &Form2::Timer1_Timer);
    connect(Command1, &QPushButton::clicked, this, &Form2::Command1_Click);
    letReturnPressButtons(); // CONTINUAR from the keyboard, with Return as with Space
    placeAgainWhenFrameChanges(this, [this] { centreWindow(this, m_services.screenTwips()); });
}

void Form2::createControls()
{
    designWindow(this, QStringLiteral("Form2"), QStringLiteral("Letro 1.0 - @EL "),
                 Qt::WindowCloseButtonHint, Qt::white, QSize(6390, 6135));
    installAccessibleInterfaces();

    Shape1 = new Shape(3, this);
    Shape1->setObjectName(QStringLiteral("Shape1"));
    placeInTwips(Shape1, {120, 120, 6135, 5895});

    // As designed, a label's text sits at its top: the title letters, whose
    // labels differ in height, then share one baseline.
    const Qt::Alignment top = Qt::AlignHCenter | Qt::AlignTop;
    const QFont big = arialFont(18, true);
    const QColor blue(0, 0, 255);
    Label1[1] = designLabel(this, QStringLiteral("Label1(1)"), QStringLiteral("Escucha y escribe"),
                            big, blue, {960, 840, 4215, 495}, top);
    Label1[2] = designLabel(this, QStringLiteral("Label1(2)"),
                            QStringLiteral("sin hacer faltas de ortografía"), big, blue,
                            {480, 1200, 5175, 495}, top);

    Velantro1 =
        new Velantro(QStringLiteral("Velantro1"), QApplication::palette().color(QPalette::Button),
                     QRect(2400, 1920, 2175, 1575), this);

    Label1[3] = designLabel(this, QStringLiteral("Label1(3)"), QStringLiteral("Equipo de Letro"),
                            big, blue, {240, 3960, 5895, 495}, top);
    Label1[4] = designLabel(this, QStringLiteral("Label1(4)"), QStringLiteral("Autor"), big, blue,
                            {1680, 3600, 3015, 495}, top);
    Label1[5] = designLabel(this, QStringLiteral("Label1(5)"), QStringLiteral("letro@example.org"),
                            big, blue, {1080, 4320, 4335, 495}, top);

    Command1 = captionButton(this, QStringLiteral("Command1"), QStringLiteral("CONTINUAR"), big,
                             QColor(192, 192, 255), QString(), {960, 5040, 4455, 615});
    Command1->setDefault(true);

    const char16_t letters[] = u"Letro";
    for (int i = 0; i < TitleLetterCount; ++i) {
        const int height = i == 4 ? 975 : 735;
        TitleLetter[size_t(i)] = designLabel(
            this, QStringLiteral("TitleLetter(%1)").arg(i), QString(QChar(letters[i])),
            arialFont(36, true), QColor(0, 0, 192), {1920 + 360 * i, 120, 495, height}, top);
    }
    // The title is read once, as the word it spells, not letter by letter.
    TitleLetter[0]->setAccessibleName(QStringLiteral("Letro"));
    for (int i = 1; i < TitleLetterCount; ++i)
        silenceForScreenReaders(TitleLetter[size_t(i)]);

    Timer1 = designTimer(this, QStringLiteral("Timer1"), 200);
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
    setColour(TitleLetter[size_t(step.letter)], QPalette::WindowText,
              classicPaletteColor(step.color));
}

void Form2::Command1_Click()
{
    // The main window's start-up closes this window (later, when control is
    // back in the event loop), so nothing here touches it afterwards.
    Form1 *form = Form1::showMainWindow(m_services);
    // On an account a class shares, the pupil says who is typing before
    // starting, over the main window once it is up.
    if (const std::shared_ptr<progress::ProgressSession> session = m_services.progress) {
        QTimer::singleShot(0, form, [form, session] {
            askWhoIsTyping(form, *session, progress::defaultClassListPath());
        });
    }
}

} // namespace letro
