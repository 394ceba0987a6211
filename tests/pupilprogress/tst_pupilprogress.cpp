// The pupil's history as the main window feeds it: exercises typed with
// wrong keys of known kinds, finished or left (another exercise, a new start,
// the window closed), each read back from a throw-away SQLite store and
// compared field by field and mistake by mistake; nothing kept when nothing
// was typed or when no session is handed in; a trouble of the store shown
// and spoken once.
#include "testsupport.h"

#include "exercise/progressnote.h"
#include "progress/database.h"
#include "progress/problems.h"
#include "progress/progresssession.h"
#include "ui/accessibility.h"
#include "ui/richtextbox.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace letro;
using namespace letro::progress;
using namespace letro::test;

namespace {

const QString Pupil = QStringLiteral("Ana Pérez");

// How an attempt ends.
enum class End { Finish, NextExercise, OtherType, PenAgain, Close, Destroy };

QByteArray windowsBytes(const QString &text)
{
    QStringEncoder encoder("windows-1252");
    return QByteArray(encoder.encode(text)) + "\r\n";
}

// A main window on a program folder with fake sound and messages, and a
// session on a SQLite file of its own (or none).
struct Window
{
    Window(const QString &programFolder, std::shared_ptr<ProgressSession> progress)
    {
        Services services;
        services.programFolder = programFolder;
        services.sound = sound;
        services.messages = messages;
        services.fontList = [] { return QStringList{QStringLiteral("Arial")}; };
        services.screenTwips = [] { return QSize(15360, 11520); };
        services.progress = std::move(progress);
        form = new Form1(services);
        form->Form_Load();
    }
    ~Window() { delete form; }

    template <typename T> T *child(const char *name) const
    {
        return form->findChild<T *>(QLatin1String(name));
    }
    RichTextBox *typing() const { return child<RichTextBox>("RichTextBox1"); }

    // The pen, with the clock held still so that each tick is the test's.
    void start() const
    {
        form->Command5_Click();
        child<QTimer>("Timer1")->stop();
    }

    std::shared_ptr<FakeSound> sound = std::make_shared<FakeSound>();
    std::shared_ptr<ScriptedMessages> messages = std::make_shared<ScriptedMessages>();
    Form1 *form = nullptr;
};

struct Store
{
    Store() { settings.localPath = dir.filePath(QStringLiteral("progreso.sqlite")); }

    QList<AttemptRecord> attempts() const
    {
        ProgressDatabase database(Backend::SQLite);
        const Outcome opened = database.open(settings);
        if (!opened.ok())
            return {};
        Outcome outcome;
        const QList<AttemptRecord> found = database.attempts(Pupil, DateSpan(), &outcome);
        return outcome.ok() ? found : QList<AttemptRecord>();
    }

    QTemporaryDir dir;
    StoreSettings settings;
};

MistakeRecord mistake(int position, QChar expected, QChar typed, Mistake kind)
{
    return MistakeRecord{position, QString(expected), QString(typed), kind};
}

} // namespace

class TestPupilProgress : public QObject
{
    Q_OBJECT

private slots:
    void keepsEachAttempt_data();
    void keepsEachAttempt();
    void keepsAttemptsOneAfterAnother();
    void laterAttemptsKeptAfterARefusedOne();
    void nothingKeptWithoutSession();
    void storeTroubleToldOnce();
};

