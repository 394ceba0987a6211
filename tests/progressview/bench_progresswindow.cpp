// A measurement, not a test: how long "Mi progreso" takes from F3 to its
// tables filled on ten years of a pupil's history (50 000 attempts, 500 000
// mistakes), the first time (the store opened and the charts' module
// loaded) and again, and how long the window's thread was held at most
// meanwhile; then how long each question the window asks takes on its own.
//
//   QT_QPA_PLATFORM=offscreen build/tests/progressview/bench_progresswindow [FOLDER]
//
// FOLDER keeps the history between runs (made the first time, which takes a
// while); without it a temporary one is made and thrown away.
#include "testsupport.h"

#include "exercise/aids.h"
#include "progress/database.h"
#include "progress/problems.h"
#include "progress/progresssession.h"
#include "progressview/progressfacts.h"
#include "progressview/progresswindow.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <functional>
#include <utility>

using namespace letro;
using namespace letro::progress;

namespace {

constexpr int Attempts = 50000;
constexpr int MistakesEach = 10;

const QStringList Texts = {
    QStringLiteral("La vaca bebe agua en el valle."),
    QStringLiteral("¿Has visto el barco de Héctor?"),
    QStringLiteral("Hoy llueve y hace viento."),
    QStringLiteral("El árbol está junto al río."),
};

bool seed(const StoreSettings &settings, const QString &pupil)
{
    ProgressDatabase database(Backend::SQLite);
    if (!database.open(settings).ok())
        return false;
    if (database.attemptCount(nullptr) >= Attempts)
        return true;
    // Only the making of the history goes without waiting for the disk.
    QSqlQuery(database.connection()).exec(QStringLiteral("PRAGMA synchronous = OFF"));
    QRandomGenerator random(26);
    const QDateTime start(QDate(2016, 9, 1), QTime(9, 0), Qt::UTC);
    const QString typed = QStringLiteral("xzqbvhy");
    for (int i = 0; i < Attempts; ++i) {
        const QString &text = Texts.at(i % Texts.size());
        QList<MistakeRecord> mistakes;
        for (int m = 0; m < MistakesEach; ++m) {
            const int position = int(random.bounded(text.size()));
            const QChar expected = text.at(position);
            const QChar wrong = typed.at(int(random.bounded(typed.size())));
            // The right key is no mistake; and the store refuses, for now, a
            // mistake that belongs to no word (the opening "¿").
            if (classifyMistake(wrong, expected) == Mistake::None ||
                wordAt(text, position).isEmpty()) {
                --m;
                continue;
            }
            mistakes.append(
                {position, QString(expected), QString(wrong), classifyMistake(wrong, expected)});
        }
        AttemptRecord record = newAttempt(pupil, Form1::typeName(i % 3), 1 + i % 40, text, true, 60,
                                          text.size(), mistakes.size(), mistakes);
        record.when = start.addSecs(qint64(i) * 6300); // ten years, about 14 a day
        const Outcome written = database.write(record);
        if (!written.ok()) {
            std::fprintf(stderr, "%s\n", qPrintable(problemMessage(written)));
            return false;
        }
        if (i % 5000 == 0)
            std::fprintf(stderr, "%d attempts written\n", i);
    }
    return true;
}

// The longest the window's thread went without turning its event loop, while
// `running` holds.
class StallWatch : public QObject
{
public:
    StallWatch()
    {
        m_timer.setInterval(1);
        connect(&m_timer, &QTimer::timeout, this,
                [this] { m_longest = std::max(m_longest, m_since.restart()); });
    }
    void start()
    {
        m_longest = 0;
        m_since.start();
        m_timer.start();
    }
    qint64 stop()
    {
        m_timer.stop();
        return m_longest;
    }

private:
    QTimer m_timer;
    QElapsedTimer m_since;
    qint64 m_longest = 0;
};

// Each question "Mi progreso" asks, timed on a connection of its own, the
// first time and again, with what it gives: its rows, or the count asked.
// Every attempt read back, as the window once did, is timed beside the newest.
void timeQuestions(const StoreSettings &settings, const QString &pupil)
{
    QElapsedTimer timer;
    timer.start();
    ProgressDatabase database(Backend::SQLite);
    if (!database.open(settings).ok())
        return;
    std::printf("opening the store: %lld ms\n", timer.elapsed());
    Outcome outcome;
    QList<MistakesPoint> points;
    const QList<std::pair<const char *, std::function<qsizetype()>>> questions = {
        {"mistakesOverTime, every attempt",
         [&] { return database.mistakesOverTime(pupil, {}, -1, &outcome).size(); }},
        {"mistakesOverTime, the newest shown",
         [&] {
             points = database.mistakesOverTime(pupil, {}, progressview::ShownAttempts, &outcome);
             return points.size();
         }},
        {"finishedCount", [&] { return qsizetype(database.finishedCount(pupil, {}, &outcome)); }},
        {"mistakesByKind, all",
         [&] { return database.mistakesByKind(pupil, {}, &outcome).size(); }},
        {"mistakesByKind, recent",
         [&] {
             return database.mistakesByKind(pupil, progressview::recentSpan(points), &outcome)
                 .size();
         }},
        {"mostMissedWords",
         [&] {
             return database.mostMissedWords(pupil, {}, progressview::ShownWords, &outcome).size();
         }},
    };
    for (const char *which : {"first", "again"}) {
        for (const auto &[name, ask] : questions) {
            timer.restart();
            const qsizetype rows = ask();
            std::printf("%s %s: %lld ms, giving %lld%s\n", which, name, timer.elapsed(),
                        qint64(rows), outcome.ok() ? "" : " (failed)");
        }
    }
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QTemporaryDir temporary;
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : temporary.path();
    QDir().mkpath(folder);
    QCoreApplication::addLibraryPath(qEnvironmentVariable("LETRO_PROGRAM_DIR"));

    StoreSettings settings;
    settings.localPath = QDir(folder).filePath(QStringLiteral("progreso.sqlite"));
    const QString pupil = QStringLiteral("ana");
    QElapsedTimer seeding;
    seeding.start();
    if (!seed(settings, pupil)) {
        std::fprintf(stderr, "the history could not be written\n");
        return 1;
    }
    std::printf("history ready (%d attempts, %d mistakes) in %lld ms\n", Attempts,
                Attempts * MistakesEach, seeding.elapsed());

    test::ProgramFolder program;
    for (int type = 0; type < 3; ++type) {
        for (int number = 1; number <= 40; ++number)
            program.addExercise(type, number, Texts.at(number % Texts.size()).toUtf8() + "\r\n",
                                false);
    }
    Services services;
    services.programFolder = program.path();
    services.sound = std::make_shared<test::FakeSound>();
    services.messages = std::make_shared<test::ScriptedMessages>();
    services.fontList = [] { return QStringList{QStringLiteral("Arial")}; };
    services.screenTwips = [] { return QSize(15360, 11520); };
    services.progress = std::make_shared<ProgressSession>(settings, pupil);
    Form1 form(services);
    form.Form_Load();
    form.show();
    form.activateWindow();
    if (!QTest::qWaitForWindowActive(&form))
        return 1;
    Aids *aids = form.findChild<Aids *>();

    StallWatch watch;
    for (const char *which : {"first", "again", "third"}) {
        QElapsedTimer opening;
        watch.start();
        opening.start();
        QTest::keyClick(&form, Qt::Key_F3);
        progressview::ProgressWindow *window = aids->progressWindow();
        if (!QTest::qWaitFor([window] { return !window->isLoading(); }, 60000))
            return 1;
        const qint64 filled = opening.elapsed();
        QCoreApplication::processEvents(); // the first paint of what was filled
        const qint64 stall = watch.stop();
        std::printf("%s F3: tables filled after %lld ms; longest stall of the window %lld ms; "
                    "%d rows charted, %lld kinds\n",
                    which, filled, stall, int(window->report().points.size()),
                    qint64(window->report().kinds.size()));
        window->close();
        form.activateWindow(); // offscreen, nothing hands the activation back
        if (!QTest::qWaitForWindowActive(&form))
            return 1;
    }
    timeQuestions(settings, pupil);
    return 0;
}
