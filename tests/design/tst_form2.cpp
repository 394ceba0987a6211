// The introduction window: its design, the colour cycle of the title, the
// centring rule, its start-up and the passage to the main window.
#include "testsupport.h"

#include "app/form2.h"
#include "app/titlecolors.h"
#include "ui/centring.h"
#include "ui/velantro.h"

#include <QApplication>
#include <QFontInfo>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <cmath>
#include <memory>
#include <set>

using namespace letro;
using namespace letro::test;

namespace {

const QColor DesignBlue(0, 0, 192);

} // namespace

class TestForm2 : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void window();
    void labels_data();
    void labels();
    void titleLetters_data();
    void titleLetters();
    void otherControls();

    void paletteColours_data();
    void paletteColours();
    void titleCycle_data();
    void titleCycle();
    void titleCycleUsesOnlyEightToFourteen();
    void timerTicksRecolour_data();
    void timerTicksRecolour();
    void lettersKeepDesignColourUntilRecoloured();
    void timerRuns();

    void centring_data();
    void centring();
    void formLoad();

    void continueOpensMainWindow();
    void closingIntroductionEndsProgram();

private:
    Services services() const;
    QLabel *letter(int i) const
    {
        return m_form->findChild<QLabel *>(QStringLiteral("TitleLetter(%1)").arg(i));
    }

    std::unique_ptr<ProgramFolder> m_folder;
    std::shared_ptr<FakeSound> m_sound;
    std::shared_ptr<ScriptedMessages> m_messages;
    QPointer<Form2> m_form;
};

Services TestForm2::services() const
{
    Services s;
    s.programFolder = m_folder->path();
    s.sound = m_sound;
    s.messages = m_messages;
    s.fontList = [] { return QStringList{"Liberation Sans"}; };
    s.screenTwips = [] { return QSize(15360, 11520); };
    return s;
}

void TestForm2::init()
{
    m_folder = std::make_unique<ProgramFolder>();
    m_folder->addExercise(0, 1, "casa\r\n");
    m_sound = std::make_shared<FakeSound>();
    m_messages = std::make_shared<ScriptedMessages>();
    m_form = new Form2(services());
}

void TestForm2::cleanup()
{
    delete m_form.data();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    m_folder.reset();
}

void TestForm2::window()
{
    QCOMPARE(m_form->objectName(), QString("Form2"));
    QCOMPARE(m_form->windowTitle(), QString("Letro 1.0 - @EL "));
    QCOMPARE(m_form->palette().color(QPalette::Window), QColor(255, 255, 255));
    QVERIFY(m_form->autoFillBackground());
    QCOMPARE(m_form->grab().toImage().pixelColor(2, 2), QColor(255, 255, 255));
    QCOMPARE(m_form->size(), QSize(426, 409));
    QCOMPARE(m_form->size(), QSize(px(6390), px(6135)));
    QCOMPARE(m_form->minimumSize(), m_form->maximumSize());
    const Qt::WindowFlags flags = m_form->windowFlags();
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
    QVERIFY(flags & Qt::WindowTitleHint);
    QVERIFY(!m_form->windowIcon().isNull());
}

void TestForm2::labels_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QRect>("twips");
    QTest::newRow("Label1(1)") << 1 << "Escucha y escribe" << QRect(960, 840, 4215, 495);
    QTest::newRow("Label1(2)") << 2 << QString::fromUtf8("sin hacer faltas de ortografía")
                               << QRect(480, 1200, 5175, 495);
    QTest::newRow("Label1(3)") << 3 << QString() << QRect(240, 3960, 5895, 495);
    QTest::newRow("Label1(4)") << 4 << "Autor" << QRect(1680, 3600, 3015, 495);
    QTest::newRow("Label1(5)") << 5 << QString() << QRect(1080, 4320, 4335, 495);
}