void TestPupilProgress::keepsEachAttempt_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<int>("ticks");
    QTest::addColumn<End>("end");
    QTest::addColumn<bool>("kept");
    QTest::addColumn<bool>("finished");
    QTest::addColumn<qint64>("seconds");
    QTest::addColumn<qint64>("keysPerMinute");
    QTest::addColumn<qint64>("hits");
    QTest::addColumn<QList<MistakeRecord>>("mistakes");

    // The clock display shows the count before each tick: after n ticks it
    // reads n - 1 seconds, and the rate is worked out over n.
    QTest::newRow("b for v, finished")
        << QStringLiteral("vaca") << QStringLiteral("bvaca") << 2 << End::Finish << true << true
        << qint64(1) << qint64(120) << qint64(4)
        << QList<MistakeRecord>{mistake(0, u'v', u'b', Mistake::BForV)};
    QTest::newRow("accent, h and y, finished")
        << QStringLiteral("Él ha ido") << QStringLiteral("EÉl aha yido") << 3 << End::Finish << true
        << true << qint64(2) << qint64(180) << qint64(9)
        << QList<MistakeRecord>{mistake(0, QChar(0x00C9), u'E', Mistake::MissingAccent),
                                mistake(3, u'h', u'a', Mistake::MissingH),
                                mistake(6, u'i', u'y', Mistake::YForI)};
    // Only the first wrong key at a place is a mistake, as the counter says.
    QTest::newRow("two wrong keys at one place")
        << QStringLiteral("sol") << QStringLiteral("zxsol") << 4 << End::Finish << true << true
        << qint64(3) << qint64(45) << qint64(3)
        << QList<MistakeRecord>{mistake(0, u's', u'z', Mistake::WrongLetter)};
    QTest::newRow("capital, blank and mark, finished")
        << QStringLiteral("Sí, mar.") << QStringLiteral("sSí,m marr.") << 8 << End::Finish << true
        << true << qint64(7) << qint64(60) << qint64(8)
        << QList<MistakeRecord>{mistake(0, u'S', u's', Mistake::CapitalLetter),
                                mistake(3, u' ', u'm', Mistake::MissingBlank),
                                mistake(7, u'.', u'r', Mistake::MissingPunctuation)};
    QTest::newRow("blank and mark after a word, finished")
        << QStringLiteral("Sol y mar.") << QStringLiteral("Soll y mar,.") << 11 << End::Finish
        << true << true << qint64(10) << qint64(54) << qint64(10)
        << QList<MistakeRecord>{mistake(3, u' ', u'l', Mistake::MissingBlank),
                                mistake(9, u'.', u',', Mistake::MissingPunctuation)};
    QTest::newRow("left for the next exercise")
        << QStringLiteral("casa") << QStringLiteral("kca") << 2 << End::NextExercise << true
        << false << qint64(1) << qint64(60) << qint64(2)
        << QList<MistakeRecord>{mistake(0, u'c', u'k', Mistake::WrongLetter)};
    QTest::newRow("left for another type")
        << QStringLiteral("vaca") << QStringLiteral("vak") << 3 << End::OtherType << true << false
        << qint64(2) << qint64(40) << qint64(2)
        << QList<MistakeRecord>{mistake(2, u'c', u'k', Mistake::WrongLetter)};
    QTest::newRow("started again with the pen")
        << QStringLiteral("hola") << QStringLiteral("ohol") << 5 << End::PenAgain << true << false
        << qint64(4) << qint64(36) << qint64(3)
        << QList<MistakeRecord>{mistake(0, u'h', u'o', Mistake::MissingH)};
    QTest::newRow("window closed with a wrong key only")
        << QStringLiteral("vaca") << QStringLiteral("b") << 1 << End::Close << true << false
        << qint64(0) << qint64(0) << qint64(0)
        << QList<MistakeRecord>{mistake(0, u'v', u'b', Mistake::BForV)};
    QTest::newRow("window gone in the middle")
        << QStringLiteral("vaca") << QStringLiteral("va") << 2 << End::Destroy << true << false
        << qint64(1) << qint64(60) << qint64(2) << QList<MistakeRecord>{};
    // Nothing typed is no attempt.
    QTest::newRow("nothing typed, next exercise")
        << QStringLiteral("vaca") << QString() << 3 << End::NextExercise << false << false
        << qint64(0) << qint64(0) << qint64(0) << QList<MistakeRecord>{};
    QTest::newRow("nothing typed, closed")
        << QStringLiteral("vaca") << QString() << 0 << End::Close << false << false << qint64(0)
        << qint64(0) << qint64(0) << QList<MistakeRecord>{};
}

