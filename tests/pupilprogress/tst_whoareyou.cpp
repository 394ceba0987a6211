// "¿Quién eres?": the class list's names in their order, chosen with the
// keyboard alone (arrows, a first letter, Return), every control named for
// a screen reader and the question spoken; the name chosen becomes the
// session's pupil; closing without a name keeps the desktop user and says
// so; without a list, or with one that cannot be read, nothing is shown.
#include "app/whoareyou.h"
#include "progress/classlist.h"
#include "progress/progresssession.h"
#include "ui/accessibility.h"

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace letro;
using namespace letro::progress;

namespace {

const QStringList ClassNames = {QStringLiteral("Ana"), QStringLiteral("Bruno"),
                                QStringLiteral("Carla"), QStringLiteral("Álvaro"),
                                QStringLiteral("Cecilia")};

QString accessibleName(QObject *object)
{
    QAccessibleInterface *face = QAccessible::queryAccessibleInterface(object);
    return face ? face->text(QAccessible::Name) : QString();
}

// Runs `answer` on the modal dialog once it is up, while `ask` waits for it;
// `shown` tells whether a dialog came up at all.
void answerWhenAsked(const std::function<void()> &ask,
                     const std::function<void(WhoAreYouDialog *)> &answer, bool *shown)
{
    *shown = false;
    QTimer poll;
    poll.setInterval(20);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto *dialog = qobject_cast<WhoAreYouDialog *>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible())
            return;
        poll.stop();
        *shown = true;
        answer(dialog);
    });
    poll.start();
    // Whatever happens, the test is not held by a dialog nobody answers.
    QTimer::singleShot(10000, [] {
        if (QWidget *modal = QApplication::activeModalWidget())
            modal->close();
    });
    ask();
}

} // namespace

class TestWhoAreYou : public QObject
{
    Q_OBJECT

private slots:
    void namesInOrderAndNamed();
    void chosenWithTheKeyboard_data();
    void chosenWithTheKeyboard();
    void askedOverTheWindow();
    void closedWithoutAName();
    void nothingShownWithoutAList_data();
    void nothingShownWithoutAList();
};

void TestWhoAreYou::namesInOrderAndNamed()
{
    WhoAreYouDialog dialog(ClassNames);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("¿Quién eres?"));
    auto *names = dialog.findChild<QListWidget *>(QStringLiteral("Names"));
    auto *accept = dialog.findChild<QPushButton *>(QStringLiteral("Aceptar"));
    auto *question = dialog.findChild<QLabel *>(QStringLiteral("Question"));
    QVERIFY(names && accept && question);
    QStringList listed;
    for (int i = 0; i < names->count(); ++i)
        listed.append(names->item(i)->text());
    QCOMPARE(listed, ClassNames);
    QCOMPARE(question->text(), QStringLiteral("¿Quién eres?"));
    QCOMPARE(accept->text(), QStringLiteral("Aceptar"));

    QStringList spoken;
    connect(announcementsOf(&dialog), &AnnouncementQueue::spoken, this,
            [&spoken](QObject *, const QString &text) { spoken.append(text); });
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCOMPARE(accessibleName(&dialog), QStringLiteral("¿Quién eres?"));
    QCOMPARE(accessibleName(names), QStringLiteral("Nombres de la clase"));
    QCOMPARE(accessibleName(accept), QStringLiteral("Aceptar"));
    // Every control has its name, as its objectName.
    for (QWidget *child : dialog.findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (qobject_cast<QPushButton *>(child) || qobject_cast<QListWidget *>(child))
            QVERIFY2(!accessibleName(child).isEmpty(), qPrintable(child->objectName()));
    }
    // The names are where the keyboard is, and the question is heard.
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget *>(names));
    QTRY_COMPARE(spoken, QStringList{WhoAreYouDialog::spokenQuestion()});
    QCOMPARE(dialog.chosenName(), QString());
}

void TestWhoAreYou::chosenWithTheKeyboard_data()
{
    QTest::addColumn<QString>(
        "keys"); // a letter, or d (down), u (up), r (Return), s (Space on Aceptar)
    QTest::addColumn<QString>("chosen");

    QTest::newRow("Return on the first") << QStringLiteral("r") << QStringLiteral("Ana");
    QTest::newRow("down twice") << QStringLiteral("ddr") << QStringLiteral("Carla");
    QTest::newRow("down past the end") << QStringLiteral("ddddddr") << QStringLiteral("Cecilia");
    QTest::newRow("first letter") << QStringLiteral("Br") << QStringLiteral("Bruno");
    QTest::newRow("first letter, then down") << QStringLiteral("Cdr") << QStringLiteral("Álvaro");
    QTest::newRow("down and up") << QStringLiteral("dddur") << QStringLiteral("Carla");
    QTest::newRow("Tab to Aceptar and Space") << QStringLiteral("ds") << QStringLiteral("Bruno");
}

