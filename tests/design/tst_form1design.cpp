// The main window as designed: every control with its kind, place, text,
// font, colours and visibility, the window itself, the tab order, and what the
// start-up makes of it (state, height, centring, record view).
#include "testsupport.h"

#include "exercise/font.h"
#include "ui/richtextbox.h"
#include "ui/velantro.h"

#include <QApplication>
#include <QComboBox>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <cmath>
#include <memory>

using namespace letro;
using namespace letro::test;

namespace {

// The window's pixel at a point of one of its controls, as drawn.
QColor pixelOf(QWidget *widget, QPoint point)
{
    return widget->grab().toImage().pixelColor(point);
}

const QStringList designedTabOrder = {
    "Command1",    "Command2",    "RichTextBox1", "Command3(0)", "Command3(1)", "Text1",
    "Command4(0)", "Command4(1)", "Command4(2)",  "Command5",    "Command6",    "Command7",
    "Command8(0)", "Command8(1)", "Command9(0)",  "Command9(1)",
};

} // namespace

class TestForm1Design : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void controls_data();
    void controls();
    void fonts_data();
    void fonts();
    void labelColours_data();
    void labelColours();
    void buttonFaces_data();
    void buttonFaces();
    void pictureButtons_data();
    void pictureButtons();
    void captions();
    void window();
    void timers();
    void tabOrderInFocusChain();
    void tabOrderByTabKey();

    void stateAfterLoad();
    void heightAndCentringAfterLoad();
    void recordViewToggles();
    void centredWhenShown();
    void fontSizeCycle_data();
    void fontSizeCycle();

private:
    std::unique_ptr<ProgramFolder> m_folder;
    std::unique_ptr<Harness> m_design; // before Form_Load
    std::unique_ptr<Harness> m_loaded; // after Form_Load
};

void TestForm1Design::init()
{
    m_folder = std::make_unique<ProgramFolder>();
    m_folder->addExercise(0, 1, "casa\r\n");
    m_design = std::make_unique<Harness>(m_folder->path(), false);
    m_loaded = std::make_unique<Harness>(m_folder->path(), true);
}

void TestForm1Design::cleanup()
{
    m_design.reset();
    m_loaded.reset();
    m_folder.reset();
}

void TestForm1Design::controls_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QRect>("twips");
    QTest::addColumn<bool>("visible");

    const QString button = "QPushButton", label = "QLabel", rich = "letro::RichTextBox",
                  velantro = "letro::Velantro";
    auto row = [](const char *name, const QString &kind, int l, int t, int w, int h, bool visible) {
        QTest::newRow(name) << QString(name) << kind << QRect(l, t, w, h) << visible;
    };
    row("Command1", button, 4680, 120, 735, 735, true);
    row("Command2", button, 6360, 120, 735, 735, true);
    row("RichTextBox1", rich, 1080, 960, 6135, 2895, true);
    row("RichTextBox2", rich, 120, 4800, 9750, 1935, false);
    row("Label1", label, 2880, 3960, 5775, 375, true);
    row("Velantro1", velantro, 5520, 120, 975, 735, true);
    row("Label2", label, 7440, 120, 1455, 495, true);
    row("Command3(0)", button, 1080, 120, 735, 735, true);
    row("Command3(1)", button, 3000, 120, 735, 735, true);
    row("Text1", "QLineEdit", 1920, 240, 975, 495, true);
    row("Command4(0)", button, 120, 960, 855, 855, true);
    row("Command4(1)", button, 120, 1920, 855, 855, true);
    row("Command4(2)", button, 120, 2880, 855, 855, true);
    row("Command5", button, 3840, 120, 735, 735, true);
    row("Command6", button, 7320, 960, 855, 735, true);
    row("Command7", button, 7320, 1680, 855, 735, true);
    row("Command8(0)", button, 7320, 2520, 855, 615, true);
    row("Command8(1)", button, 7320, 3240, 855, 615, true);
    row("Label3", label, 120, 4320, 2775, 495, true);
    row("Label4", label, 120, 3960, 1935, 375, true);
    row("Combo1", "QComboBox", 7320, 600, 1455, 315, false);
    row("Command9(0)", button, 3000, 4320, 2655, 375, true);
    row("Command9(1)", button, 5760, 4320, 2655, 375, true);
    row("Velantro2", velantro, 8160, 960, 1215, 2055, true);
}