void TestForm2::labels()
{
    QFETCH(int, index);
    QFETCH(QString, text);
    QFETCH(QRect, twips);
    auto *label = m_form->findChild<QLabel *>(QStringLiteral("Label1(%1)").arg(index));
    QVERIFY(label);
    QCOMPARE(QString(label->metaObject()->className()), QString("QLabel"));
    if (text.isEmpty())
        QVERIFY(!label->text().trimmed().isEmpty()); // the maker's name and address
    else
        QCOMPARE(label->text(), text);
    QCOMPARE(label->geometry(), pxRect(twips.x(), twips.y(), twips.width(), twips.height()));
    QCOMPARE(label->font().pointSizeF(), 18.0);
    QVERIFY(label->font().bold());
    QCOMPARE(QFontInfo(label->font()).family(), QString("Liberation Sans"));
    QCOMPARE(label->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    QCOMPARE(label->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    QVERIFY(!label->autoFillBackground());
    QCOMPARE(label->focusPolicy(), Qt::NoFocus);
    QVERIFY(!label->isHidden());
}

void TestForm2::titleLetters_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("text");
    const char *letters[] = {"L", "e", "t", "r", "o"};
    for (int i = 0; i < 5; ++i)
        QTest::addRow("TitleLetter(%d)", i) << i << QString(letters[i]);
}

void TestForm2::titleLetters()
{
    QFETCH(int, index);
    QFETCH(QString, text);
    QLabel *l = letter(index);
    QVERIFY(l);
    QCOMPARE(l->text(), text);
    const int height = index == 4 ? 735 + 240 : 735;
    QCOMPARE(l->geometry(), pxRect(1920 + 360 * index, 120, 495, height));
    QCOMPARE(l->font().pointSizeF(), 36.0);
    QVERIFY(l->font().bold());
    QCOMPARE(QFontInfo(l->font()).family(), QString("Liberation Sans"));
    QCOMPARE(l->palette().color(QPalette::WindowText), DesignBlue);
    QVERIFY(!l->autoFillBackground());
}

void TestForm2::otherControls()
{
    auto *command1 = m_form->findChild<QPushButton *>("Command1");
    QVERIFY(command1);
    QCOMPARE(command1->text(), QString("CONTINUAR"));
    QCOMPARE(command1->geometry(), pxRect(960, 5040, 4455, 615));
    QCOMPARE(command1->font().pointSizeF(), 18.0);
    QVERIFY(command1->font().bold());
    QCOMPARE(QFontInfo(command1->font()).family(), QString("Liberation Sans"));
    QCOMPARE(command1->grab().toImage().pixelColor(3, 3), QColor(192, 192, 255));

    auto *velantro = m_form->findChild<Velantro *>("Velantro1");
    QVERIFY(velantro);
    QCOMPARE(velantro->geometry(), pxRect(2400, 1920, 2175, 1575));
    QCOMPARE(velantro->palette().color(QPalette::Window),
             QApplication::palette().color(QPalette::Button));

    auto *shape = m_form->findChild<QWidget *>("Shape1");
    QVERIFY(shape);
    QCOMPARE(shape->geometry(), pxRect(120, 120, 6135, 5895));
    QCOMPARE(shape->focusPolicy(), Qt::NoFocus);

    auto *timer = m_form->findChild<QTimer *>("Timer1");
    QVERIFY(timer);
    QCOMPARE(timer->interval(), 200);
    QVERIFY(timer->isActive());

    // The tab order of the controls that take the focus: only the button.
    QStringList focusable;
    for (QWidget *w : m_form->findChildren<QWidget *>())
        if (w->focusPolicy() & Qt::TabFocus)
            focusable << w->objectName();
    QCOMPARE(focusable, QStringList{"Command1"});
}

void TestForm2::paletteColours_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<QColor>("colour");
    QTest::newRow("8 grey") << 8 << QColor(128, 128, 128);
    QTest::newRow("9 light blue") << 9 << QColor(0, 0, 255);
    QTest::newRow("10 light green") << 10 << QColor(0, 255, 0);
    QTest::newRow("11 light cyan") << 11 << QColor(0, 255, 255);
    QTest::newRow("12 light red") << 12 << QColor(255, 0, 0);
    QTest::newRow("13 light magenta") << 13 << QColor(255, 0, 255);
    QTest::newRow("14 light yellow") << 14 << QColor(255, 255, 0);
}

void TestForm2::paletteColours()
{
    QFETCH(int, number);
    QFETCH(QColor, colour);
    QCOMPARE(classicPaletteColor(number), colour);
}