void TestWhoAreYou::chosenWithTheKeyboard()
{
    QFETCH(QString, keys);
    QFETCH(QString, chosen);

    WhoAreYouDialog dialog(ClassNames);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto *names = dialog.findChild<QListWidget *>(QStringLiteral("Names"));
    auto *accept = dialog.findChild<QPushButton *>(QStringLiteral("Aceptar"));
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget *>(names));
    for (QChar key : keys) {
        QWidget *target = QApplication::focusWidget();
        QVERIFY(target);
        if (key == u'd')
            QTest::keyClick(target, Qt::Key_Down);
        else if (key == u'u')
            QTest::keyClick(target, Qt::Key_Up);
        else if (key == u'r')
            QTest::keyClick(target, Qt::Key_Return);
        else if (key == u's') {
            QTest::keyClick(target, Qt::Key_Tab);
            QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget *>(accept));
            QTest::keyClick(accept, Qt::Key_Space);
        } else
            QTest::keyClicks(target, QString(key));
    }
    QTRY_VERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.chosenName(), chosen);
}

void TestWhoAreYou::askedOverTheWindow()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("clase.txt"));
    QCOMPARE(writeClassList(path, ClassNames), QString());
    ProgressSession session(StoreSettings(), QStringLiteral("aula3"));
    QWidget window;
    window.resize(400, 300);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    bool shown = false;
    bool asked = false;
    answerWhenAsked([&] { asked = askWhoIsTyping(&window, session, path); },
                    [](WhoAreYouDialog *) {
                        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("B"));
                        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
                    },
                    &shown);
    QVERIFY(shown);
    QVERIFY(asked);
    QCOMPARE(session.pupil(), QStringLiteral("Bruno"));
}

void TestWhoAreYou::closedWithoutAName()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("clase.txt"));
    QCOMPARE(writeClassList(path, ClassNames), QString());
    ProgressSession session(StoreSettings(), QStringLiteral("aula3"));
    QWidget window;
    window.resize(400, 300);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QStringList spoken;
    connect(announcementsOf(&window), &AnnouncementQueue::spoken, this,
            [&spoken](QObject *, const QString &text) { spoken.append(text); });

    bool shown = false;
    answerWhenAsked([&] { askWhoIsTyping(&window, session, path); },
                    [](WhoAreYouDialog *) {
                        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
                        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
                    },
                    &shown);
    QVERIFY(shown);
    QCOMPARE(session.pupil(), QStringLiteral("aula3"));
    const QString note = WhoAreYouDialog::unnamedNote(QStringLiteral("aula3"));
    QCOMPARE(note,
             QStringLiteral("No has elegido tu nombre: tus resultados se guardan como «aula3»."));
    auto *shownNote = window.findChild<QLabel *>(QStringLiteral("ProgressNote"));
    QVERIFY(shownNote);
    QVERIFY(shownNote->isVisible());
    QCOMPARE(shownNote->text(), note);
    QTRY_COMPARE(spoken, QStringList{note});
    QVERIFY(!QApplication::activeModalWidget());
}

void TestWhoAreYou::nothingShownWithoutAList_data()
{
    QTest::addColumn<QString>("content"); // "-" for no file, "dir" for a folder in its place
    QTest::newRow("no list") << QStringLiteral("-");
    QTest::newRow("an empty list") << QString();
    QTest::newRow("only blanks") << QStringLiteral("  \n\t\n \n");
    QTest::newRow("a folder where the list should be") << QStringLiteral("dir");
}

void TestWhoAreYou::nothingShownWithoutAList()
{
    QFETCH(QString, content);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("clase.txt"));
    if (content == QStringLiteral("dir")) {
        QVERIFY(QDir().mkpath(path));
    } else if (content != QStringLiteral("-")) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content.toUtf8());
    }
    ProgressSession session(StoreSettings(), QStringLiteral("ana"));
    QWidget window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QStringList spoken;
    connect(announcementsOf(&window), &AnnouncementQueue::spoken, this,
            [&spoken](QObject *, const QString &text) { spoken.append(text); });

    bool shown = false;
    bool asked = true;
    answerWhenAsked([&] { asked = askWhoIsTyping(&window, session, path); },
                    [](WhoAreYouDialog *dialog) { dialog->reject(); }, &shown);
    QVERIFY(!asked);
    QVERIFY(!shown);
    QCOMPARE(session.pupil(), QStringLiteral("ana"));
    QTest::qWait(100);
    QVERIFY(!window.findChild<QLabel *>(QStringLiteral("ProgressNote")));
    QCOMPARE(spoken, QStringList());
}

QTEST_MAIN(TestWhoAreYou)
#include "tst_whoareyou.moc"
