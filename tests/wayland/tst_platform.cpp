// The rules behind the platform checks: which platform is Wayland, the frame
// a window is sized and placed by, where a message box goes, and the close
// that waits for a box.
//
// A window asked to close while one of its own modal boxes is up stays, and
// closes normally once the box is gone. A Wayland compositor delivers such a
// request past the box (an X11 window manager's never reaches the window);
// here the request comes from code, which takes the same road into the
// window. Without the refusal the main window would be deleted inside the
// box's event loop, under the handler that opened it.
#include "testsupport.h"

#include "ui/accentpad.h"
#include "ui/messageplacement.h"
#include "ui/platform.h"
#include "ui/richtextbox.h"
#include "ui/twips.h"
#include "ui/windowplacement.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace letro;
using namespace letro::test;

namespace {

// While a message box is up: what it says, and what a close of the main
// window did then. The box is then answered with its OK button.
struct CloseUnderBox
{
    QPointer<QWidget> window;
    QStringList texts;
    QList<QRect> boxes; // each box's place on the screen, frame included
    QList<bool> closed;
    QList<bool> visibleAfter;

    void watch(QTimer &timer)
    {
        QObject::connect(&timer, &QTimer::timeout, [this] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box || !box->isVisible() || !window)
                return;
            texts.append(box->text());
            boxes.append(box->frameGeometry());
            closed.append(window->close());
            visibleAfter.append(window && window->isVisible());
            box->button(QMessageBox::Ok)->click();
        });
        timer.start(10);
    }
};

} // namespace

class TestPlatform : public QObject
{
    Q_OBJECT

private slots:
    void platformNames_data();
    void platformNames();
    void placementFrame_data();
    void placementFrame();
    void fixedSizeToRestore_data();
    void fixedSizeToRestore();
    void besideKeptArea_data();
    void besideKeptArea();
    void besideKeptAreaShortened_data();
    void besideKeptAreaShortened();
    void padPopupOffset_data();
    void padPopupOffset();
    void refusesOnlyWhileAModalWindowIsUp();
    void mainWindowStaysUnderItsBox_data();
    void mainWindowStaysUnderItsBox();
};

void TestPlatform::platformNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("waylandDisplay");
    QTest::addColumn<bool>("wayland");
    QTest::addColumn<bool>("xwayland");
    const QString socket = QStringLiteral("wayland-1");
    QTest::newRow("wayland") << QStringLiteral("wayland") << socket << true << false;
    QTest::newRow("wayland-egl") << QStringLiteral("wayland-egl") << socket << true << false;
    QTest::newRow("xcb, X11 desktop") << QStringLiteral("xcb") << QString() << false << false;
    QTest::newRow("xcb, Wayland desktop") << QStringLiteral("xcb") << socket << false << true;
    QTest::newRow("offscreen") << QStringLiteral("offscreen") << socket << false << false;
    QTest::newRow("empty") << QString() << QString() << false << false;
}

void TestPlatform::platformNames()
{
    QFETCH(QString, name);
    QFETCH(QString, waylandDisplay);
    QFETCH(bool, wayland);
    QFETCH(bool, xwayland);
    QCOMPARE(isWaylandPlatform(name), wayland);
    QCOMPARE(isXwaylandClient(name, waylandDisplay), xwayland);
}

void TestPlatform::placementFrame_data()
{
    QTest::addColumn<QMargins>("reported");
    QTest::addColumn<bool>("wayland");
    QTest::addColumn<QMargins>("asked");
    QTest::addColumn<QMargins>("frame");
    const QMargins none;
    const QMargins openbox(1, 20, 1, 1);
    const QMargins qtDecoration(3, 30, 3, 3);
    // 45 twips a side, 420 on top: 3 and 28 pixels.
    const QMargins designed(3, 28, 3, 3);
    QTest::newRow("X11, the window manager's answer") << none << false << openbox << openbox;
    QTest::newRow("X11, no window manager") << none << false << none << none;
    QTest::newRow("X11, shown: Qt's figure") << openbox << false << none << openbox;
    QTest::newRow("Wayland, the compositor's frame") << none << true << none << designed;
    QTest::newRow("Wayland, Qt's own frame") << qtDecoration << true << none << qtDecoration;
}

void TestPlatform::placementFrame()
{
    QFETCH(QMargins, reported);
    QFETCH(bool, wayland);
    QFETCH(QMargins, asked);
    QFETCH(QMargins, frame);
    QCOMPARE(letro::placementFrame(reported, wayland, asked), frame);
    QCOMPARE(designedFrame().top() + designedFrame().bottom(), twipsToPixels(6600 - 6135));
}