void TestPupilProgress::keepsEachAttempt()
{
    QFETCH(QString, text);
    QFETCH(QString, keys);
    QFETCH(int, ticks);
    QFETCH(End, end);
    QFETCH(bool, kept);
    QFETCH(bool, finished);
    QFETCH(qint64, seconds);
    QFETCH(qint64, keysPerMinute);
    QFETCH(qint64, hits);
    QFETCH(QList<MistakeRecord>, mistakes);

    ProgramFolder folder;
    folder.addExercise(0, 1, windowsBytes(text));
    folder.addExercise(0, 2, windowsBytes(QStringLiteral("otra")));
    folder.addExercise(1, 1, windowsBytes(QStringLiteral("Una frase.")));
    Store store;
    auto session = std::make_shared<ProgressSession>(store.settings, Pupil);
    QSignalSpy recorded(session.get(), &ProgressSession::recorded);
    QSignalSpy problems(session.get(), &ProgressSession::problem);

    auto *window = new Window(folder.path(), session);
    QCOMPARE(window->form->expectedText(), text);
    window->start();
    for (int i = 0; i < ticks; ++i)
        window->form->Timer1_Timer();
    const QDateTime before = QDateTime::currentDateTimeUtc().addMSecs(-1);
    typeText(window->typing(), keys);
    // Nothing reaches the store while the pupil types: only the end of the
    // attempt hands it over.
    QCOMPARE(session->hasRecorder(), end == End::Finish);

    QString summary;
    switch (end) {
    case End::Finish:
        QCOMPARE(window->messages->shown, QStringList{QStringLiteral("Fin del ejercicio")});
        summary = window->child<RichTextBox>("RichTextBox2")->text();
        break;
    case End::NextExercise:
        window->form->Command3_Click(0);
        QCOMPARE(window->form->expectedText(), QStringLiteral("otra"));
        break;
    case End::OtherType:
        window->form->Command4_Click(1);
        break;
    case End::PenAgain:
        window->form->Command5_Click();
        break;
    case End::Close:
        QVERIFY(window->form->close());
        break;
    case End::Destroy:
        break;
    }
    delete window;
    const QDateTime after = QDateTime::currentDateTimeUtc().addMSecs(1);

    if (!kept) {
        QVERIFY(!session->hasRecorder());
        QVERIFY(!QFile::exists(store.settings.localPath));
        return;
    }
    QTRY_VERIFY(recorded.size() + problems.size() > 0);
    QVERIFY2(problems.isEmpty(), qPrintable(problems.value(0).value(0).toString()));
    QCOMPARE(recorded.size(), 1);
    const QList<AttemptRecord> found = store.attempts();
    QCOMPARE(found.size(), 1);
    const AttemptRecord &attempt = found.first();
    QCOMPARE(attempt.id, recorded.first().first().value<QUuid>());
    QCOMPARE(attempt.pupil, Pupil);
    QVERIFY2(attempt.when >= before && attempt.when <= after,
             qPrintable(attempt.when.toString(Qt::ISODateWithMs)));
    QCOMPARE(attempt.exerciseType, QStringLiteral("Palabras"));
    QCOMPARE(attempt.exerciseNumber, 1);
    QCOMPARE(attempt.text, text);
    QCOMPARE(attempt.finished, finished);
    QCOMPARE(attempt.seconds, seconds);
    QCOMPARE(attempt.keysPerMinute, keysPerMinute);
    QCOMPARE(attempt.hits, hits);
    QCOMPARE(attempt.mistakes, qint64(mistakes.size()));
    QCOMPARE(attempt.mistakeList.size(), mistakes.size());
    for (int i = 0; i < mistakes.size(); ++i) {
        QCOMPARE(attempt.mistakeList.at(i).position, mistakes.at(i).position);
        QCOMPARE(attempt.mistakeList.at(i).expected, mistakes.at(i).expected);
        QCOMPARE(attempt.mistakeList.at(i).typed, mistakes.at(i).typed);
        QCOMPARE(attempt.mistakeList.at(i).kind, mistakes.at(i).kind);
    }
    // A finished attempt keeps the very figures of its summary line.
    if (end == End::Finish) {
        const QString line = QStringLiteral(" ** %1 Seg. - %2(p/m) - %3 Errores - %4 Aciertos **")
                                 .arg(attempt.seconds)
                                 .arg(attempt.keysPerMinute)
                                 .arg(attempt.mistakes)
                                 .arg(attempt.hits);
        QVERIFY2(summary.contains(line), qPrintable(summary));
    }
}