void TestForm2::titleCycle_data()
{
    QTest::addColumn<int>("tick");
    QTest::addColumn<int>("letter");
    QTest::addColumn<int>("colour");
    QTest::newRow("tick 1") << 1 << 0 << 8;
    QTest::newRow("tick 2") << 2 << 1 << 8;
    QTest::newRow("tick 3") << 3 << 2 << 8;
    QTest::newRow("tick 4") << 4 << 3 << 8;
    QTest::newRow("tick 5") << 5 << 4 << 8;
    QTest::newRow("tick 6") << 6 << 0 << 9;
    QTest::newRow("tick 10") << 10 << 4 << 9;
    QTest::newRow("tick 11") << 11 << 0 << 10;
    QTest::newRow("tick 31") << 31 << 0 << 14;
    QTest::newRow("tick 35") << 35 << 4 << 14;
    QTest::newRow("tick 36") << 36 << 0 << 8;
    QTest::newRow("tick 42") << 42 << 1 << 9;
    QTest::newRow("tick 71") << 71 << 0 << 8;
}

void TestForm2::titleCycle()
{
    QFETCH(int, tick);
    QFETCH(int, letter);
    QFETCH(int, colour);
    TitleCycle cycle;
    QCOMPARE(cycle.letterIndex, 0);
    QCOMPARE(cycle.letterColor, 8);
    TitleCycle::Step step{-1, -1};
    for (int i = 0; i < tick; ++i)
        step = cycle.tick();
    QCOMPARE(step.letter, letter);
    QCOMPARE(step.color, colour);
}

void TestForm2::titleCycleUsesOnlyEightToFourteen()
{
    TitleCycle cycle;
    std::set<int> used;
    for (int i = 0; i < 200; ++i) {
        const TitleCycle::Step step = cycle.tick();
        QVERIFY(step.letter >= 0 && step.letter <= 4);
        used.insert(step.color);
        QVERIFY(cycle.letterColor >= 8 && cycle.letterColor <= 14);
        QVERIFY(cycle.letterIndex >= 0 && cycle.letterIndex <= 4);
    }
    QCOMPARE(used, (std::set<int>{8, 9, 10, 11, 12, 13, 14}));
}

void TestForm2::timerTicksRecolour_data()
{
    QTest::addColumn<int>("ticks");
    QTest::addColumn<int>("letter");
    QTest::addColumn<QColor>("colour");
    const QColor grey(128, 128, 128), lightBlue(0, 0, 255);
    for (int i = 1; i <= 5; ++i)
        QTest::addRow("tick %d", i) << i << i - 1 << grey;
    QTest::newRow("tick 6") << 6 << 0 << lightBlue;
    QTest::newRow("tick 36") << 36 << 0 << grey;
    QTest::newRow("tick 35") << 35 << 4 << QColor(255, 255, 0);
}

void TestForm2::timerTicksRecolour()
{
    QFETCH(int, ticks);
    QFETCH(int, letter);
    QFETCH(QColor, colour);
    m_form->findChild<QTimer *>("Timer1")->stop();
    m_form->Form_Load();
    for (int i = 0; i < ticks; ++i)
        m_form->Timer1_Timer();
    QCOMPARE(this->letter(letter)->palette().color(QPalette::WindowText), colour);
    QCOMPARE(m_form->letterIndex(), ticks % 5);
    QCOMPARE(m_form->letterColor(), 8 + (ticks / 5) % 7);
}

void TestForm2::lettersKeepDesignColourUntilRecoloured()
{
    m_form->findChild<QTimer *>("Timer1")->stop();
    m_form->Form_Load();
    QCOMPARE(m_form->letterIndex(), 0);
    QCOMPARE(m_form->letterColor(), 8);
    for (int i = 0; i < 5; ++i)
        QCOMPARE(letter(i)->palette().color(QPalette::WindowText), DesignBlue);
    m_form->Timer1_Timer();
    m_form->Timer1_Timer();
    QCOMPARE(letter(0)->palette().color(QPalette::WindowText), QColor(128, 128, 128));
    QCOMPARE(letter(1)->palette().color(QPalette::WindowText), QColor(128, 128, 128));
    for (int i = 2; i < 5; ++i)
        QCOMPARE(letter(i)->palette().color(QPalette::WindowText), DesignBlue);
    // Over 200 ticks every letter only ever shows colours 8 to 14.
    QSet<QRgb> allowed;
    for (int n = 8; n <= 14; ++n)
        allowed.insert(classicPaletteColor(n).rgb());
    for (int t = 0; t < 200; ++t) {
        m_form->Timer1_Timer();
        for (int i = 0; i < 5; ++i) {
            const QRgb c = letter(i)->palette().color(QPalette::WindowText).rgb();
            QVERIFY(allowed.contains(c) || (t < 3 && c == DesignBlue.rgb()));
        }
    }
}