void TestPlatform::fixedSizeToRestore_data()
{
    QTest::addColumn<QSize>("minimum");
    QTest::addColumn<QSize>("maximum");
    QTest::addColumn<QSize>("current");
    // No size (QSize()) when nothing is to be asked for.
    QTest::addColumn<QSize>("wanted");
    const QSize unbounded(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    // The main window: its width fixed, its height set for the record box.
    const QSize tall(670, 456);
    QTest::newRow("fixed, kept") << tall << tall << tall << QSize();
    QTest::newRow("fixed, the compositor's old height") << tall << tall << QSize(670, 315) << tall;
    QTest::newRow("fixed, both changed") << tall << tall << QSize(700, 315) << tall;
    QTest::newRow("only the height fixed: the width is free")
        << QSize(0, 456) << QSize(QWIDGETSIZE_MAX, 456) << QSize(700, 315) << QSize(700, 456);
    QTest::newRow("only the width fixed")
        << QSize(670, 0) << QSize(670, QWIDGETSIZE_MAX) << QSize(680, 315) << QSize(670, 315);
    QTest::newRow("nothing fixed") << QSize(0, 0) << unbounded << QSize(700, 315) << QSize();
    QTest::newRow("a range: left to the compositor")
        << QSize(600, 300) << QSize(800, 500) << QSize(700, 315) << QSize();
}

void TestPlatform::fixedSizeToRestore()
{
    QFETCH(QSize, minimum);
    QFETCH(QSize, maximum);
    QFETCH(QSize, current);
    QFETCH(QSize, wanted);
    QCOMPARE(letro::fixedSizeToRestore(minimum, maximum, current).value_or(QSize()), wanted);
}

void TestPlatform::besideKeptArea_data()
{
    QTest::addColumn<QRect>("keep");
    QTest::addColumn<QRect>("screen");
    QTest::addColumn<QPoint>("topLeft");
    const QSize box(220, 93);
    const QRect screen(0, 0, 1280, 1024);
    QTest::addColumn<QSize>("box");
    // The main window's area down to the tallies, 670 x 313 pixels.
    QTest::newRow("under it, centred")
        << QRect(100, 100, 670, 313) << screen << QPoint(324, 421) << box;
    QTest::newRow("no room under it: above it")
        << QRect(100, 700, 670, 313) << screen << QPoint(324, 599) << box;
    QTest::newRow("just room under it")
        << QRect(100, 822, 670, 100) << screen << QPoint(324, 930) << box;
    QTest::newRow("no room under nor above: as low as the screen allows")
        << QRect(100, 50, 670, 960) << screen << QPoint(324, 931) << box;
    QTest::newRow("off the screen's left edge: pushed onto it")
        << QRect(-200, 100, 300, 200) << screen << QPoint(0, 308) << box;
    QTest::newRow("off the screen's right edge: pushed onto it")
        << QRect(1100, 100, 400, 200) << screen << QPoint(1060, 308) << box;
    QTest::newRow("a second screen to the right")
        << QRect(1300, 900, 600, 100) << QRect(1280, 0, 1920, 1080) << QPoint(1489, 799) << box;
    QTest::newRow("a box wider than the screen: its left edge on the screen's")
        << QRect(0, 0, 300, 100) << QRect(0, 0, 200, 600) << QPoint(0, 108) << box;
}

void TestPlatform::besideKeptArea()
{
    QFETCH(QRect, keep);
    QFETCH(QRect, screen);
    QFETCH(QPoint, topLeft);
    QFETCH(QSize, box);
    QCOMPARE(letro::besideKeptArea(keep, box, screen), topLeft);
}

void TestPlatform::besideKeptAreaShortened_data()
{
    QTest::addColumn<QRect>("keep");
    QTest::addColumn<QRect>("place");
    // The help, 640 x 660 inside a frame of 3, 30, 3, 3, kept at least 240
    // high, on a 1280 x 1024 screen.
    QTest::newRow("whole under it") << QRect(100, 100, 670, 150) << QRect(111, 258, 646, 693);
    QTest::newRow("whole above it") << QRect(100, 800, 670, 100) << QRect(111, 99, 646, 693);
    // The main window centred on the screen, its area down to the tallies.
    QTest::newRow("the main window centred: lowered to the room under it")
        << QRect(308, 301, 664, 313) << QRect(316, 622, 646, 402);
    QTest::newRow("more room above: lowered to the room above it")
        << QRect(308, 500, 664, 313) << QRect(316, 0, 646, 492);
    QTest::newRow("room for the least height above it")
        << QRect(308, 248, 664, 700) << QRect(316, 0, 646, 240);
    QTest::newRow("less room than that: whole, as low as the screen allows")
        << QRect(308, 247, 664, 700) << QRect(316, 331, 646, 693);
}

void TestPlatform::besideKeptAreaShortened()
{
    QFETCH(QRect, keep);
    QFETCH(QRect, place);
    const QRect screen(0, 0, 1280, 1024);
    const QRect got = letro::besideKeptAreaShortened(keep, QSize(646, 693), 240, screen);
    QCOMPARE(got, place);
    // Never taller than asked, always on the screen once it fits there.
    QVERIFY(got.height() <= 693);
    QVERIFY(screen.contains(got));
}

void TestPlatform::padPopupOffset_data()
{
    QTest::addColumn<QSize>("window");
    QTest::addColumn<QMargins>("frame");
    QTest::addColumn<QPoint>("offset");
    QTest::addColumn<int>("shownAt"); // where the buttons' side begins
    // The compositor's frame, unknown to Qt: the pad shows 8 pixels past
    // the client area, as it did at 678.
    QTest::newRow("the compositor's frame")
        << QSize(670, 348) << QMargins() << QPoint(669, 0) << 678;
    // Qt's own frame: 8 pixels past the frame, tops aligned with it.
    QTest::newRow("Qt's own frame")
        << QSize(664, 315) << QMargins(3, 30, 3, 3) << QPoint(666, -30) << 675;
}

void TestPlatform::padPopupOffset()
{
    QFETCH(QSize, window);
    QFETCH(QMargins, frame);
    QFETCH(QPoint, offset);
    QFETCH(int, shownAt);
    const QPoint got = AccentPad::popupOffset(window, frame);
    QCOMPARE(got, offset);
    // The popup's corner is on the window, frame included, as the
    // compositor wants it.
    QVERIFY(QRect(QPoint(0, 0), window).marginsAdded(frame).contains(got));
    QCOMPARE(got.x() + AccentPad::PopupStrip, shownAt);
    QCOMPARE(shownAt - (window.width() + frame.right()), AccentPad::Gap);
}

void TestPlatform::refusesOnlyWhileAModalWindowIsUp()
{
    QCloseEvent before;
    QVERIFY(!refuseCloseUnderModalWindow(&before));
    QVERIFY(before.isAccepted());

    QWidget window;
    window.show();
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Letro"), QStringLiteral("texto"),
                    QMessageBox::Ok, &window);
    box.setWindowModality(Qt::ApplicationModal);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    QCloseEvent under;
    QVERIFY(refuseCloseUnderModalWindow(&under));
    QVERIFY(!under.isAccepted());

    box.hide();
    QCloseEvent after;
    QVERIFY(!refuseCloseUnderModalWindow(&after));
    QVERIFY(after.isAccepted());
}

