// Loading an exercise: the quiet load at start-up, the search down past
// missing numbers, the line ends and encodings of exercise files, and paths
// named like an exercise that are not exercise files.
#include "testsupport.h"
#include "unreadable.h"

#include "ui/richtextbox.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <optional>

#include <sys/stat.h>

using namespace letro;
using namespace letro::test;

namespace {

const QString NotFound = QStringLiteral("No encuentro el archivo");

// The first line of exercise n in the test folders: Windows-1252 bytes.
QByteArray exerciseBytes(int type, int number)
{
    return "Ejercicio " + QByteArray::number(number) + " de tipo " + QByteArray::number(type) +
           " \xBFs\xED?\r\nsegunda l\xEDnea\r\n";
}

QString exerciseText(int type, int number)
{
    return QStringLiteral("Ejercicio %1 de tipo %2 ¿sí?").arg(number).arg(type);
}

void addRange(ProgramFolder &folder, int type, int first, int last)
{
    for (int n = first; n <= last; ++n)
        folder.addExercise(type, n, exerciseBytes(type, n));
}

// Empties Text1 as the pupil would before typing a number (number 0, nothing loaded).
void clearText1(Harness &h)
{
    QLineEdit *box = h.text1();
    box->selectAll();
    pressKey(box, Qt::Key_Backspace, Qt::NoModifier, QStringLiteral("\b"));
}

} // namespace

class TestLoading : public QObject
{
    Q_OBJECT

private slots:
    void quietLoadAtStartUp()
    {
        ProgramFolder folder;
        addRange(folder, 0, 1, 3);
        Harness h(folder.path());
        QCOMPARE(h.form->expectedText(), exerciseText(0, 1));
        QVERIFY(h.messages->shown.isEmpty());
        QVERIFY(h.sound->played.isEmpty());
        QCOMPARE(h.text1()->text(), QStringLiteral("1"));
        QCOMPARE(h.form->exerciseNumbers(), QList<int>({1, 1, 1}));
        QVERIFY(h.child<RichTextBox>(QStringLiteral("RichTextBox1"))->isEnabled());
    }