void TestForm1Design::controls()
{
    QFETCH(QString, name);
    QFETCH(QString, kind);
    QFETCH(QRect, twips);
    QFETCH(bool, visible);

    for (Harness *h : {m_design.get(), m_loaded.get()}) {
        QWidget *w = h->child<QWidget>(name);
        QVERIFY2(w, qPrintable(name));
        QCOMPARE(w->parentWidget(), static_cast<QWidget *>(h->form));
        QCOMPARE(QString(w->metaObject()->className()), kind);
        QCOMPARE(w->geometry(), pxRect(twips.x(), twips.y(), twips.width(), twips.height()));
        QCOMPARE(!w->isHidden(), visible);
        QVERIFY(w->isEnabled());
    }
    // Exactly one control of each name.
    QCOMPARE(m_design->form->findChildren<QWidget *>(name).size(), 1);
}

void TestForm1Design::fonts_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("arial");
    QTest::addColumn<double>("points");
    QTest::addColumn<bool>("bold");

    QTest::newRow("RichTextBox1") << "RichTextBox1" << true << 15.75 << false;
    QTest::newRow("RichTextBox2") << "RichTextBox2" << true << 12.0 << false;
    QTest::newRow("Label1") << "Label1" << true << 12.0 << true;
    QTest::newRow("Label2") << "Label2" << true << 14.25 << false;
    QTest::newRow("Text1") << "Text1" << true << 18.0 << true;
    QTest::newRow("Label3") << "Label3" << true << 18.0 << true;
    QTest::newRow("Label4") << "Label4" << true << 12.0 << true;
    QTest::newRow("Command8(0)") << "Command8(0)" << false << 13.5 << true;
    QTest::newRow("Command8(1)") << "Command8(1)" << false << 13.5 << true;
    QTest::newRow("Combo1") << "Combo1" << false << 8.0 << false;
    QTest::newRow("Command9(0)") << "Command9(0)" << false << 8.0 << false;
    QTest::newRow("Command9(1)") << "Command9(1)" << false << 8.0 << false;
}

void TestForm1Design::fonts()
{
    QFETCH(QString, name);
    QFETCH(bool, arial);
    QFETCH(double, points);
    QFETCH(bool, bold);

    QWidget *w = m_design->child<QWidget>(name);
    QVERIFY(w);
    const QFont font = w->font();
    QCOMPARE(font.pointSizeF(), points);
    QCOMPARE(font.bold(), bold);
    const QFontInfo info(font);
    QCOMPARE(info.bold(), bold);
    if (arial) {
        QCOMPARE(font.family(), QString("Arial"));
        // Arial is drawn in its metric twin.
        QCOMPARE(info.family(), QString("Liberation Sans"));
    } else {
        // No font of its own: the system's dialog font family.
        QCOMPARE(font.family(), QApplication::font().family());
    }
}

void TestForm1Design::labelColours_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QColor>("colour");
    QTest::newRow("Label1") << "Label1" << QColor(0, 0, 128);
    QTest::newRow("Label2") << "Label2" << QColor(0, 0, 255);
    QTest::newRow("Label3") << "Label3" << QColor(0, 0, 255);
    QTest::newRow("Label4") << "Label4" << QColor(0, 0, 255);
}

void TestForm1Design::labelColours()
{
    QFETCH(QString, name);
    QFETCH(QColor, colour);
    auto *label = m_design->child<QLabel>(name);
    QVERIFY(label);
    QCOMPARE(label->palette().color(QPalette::WindowText), colour);
    // Transparent: the window's colour shows through.
    QVERIFY(!label->autoFillBackground());
}

void TestForm1Design::buttonFaces_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QColor>("face");
    const QColor defaultFace = QApplication::palette().color(QPalette::Button);
    QTest::newRow("Command1") << "Command1" << QColor(255, 192, 128);
    QTest::newRow("Command2") << "Command2" << QColor(128, 255, 128);
    QTest::newRow("Command3(0)") << "Command3(0)" << defaultFace;
    QTest::newRow("Command3(1)") << "Command3(1)" << defaultFace;
    QTest::newRow("Command4(0)") << "Command4(0)" << defaultFace;
    QTest::newRow("Command4(1)") << "Command4(1)" << defaultFace;
    QTest::newRow("Command4(2)") << "Command4(2)" << defaultFace;
    QTest::newRow("Command5") << "Command5" << QColor(192, 255, 255);
    QTest::newRow("Command6") << "Command6" << QColor(255, 128, 255);
    QTest::newRow("Command7") << "Command7" << QColor(255, 255, 0);
    QTest::newRow("Command8(0)") << "Command8(0)" << QColor(192, 192, 255);
    QTest::newRow("Command8(1)") << "Command8(1)" << QColor(255, 192, 192);
    QTest::newRow("Command9(0)") << "Command9(0)" << QColor(192, 192, 255);
    QTest::newRow("Command9(1)") << "Command9(1)" << QColor(255, 192, 192);
}