void TestPupilProgress::keepsAttemptsOneAfterAnother()
{
    // A pupil's run: one exercise finished, the next left half-way, the
    // next finished; each is kept once, in order, with its own mistakes.
    ProgramFolder folder;
    folder.addExercise(0, 1, windowsBytes(QStringLiteral("vaca")));
    folder.addExercise(0, 2, windowsBytes(QStringLiteral("hilo")));
    folder.addExercise(0, 3, windowsBytes(QStringLiteral("rey")));
    Store store;
    auto session = std::make_shared<ProgressSession>(store.settings, Pupil);
    QSignalSpy recorded(session.get(), &ProgressSession::recorded);
    {
        Window window(folder.path(), session);
        window.start();
        typeText(window.typing(), QStringLiteral("bvaca"));
        window.form->Command3_Click(0);
        window.start();
        typeText(window.typing(), QStringLiteral("ih"));
        window.form->Command3_Click(0);
        window.start();
        typeText(window.typing(), QStringLiteral("reiy"));
        QCOMPARE(window.messages->shown.size(), 2);
        QTRY_COMPARE(recorded.size(), 3);
    }
    const QList<AttemptRecord> found = store.attempts();
    QCOMPARE(found.size(), 3);
    QStringList seen;
    for (const AttemptRecord &attempt : found) {
        QString kinds;
        for (const MistakeRecord &m : attempt.mistakeList)
            kinds += mistakeKindCode(m.kind) + QLatin1Char(' ');
        const QString end = attempt.finished ? QStringLiteral("fin") : QStringLiteral("dejado");
        seen.append(QString::number(attempt.exerciseNumber) + QLatin1Char(' ') + attempt.text +
                    QLatin1Char(' ') + end + QLatin1Char(' ') + kinds.trimmed());
    }
    // Kept within the same millisecond, they are told apart by their number.
    seen.sort();
    QCOMPARE(seen,
             (QStringList{QStringLiteral("1 vaca fin b-v"), QStringLiteral("2 hilo dejado h-falta"),
                          QStringLiteral("3 rey fin y-i")}));
}

void TestPupilProgress::laterAttemptsKeptAfterARefusedOne()
{
    // A wrong key at the blank after a comma belongs to no word; the attempt
    // is kept all the same, and so is the next one, with nothing to say.
    // (An attempt the store does refuse is set aside without holding up the
    // next ones: the store's own tests show it.)
    ProgramFolder folder;
    folder.addExercise(0, 1, windowsBytes(QStringLiteral("sí, no")));
    folder.addExercise(0, 2, windowsBytes(QStringLiteral("vaca")));
    Store store;
    auto session = std::make_shared<ProgressSession>(store.settings, Pupil);
    QSignalSpy recorded(session.get(), &ProgressSession::recorded);
    QSignalSpy problems(session.get(), &ProgressSession::problem);
    Window window(folder.path(), session);
    window.start();
    typeText(window.typing(), QStringLiteral("sí,x no"));
    window.form->Command3_Click(0);
    QVERIFY(session->hasRecorder());
    // The store's answer after each attempt: what it still holds.
    QSignalSpy settled(session->recorder(), &ProgressRecorder::settled);
    window.start();
    typeText(window.typing(), QStringLiteral("bvaca"));
    QTRY_VERIFY(recorded.size() == 2 && settled.size() >= 1);
    QCOMPARE(settled.last().first().toInt(), 0);
    QVERIFY2(problems.isEmpty(), qPrintable(problems.value(0).value(0).toString()));
}