    // The exercise chosen on the command line is loaded as quietly, with
    // its type shown; a number that is not there gives way to the nearest.
    void quietLoadOfTheChoice_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("number");
        QTest::addColumn<int>("loaded");
        QTest::addColumn<QList<int>>("numbers");
        QTest::newRow("no choice") << 0 << 0 << 1 << QList<int>{1, 1, 1};
        QTest::newRow("Frase corta, no number") << 1 << 0 << 1 << QList<int>{1, 1, 1};
        QTest::newRow("Frase corta 3") << 1 << 3 << 3 << QList<int>{1, 3, 1};
        QTest::newRow("Frase larga 2") << 2 << 2 << 2 << QList<int>{1, 1, 2};
        QTest::newRow("Palabras 9, past the last") << 0 << 9 << 5 << QList<int>{5, 1, 1};
        QTest::newRow("Frase corta 7, in a gap") << 1 << 7 << 4 << QList<int>{1, 4, 1};
        QTest::newRow("Frase larga 1, before the first") << 2 << 1 << 2 << QList<int>{1, 1, 2};
    }

    void quietLoadOfTheChoice()
    {
        QFETCH(int, type);
        QFETCH(int, number);
        QFETCH(int, loaded);
        QFETCH(QList<int>, numbers);
        ProgramFolder folder;
        addRange(folder, 0, 1, 5);
        addRange(folder, 1, 1, 4);
        addRange(folder, 1, 10, 12);
        addRange(folder, 2, 2, 3);
        Harness h(folder.path(), true, StartChoice{type, number});
        QCOMPARE(h.form->exerciseType(), type);
        QCOMPARE(h.form->exerciseNumbers(), numbers);
        QCOMPARE(h.text1()->text(), QString::number(numbers.at(type)));
        QCOMPARE(h.form->exerciseFolder(), folder.typeFolder(type));
        QCOMPARE(h.form->expectedText(), exerciseText(type, loaded));
        QVERIFY(h.child<QPushButton>(QStringLiteral("Command4(%1)").arg(type))->isChecked());
        QVERIFY(h.messages->shown.isEmpty());
        QVERIFY(h.sound->played.isEmpty());
    }

    void quietLoadOfNothing_data()
    {
        QTest::addColumn<QString>("what");
        QTest::newRow("no file 1") << QStringLiteral("missing");
        QTest::newRow("empty file 1") << QStringLiteral("empty");
        QTest::newRow("folder named 1") << QStringLiteral("folder");
        QTest::newRow("FIFO named 1") << QStringLiteral("fifo");
        QTest::newRow("no Palabras folder") << QStringLiteral("nofolder");
    }

    void quietLoadOfNothing()
    {
        QFETCH(QString, what);
        ProgramFolder folder;
        addRange(folder, 0, 2, 3);
        const QString one = folder.typeFolder(0) + QStringLiteral("/1");
        if (what == QLatin1String("empty"))
            folder.addExercise(0, 1, QByteArray());
        else if (what == QLatin1String("folder"))
            QVERIFY(QDir().mkpath(one));
        else if (what == QLatin1String("fifo"))
            QCOMPARE(::mkfifo(QFile::encodeName(one).constData(), 0644), 0);
        else if (what == QLatin1String("nofolder"))
            QVERIFY(QDir(folder.typeFolder(0)).removeRecursively());

        QElapsedTimer clock;
        clock.start();
        Harness h(folder.path());
        QVERIFY(clock.elapsed() < 5000);
        QVERIFY(h.messages->shown.isEmpty());
        QVERIFY(h.sound->played.isEmpty());
        QCOMPARE(h.text1()->text(), QStringLiteral("1"));
        QCOMPARE(h.number(), 1);
        QVERIFY(h.form->expectedText().isEmpty());
    }

    void nextPastTheLastExercise()
    {
        ProgramFolder folder;
        addRange(folder, 0, 1, 3);
        Harness h(folder.path());
        h.form->Command3_Click(0);
        h.form->Command3_Click(0);
        QCOMPARE(h.text1()->text(), QStringLiteral("3"));
        QVERIFY(h.messages->shown.isEmpty());
        h.forget();

        h.form->Command3_Click(0);
        QCOMPARE(h.messages->shown, QStringList{NotFound});
        QCOMPARE(h.text1()->text(), QStringLiteral("3"));
        QCOMPARE(h.number(), 3);
        QCOMPARE(h.form->expectedText(), exerciseText(0, 3));
        QVERIFY(!h.sound->played.isEmpty());
        QCOMPARE(h.sound->played.last(), folder.recording(0, 3));
        // The missing exercise's recording is never asked for.
        QVERIFY(!h.sound->played.contains(folder.recording(0, 4)));
    }

    void typedNumberSearchesDown()
    {
        ProgramFolder folder;
        addRange(folder, 0, 1, 6);
        Harness h(folder.path());
        clearText1(h);
        QCOMPARE(h.text1()->text(), QString());
        QCOMPARE(h.number(), 0);
        h.forget();
        QStringList shownInText1;
        QObject::connect(h.text1(), &QLineEdit::textChanged,
                         [&](const QString &text) { shownInText1.append(text); });

        // Each lower number is shown in turn, but one search gives one message.
        typeKey(h.text1(), u'9');
        QCOMPARE(h.messages->shown, QStringList{NotFound});
        // (The typed "9" is reported last: the search runs inside its report.)
        shownInText1.sort();
        QCOMPARE(shownInText1, QStringList({QStringLiteral("6"), QStringLiteral("7"),
                                            QStringLiteral("8"), QStringLiteral("9")}));
        QCOMPARE(h.text1()->text(), QStringLiteral("6"));
        QCOMPARE(h.number(), 6);
        QCOMPARE(h.form->expectedText(), exerciseText(0, 6));
        QCOMPARE(h.sound->played.last(), folder.recording(0, 6));
    }

    void theMessageShowsTheFirstMissingNumber()
    {
        // While the message is up, Text1 still shows the number asked for.
        ProgramFolder folder;
        addRange(folder, 0, 1, 6);
        Harness h(folder.path());
        clearText1(h);
        QStringList shownWhileUp;
        h.messages->onShow = [&](const QString &) { shownWhileUp.append(h.text1()->text()); };
        typeKey(h.text1(), u'9');
        QCOMPARE(shownWhileUp, QStringList{QStringLiteral("9")});
    }

    void typeWithoutExercises_data()
    {
        QTest::addColumn<bool>("folderExists");
        QTest::newRow("empty type folder") << true;
        QTest::newRow("absent type folder") << false;
    }

    void typeWithoutExercises()
    {
        QFETCH(bool, folderExists);
        ProgramFolder folder;
        addRange(folder, 0, 1, 2);
        if (!folderExists)
            QVERIFY(QDir(folder.typeFolder(2)).removeRecursively());
        Harness h(folder.path());
        const QString before = h.form->expectedText();
        QCOMPARE(before, exerciseText(0, 1));

        h.form->Command4_Click(2);
        QCOMPARE(h.messages->shown, QStringList{NotFound});
        QCOMPARE(h.text1()->text(), QStringLiteral("0"));
        QCOMPARE(h.number(), 0);
        QCOMPARE(h.form->expectedText(), before);
        QCOMPARE(h.sound->played.last(), folder.recording(2, 0));

        // From 0 every further load request lowers the number below 0.
        h.forget();
        h.form->Command3_Click(1);
        QCOMPARE(h.messages->shown, QStringList{NotFound});
        QCOMPARE(h.text1()->text(), QStringLiteral("-1"));
        QCOMPARE(h.number(), -1);
        QCOMPARE(h.sound->played.last(), folder.recording(2, -1));

        h.forget();
        h.form->Command4_Click(2);
        QCOMPARE(h.messages->shown, QStringList{NotFound});
        QCOMPARE(h.text1()->text(), QStringLiteral("-2"));
        QCOMPARE(h.sound->played.last(), folder.recording(2, -2));
        QCOMPARE(h.form->expectedText(), before);

        // Typing the number of an existing exercise ends it: back to
        // "Palabras", whose number is still 1.
        h.forget();
        h.form->Command4_Click(0);
        QVERIFY(h.messages->shown.isEmpty());
        QCOMPARE(h.text1()->text(), QStringLiteral("1"));
        QCOMPARE(h.sound->played.last(), folder.recording(0, 1));
    }

    void previousWithText1Erased()
    {
        ProgramFolder folder;
        addRange(folder, 0, 1, 3);
        Harness h(folder.path());
        clearText1(h);
        QCOMPARE(h.number(), 0);
        h.forget();

        h.form->Command3_Click(1);
        QCOMPARE(h.messages->shown, QStringList{NotFound});
        QCOMPARE(h.number(), 0);
        QCOMPARE(h.text1()->text(), QStringLiteral("0"));
        QCOMPARE(h.sound->played.last(), folder.recording(0, 0));
        QCOMPARE(h.form->expectedText(), exerciseText(0, 1));
    }

    void firstLineOfTheFile_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected");
        QTest::newRow("three lines ending in CR LF")
            << QByteArray("El perro ladra.\r\nEl gato maulla.\r\nFin.\r\n")
            << QStringLiteral("El perro ladra.");
        QTest::newRow("LF only: the first line (mend)")
            << QByteArray("El perro ladra.\nEl gato maulla.\n")
            << QStringLiteral("El perro ladra.");
        QTest::newRow("lone CR") << QByteArray("uno\rdos") << QStringLiteral("uno");
        QTest::newRow("no line end") << QByteArray("sin final") << QStringLiteral("sin final");
        QTest::newRow("spaces kept") << QByteArray(" a  b \r\n") << QStringLiteral(" a  b ");
        QTest::newRow("Windows-1252") << QByteArray("\xA1"
                                                    "Ca\xF1\xF3n!\r\n")
                                      << QStringLiteral("¡Cañón!");
        QTest::newRow("UTF-8 (mend)") << QByteArray("\xC2\xA1"
                                                    "Ca\xC3\xB1\xC3\xB3n!\n")
                                      << QStringLiteral("¡Cañón!");
        QTest::newRow("UTF-8 with BOM (mend)") << QByteArray("\xEF\xBB\xBF"
                                                             "ping\xC3\xBCino\r\n")
                                               << QStringLiteral("pingüino");
        QTest::newRow("empty first line") << QByteArray("\r\notra") << QString();
    }

    void firstLineOfTheFile()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expected);
        ProgramFolder folder;
        addRange(folder, 0, 1, 1);
        folder.addExercise(0, 2, bytes);
        Harness h(folder.path());
        h.form->Command3_Click(0);
        QVERIFY(h.messages->shown.isEmpty());
        QCOMPARE(h.form->expectedText(), expected);
        QCOMPARE(h.sound->played.last(), folder.recording(0, 2));
    }

    void leadingZeroIsNotTheExercise()
    {
        ProgramFolder folder;
        addRange(folder, 0, 1, 6);
        Harness h(folder.path());
        clearText1(h);
        h.forget();
        typeKey(h.text1(), u'0');
        QVERIFY(h.messages->shown.isEmpty()); // 0 loads nothing
        QVERIFY(h.sound->played.isEmpty());
        typeKey(h.text1(), u'5');
        QCOMPARE(h.messages->shown, QStringList{NotFound});
        QCOMPARE(h.text1()->text(), QStringLiteral("4"));
        QCOMPARE(h.number(), 4);
        QCOMPARE(h.form->expectedText(), exerciseText(0, 4));
        QCOMPARE(h.sound->played.last(), folder.recording(0, 4));
        QVERIFY(!h.sound->played.contains(folder.recording(0, 5)));
    }

    void textWithoutRecording()
    {
        ProgramFolder folder;
        addRange(folder, 0, 1, 1);
        folder.addExercise(0, 2, "sin sonido\r\n", false);
        Harness h(folder.path());
        h.form->Command3_Click(0);
        QVERIFY(h.messages->shown.isEmpty());
        QCOMPARE(h.form->expectedText(), QStringLiteral("sin sonido"));
        QCOMPARE(h.text1()->text(), QStringLiteral("2"));
        QCOMPARE(h.sound->played.last(), folder.recording(0, 2)); // asked for all the same
    }

    void longSearchIsALoop()
    {
        // 30000 down to 7: 29994 missing numbers, each shown in Text1 and
        // asked for, without the depth of one nested load per number; one
        // message for the whole search.
        ProgramFolder folder;
        addRange(folder, 0, 1, 6);
        Harness h(folder.path());
        clearText1(h);
        h.forget();
        int changes = 0;
        QObject::connect(h.text1(), &QLineEdit::textChanged, [&] { ++changes; });
        h.text1()->setText(QStringLiteral("30000"));
        QCOMPARE(h.messages->shown, QStringList{NotFound});
        QCOMPARE(changes, 29995);
        QCOMPARE(h.text1()->text(), QStringLiteral("6"));
        QCOMPARE(h.number(), 6);
        QCOMPARE(h.form->expectedText(), exerciseText(0, 6));
        QCOMPARE(h.sound->played.last(), folder.recording(0, 6));
    }

    void notAnExerciseFile_data()
    {
        QTest::addColumn<QString>("what");
        QTest::newRow("folder named 3") << QStringLiteral("folder");
        QTest::newRow("FIFO named 3") << QStringLiteral("fifo");
        QTest::newRow("broken link named 3") << QStringLiteral("broken");
        QTest::newRow("link to a folder named 3") << QStringLiteral("folderlink");
        QTest::newRow("empty file 3") << QStringLiteral("empty");
        QTest::newRow("unreadable file 3") << QStringLiteral("unreadable");
    }

    void notAnExerciseFile()
    {
        QFETCH(QString, what);
        ProgramFolder folder;
        addRange(folder, 0, 1, 2);
        const QString three = folder.typeFolder(0) + QStringLiteral("/3");
        ProgramFolder::writeWave(three + QStringLiteral(".wav"));
        if (what == QLatin1String("folder")) {
            QVERIFY(QDir().mkpath(three));
        } else if (what == QLatin1String("fifo")) {
            QCOMPARE(::mkfifo(QFile::encodeName(three).constData(), 0644), 0);
        } else if (what == QLatin1String("broken")) {
            QVERIFY(QFile::link(folder.path() + QStringLiteral("/nowhere"), three));
        } else if (what == QLatin1String("folderlink")) {
            QVERIFY(QFile::link(folder.path() + QStringLiteral("/gifs"), three));
        } else if (what == QLatin1String("empty")) {
            folder.addExercise(0, 3, QByteArray());
        } else if (what == QLatin1String("unreadable")) {
            folder.addExercise(0, 3, "no se puede leer\r\n");
            QVERIFY(QFile::setPermissions(three, QFileDevice::Permissions()));
            makeSearchable(folder.typeFolder(0));
        }
        Harness h(folder.path());
        h.form->Command3_Click(0);
        QCOMPARE(h.text1()->text(), QStringLiteral("2"));
        h.forget();

        QElapsedTimer clock;
        clock.start();
        {
            std::optional<NoFileAccessRights> asNobody;
            if (what == QLatin1String("unreadable")) {
                asNobody.emplace();
                QVERIFY(cannotOpen(three));
            }
            h.form->Command3_Click(0);
        }
        QVERIFY2(clock.elapsed() < 2000, "nothing may wait on a path that is not a file");
        QCOMPARE(h.messages->shown, QStringList{NotFound});
        QCOMPARE(h.text1()->text(), QStringLiteral("2"));
        QCOMPARE(h.number(), 2);
        QCOMPARE(h.form->expectedText(), exerciseText(0, 2));
        QCOMPARE(h.sound->played.last(), folder.recording(0, 2));
    }
};

QTEST_MAIN(TestLoading)
#include "tst_loading.moc"