void TestForm1Design::buttonFaces()
{
    QFETCH(QString, name);
    QFETCH(QColor, face);
    auto *button = m_design->child<QPushButton>(name);
    QVERIFY(button);
    // Just inside the raised edge, clear of picture and caption.
    QCOMPARE(pixelOf(button, QPoint(3, 3)), face);
}

void TestForm1Design::pictureButtons_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QSize>("pictureSize");
    for (const char *name : {"Command1", "Command2", "Command5", "Command6", "Command7"})
        QTest::newRow(name) << QString(name) << QSize(32, 32);
    QTest::newRow("Command3(0)") << "Command3(0)" << QSize(40, 41);
    QTest::newRow("Command3(1)") << "Command3(1)" << QSize(40, 40);
    for (const char *name : {"Command4(0)", "Command4(1)", "Command4(2)"})
        QTest::newRow(name) << QString(name) << QSize(48, 46);
}

void TestForm1Design::pictureButtons()
{
    QFETCH(QString, name);
    QFETCH(QSize, pictureSize);
    auto *button = m_design->child<QPushButton>(name);
    QVERIFY(button);
    QVERIFY(button->text().isEmpty());
    QVERIFY(!button->icon().isNull());
    QCOMPARE(button->iconSize(), pictureSize);
    // The picture really renders (the SVG is compiled in and readable).
    const QImage picture = button->icon().pixmap(pictureSize).toImage();
    QVERIFY(!picture.isNull());
    bool painted = false;
    for (int y = 0; y < picture.height() && !painted; ++y)
        for (int x = 0; x < picture.width() && !painted; ++x)
            painted = qAlpha(picture.pixel(x, y)) != 0;
    QVERIFY2(painted, "the picture is blank");
    QVERIFY(!button->toolTip().trimmed().isEmpty());
    QVERIFY(!button->accessibleName().trimmed().isEmpty());
}

void TestForm1Design::captions()
{
    for (Harness *h : {m_design.get(), m_loaded.get()}) {
        QCOMPARE(h->child<QLineEdit>("Text1")->text(), QString("1"));
        QCOMPARE(h->child<QLineEdit>("Text1")->alignment() & Qt::AlignHCenter, Qt::AlignHCenter);
        QCOMPARE(h->child<QLabel>("Label1")->text(), QString());
        QCOMPARE(h->child<QLabel>("Label2")->text(), QString());
        QCOMPARE(h->child<QLabel>("Label3")->text(), QString("Palabras"));
        QCOMPARE(h->child<QLabel>("Label4")->text(), QString("Nivel"));
        QCOMPARE(h->child<QPushButton>("Command8(0)")->text(), QString("0"));
        QCOMPARE(h->child<QPushButton>("Command8(1)")->text(), QString("0"));
        QCOMPARE(h->child<QPushButton>("Command9(0)")->text(),
                 QString::fromUtf8("Sin faltas ortográficas"));
        QCOMPARE(h->child<QPushButton>("Command9(1)")->text(),
                 QString::fromUtf8("Con faltas ortográficas"));
        QCOMPARE(h->child<QComboBox>("Combo1")->currentText(), QString("Fuentes"));
        QVERIFY(h->child<QComboBox>("Combo1")->isEditable());
        QCOMPARE(h->child<QComboBox>("Combo1")->count(), 0);
        QCOMPARE(h->child<RichTextBox>("RichTextBox1")->text(), QString());
        QCOMPARE(h->child<RichTextBox>("RichTextBox2")->text(), QString());
        QCOMPARE(h->child<Velantro>("Velantro1")->gifPath(), QString());
        QCOMPARE(h->child<Velantro>("Velantro2")->gifPath(), QString());
    }
}

void TestForm1Design::window()
{
    Form1 *form = m_design->form;
    QCOMPARE(form->objectName(), QString("Form1"));
    QVERIFY(form->isWindow());
    QCOMPARE(form->windowTitle(), QString("Letro 1.0 - letro@example.org"));
    QCOMPARE(form->palette().color(QPalette::Window), QColor(255, 128, 128));
    QVERIFY(form->autoFillBackground());
    // Drawn salmon where no control lies.
    QCOMPARE(pixelOf(form, QPoint(3, 3)), QColor(255, 128, 128));
    QCOMPARE(pixelOf(form, QPoint(px(9000), px(4200))), QColor(255, 128, 128));
    QVERIFY(!form->windowIcon().isNull());

    // Client area as designed, and fixed.
    QCOMPARE(form->size(), QSize(px(10050), px(7215)));
    QCOMPARE(form->minimumSize(), form->maximumSize());
    QCOMPARE(m_loaded->form->minimumSize(), m_loaded->form->maximumSize());
    QCOMPARE(m_loaded->form->width(), px(10050));

    const Qt::WindowFlags flags = form->windowFlags();
    QVERIFY(flags & Qt::WindowMinimizeButtonHint);
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    QVERIFY(flags & Qt::WindowCloseButtonHint);
    QVERIFY(flags & Qt::WindowTitleHint);

    // The window's own font: an 8-point regular dialog font.
    QCOMPARE(form->font().pointSizeF(), 8.0);
    QVERIFY(!form->font().bold());
}