void TestPupilProgress::nothingKeptWithoutSession()
{
    // The window as the tests of its behaviour use it: no session, nothing
    // kept anywhere, even in the pupil's real data folder.
    QTemporaryDir home;
    qputenv("XDG_DATA_HOME", home.filePath(QStringLiteral("datos")).toUtf8());
    ProgramFolder folder;
    folder.addExercise(0, 1, windowsBytes(QStringLiteral("vaca")));
    {
        Window window(folder.path(), nullptr);
        window.start();
        typeText(window.typing(), QStringLiteral("bvaca"));
        QCOMPARE(window.messages->shown, QStringList{QStringLiteral("Fin del ejercicio")});
        window.start();
        typeText(window.typing(), QStringLiteral("v"));
        QVERIFY(window.form->close());
    }
    QCoreApplication::processEvents();
    QVERIFY(!QFileInfo::exists(defaultLocalPath()));
    QVERIFY(!QFileInfo::exists(home.filePath(QStringLiteral("datos"))));
    qunsetenv("XDG_DATA_HOME");
}

void TestPupilProgress::storeTroubleToldOnce()
{
    // The pupil's file where no file can be: under an ordinary file.
    QTemporaryDir dir;
    QFile blocker(dir.filePath(QStringLiteral("no-es-carpeta")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    StoreSettings settings;
    settings.localPath = blocker.fileName() + QStringLiteral("/progreso.sqlite");
    auto session = std::make_shared<ProgressSession>(settings, Pupil);
    QSignalSpy problems(session.get(), &ProgressSession::problem);

    ProgramFolder folder;
    folder.addExercise(0, 1, windowsBytes(QStringLiteral("vaca")));
    Window window(folder.path(), session);
    window.form->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.form));
    QStringList spoken;
    connect(announcementsOf(window.form), &AnnouncementQueue::spoken, this,
            [&spoken](QObject *, const QString &text) { spoken.append(text); });

    const QString message = problemMessage(Outcome{Problem::Unwritable, blocker.fileName()});
    QVERIFY(message.contains(blocker.fileName()));
    for (int attempt = 0; attempt < 2; ++attempt) {
        window.start();
        typeText(window.typing(), QStringLiteral("bvaca"));
    }
    QTRY_VERIFY(problems.size() >= 1);
    QCOMPARE(problems.first().first().toString(), message);
    // Shown over the window, without a modal box, and heard.
    QLabel *note = nullptr;
    QTRY_VERIFY((note = window.form->findChild<QLabel *>(QStringLiteral("ProgressNote"))));
    QTRY_VERIFY(note->isVisible());
    QCOMPARE(note->text(), message);
    QVERIFY(note->isWindow());
    QVERIFY(!QApplication::activeModalWidget());
    QCOMPARE(window.messages->shown, (QStringList{QStringLiteral("Fin del ejercicio"),
                                                  QStringLiteral("Fin del ejercicio")}));
    // The pupil's keys leave it up: it is read while typing.
    window.start();
    typeText(window.typing(), QStringLiteral("va"));
    QVERIFY(note->isVisible());
    QVERIFY(!note->isActiveWindow());
    QCOMPARE(window.form->faultyExercises(), 2);
    QTRY_VERIFY_WITH_TIMEOUT(spoken.contains(message), 60000);
    // It goes away by itself.
    QTRY_VERIFY_WITH_TIMEOUT(!note->isVisible(), ProgressNoteMilliseconds + 5000);
    // The same trouble again, however it comes, is not told again.
    emit session->problem(message);
    window.start();
    typeText(window.typing(), QStringLiteral("bvaca"));
    QTRY_VERIFY_WITH_TIMEOUT(announcementsOf(window.form)->waiting().isEmpty(), 60000);
    QCOMPARE(spoken.count(message), 1);
    QVERIFY(!note->isVisible());
    // The pupil goes on typing all along.
    QCOMPARE(window.form->faultyExercises(), 3);
}

QTEST_MAIN(TestPupilProgress)
#include "tst_pupilprogress.moc"
