// The main window on broken program folders: no crash, no hang (every
// operation returns within a second) and the pupil sees exactly the messages
// the window gives for a missing exercise, or nothing.
#include "testsupport.h"

#include "exercise/form1.h"
#include "exercise/module1.h"
#include "ui/richtextbox.h"
#include "ui/velantro.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace letro;
using namespace letro::test;

namespace {

const QString NotFound = QStringLiteral("No encuentro el archivo");
const QString Finished = QStringLiteral("Fin del ejercicio");
constexpr qint64 Limit = 1000; // ms any one operation may take

// Runs one operation and fails the test when it takes a second or more.
#define TIMED(what, operation)                                                                     \
    do {                                                                                           \
        QElapsedTimer clock_;                                                                      \
        clock_.start();                                                                            \
        operation;                                                                                 \
        const qint64 ms_ = clock_.elapsed();                                                       \
        QVERIFY2(ms_ < Limit, qPrintable(QStringLiteral("%1 took %2 ms").arg(what).arg(ms_)));     \
    } while (false)

QByteArray randomBytes(qsizetype size, quint32 seed)
{
    QRandomGenerator rng(seed);
    QByteArray bytes(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; ++i)
        bytes[i] = char(rng.bounded(256));
    return bytes;
}

QByteArray validWave()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("w.wav"));
    ProgramFolder::writeWave(path, 1000);
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly | QIODevice::Truncate), qPrintable(path));
    QCOMPARE(file.write(bytes), bytes.size());
}

QString exercisePath(const ProgramFolder &folder, int type, int number)
{
    return folder.typeFolder(type) + QLatin1Char('/') + QString::number(number);
}

struct Controls
{
    explicit Controls(Form1 *form) : form(form) {}
    Form1 *form;
    RichTextBox *typing() const
    {
        return form->findChild<RichTextBox *>(QStringLiteral("RichTextBox1"));
    }
    QLineEdit *text1() const { return form->findChild<QLineEdit *>(QStringLiteral("Text1")); }
    QPushButton *button(const char *name) const
    {
        return form->findChild<QPushButton *>(QLatin1String(name));
    }
    QString label1() const { return form->findChild<QLabel *>(QStringLiteral("Label1"))->text(); }
    Velantro *velantro(int n) const
    {
        return form->findChild<Velantro *>(QStringLiteral("Velantro%1").arg(n));
    }
};

// Chooses an exercise number the way the pupil does: select the number box's
// text and type the digits over it.
void chooseNumber(QLineEdit *text1, int number)
{
    text1->selectAll();
    typeText(text1, QString::number(number));
}

} // namespace

class BadFolders : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void badExerciseFile_data();
    void badExerciseFile();
    void badFirstExerciseAtStartUp_data();
    void badFirstExerciseAtStartUp();
    void badRecording_data();
    void badRecording();
    void badPictures_data();
    void badPictures();
    void missingTypeFolder();

private:
    // Puts the broken thing named by `kind` at `path` and returns the text the
    // window must then hold, or a null string when the exercise counts as missing.
    static QString makeBad(const QString &kind, const QString &path);
};

void BadFolders::initTestCase()
{
    // No sound server may be reached, also when run by hand.
    if (!qEnvironmentVariableIsSet("PULSE_SERVER"))
        qputenv("PULSE_SERVER", "unix:/nonexistent/letro-test/pulse/native");
}