void TestForm1Design::timers()
{
    auto *t1 = m_design->child<QTimer>("Timer1");
    auto *t2 = m_design->child<QTimer>("Timer2");
    QVERIFY(t1 && t2);
    QCOMPARE(t1->interval(), 1000);
    QCOMPARE(t2->interval(), 10);
    // Running once the window is made; the start-up stops both.
    QVERIFY(t1->isActive());
    QVERIFY(t2->isActive());
    QVERIFY(!m_loaded->child<QTimer>("Timer1")->isActive());
    QVERIFY(!m_loaded->child<QTimer>("Timer2")->isActive());
    QCOMPARE(m_loaded->child<QTimer>("Timer1")->interval(), 1000);
    QCOMPARE(m_loaded->child<QTimer>("Timer2")->interval(), 10);
}

void TestForm1Design::tabOrderInFocusChain()
{
    for (Harness *h : {m_design.get(), m_loaded.get()}) {
        Form1 *form = h->form;
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form));
        QWidget *start = h->child<QWidget>("Command1");
        QStringList order;
        QWidget *w = start;
        do {
            if (w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus) &&
                w->window() == form && !w->focusProxy())
                order << w->objectName();
            w = w->nextInFocusChain();
        } while (w && w != start && order.size() < 100);
        QCOMPARE(w, start);
        QCOMPARE(order, designedTabOrder);
        form->hide();
    }
}