void TestPlatform::mainWindowStaysUnderItsBox_data()
{
    QTest::addColumn<bool>("finish");
    QTest::addColumn<QString>("message");
    QTest::newRow("missing exercise") << false << QStringLiteral("No encuentro el archivo");
    QTest::newRow("end of exercise") << true << QStringLiteral("Fin del ejercicio");
}

void TestPlatform::mainWindowStaysUnderItsBox()
{
    QFETCH(bool, finish);
    QFETCH(QString, message);

    ProgramFolder folder;
    folder.addExercise(0, 1, "sol\r\n");
    Services services;
    services.programFolder = folder.path();
    services.sound = std::make_shared<FakeSound>(); // real modal message boxes
    QPointer<Form1> form = Form1::showMainWindow(services);
    QVERIFY(form && form->testAttribute(Qt::WA_DeleteOnClose));
    QVERIFY(QTest::qWaitForWindowExposed(form));

    CloseUnderBox watcher;
    watcher.window = form;
    QTimer timer;
    watcher.watch(timer);
    if (finish) {
        form->Command5_Click();
        typeText(form->findChild<RichTextBox *>(QStringLiteral("RichTextBox1")),
                 QStringLiteral("sol"));
    } else {
        form->Command3_Click(0); // exercise 2, which is missing
    }
    timer.stop();

    // The handler came back to a live window, which refused the close.
    QVERIFY(form);
    QVERIFY(!watcher.texts.isEmpty());
    QCOMPARE(watcher.texts.first(), message);
    // The box leaves the typing box, the counters and the tallies in view,
    // and is wide enough for a title bar to show its title whole.
    const QRect kept(form->mapToGlobal(form->keptInView().topLeft()), form->keptInView().size());
    QVERIFY(kept.contains(form->findChild<RichTextBox *>(QStringLiteral("RichTextBox1"))
                              ->geometry()
                              .translated(form->mapToGlobal(QPoint()))));
    QVERIFY2(!watcher.boxes.first().intersects(kept),
             qPrintable(QStringLiteral("box %1,%2 %3x%4")
                            .arg(watcher.boxes.first().x())
                            .arg(watcher.boxes.first().y())
                            .arg(watcher.boxes.first().width())
                            .arg(watcher.boxes.first().height())));
    QVERIFY(watcher.boxes.first().width() >= TitleBarRoom);
    QCOMPARE(watcher.closed.first(), false);
    QCOMPARE(watcher.visibleAfter.first(), true);
    QVERIFY(form->isVisible());
    QCOMPARE(form->textPos(), 1);

    // With the box gone, closing works and deletes the window.
    QVERIFY(form->close());
    QTRY_VERIFY(!form);
}

QTEST_MAIN(TestPlatform)
#include "tst_platform.moc"