QString BadFolders::makeBad(const QString &kind, const QString &path)
{
    if (kind == QLatin1String("empty file")) {
        writeFile(path, QByteArray());
        return QString();
    }
    if (kind == QLatin1String("50 MB without line end")) {
        QByteArray block;
        for (int i = 0; i < 1024 * 1024; ++i)
            block.append(char('a' + i % 26));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return QStringLiteral("(not written)");
        for (int i = 0; i < 50; ++i)
            file.write(block);
        // The line is cut at 64 KiB.
        return QString::fromLatin1(block.left(64 * 1024));
    }
    if (kind == QLatin1String("binary with NULs")) {
        // A line of 300 random bytes (no line break, NULs put in), then more.
        QByteArray line = randomBytes(300, 7);
        line.replace('\r', 'r').replace('\n', 'n');
        line[0] = 'Z';
        line[10] = '\0';
        line[200] = '\0';
        writeFile(path, line + "\r\n" + randomBytes(4000, 8));
        // NULs and C1 controls cannot be typed: the exercise counts as missing.
        return QString();
    }
    if (kind == QLatin1String("bytes undefined in Windows-1252")) {
        writeFile(path, QByteArray("a\x81"
                                   "b\x8D"
                                   "c\x8F"
                                   "d\x90"
                                   "e\x9D"
                                   "f\r\n"));
        return QString(); // decoded to C1 controls, which no key gives
    }
    if (kind == QLatin1String("tab in the line")) {
        writeFile(path, QByteArray("uno\tdos\r\n"));
        return QString();
    }
    if (kind == QLatin1String("emoji in the line")) {
        writeFile(path, QByteArray("el sol \xF0\x9F\x8C\x9E\r\n"));
        return QString();
    }
    if (kind == QLatin1String("accents and euro")) {
        writeFile(path, QByteArray("\x80 ma\xF1"
                                   "ana \xBFqu\xE9?\r\n"));
        return QStringLiteral("€ mañana ¿qué?");
    }
    if (kind == QLatin1String("folder")) {
        QDir().mkpath(path);
        return QString();
    }
    if (kind == QLatin1String("FIFO")) {
        ::mkfifo(QFile::encodeName(path).constData(), 0644);
        return QString();
    }
    if (kind == QLatin1String("broken link")) {
        QFile::link(path + QStringLiteral("-nowhere"), path);
        return QString();
    }
    return QStringLiteral("(unknown kind)");
}

void BadFolders::badExerciseFile_data()
{
    QTest::addColumn<QString>("kind");
    for (const char *kind :
         {"empty file", "50 MB without line end", "binary with NULs",
          "bytes undefined in Windows-1252", "tab in the line", "emoji in the line",
          "accents and euro", "folder", "FIFO", "broken link"})
        QTest::newRow(kind) << QString::fromLatin1(kind);
}

// Exercise 3 of Palabras is the broken one; 1 and 2 are sound.
void BadFolders::badExerciseFile()
{
    QFETCH(QString, kind);
    ProgramFolder folder;
    folder.addExercise(0, 1, "uno\r\n");
    folder.addExercise(0, 2, "dos\r\n");
    const QString text = makeBad(kind, exercisePath(folder, 0, 3));
    Harness h(folder.path());
    Controls c(h.form);
    QCOMPARE(h.form->expectedText(), QStringLiteral("uno"));

    TIMED("choosing exercise 3", chooseNumber(c.text1(), 3));
    if (text.isNull()) {
        // Counts as missing: one message, and exercise 2 instead.
        QCOMPARE(h.messages->shown, QStringList{NotFound});
        QCOMPARE(c.text1()->text(), QStringLiteral("2"));
        QCOMPARE(h.form->expectedText(), QStringLiteral("dos"));
        QCOMPARE(h.sound->played.last(), folder.typeFolder(0) + QStringLiteral("/2.wav"));
    } else {
        QCOMPARE(h.messages->shown, QStringList());
        QCOMPARE(c.text1()->text(), QStringLiteral("3"));
        QCOMPARE(h.form->expectedText(), text);
        QCOMPARE(h.sound->played.last(), folder.typeFolder(0) + QStringLiteral("/3.wav"));
    }

    // The window still works: an attempt on whatever is loaded.
    const QString expected = h.form->expectedText();
    TIMED("start", c.button("Command5")->click());
    TIMED("a right key", typeKey(c.typing(), expected.at(0)));
    QCOMPARE(h.form->textPos(), 2);
    TIMED("a wrong key", typeKey(c.typing(), QChar(u'#')));
    QVERIFY(!c.label1().isEmpty());
    TIMED("choosing exercise 1", chooseNumber(c.text1(), 1));
    QCOMPARE(h.form->expectedText(), QStringLiteral("uno"));
    QCOMPARE(h.messages->shown.size(), text.isNull() ? 1 : 0);
}

void BadFolders::badFirstExerciseAtStartUp_data()
{
    badExerciseFile_data();
}

