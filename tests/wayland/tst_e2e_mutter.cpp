// The accent pad as a native Wayland client of GNOME's compositor (a
// headless mutter, started by mutter-run.sh). That compositor dismisses a
// popup placed outside its parent window, which is where the pad shows: the
// pad must stay up, beside the main window, while the main window keeps the
// keyboard; the pad's buttons type into the typing box.
#include "testsupport.h"

#include "exercise/aids.h"
#include "ui/accentpad.h"
#include "ui/richtextbox.h"

#include <QApplication>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QToolTip>
#include <QWindow>

using namespace letro;
using namespace letro::test;

namespace {

// Whether a widget has been painted (and so its window's content sent).
class PaintWatch : public QObject
{
public:
    explicit PaintWatch(QWidget *widget) { widget->installEventFilter(this); }
    bool painted = false;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            painted = true;
        return false;
    }
};

} // namespace

class E2eMutter : public QObject
{
    Q_OBJECT

private slots:
    void padStaysBesideTheMainWindow();
};

void E2eMutter::padStaysBesideTheMainWindow()
{
    QCOMPARE(QGuiApplication::platformName(), QStringLiteral("wayland"));
    QVERIFY2(qEnvironmentVariable("LETRO_COMPOSITOR") == QLatin1String("mutter"),
             "run under mutter-run.sh");

    ProgramFolder folder;
    folder.addExercise(0, 1, "sol\r\n");
    Services services;
    services.programFolder = folder.path();
    services.sound = std::make_shared<FakeSound>();
    services.messages = std::make_shared<ScriptedMessages>();
    QPointer<Form1> form = Form1::showMainWindow(services);
    QVERIFY(QTest::qWaitForWindowExposed(form));
    QTRY_VERIFY(form->isActiveWindow());
    form->findChild<QPushButton *>(QStringLiteral("Command5"))->click();
    auto *box = form->findChild<RichTextBox *>(QStringLiteral("RichTextBox1"));
    QTRY_VERIFY(box->isEnabled());

    Aids *aids = form->findChild<Aids *>();
    aids->toggleAccentPad();
    AccentPad *pad = aids->accentPad();
    PaintWatch paints(pad);
    QVERIFY(QTest::qWaitForWindowExposed(pad));
    QCOMPARE(pad->windowHandle()->type(), Qt::ToolTip);
    QCOMPARE(pad->windowHandle()->transientParent(), form->windowHandle());
    QTRY_VERIFY(paints.painted);

    // The compositor answers in the order it is asked: once a popup shown
    // after the pad's content is up, a dismissal of the pad has come.
    QCoreApplication::processEvents();
    const QPoint inside = form->mapToGlobal(QPoint(20, 20));
    QToolTip::showText(inside, QStringLiteral("Letro"), form);
    QWidget *tip = nullptr;
    QTRY_VERIFY((tip = [] {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (w->inherits("QTipLabel") && w->isVisible())
                return w;
        }
        return static_cast<QWidget *>(nullptr);
    }()));
    QVERIFY(QTest::qWaitForWindowExposed(tip));
    QCoreApplication::processEvents();
    QVERIFY2(pad->isVisible(), "the compositor dismissed the pad");
    QToolTip::hideText();

    // Beside the main window: past its frame on the right, tops aligned,
    // its first column on the window's last one.
    const QMargins frame = form->windowHandle()->frameMargins();
    QCOMPARE(pad->geometry().topLeft() - form->geometry().topLeft(),
             QPoint(form->width() + frame.right() - 1, -frame.top()));
    // What shows of it starts past the strip; the strip lets clicks through.
    QCOMPARE(pad->mask().boundingRect(),
             QRect(AccentPad::PopupStrip, 0, pad->width() - AccentPad::PopupStrip, pad->height()));
    QVERIFY(pad->findChild<QPushButton *>(QStringLiteral("á"))->x() >=
            AccentPad::PopupStrip + AccentPad::PadMargin);

    // The main window keeps the keyboard, and the pad types.
    QVERIFY(form->isActiveWindow());
    pad->findChild<QPushButton *>(QStringLiteral("ó"))->click();
    QCOMPARE(box->text(), QStringLiteral("ó"));
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(box));
    delete form.data();
}

QTEST_MAIN(E2eMutter)
#include "tst_e2e_mutter.moc"
