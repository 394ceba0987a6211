#include "form1.h"

#include "aids.h"
#include "exercise/sharednames.h"
#include "scoring/spoken.h"
#include "ui/accessibility.h"
#include "ui/platform.h"
#include "ui/richtextbox.h"
#include "ui/twips.h"
#include "ui/velantro.h"
#include "ui/windowplacement.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

namespace letro {

namespace {

// Margins under the last visible control: short window (record box hidden)
// and tall window (record box shown).
constexpr int ShortMargin = 400;
constexpr int TallMargin = 600;

QPointer<Form1> &mainWindow()
{
    static QPointer<Form1> window;
    return window;
}

} // namespace

Form1::Form1(const Services &services, QWidget *parent)
    : QWidget(parent), m_services(services.withDefaults())
{
    createControls();
    connectHandlers();
    new Aids(this); // replay and help keys, the accent pad, hints; owned by this window
    watchProgressStore();
    m_text1Seen = Text1->text();
    placeAgainWhenFrameChanges(this, [this] { placeWithFrame(); });
    holdFixedSizeOnWayland(this);
}

Form1::~Form1()
{
    recordAttempt(false);
}

Form1 *Form1::showMainWindow(const Services &services)
{
    QPointer<Form1> &window = mainWindow();
    if (!window) {
        window = new Form1(services);
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->Form_Load();
    }
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

QString Form1::typeName(int type)
{
    return letro::exerciseTypeFolder(type);
}

QList<int> Form1::exerciseNumbers() const
{
    return {ExerciseNumber[0], ExerciseNumber[1], ExerciseNumber[2]};
}

void Form1::Form_Load()
{
    Timer2->stop();
    // Unload the introduction window. It must not count as the last window
    // closing: this window is not shown yet and the program goes on.
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (window->objectName() == QLatin1String("Form2")) {
            window->setAttribute(Qt::WA_QuitOnClose, false);
            const bool deletesItself = window->testAttribute(Qt::WA_DeleteOnClose);
            window->close();
            if (!deletesItself)
                window->deleteLater();
        }
    }
    AppFolder = m_services.programFolder;
    ExerciseFolder = AppFolder + QLatin1Char('/') + Label3->text();
    TextPos = 1;
    RecordPos = 1;
    RecordStart = 1;
    FontSize = 16;
    Timer1->stop();
    setOuterHeight(shortHeight());
    centreWindow();
    ExerciseNumber[0] = 1;
    ExerciseNumber[1] = 1;
    ExerciseNumber[2] = 1;
    startOnChoice();
    quietLoad();
}

int Form1::shortHeight() const
{
    return pixelsToTwips(Label3->y()) + pixelsToTwips(Label3->height()) + ShortMargin;
}

int Form1::tallHeight() const
{
    return pixelsToTwips(RichTextBox2->y()) + pixelsToTwips(RichTextBox2->height()) + TallMargin;
}

void Form1::Command2_Click()
{
    if (!RichTextBox2->isHidden()) {
        setOuterHeight(shortHeight());
        RichTextBox2->hide();
    } else {
        setOuterHeight(tallHeight());
        RichTextBox2->show();
    }
    centreWindow();
    announce(this, shownAnnouncement(RichTextBox2->accessibleName(), !RichTextBox2->isHidden()));
}

void Form1::setOuterHeight(int twips)
{
    // The height is the outer one, caption bar and borders included.
    letro::setOuterHeight(this, twips);
}

void Form1::centreWindow()
{
    letro::centreWindow(this, m_services.screenTwips());
}

void Form1::closeEvent(QCloseEvent *event)
{
    // A message box holds a handler of this window until the pupil closes it.
    if (refuseCloseUnderModalWindow(event))
        return;
    QWidget::closeEvent(event);
    // The attempt under way is kept as unfinished.
    recordAttempt(false);
}

void Form1::placeWithFrame()
{
    setOuterHeight(RichTextBox2->isHidden() ? shortHeight() : tallHeight());
    centreWindow();
}

void Form1::chooseExercise(int type, int number)
{
    if (type < 0 || type >= int(Command4.size()) || number < 1)
        return;
    stopAttempt();
    showType(type);
    ExerciseNumber[ExerciseType] = qint16(number);
    // A different number in Text1 loads the exercise through Text1_Change,
    // as typing it does; the same number is loaded here, once either way.
    const QString seen = m_text1Seen;
    showNumberInText1(number);
    if (m_text1Seen == seen)
        LoadExercise();
}

} // namespace letro