// The quiet load at start-up reports nothing, whatever exercise 1 is.
void BadFolders::badFirstExerciseAtStartUp()
{
    QFETCH(QString, kind);
    ProgramFolder folder;
    const QString text = makeBad(kind, exercisePath(folder, 0, 1));
    Harness h(folder.path(), false);
    TIMED("Form_Load", h.form->Form_Load());
    QCOMPARE(h.messages->shown, QStringList());
    QCOMPARE(h.sound->played, QStringList());
    if (text.isNull())
        QCOMPARE(h.form->expectedText(), QString());
    else
        QCOMPARE(h.form->expectedText().size(), text.size());

    // Typing against what was loaded (or nothing) neither crashes nor hangs.
    Controls c(h.form);
    TIMED("start", c.button("Command5")->click());
    TIMED("keys", typeText(c.typing(), QStringLiteral("ab#ñ¿")));
    QCOMPARE(h.messages->shown, QStringList());
}

void BadFolders::badRecording_data()
{
    QTest::addColumn<QByteArray>("wave");
    QTest::newRow("not a wave") << QByteArray("Esto no es un archivo de sonido.\r\n").repeated(20);
    QTest::newRow("truncated wave") << validWave().left(100);
    QTest::newRow("header only") << validWave().left(44);
    QTest::newRow("empty file") << QByteArray();
    QTest::newRow("random bytes") << randomBytes(5000, 11);
    QByteArray liar = validWave();
    liar[40] = '\xFF'; // data size far larger than the file
    liar[41] = '\xFF';
    liar[42] = '\xFF';
    liar[43] = '\x7F';
    QTest::newRow("data size past the end") << liar;
    QTest::newRow("valid wave") << validWave();
    QTest::newRow("FIFO") << QByteArray("FIFO");
    QTest::newRow("folder") << QByteArray("folder");
}

// The real sound player, with no sound server to reach.
void BadFolders::badRecording()
{
    QFETCH(QByteArray, wave);
    ProgramFolder folder;
    folder.addExercise(0, 1, "ab\r\n", false);
    folder.addExercise(0, 2, "cd\r\n", false);
    for (const char *name : {"/1.wav", "/2.wav"}) {
        const QString path = folder.typeFolder(0) + QLatin1String(name);
        if (wave == "FIFO")
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0644), 0);
        else if (wave == "folder")
            QVERIFY(QDir().mkpath(path));
        else
            writeFile(path, wave);
    }

    auto messages = std::make_shared<ScriptedMessages>();
    Services services;
    services.programFolder = folder.path();
    services.sound = std::make_shared<EffectSoundPlayer>();
    services.messages = messages;
    services.fontList = [] { return QStringList{QStringLiteral("Liberation Sans")}; };
    services.screenTwips = [] { return QSize(15360, 11520); };
    auto form = std::make_unique<Form1>(services);
    TIMED("Form_Load", form->Form_Load());
    Controls c(form.get());

    TIMED("playing", c.button("Command1")->click());
    QTest::qWait(200); // let the player try the file
    TIMED("playing again", c.button("Command1")->click());
    TIMED("next exercise", c.button("Command3(0)")->click());
    QCOMPARE(form->expectedText(), QStringLiteral("cd"));
    QTest::qWait(200);
    TIMED("start", c.button("Command5")->click());
    TIMED("a wrong key with its alert", typeKey(c.typing(), QChar(u'x')));
    TIMED("a right key", typeKey(c.typing(), QChar(u'c')));
    TIMED("playing during the attempt", c.button("Command1")->click());
    TIMED("the last key", typeKey(c.typing(), QChar(u'd')));
    QTest::qWait(200);
    QCOMPARE(messages->shown, QStringList{Finished});
    TIMED("closing", form.reset());
}

void BadFolders::badPictures_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("gifs folder missing") << QStringLiteral("missing");
    QTest::newRow("garbage in the gifs") << QStringLiteral("garbage");
    QTest::newRow("gifs cut short") << QStringLiteral("truncated");
    QTest::newRow("gifs are folders") << QStringLiteral("folders");
    QTest::newRow("gifs are FIFOs") << QStringLiteral("fifos");
}