void TestForm1Design::tabOrderByTabKey()
{
    Form1 *form = m_loaded->form;
    form->show();
    QApplication::setActiveWindow(form);
    QVERIFY(QTest::qWaitForWindowActive(form));
    QWidget *start = m_loaded->child<QWidget>("Command1");
    start->setFocus(Qt::TabFocusReason);
    QTRY_COMPARE(QApplication::focusWidget(), start);

    QStringList order{QApplication::focusWidget()->objectName()};
    for (int i = 1; i < designedTabOrder.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        order << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(order, designedTabOrder);
    // Round again to the start.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), start);
    // Tab in the typing box moves on and types nothing.
    auto *box = m_loaded->child<RichTextBox>("RichTextBox1");
    QCOMPARE(box->text(), QString());
    QCOMPARE(m_loaded->form->textPos(), 1);
    // And back with Shift+Tab.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(QApplication::focusWidget()->objectName(), designedTabOrder.last());
    form->hide();
}

void TestForm1Design::stateAfterLoad()
{
    Harness &h = *m_loaded;
    QCOMPARE(h.form->exerciseType(), 0);
    QCOMPARE(h.form->exerciseNumbers(), (QList<int>{1, 1, 1}));
    QCOMPARE(h.form->textPos(), 1);
    QCOMPARE(h.form->recordPos(), 1);
    QCOMPARE(h.form->recordStart(), 1);
    QCOMPARE(h.form->fontSize(), 16);
    QCOMPARE(h.form->elapsedSeconds(), 0);
    QCOMPARE(h.form->mistakePending(), false);
    QCOMPARE(h.form->faultyExercises(), 0);
    QCOMPARE(h.form->cleanExercises(), 0);
    QCOMPARE(h.form->appFolder(), m_folder->path());
    QCOMPARE(h.form->exerciseFolder(), m_folder->path() + "/Palabras");
    QCOMPARE(h.form->expectedText(), QString("casa"));
    QCOMPARE(h.child<QLabel>("Label3")->text(), QString("Palabras"));
    QCOMPARE(h.child<QLineEdit>("Text1")->text(), QString("1"));
    // Quietly: no sound, no message; the typing box is ready.
    QCOMPARE(h.sound->played, QStringList());
    QCOMPARE(h.messages->shown, QStringList());
    QVERIFY(h.child<RichTextBox>("RichTextBox1")->isEnabled());
    QVERIFY(h.child<RichTextBox>("RichTextBox2")->isHidden());
    QVERIFY(h.child<QComboBox>("Combo1")->isHidden());
}

void TestForm1Design::heightAndCentringAfterLoad()
{
    Form1 *form = m_loaded->form;
    // Offscreen there is no frame: outer and client sizes agree.
    // 4320 + 495 + 400 = 5215 twips.
    QCOMPARE(form->frameGeometry().height(), px(5215));
    QCOMPARE(form->height(), 348);
    QCOMPARE(form->width(), 670);
    QCOMPARE(form->minimumSize(), form->maximumSize());
    // (15360 - 10050) \ 2 = 2655 twips = 177 px; (11520 - 5220) \ 2 = 3150 twips = 210 px.
    QCOMPARE(form->frameGeometry().topLeft(), QPoint(177, 210));
}

void TestForm1Design::recordViewToggles()
{
    Form1 *form = m_loaded->form;
    auto *record = m_loaded->child<RichTextBox>("RichTextBox2");
    auto *command2 = m_loaded->child<QPushButton>("Command2");

    struct Expect
    {
        bool recordShown;
        int height;
        QPoint topLeft;
    };
    // 4800 + 1935 + 600 = 7335 twips = 489 px, top (11520 - 7335) \ 2 = 2092 twips = 139 px.
    const Expect expected[] = {
        {true, 489, QPoint(177, 139)},
        {false, 348, QPoint(177, 210)},
        {true, 489, QPoint(177, 139)},
        {false, 348, QPoint(177, 210)},
    };
    for (const Expect &e : expected) {
        form->move(5, 7); // moved by the pupil: re-centred anyway
        command2->click();
        QCOMPARE(!record->isHidden(), e.recordShown);
        QCOMPARE(form->frameGeometry().height(), e.height);
        QCOMPARE(form->minimumHeight(), form->maximumHeight());
        QCOMPARE(form->width(), 670);
        QCOMPARE(form->frameGeometry().topLeft(), e.topLeft);
        // The record box keeps its place.
        QCOMPARE(record->geometry(), pxRect(120, 4800, 9750, 1935));
    }
}

void TestForm1Design::centredWhenShown()
{
    // Once shown, the platform's frame counts: the outer height is still the
    // designed one and the rule centres the outer size as reported.
    Form1 *form = m_loaded->form;
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form));
    auto centredLeft = [](int outerPixels) { return px((15360 - outerPixels * 15) / 2); };

    QTRY_COMPARE(form->frameGeometry().height(), 348);
    QRect frame = form->frameGeometry();
    QCOMPARE(form->width(), 670);
    QCOMPARE(frame.height(), 348);
    QCOMPARE(frame.left(), centredLeft(frame.width()));
    QCOMPARE(frame.top(), 210); // (11520 - 5220) \ 2 = 3150 twips

    m_loaded->child<QPushButton>("Command2")->click();
    QCoreApplication::processEvents();
    frame = form->frameGeometry();
    QCOMPARE(frame.height(), 489);
    QCOMPARE(frame.left(), centredLeft(frame.width()));
    QCOMPARE(frame.top(), 139); // (11520 - 7335) \ 2 = 2092 twips
    QVERIFY(m_loaded->child<RichTextBox>("RichTextBox2")->isVisible());
    // The record box's bottom lies inside the tall window.
    QVERIFY(m_loaded->child<RichTextBox>("RichTextBox2")->geometry().bottom() < form->height());
    m_loaded->child<QPushButton>("Command2")->click();
    QCOMPARE(form->frameGeometry().height(), 348);
    QCOMPARE(form->frameGeometry().top(), 210);
    // The short window ends below Label3.
    QVERIFY(m_loaded->child<QLabel>("Label3")->geometry().bottom() < form->height());
    form->hide();
}

void TestForm1Design::fontSizeCycle_data()
{
    QTest::addColumn<int>("presses");
    QTest::addColumn<int>("size");
    const int sizes[] = {18, 20, 22, 24, 26, 28, 30, 12, 14, 16, 18};
    for (int i = 0; i < 11; ++i)
        QTest::addRow("press %d", i + 1) << i + 1 << sizes[i];
}

void TestForm1Design::fontSizeCycle()
{
    QFETCH(int, presses);
    QFETCH(int, size);
    int value = 16;
    for (int i = 0; i < presses; ++i)
        value = nextFontSize(value);
    QCOMPARE(value, size);

    // The same through the magnifying-glass button.
    for (int i = 0; i < presses; ++i)
        m_loaded->child<QPushButton>("Command7")->click();
    QCOMPARE(m_loaded->form->fontSize(), size);
}

QTEST_MAIN(TestForm1Design)
#include "tst_form1design.moc"