void TestForm2::timerRuns()
{
    m_form->Form_Load();
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.data()));
    // The first tick, 200 ms after the start, greys the "L".
    QTRY_COMPARE_WITH_TIMEOUT(letter(0)->palette().color(QPalette::WindowText),
                              QColor(128, 128, 128), 3000);
    QTRY_COMPARE_WITH_TIMEOUT(letter(4)->palette().color(QPalette::WindowText),
                              QColor(128, 128, 128), 5000);
    QTRY_COMPARE_WITH_TIMEOUT(letter(0)->palette().color(QPalette::WindowText), QColor(0, 0, 255),
                              5000);
    m_form->hide();
}

void TestForm2::centring_data()
{
    QTest::addColumn<double>("screenWidth");
    QTest::addColumn<double>("screenHeight");
    QTest::addColumn<double>("windowWidth");
    QTest::addColumn<double>("windowHeight");
    QTest::addColumn<QPoint>("topLeft");

    QTest::newRow("introduction window")
        << 15360.0 << 11520.0 << 6480.0 << 6600.0 << QPoint(4440, 2460);
    QTest::newRow("main window") << 15360.0 << 11520.0 << 10140.0 << 5215.0 << QPoint(2610, 3152);
    QTest::newRow("difference -3") << 100.0 << 100.0 << 103.0 << 103.0 << QPoint(-1, -1);
    QTest::newRow("difference -4") << 100.0 << 100.0 << 104.0 << 104.0 << QPoint(-2, -2);
    QTest::newRow("6304.5 to even 6304")
        << 6404.5 << 6404.5 << 100.0 << 100.0 << QPoint(3152, 3152);
    QTest::newRow("6305.5 to even 6306")
        << 6405.5 << 6405.5 << 100.0 << 100.0 << QPoint(3153, 3153);
    QTest::newRow("2.5 to 2") << 102.5 << 102.5 << 100.0 << 100.0 << QPoint(1, 1);
    QTest::newRow("3.5 to 4") << 103.5 << 103.5 << 100.0 << 100.0 << QPoint(2, 2);
    QTest::newRow("-0.5 to 0") << 99.5 << 99.5 << 100.0 << 100.0 << QPoint(0, 0);
    QTest::newRow("-2.5 to -2") << 97.5 << 97.5 << 100.0 << 100.0 << QPoint(-1, -1);
    QTest::newRow("-3.5 to -4") << 96.5 << 96.5 << 100.0 << 100.0 << QPoint(-2, -2);
    QTest::newRow("6304.4 to 6304") << 6404.4 << 11520.0 << 100.0 << 11520.0 << QPoint(3152, 0);
    QTest::newRow("6304.6 to 6305") << 6404.6 << 11520.0 << 100.0 << 11520.0 << QPoint(3152, 0);
    QTest::newRow("same size") << 15360.0 << 11520.0 << 15360.0 << 11520.0 << QPoint(0, 0);
    QTest::newRow("short main window")
        << 15360.0 << 11520.0 << 10050.0 << 5220.0 << QPoint(2655, 3150);
    QTest::newRow("tall main window")
        << 15360.0 << 11520.0 << 10050.0 << 7335.0 << QPoint(2655, 2092);
}

void TestForm2::centring()
{
    QFETCH(double, screenWidth);
    QFETCH(double, screenHeight);
    QFETCH(double, windowWidth);
    QFETCH(double, windowHeight);
    QFETCH(QPoint, topLeft);
    QCOMPARE(centredTopLeft(screenWidth, screenHeight, windowWidth, windowHeight), topLeft);
    QCOMPARE(centredOffset(screenWidth, windowWidth), (long long)topLeft.x());
    QCOMPARE(centredOffset(screenHeight, windowHeight), (long long)topLeft.y());
}