void BadFolders::badPictures()
{
    QFETCH(QString, kind);
    ProgramFolder folder;
    folder.addExercise(0, 1, "ab\r\n");
    const QString gifs = folder.path() + QStringLiteral("/gifs");
    const QStringList names = QDir(gifs).entryList({QStringLiteral("*.gif")}, QDir::Files);
    QVERIFY(names.contains(QStringLiteral("si.gif")) && names.contains(QStringLiteral("no.gif")));
    if (kind == QLatin1String("missing")) {
        QVERIFY(QDir(gifs).removeRecursively());
    } else {
        for (const QString &name : names) {
            const QString path = gifs + QLatin1Char('/') + name;
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QByteArray real = file.readAll();
            file.close();
            QVERIFY(QFile::remove(path));
            if (kind == QLatin1String("garbage"))
                writeFile(path, randomBytes(3000, qHash(name)));
            else if (kind == QLatin1String("truncated"))
                writeFile(path, real.left(30));
            else if (kind == QLatin1String("folders"))
                QVERIFY(QDir().mkpath(path));
            else
                QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0644), 0);
        }
    }

    Harness h(folder.path());
    h.form->show();
    Controls c(h.form);
    TIMED("start", c.button("Command5")->click());
    TIMED("a wrong key", typeKey(c.typing(), QChar(u'x')));
    QCOMPARE(c.label1(), QStringLiteral("Te has confundido de letra"));
    QVERIFY(!c.velantro(1)->isPlaying());
    QCOMPARE(h.form->textPos(), 1);
    TIMED("a right key", typeKey(c.typing(), QChar(u'a')));
    QCOMPARE(h.form->textPos(), 2);
    QVERIFY(!c.velantro(1)->isPlaying());
    TIMED("the last key", typeKey(c.typing(), QChar(u'b')));
    QCOMPARE(h.messages->shown, QStringList{Finished});
    QVERIFY(!c.velantro(2)->isPlaying());
    QCOMPARE(h.form->faultyExercises(), 1);
    QTest::qWait(50); // paint with the broken pictures
    h.form->close();
}

// A type whose folder is gone: one message, the number box shows 0, the text
// stays; every later request goes on down, one message for each search.
void BadFolders::missingTypeFolder()
{
    ProgramFolder folder;
    folder.addExercise(0, 1, "uno\r\n");
    QVERIFY(QDir(folder.typeFolder(1)).removeRecursively());
    Harness h(folder.path());
    Controls c(h.form);

    TIMED("choosing Frase corta", c.button("Command4(1)")->click());
    QCOMPARE(h.messages->shown, QStringList{NotFound});
    QCOMPARE(c.text1()->text(), QStringLiteral("0"));
    QCOMPARE(h.form->expectedText(), QStringLiteral("uno"));
    QCOMPARE(h.sound->played.last(), folder.typeFolder(1) + QStringLiteral("/0.wav"));
    QCOMPARE(h.form->exerciseNumbers().at(1), 0);

    h.messages->shown.clear();
    TIMED("previous exercise at 0", c.button("Command3(1)")->click());
    QCOMPARE(h.messages->shown, QStringList{NotFound});
    QCOMPARE(c.text1()->text(), QStringLiteral("-1"));
    QCOMPARE(h.form->exerciseNumbers().at(1), -1);

    h.messages->shown.clear();
    TIMED("typing 5", chooseNumber(c.text1(), 5));
    QCOMPARE(h.messages->shown, QStringList{NotFound}); // 5 down to 0: one search
    QCOMPARE(c.text1()->text(), QStringLiteral("0"));
    QCOMPARE(h.form->expectedText(), QStringLiteral("uno"));

    // Back to a type that exists: everything works again.
    h.messages->shown.clear();
    TIMED("choosing Palabras", c.button("Command4(0)")->click());
    QCOMPARE(h.messages->shown, QStringList());
    QCOMPARE(h.form->expectedText(), QStringLiteral("uno"));
    TIMED("start", c.button("Command5")->click());
    TIMED("typing", typeText(c.typing(), QStringLiteral("uno")));
    QCOMPARE(h.messages->shown, QStringList{Finished});
}

QTEST_MAIN(BadFolders)
#include "tst_badfolders.moc"