void TestForm2::formLoad()
{
    m_form->Form_Load();
    auto *velantro = m_form->findChild<Velantro *>("Velantro1");
    QCOMPARE(velantro->gifPath(), m_folder->path() + "/gifs/escritor.gif");
    QVERIFY(velantro->isPlaying());
    // Centred from its outer size, 426 x 409 px = 6390 x 6135 twips:
    // (15360 - 6390) \ 2 = 4485 twips = 299 px; (11520 - 6135) \ 2 = 2692 twips = 179 px.
    QCOMPARE(m_form->frameGeometry().topLeft(), QPoint(299, 179));
    QCOMPARE(m_form->size(), QSize(426, 409));
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.data()));
    // Once shown with the platform's frame, still centred by its outer size.
    const QRect frame = m_form->frameGeometry();
    QCOMPARE(frame.left(), px((15360 - frame.width() * 15) / 2));
    QCOMPARE(frame.top(), px((11520 - frame.height() * 15) / 2));
    QCOMPARE(m_form->size(), QSize(426, 409));
    // Nothing heard, nothing said.
    QVERIFY(m_sound->played.isEmpty());
    QVERIFY(m_messages->shown.isEmpty());
    m_form->hide();

    // A missing writer animation shows nothing and does no harm.
    QFile::remove(m_folder->path() + "/gifs/escritor.gif");
    m_form->Form_Load();
    QVERIFY(!velantro->isPlaying());
    QCOMPARE(velantro->currentFrame(), -1);
}

void TestForm2::continueOpensMainWindow()
{
    QVERIFY(QApplication::quitOnLastWindowClosed());
    int lastClosed = 0;
    auto connection =
        connect(qApp, &QGuiApplication::lastWindowClosed, this, [&] { ++lastClosed; });

    m_form->Form_Load();
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.data()));

    // Press "CONTINUAR" inside the application's own event loop, as the
    // pupil does, and see whether the program ends (exit code 0 from an
    // automatic quit) or goes on until the test stops it (code 42).
    QPointer<Form1> main;
    bool form2ClosedInHandler = false;
    QTimer::singleShot(0, this, [&] {
        m_form->findChild<QPushButton *>("Command1")->click();
        form2ClosedInHandler = m_form && !m_form->isVisible();
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *f = qobject_cast<Form1 *>(w))
                main = f;
    });
    QTimer::singleShot(500, qApp, [] { QCoreApplication::exit(42); });
    const int code = QCoreApplication::exec();
    QCOMPARE(code, 42);
    QCOMPARE(lastClosed, 0);
    QVERIFY(QApplication::quitOnLastWindowClosed());
    QVERIFY(form2ClosedInHandler);

    // The main window is up, loaded from the same program folder.
    QVERIFY(main);
    QVERIFY(main->isVisible());
    QCOMPARE(main->appFolder(), m_folder->path());
    QCOMPARE(main->expectedText(), QString("casa"));
    QCOMPARE(main->fontSize(), 16);
    QCOMPARE(main->windowModality(), Qt::NonModal);
    QVERIFY(!main->parentWidget());
    // The introduction window is gone.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(m_form.isNull());
    // Quietly: the start-up plays nothing and says nothing.
    QVERIFY(m_sound->played.isEmpty());
    QVERIFY(m_messages->shown.isEmpty());
    // Asking again shows the same window.
    QCOMPARE(Form1::showMainWindow(services()), main.data());

    // Closing the main window now ends the program.
    QTimer::singleShot(0, main.data(), [&main] { main->close(); });
    QTimer::singleShot(3000, qApp, [] { QCoreApplication::exit(42); });
    QCOMPARE(QCoreApplication::exec(), 0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(main.isNull());
    QCOMPARE(lastClosed, 1);
    disconnect(connection);
}

void TestForm2::closingIntroductionEndsProgram()
{
    m_form->Form_Load();
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.data()));
    QTimer::singleShot(0, m_form.data(), [this] { m_form->close(); });
    QTimer::singleShot(3000, qApp, [] { QCoreApplication::exit(42); });
    QCOMPARE(QCoreApplication::exec(), 0);
}

QTEST_MAIN(TestForm2)
#include "tst_form2.moc"
