// The store of the pupil's results, each test run against the pupil's own
// SQLite file and against a real PostgreSQL server started for the tests:
// the tables made from an empty database and migrated from an older layout,
// attempts written and read back with the questions of the progress windows,
// an attempt sent twice counted once, results waiting while the store cannot
// be written (the server stopped or its connection cut, the file held by
// another program) and sent later exactly once, a damaged file, a newer
// layout, a full disk, and the recorder that keeps all this off the caller's
// thread; on the server, the administrator's setup file and the rights it
// gives: each pupil's account adds and reads back only its own, a teacher's
// reads and removes everyone's.
#include "pgserver.h"
#include "progress/progressrecorder.h"
#include "progress/progressstore.h"

#include <QElapsedTimer>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

using namespace letro;
using namespace letro::progress;

namespace {

const QDateTime monday = QDateTime(QDate(2025, 3, 3), QTime(9, 0), Qt::UTC);

// An attempt with the given mistakes at fixed times: the text's positions
// 0 "V" of "Vaca", 5 "á" of "árbol", 11 "h" of "hoy".
AttemptRecord attemptOf(const QString &pupil, int day, const QList<MistakeRecord> &mistakes,
                        int number = 1)
{
    AttemptRecord attempt =
        newAttempt(pupil, QStringLiteral("Palabras"), number, QStringLiteral("Vaca árbol hoy."),
                   true, 41, 150, mistakes.size(), mistakes);
    attempt.when = monday.addDays(day).addSecs(number);
    return attempt;
}

const MistakeRecord bForV{0, QStringLiteral("V"), QStringLiteral("B"), Mistake::BForV};
const MistakeRecord accent{5, QStringLiteral("á"), QStringLiteral("a"), Mistake::MissingAccent};
const MistakeRecord missingH{11, QStringLiteral("h"), QStringLiteral("o"), Mistake::MissingH};

// What a server's migration gives: the owner of each table, whether its rows
// are filtered, and its policies (empty on SQLite).
QStringList serverRights(ProgressDatabase &db)
{
    QStringList rights;
    if (db.backend() != Backend::PostgreSQL)
        return rights;
    QSqlQuery query(db.connection());
    if (!query.exec(QStringLiteral(
            "SELECT c.relname || ' ' || pg_get_userbyid(c.relowner) || ' ' || c.relrowsecurity"
            " || COALESCE(' ' || (SELECT string_agg(p.polname || ':' || p.polcmd::text, ' ' ORDER "
            "BY"
            " p.polname) FROM pg_policy p WHERE p.polrelid = c.oid), '') FROM pg_class c"
            " WHERE c.relname IN ('attempts', 'mistakes', 'schema_version') ORDER BY 1")))
        return {query.lastError().text()};
    while (query.next())
        rights << query.value(0).toString();
    return rights;
}

// polcmd: r SELECT, a INSERT, d DELETE.
const QStringList serverRightsMade = {
    QStringLiteral("attempts letro_propietario true pupils_add_own:a pupils_read_own:r "
                   "teachers_add_own:a teachers_read:r teachers_remove:d"),
    QStringLiteral("mistakes letro_propietario true pupils_add_own:a pupils_read_own:r "
                   "teachers_add_own:a teachers_read:r teachers_remove:d"),
    QStringLiteral("schema_version letro_propietario false")};

QString bigText()
{
    return QString(12000, QLatin1Char('x'));
}

} // namespace

class TestProgressStore : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase_data();
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

    void tablesMadeFromEmptyAndMigrated();
    void attemptsReadBackAndAsked();
    void newestAttemptsAndFinishedCount_data();
    void newestAttemptsAndFinishedCount();
    void olderLayoutGivesTheSameAnswers();
    void sameAttemptCountedOnce();
    void refusedAttemptHoldsUpNoOther();
    void resultsBroughtInAndPupilRemoved();
    void resultsWaitAndAreSentOnce();
    void damagedFileIsSetAside();
    void newerLayoutIsLeftAlone();
    void fullDiskHoldsResults();
    void recorderNeverBlocksTheCaller();
    void unpreparedServerKeepsResultsWaiting();
    void serverKeepsPupilsApart();

private:
    bool onServer() const;
    StoreSettings settings() const;
    QSqlDatabase admin(const QString &database);
    StoreSettings settingsAs(const QString &user) const;
    QString makeDatabase(bool prepared);
    QString makeLogin(const QString &name, const QString &role);
    qint64 count(ProgressDatabase &db, const QString &table);
    qint64 serverCount(const QString &table);
    void stopServer();
    void startServer();

    letro::test::PgServer m_server;
    QString m_serverProblem;
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_database;
    int m_databases = 0;
};

void TestProgressStore::initTestCase_data()
{
    QTest::addColumn<Backend>("backend");
    QTest::newRow("sqlite") << Backend::SQLite;
    QTest::newRow("postgresql") << Backend::PostgreSQL;
}

void TestProgressStore::initTestCase()
{
    QVERIFY(QSqlDatabase::isDriverAvailable(QStringLiteral("QSQLITE")));
    m_serverProblem = m_server.start();
}

bool TestProgressStore::onServer() const
{
    QFETCH_GLOBAL(Backend, backend);
    return backend == Backend::PostgreSQL;
}

void TestProgressStore::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    if (!onServer()) {
        return;
    }
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL"))) {
        QFAIL("Qt's PostgreSQL driver is missing: install libqt6sql6-psql (./build.sh test "
              "installs it)");
    }
    if (!m_serverProblem.isEmpty()) {
        QFAIL(qPrintable(m_serverProblem));
    }
    // Each test on a database of its own, prepared as the administrator would.
    m_database = makeDatabase(true);
    QVERIFY(!m_database.isEmpty());
}

// A new database on the server, prepared with the administrator's setup file
// (run as the server's superuser) or left as made; empty on failure.
QString TestProgressStore::makeDatabase(bool prepared)
{
    const QString name = QStringLiteral("prueba%1").arg(++m_databases);
    QSqlQuery create(admin(QStringLiteral("postgres")));
    if (!create.exec(QStringLiteral("CREATE DATABASE ") + name)) {
        qWarning() << create.lastError().text();
        return QString();
    }
    if (prepared) {
        QFile file(QStringLiteral(LETRO_SERVER_SETUP));
        if (!file.open(QIODevice::ReadOnly)) {
            qWarning() << file.fileName() << file.errorString();
            return QString();
        }
        // The whole file at once, as psql -f runs it; twice, as it may be.
        QSqlQuery setup(admin(name));
        const QString script = QString::fromUtf8(file.readAll());
        for (int time = 0; time < 2; ++time) {
            if (!setup.exec(script)) {
                qWarning() << setup.lastError().text();
                return QString();
            }
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("admin"));
    return name;
}

// A login on the server, a member of `role`; empty on failure.
QString TestProgressStore::makeLogin(const QString &name, const QString &role)
{
    QSqlQuery query(admin(QStringLiteral("postgres")));
    const bool made = query.exec(QStringLiteral("DO $$ BEGIN IF NOT EXISTS (SELECT 1 FROM pg_roles "
                                                "WHERE rolname = '%1') THEN CREATE ROLE %1 LOGIN "
                                                "IN ROLE %2; END IF; END $$")
                                     .arg(name, role));
    if (!made) {
        qWarning() << query.lastError().text();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("admin"));
    return made ? name : QString();
}

// The settings of the test's database, connecting as `user`.
StoreSettings TestProgressStore::settingsAs(const QString &user) const
{
    StoreSettings chosen = settings();
    chosen.user = user;
    return chosen;
}

void TestProgressStore::cleanup()
{
    QSqlDatabase::removeDatabase(QStringLiteral("admin"));
    if (onServer() && m_server.isMade()) {
        // A test that stopped the server leaves it running for the next.
        startServer();
    }
    m_dir.reset();
}

void TestProgressStore::cleanupTestCase()
{
    QVERIFY(m_server.stop());
}

StoreSettings TestProgressStore::settings() const
{
    StoreSettings settings;
    settings.localPath = m_dir->filePath(QStringLiteral("Letro/progreso.sqlite"));
    settings.busyTimeoutMs = 300;
    if (onServer()) {
        settings.backend = Backend::PostgreSQL;
        settings.host = m_server.socketDir();
        settings.port = m_server.port();
        settings.database = m_database;
        settings.user = m_server.user();
    }
    return settings;
}

// A connection of the test's own to the server, as its superuser.
QSqlDatabase TestProgressStore::admin(const QString &database)
{
    QSqlDatabase db =
        QSqlDatabase::contains(QStringLiteral("admin"))
            ? QSqlDatabase::database(QStringLiteral("admin"))
            : QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QStringLiteral("admin"));
    if (db.databaseName() != database || !db.isOpen()) {
        db.close();
        db.setHostName(m_server.socketDir());
        db.setPort(m_server.port());
        db.setUserName(m_server.user());
        db.setDatabaseName(database);
        db.open();
    }
    return db;
}

qint64 TestProgressStore::count(ProgressDatabase &db, const QString &table)
{
    QSqlQuery query(db.connection());
    if (!query.exec(QStringLiteral("SELECT count(*) FROM ") + table) || !query.next()) {
        return -1;
    }
    return query.value(0).toLongLong();
}

qint64 TestProgressStore::serverCount(const QString &table)
{
    QSqlQuery query(admin(m_database));
    if (!query.exec(QStringLiteral("SELECT count(*) FROM ") + table) || !query.next()) {
        return -1;
    }
    return query.value(0).toLongLong();
}

void TestProgressStore::stopServer()
{
    QSqlDatabase::removeDatabase(QStringLiteral("admin"));
    QVERIFY(m_server.stop());
}

void TestProgressStore::startServer()
{
    if (!m_server.isRunning()) {
        const QString problem = m_server.startAgain();
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
    }
}

// From an empty database every step is made, in order, once; a database left
// at the first layout is brought up to the last.
void TestProgressStore::tablesMadeFromEmptyAndMigrated()
{
    const StoreSettings store = settings();
    const QString indexQuery =
        onServer() ? QStringLiteral("SELECT indexname FROM pg_indexes WHERE tablename IN "
                                    "('attempts', 'mistakes') AND indexname NOT LIKE '%pkey' "
                                    "ORDER BY indexname")
                   : QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'index' AND "
                                    "name NOT LIKE 'sqlite_%' ORDER BY name");
    const QStringList indexes = {
        QStringLiteral("attempts_by_pupil"),         QStringLiteral("attempts_by_time"),
        QStringLiteral("attempts_finished"),         QStringLiteral("mistakes_by_kind"),
        QStringLiteral("mistakes_by_word"),          QStringLiteral("mistakes_of_class"),
        QStringLiteral("mistakes_of_pupil_by_kind"), QStringLiteral("mistakes_of_pupil_by_word")};
    auto indexNames = [&](ProgressDatabase &db) {
        QStringList names;
        QSqlQuery query(db.connection());
        if (query.exec(indexQuery)) {
            while (query.next())
                names << query.value(0).toString();
        }
        return names;
    };
    {
        ProgressDatabase db(store.backend);
        const Outcome opened = db.open(store);
        QVERIFY2(opened.ok(), qPrintable(opened.detail));
        QCOMPARE(latestSchemaVersion(), 4);
        QCOMPARE(db.schemaVersion(), 4);
        QCOMPARE(count(db, QStringLiteral("schema_version")), 4);
        QCOMPARE(indexNames(db), indexes);
        QCOMPARE(count(db, QStringLiteral("attempts")), 0);
        if (!onServer()) {
            QCOMPARE(QFileInfo(store.localPath).permissions() & 0x7777,
                     QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
        }

        QCOMPARE(serverRights(db), onServer() ? serverRightsMade : QStringList());

        // Back to the first layout: the indexes gone, the server's rights and
        // the column of the account too, the versions with them.
        QSqlQuery query(db.connection());
        for (const QString &index : indexes)
            QVERIFY(query.exec(QStringLiteral("DROP INDEX ") + index));
        if (onServer()) {
            for (const QString &table : {QStringLiteral("attempts"), QStringLiteral("mistakes")}) {
                for (const QString &policy :
                     {QStringLiteral("pupils_read_own"), QStringLiteral("pupils_add_own"),
                      QStringLiteral("teachers_read"), QStringLiteral("teachers_add_own"),
                      QStringLiteral("teachers_remove")})
                    QVERIFY(query.exec(QStringLiteral("DROP POLICY %1 ON %2").arg(policy, table)));
                QVERIFY(
                    query.exec(QStringLiteral("ALTER TABLE %1 DROP COLUMN account").arg(table)));
                QVERIFY(query.exec(
                    QStringLiteral("ALTER TABLE %1 DISABLE ROW LEVEL SECURITY").arg(table)));
            }
            QCOMPARE(serverRights(db), (QStringList{
                                           QStringLiteral("attempts letro_propietario false"),
                                           QStringLiteral("mistakes letro_propietario false"),
                                           QStringLiteral("schema_version letro_propietario false"),
                                       }));
        }
        QVERIFY(query.exec(QStringLiteral("DELETE FROM schema_version WHERE version >= 2")));
        QCOMPARE(db.schemaVersion(), 1);
    }
    ProgressDatabase again(store.backend);
    QVERIFY(again.open(store).ok());
    QCOMPARE(again.schemaVersion(), 4);
    QCOMPARE(count(again, QStringLiteral("schema_version")), 4);
    QCOMPARE(indexNames(again), indexes);
    QCOMPARE(serverRights(again), onServer() ? serverRightsMade : QStringList());
}

// What is written is read back whole, and the questions of the progress
// windows count it by pupil, span, kind and word.
void TestProgressStore::attemptsReadBackAndAsked()
{
    ProgressStore store(settings());
    const QList<AttemptRecord> ana = {attemptOf(QStringLiteral("ana"), 0, {bForV, accent}),
                                      attemptOf(QStringLiteral("ana"), 1, {accent, missingH}, 2),
                                      attemptOf(QStringLiteral("ana"), 7, {accent})};
    const AttemptRecord luis = attemptOf(QStringLiteral("luis"), 1, {bForV, bForV});
    for (const AttemptRecord &attempt : ana + QList<AttemptRecord>{luis}) {
        const Outcome outcome = store.record(attempt);
        QVERIFY2(outcome.ok(), qPrintable(problemMessage(outcome)));
    }
    QCOMPARE(store.heldCount(), 0);
    QCOMPARE(store.queuedCount(), 0);

    Outcome outcome;
    ProgressDatabase *db = store.reader(&outcome);
    QVERIFY(db);
    QCOMPARE(db->attempts(QStringLiteral("ana"), {}, &outcome), ana);
    QVERIFY(outcome.ok());
    QCOMPARE(db->attempts(QString(), {}, &outcome).size(), 4);
    QCOMPARE(ana.at(1).keysPerMinute, 150 * 60 / 41);

    // The first week: Monday and Tuesday, not the Monday after.
    const DateSpan week{monday, monday.addDays(7)};
    const QList<MistakesPoint> points =
        db->mistakesOverTime(QStringLiteral("ana"), week, -1, &outcome);
    QCOMPARE(points.size(), 2);
    QCOMPARE(points.at(0).when, ana.at(0).when);
    QCOMPARE(points.at(1).exerciseNumber, 2);
    QCOMPARE(points.at(1).mistakes, 2);

    QMap<Mistake, qint64> kinds;
    const QList<KindCount> byKind = db->mistakesByKind(QStringLiteral("ana"), week, &outcome);
    QCOMPARE(byKind.size(), mistakeKinds().size());
    for (const KindCount &kind : byKind)
        if (kind.count)
            kinds.insert(kind.kind, kind.count);
    QCOMPARE(kinds, (QMap<Mistake, qint64>{
                        {Mistake::BForV, 1}, {Mistake::MissingH, 1}, {Mistake::MissingAccent, 2}}));

    const QList<WordCount> words = db->mostMissedWords(QStringLiteral("ana"), {}, 2, &outcome);
    QCOMPARE(words.size(), 2);
    QCOMPARE(words.at(0).word, QStringLiteral("árbol"));
    QCOMPARE(words.at(0).count, 3);
    QCOMPARE(words.at(1).word, QStringLiteral("hoy")); // tied with "vaca", first by letter
    QCOMPARE(words.at(1).count, 1);

    QStringList table;
    for (const ClassCell &cell : db->classTable(week, &outcome))
        table << QStringLiteral("%1 %2 %3")
                     .arg(cell.pupil, mistakeKindCode(cell.kind))
                     .arg(cell.count);
    QCOMPARE(table,
             (QStringList{QStringLiteral("ana b-v 1"), QStringLiteral("ana h-falta 1"),
                          QStringLiteral("ana tilde-falta 2"), QStringLiteral("luis b-v 2")}));
}

// Ana's five attempts and one of Luis's: the second and fifth unfinished,
// the fourth and fifth ended at the same instant, the fifth's id first.
QList<AttemptRecord> fiveAttempts()
{
    QList<AttemptRecord> attempts;
    const QStringList ids = {QStringLiteral("10000000-0000-4000-8000-000000000000"),
                             QStringLiteral("20000000-0000-4000-8000-000000000000"),
                             QStringLiteral("30000000-0000-4000-8000-000000000000"),
                             QStringLiteral("f0000000-0000-4000-8000-000000000000"),
                             QStringLiteral("50000000-0000-4000-8000-000000000000")};
    for (int number = 1; number <= 5; ++number) {
        AttemptRecord attempt = attemptOf(QStringLiteral("ana"), number - 1,
                                          QList<MistakeRecord>(number, accent), number);
        attempt.id = QUuid::fromString(ids.at(number - 1));
        attempt.finished = number != 2 && number != 5;
        attempts.append(attempt);
    }
    attempts[4].when = attempts[3].when;
    attempts.append(attemptOf(QStringLiteral("luis"), 4, {bForV}, 6));
    return attempts;
}

void TestProgressStore::newestAttemptsAndFinishedCount_data()
{
    QTest::addColumn<int>("newest");
    QTest::addColumn<int>("fromDay"); // -1: the whole history
    QTest::addColumn<QList<int>>("numbers");
    QTest::addColumn<qint64>("finished");

    QTest::newRow("every one") << -1 << -1 << QList<int>{1, 2, 3, 5, 4} << qint64(3);
    QTest::newRow("more than there are") << 10 << -1 << QList<int>{1, 2, 3, 5, 4} << qint64(3);
    QTest::newRow("the newest two, tied in time") << 2 << -1 << QList<int>{5, 4} << qint64(3);
    QTest::newRow("the newest of a tie") << 1 << -1 << QList<int>{4} << qint64(3);
    QTest::newRow("none") << 0 << -1 << QList<int>{} << qint64(3);
    QTest::newRow("in a span") << 2 << 2 << QList<int>{5, 4} << qint64(2);
    QTest::newRow("a span before every attempt") << 5 << -3 << QList<int>{} << qint64(0);
}

// The window reads only the newest attempts, oldest first, as every one of
// them would be ordered, and counts the finished ones apart.
void TestProgressStore::newestAttemptsAndFinishedCount()
{
    QFETCH(int, newest);
    QFETCH(int, fromDay);
    QFETCH(QList<int>, numbers);
    QFETCH(qint64, finished);

    const StoreSettings store = settings();
    ProgressDatabase db(store.backend);
    QVERIFY(db.open(store).ok());
    const QList<AttemptRecord> attempts = fiveAttempts();
    QVERIFY(db.writeAll(attempts).ok());

    const QString ana = QStringLiteral("ana");
    DateSpan span;
    if (fromDay == -3)
        span = {monday.addDays(-3), monday};
    else if (fromDay >= 0)
        span = {monday.addDays(fromDay), QDateTime()};
    Outcome outcome;
    const QList<MistakesPoint> points = db.mistakesOverTime(ana, span, newest, &outcome);
    QVERIFY2(outcome.ok(), qPrintable(outcome.detail));
    QList<int> got;
    for (const MistakesPoint &point : points) {
        got.append(point.exerciseNumber);
        const AttemptRecord &written = attempts.at(point.exerciseNumber - 1);
        QCOMPARE(point.when, written.when);
        QCOMPARE(point.mistakes, written.mistakes);
        QCOMPARE(point.finished, written.finished);
    }
    QCOMPARE(got, numbers);
    // The newest of every attempt, in the same order.
    const QList<MistakesPoint> every = db.mistakesOverTime(ana, span, -1, &outcome);
    QCOMPARE(points, every.mid(every.size() - points.size()));
    QCOMPARE(db.finishedCount(ana, span, &outcome), finished);
    QVERIFY(outcome.ok());
    // Every pupil's, for the teacher.
    QCOMPARE(db.finishedCount(QString(), span, &outcome), finished + (fromDay == -3 ? 0 : 1));
}

// A database of the third layout answers as it did, and again once the
// fourth's indexes are added; on SQLite those answer the window's questions
// over the whole history from the index alone, in its order.
void TestProgressStore::olderLayoutGivesTheSameAnswers()
{
    const StoreSettings store = settings();
    const QString ana = QStringLiteral("ana");
    struct Answers
    {
        QList<MistakesPoint> points;
        qint64 finished = 0;
        QList<KindCount> kinds;
        QList<KindCount> recentKinds;
        QList<WordCount> words;
        QList<ClassCell> table;
    };
    const DateSpan recent{monday.addDays(2), monday.addDays(5)};
    auto answers = [&](ProgressDatabase &db, Answers *out) {
        Outcome outcome;
        out->points = db.mistakesOverTime(ana, {}, 3, &outcome);
        QVERIFY(outcome.ok());
        out->finished = db.finishedCount(ana, {}, &outcome);
        QVERIFY(outcome.ok());
        out->kinds = db.mistakesByKind(ana, {}, &outcome);
        QVERIFY(outcome.ok());
        out->recentKinds = db.mistakesByKind(ana, recent, &outcome);
        QVERIFY(outcome.ok());
        out->words = db.mostMissedWords(ana, {}, -1, &outcome);
        QVERIFY(outcome.ok());
        out->table = db.classTable({}, &outcome);
        QVERIFY(outcome.ok());
    };
    auto compare = [](const Answers &a, const Answers &b) {
        QCOMPARE(a.points, b.points);
        QCOMPARE(a.finished, b.finished);
        QCOMPARE(a.kinds, b.kinds);
        QCOMPARE(a.recentKinds, b.recentKinds);
        QCOMPARE(a.words, b.words);
        QCOMPARE(a.table, b.table);
    };

    Answers latest;
    {
        ProgressDatabase db(store.backend);
        QVERIFY(db.open(store).ok());
        QVERIFY(db.writeAll(fiveAttempts() +
                            QList<AttemptRecord>{attemptOf(ana, 3, {bForV, missingH}, 7)})
                    .ok());
        answers(db, &latest);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(latest.points.size(), 3);
        QCOMPARE(latest.finished, 4);
        QCOMPARE(latest.words.size(), 3);

        if (!onServer()) {
            // Read in the index's order: no mistake sorted, no attempt visited.
            const QList<std::pair<QString, QString>> plans = {
                {QStringLiteral("SELECT kind, count(*) FROM mistakes WHERE pupil = 'ana' GROUP BY "
                                "kind"),
                 QStringLiteral("mistakes_of_pupil_by_kind")},
                {QStringLiteral("SELECT word, count(*) FROM mistakes WHERE pupil = 'ana' AND "
                                "word <> '' GROUP BY word"),
                 QStringLiteral("mistakes_of_pupil_by_word")},
                {QStringLiteral("SELECT count(*) FROM attempts WHERE pupil = 'ana' AND finished "
                                "<> 0"),
                 QStringLiteral("attempts_finished")},
            };
            QSqlQuery query(db.connection());
            for (const auto &[sql, index] : plans) {
                QVERIFY(query.exec(QStringLiteral("EXPLAIN QUERY PLAN ") + sql));
                QStringList plan;
                while (query.next())
                    plan << query.value(3).toString();
                const QString text = plan.join(QLatin1Char('\n'));
                QVERIFY2(text.contains(QStringLiteral("COVERING INDEX ") + index),
                         qPrintable(text));
                QVERIFY2(!text.contains(QStringLiteral("TEMP B-TREE")), qPrintable(text));
            }
        }

        // Back to the third layout.
        QSqlQuery query(db.connection());
        for (const QString &index :
             {QStringLiteral("attempts_finished"), QStringLiteral("mistakes_of_pupil_by_kind"),
              QStringLiteral("mistakes_of_pupil_by_word")})
            QVERIFY(query.exec(QStringLiteral("DROP INDEX ") + index));
        QVERIFY(query.exec(QStringLiteral("DELETE FROM schema_version WHERE version >= 4")));
        QCOMPARE(db.schemaVersion(), 3);
        Answers third;
        answers(db, &third);
        compare(third, latest);
        if (QTest::currentTestFailed())
            return;
    }
    ProgressDatabase again(store.backend);
    QVERIFY(again.open(store).ok());
    QCOMPARE(again.schemaVersion(), 4);
    Answers migrated;
    answers(again, &migrated);
    compare(migrated, latest);
}

// An attempt sent again (a retry, a queue sent twice) is kept once, its
// mistakes too.
void TestProgressStore::sameAttemptCountedOnce()
{
    const StoreSettings store = settings();
    ProgressDatabase db(store.backend);
    QVERIFY(db.open(store).ok());
    const AttemptRecord attempt = attemptOf(QStringLiteral("ana"), 0, {bForV, accent, missingH});
    bool added = false;
    QVERIFY(db.write(attempt, &added).ok());
    QVERIFY(added);
    QVERIFY(db.write(attempt, &added).ok());
    QVERIFY(!added);
    AttemptRecord changed = attempt;
    changed.mistakeList = {bForV};
    QVERIFY(db.write(changed, &added).ok());
    QVERIFY(!added);
    QCOMPARE(count(db, QStringLiteral("attempts")), 1);
    QCOMPARE(count(db, QStringLiteral("mistakes")), 3);
    Outcome outcome;
    QCOMPARE(db.attempts(QString(), {}, &outcome), QList<AttemptRecord>{attempt});
}

// A wrong key with no word around it (the "¿" that opens a text) is kept
// like any other. An attempt whose own data the database refuses is said and
// set aside, and the attempts after it are kept all the same.
void TestProgressStore::refusedAttemptHoldsUpNoOther()
{
    ProgressStore store(settings());
    AttemptRecord question = newAttempt(
        QStringLiteral("ana"), QStringLiteral("Frase corta"), 3, QStringLiteral("¿Ves?"), true, 10,
        4, 1, {{0, QStringLiteral("¿"), QStringLiteral("?"), Mistake::MissingPunctuation}});
    question.when = monday;
    Outcome outcome = store.record(question);
    QVERIFY2(outcome.ok(), qPrintable(problemMessage(outcome)));

    AttemptRecord broken = attemptOf(QStringLiteral("ana"), 1, {bForV});
    broken.exerciseType = QString(); // stored as NULL, which the table refuses
    outcome = store.record(broken);
    QCOMPARE(outcome.problem, Problem::AttemptRefused);
    QVERIFY2(problemMessage(outcome).startsWith(
                 QStringLiteral("Los resultados de un dictado no se han podido guardar (")),
             qPrintable(problemMessage(outcome)));
    QVERIFY(problemMessage(outcome).endsWith(QStringLiteral("); los de los demás dictados, sí.")));

    const AttemptRecord after = attemptOf(QStringLiteral("ana"), 2, {accent});
    outcome = store.record(after);
    QVERIFY2(outcome.ok(), qPrintable(problemMessage(outcome)));
    QCOMPARE(store.heldCount(), 0);
    QCOMPARE(store.queuedCount(), 0);

    ProgressDatabase *db = store.reader(&outcome);
    QVERIFY(db);
    QCOMPARE(db->attempts(QStringLiteral("ana"), {}, &outcome),
             (QList<AttemptRecord>{question, after}));
    // The mark's mistake counts by kind, and names no word.
    qint64 marks = 0;
    for (const KindCount &kind : db->mistakesByKind(QStringLiteral("ana"), {}, &outcome))
        if (kind.kind == Mistake::MissingPunctuation)
            marks = kind.count;
    QCOMPARE(marks, 1);
    const QList<WordCount> words = db->mostMissedWords(QStringLiteral("ana"), {}, 5, &outcome);
    QCOMPARE(words.size(), 1);
    QCOMPARE(words.at(0).word, QStringLiteral("árbol"));
}

// Another machine's results are brought in all at once, what is already there
// (or comes twice) counted once, all or nothing; the pupils are listed in the
// order of a class list; one pupil's data removed leaves the others'.
void TestProgressStore::resultsBroughtInAndPupilRemoved()
{
    const StoreSettings store = settings();
    ProgressDatabase db(store.backend);
    QVERIFY(db.open(store).ok());
    const AttemptRecord ana = attemptOf(QStringLiteral("ana"), 0, {bForV, accent});
    const AttemptRecord angela = attemptOf(QStringLiteral("Ángela"), 1, {missingH});
    const AttemptRecord beatriz = attemptOf(QStringLiteral("beatriz"), 2, {accent});
    const AttemptRecord luis = attemptOf(QStringLiteral("luis"), 9, {bForV, bForV, accent});
    QVERIFY(db.write(ana).ok());

    qint64 added = -1;
    Outcome outcome = db.writeAll({luis, ana, beatriz, luis, angela}, &added);
    QVERIFY2(outcome.ok(), qPrintable(outcome.detail));
    QCOMPARE(added, 3);
    QCOMPARE(count(db, QStringLiteral("attempts")), 4);
    QCOMPARE(count(db, QStringLiteral("mistakes")), 7);
    QVERIFY(db.writeAll({ana, angela}, &added).ok());
    QCOMPARE(added, 0);
    QVERIFY(db.writeAll({}, &added).ok());
    QCOMPARE(added, 0);

    // One attempt refused (no pupil): none of the batch is kept.
    AttemptRecord nobody = attemptOf(QString(), 3, {accent});
    const AttemptRecord later = attemptOf(QStringLiteral("carla"), 4, {bForV});
    QVERIFY(!db.writeAll({later, nobody}, &added).ok());
    QCOMPARE(added, 0);
    QCOMPARE(count(db, QStringLiteral("attempts")), 4);
    QCOMPARE(count(db, QStringLiteral("mistakes")), 7);

    QCOMPARE(db.pupils({}, &outcome),
             (QStringList{QStringLiteral("ana"), QStringLiteral("Ángela"),
                          QStringLiteral("beatriz"), QStringLiteral("luis")}));
    QVERIFY(outcome.ok());
    QCOMPARE(db.pupils({monday.addDays(1), monday.addDays(7)}, &outcome),
             (QStringList{QStringLiteral("Ángela"), QStringLiteral("beatriz")}));
    QCOMPARE(db.pupils({monday.addDays(20), QDateTime()}, &outcome), QStringList());

    qint64 removed = -1;
    QVERIFY(db.removePupil(QStringLiteral("luis"), &removed).ok());
    QCOMPARE(removed, 1);
    QVERIFY(db.removePupil(QStringLiteral("nadie"), &removed).ok());
    QCOMPARE(removed, 0);
    QCOMPARE(db.attempts(QStringLiteral("luis"), {}, &outcome), QList<AttemptRecord>());
    QCOMPARE(db.attempts(QString(), {}, &outcome), (QList<AttemptRecord>{ana, angela, beatriz}));
    QCOMPARE(count(db, QStringLiteral("mistakes")), 4);
    QStringList table;
    for (const ClassCell &cell : db.classTable({}, &outcome))
        table << cell.pupil;
    QCOMPARE(table, (QStringList{QStringLiteral("ana"), QStringLiteral("ana"),
                                 QStringLiteral("Ángela"), QStringLiteral("beatriz")}));
    QCOMPARE(db.pupils({}, &outcome), (QStringList{QStringLiteral("ana"), QStringLiteral("Ángela"),
                                                   QStringLiteral("beatriz")}));
}

// The store goes away mid-way (the server stopped, or its connection cut
// during a session; the pupil's file held by another program) and comes back:
// every attempt ends up written exactly once.
void TestProgressStore::resultsWaitAndAreSentOnce()
{
    ProgressStore store(settings());
    QList<AttemptRecord> made;
    auto record = [&](Problem expected) {
        made << attemptOf(QStringLiteral("ana"), made.size(), {bForV});
        return store.record(made.last()).problem == expected;
    };
    QVERIFY(record(Problem::None));
    QVERIFY(record(Problem::None));

    if (onServer()) {
        stopServer();
        QVERIFY(record(Problem::ServerUnreachable));
        QVERIFY(record(Problem::ServerUnreachable));
        QCOMPARE(store.queuedCount(), 2);
        QCOMPARE(store.heldCount(), 0);
        startServer();
        QVERIFY(record(Problem::None));
        QCOMPARE(store.queuedCount(), 0);

        // The connection cut by the server during the session.
        QSqlQuery cut(admin(m_database));
        QVERIFY(cut.exec(QStringLiteral("SELECT pg_terminate_backend(pid) FROM "
                                        "pg_stat_activity WHERE pid <> pg_backend_pid() AND "
                                        "datname = current_database()")));
        QVERIFY(record(Problem::ServerUnreachable));
        QCOMPARE(store.queuedCount(), 1);

        // An attempt the server took while its answer was lost waits here too:
        // sent again, it is not counted twice.
        made << attemptOf(QStringLiteral("ana"), made.size(), {accent});
        {
            StoreSettings direct = settings();
            ProgressDatabase server(Backend::PostgreSQL);
            QVERIFY(server.open(direct).ok());
            QVERIFY(server.write(made.last()).ok());
            ProgressDatabase local(Backend::SQLite);
            QVERIFY(local.open(direct).ok());
            QVERIFY(local.write(made.last()).ok());
        }
        QCOMPARE(store.queuedCount(), 2);
        QVERIFY(store.flush().ok());
        QCOMPARE(store.queuedCount(), 0);
        QCOMPARE(serverCount(QStringLiteral("attempts")), made.size());
        QCOMPARE(serverCount(QStringLiteral("mistakes")), made.size());
    } else {
        ProgressDatabase holder(Backend::SQLite);
        QVERIFY(holder.open(settings()).ok());
        QSqlQuery hold(holder.connection());
        QVERIFY(hold.exec(QStringLiteral("BEGIN EXCLUSIVE")));
        QVERIFY(record(Problem::Locked));
        QVERIFY(record(Problem::Locked));
        QCOMPARE(store.heldCount(), 2);
        QVERIFY(hold.exec(QStringLiteral("COMMIT")));
        QVERIFY(record(Problem::None));
        QCOMPARE(store.heldCount(), 0);
    }
    Outcome outcome;
    ProgressDatabase *db = store.reader(&outcome);
    QVERIFY(db);
    QCOMPARE(db->attempts(QStringLiteral("ana"), {}, &outcome), made);
}

// A file that is not a database is set aside untouched and a new one begun;
// the attempt is kept in it (or, with a server, sent there).
void TestProgressStore::damagedFileIsSetAside()
{
    const StoreSettings chosen = settings();
    QVERIFY(QDir().mkpath(QFileInfo(chosen.localPath).path()));
    const QByteArray garbage = QByteArray("esto no es una base de datos\n").repeated(200);
    {
        QFile file(chosen.localPath);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(garbage);
    }
    if (onServer())
        stopServer();
    ProgressStore store(chosen);
    const AttemptRecord attempt = attemptOf(QStringLiteral("ana"), 0, {accent});
    const Outcome outcome = store.record(attempt);
    QCOMPARE(outcome.problem, Problem::Damaged);
    QCOMPARE(QFileInfo(outcome.detail).path(), QFileInfo(chosen.localPath).path());
    QVERIFY(
        QFileInfo(outcome.detail).fileName().startsWith(QStringLiteral("progreso.sqlite.dañado-")));
    QCOMPARE(problemMessage(outcome),
             QStringLiteral("El archivo de los resultados estaba dañado: se ha guardado aparte "
                            "como «%1» y se empieza uno nuevo.")
                 .arg(QFileInfo(outcome.detail).fileName()));
    QFile aside(outcome.detail);
    QVERIFY(aside.open(QIODevice::ReadOnly));
    QCOMPARE(aside.readAll(), garbage);
    QCOMPARE(store.heldCount(), 0);
    if (onServer()) {
        QCOMPARE(store.queuedCount(), 1);
        startServer();
        QVERIFY(store.flush().ok());
        QCOMPARE(store.queuedCount(), 0);
    }
    Outcome read;
    ProgressDatabase *db = store.reader(&read);
    QVERIFY(db);
    QCOMPARE(db->attempts(QString(), {}, &read), QList<AttemptRecord>{attempt});
}

// Tables a newer Letro laid out are not written: the pupil's file is left as
// it is (the attempt held); a newer server's results wait in the pupil's file.
void TestProgressStore::newerLayoutIsLeftAlone()
{
    const StoreSettings chosen = settings();
    {
        ProgressDatabase db(chosen.backend);
        QVERIFY(db.open(chosen).ok());
        QSqlQuery query(db.connection());
        QVERIFY(query.exec(QStringLiteral("INSERT INTO schema_version (version) VALUES (%1)")
                               .arg(latestSchemaVersion() + 1)));
    }
    ProgressStore store(chosen);
    const Outcome outcome = store.record(attemptOf(QStringLiteral("ana"), 0, {accent}));
    if (onServer()) {
        QCOMPARE(outcome.problem, Problem::NewerServerSchema);
        QCOMPARE(problemMessage(outcome),
                 QStringLiteral("El servidor del colegio usa una versión más nueva de Letro: los "
                                "resultados esperan en este ordenador."));
        QCOMPARE(store.queuedCount(), 1);
        QCOMPARE(serverCount(QStringLiteral("attempts")), 0);
    } else {
        QCOMPARE(outcome.problem, Problem::NewerSchema);
        QCOMPARE(problemMessage(outcome),
                 QStringLiteral("Los resultados los guarda una versión más nueva de Letro: esta "
                                "versión no los cambia y los de hoy no se guardan."));
        QCOMPARE(store.heldCount(), 1);
        QSqlDatabase raw =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("raw"));
        raw.setDatabaseName(chosen.localPath);
        QVERIFY(raw.open());
        {
            QSqlQuery query(raw);
            QVERIFY(query.exec(QStringLiteral("SELECT count(*) FROM attempts")) && query.next());
            QCOMPARE(query.value(0).toInt(), 0);
        }
        raw.close();
        raw = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("raw"));
    }
    QCOMPARE(store.record(attemptOf(QStringLiteral("ana"), 1, {})).problem, outcome.problem);
}

// With the disk full the attempt is held, the file stays whole with what it
// had, and once there is room every attempt is written once.
void TestProgressStore::fullDiskHoldsResults()
{
    if (::geteuid() != 0)
        QSKIP("mounting a small disk needs root");
    const QString disk = m_dir->filePath(QStringLiteral("disco"));
    QVERIFY(QDir().mkpath(disk));
    QProcess mount;
    mount.start(QStringLiteral("mount"),
                {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                 QStringLiteral("size=256k"), QStringLiteral("tmpfs"), disk});
    QVERIFY(mount.waitForFinished(10000));
    if (mount.exitCode() != 0)
        QSKIP(qPrintable(QStringLiteral("cannot mount a small disk: ") +
                         QString::fromLocal8Bit(mount.readAllStandardError())));
    const auto unmount = qScopeGuard([&] { QProcess::execute(QStringLiteral("umount"), {disk}); });

    StoreSettings chosen = settings();
    chosen.localPath = disk + QStringLiteral("/progreso.sqlite");
    if (onServer())
        stopServer();
    ProgressStore store(chosen);
    QList<AttemptRecord> made = {attemptOf(QStringLiteral("ana"), 0, {accent})};
    const Problem first = onServer() ? Problem::ServerUnreachable : Problem::None;
    QCOMPARE(store.record(made.last()).problem, first);

    // Fill the disk.
    QFile filler(disk + QStringLiteral("/relleno"));
    QVERIFY(filler.open(QIODevice::WriteOnly));
    const QByteArray block(4096, 'r');
    while (filler.write(block) == block.size() && filler.flush()) {
    }
    filler.close();

    made << attemptOf(QStringLiteral("ana"), 1, {bForV});
    made.last().text = bigText();
    const Outcome full = store.record(made.last());
    QCOMPARE(full.problem, Problem::DiskFull);
    QCOMPARE(problemMessage(full), QStringLiteral("No queda espacio en el disco para los "
                                                  "resultados: se guardarán cuando haya sitio."));
    QCOMPARE(store.heldCount(), 1);
    {
        // What was written before is whole.
        StoreSettings local = chosen;
        local.backend = Backend::SQLite;
        ProgressDatabase db(Backend::SQLite);
        QVERIFY(db.open(local).ok());
        Outcome read;
        QCOMPARE(db.attempts(QString(), {}, &read), made.mid(0, 1));
    }

    QVERIFY(filler.remove());
    if (onServer())
        startServer();
    QVERIFY(store.flush().ok());
    QCOMPARE(store.heldCount(), 0);
    Outcome read;
    ProgressDatabase *db = store.reader(&read);
    QVERIFY(db);
    QCOMPARE(db->attempts(QString(), {}, &read), made);
    QCOMPARE(store.queuedCount(), 0);
}

// record() hands the attempt over and returns while the store waits (for a
// file another program holds, for a server that is not there); the trouble is
// said once, and the attempt is kept when the store comes back.
void TestProgressStore::recorderNeverBlocksTheCaller()
{
    StoreSettings chosen = settings();
    chosen.busyTimeoutMs = 1500;
    std::unique_ptr<ProgressDatabase> holder;
    if (onServer()) {
        stopServer();
    } else {
        holder = std::make_unique<ProgressDatabase>(Backend::SQLite);
        QVERIFY(holder->open(chosen).ok());
        QVERIFY(QSqlQuery(holder->connection()).exec(QStringLiteral("BEGIN EXCLUSIVE")));
    }
    ProgressRecorder recorder(chosen, 0);
    QSignalSpy problems(&recorder, &ProgressRecorder::problem);
    QSignalSpy recorded(&recorder, &ProgressRecorder::recorded);
    QSignalSpy settled(&recorder, &ProgressRecorder::settled);
    const QList<AttemptRecord> made = {attemptOf(QStringLiteral("ana"), 0, {accent}),
                                       attemptOf(QStringLiteral("ana"), 1, {bForV})};
    QElapsedTimer clock;
    clock.start();
    for (const AttemptRecord &attempt : made)
        recorder.record(attempt);
    QVERIFY2(clock.elapsed() < 500, qPrintable(QString::number(clock.elapsed())));
    QTRY_COMPARE_WITH_TIMEOUT(settled.size(), 2, 20000);
    QCOMPARE(problems.size(), 1);
    const QString said = problems.at(0).at(0).toString();
    if (onServer()) {
        QCOMPARE(said, QStringLiteral("No se puede llegar al servidor del colegio: los resultados "
                                      "esperan en este ordenador y se enviarán más tarde."));
        // Kept in the pupil's file.
        QCOMPARE(recorded.size(), 2);
        QCOMPARE(settled.last().at(1).toLongLong(), 2);
        startServer();
    } else {
        QCOMPARE(said, QStringLiteral("Otro programa está usando el archivo de los resultados: "
                                      "se guardarán en cuanto quede libre."));
        QCOMPARE(recorded.size(), 0);
        QCOMPARE(settled.last().at(0).toInt(), 2);
        QVERIFY(QSqlQuery(holder->connection()).exec(QStringLiteral("COMMIT")));
    }
    recorder.flush();
    QTRY_COMPARE_WITH_TIMEOUT(settled.size(), 3, 20000);
    QCOMPARE(settled.last().at(0).toInt(), 0);
    QCOMPARE(settled.last().at(1).toLongLong(), 0);
    QTRY_COMPARE(recorded.size(), 2);
    QCOMPARE(problems.size(), 1);

    QList<AttemptRecord> kept;
    bool answered = false;
    recorder.run<QList<AttemptRecord>>(
        [](ProgressStore &store) {
            Outcome outcome;
            ProgressDatabase *db = store.reader(&outcome);
            return db ? db->attempts(QString(), {}, &outcome) : QList<AttemptRecord>();
        },
        [&](QList<AttemptRecord> attempts) {
            kept = attempts;
            answered = true;
        });
    QTRY_VERIFY(answered);
    QCOMPARE(kept, made);
}

// A pupil's Letro meets a server whose tables are not made yet (it may not
// make them), or a database the administrator has not prepared: it says so,
// the results wait in the pupil's file, and they go once the tables are there.
void TestProgressStore::unpreparedServerKeepsResultsWaiting()
{
    if (!onServer())
        QSKIP("the pupil's own file needs no preparing");
    const QString ana = makeLogin(QStringLiteral("alumno_ana"), QStringLiteral("letro_alumnos"));
    const QString marta =
        makeLogin(QStringLiteral("profe_marta"), QStringLiteral("letro_profesores"));
    const QString owner =
        makeLogin(QStringLiteral("duena_rosa"), QStringLiteral("letro_propietario"));
    QVERIFY(!ana.isEmpty() && !marta.isEmpty() && !owner.isEmpty());

    const QString notReady =
        QStringLiteral("El servidor del colegio todavía no está preparado para los resultados de "
                       "Letro: esperan en este ordenador y se enviarán cuando lo esté.");
    ProgressStore store(settingsAs(ana));
    QList<AttemptRecord> made = {attemptOf(QStringLiteral("ana"), 0, {accent})};
    Outcome outcome = store.record(made.last());
    QCOMPARE(outcome.problem, Problem::ServerNotReady);
    QCOMPARE(problemMessage(outcome), notReady);
    QCOMPARE(store.queuedCount(), 1);
    {
        // Nor may a teacher make them.
        ProgressDatabase teacher(Backend::PostgreSQL);
        QCOMPARE(teacher.open(settingsAs(marta)).problem, Problem::ServerNotReady);
    }
    QCOMPARE(serverCount(QStringLiteral("schema_version")), -1);

    // A member of the owner's role makes them, owned by that role.
    {
        ProgressDatabase first(Backend::PostgreSQL);
        QVERIFY(first.open(settingsAs(owner)).ok());
        QCOMPARE(serverRights(first), serverRightsMade);
    }
    made << attemptOf(QStringLiteral("ana"), 1, {bForV});
    QVERIFY(store.record(made.last()).ok());
    QCOMPARE(store.queuedCount(), 0);
    QCOMPARE(serverCount(QStringLiteral("attempts")), 2);

    // Tables of an older Letro: a pupil may not upgrade them either.
    {
        QSqlQuery older(admin(m_database));
        QVERIFY(older.exec(QStringLiteral("DELETE FROM schema_version WHERE version = %1")
                               .arg(latestSchemaVersion())));
    }
    ProgressDatabase pupil(Backend::PostgreSQL);
    QCOMPARE(pupil.open(settingsAs(ana)).problem, Problem::ServerNotReady);

    // A database the administrator never prepared: not even its superuser
    // makes the tables there, since they would belong to no one's role.
    m_database = makeDatabase(false);
    QVERIFY(!m_database.isEmpty());
    ProgressDatabase unprepared(Backend::PostgreSQL);
    outcome = unprepared.open(settings());
    QCOMPARE(outcome.problem, Problem::ServerNotReady);
    QVERIFY2(outcome.detail.contains(QStringLiteral("schema public")), qPrintable(outcome.detail));
    QCOMPARE(serverCount(QStringLiteral("schema_version")), -1);
}

// On the server each pupil's account adds results and reads back only its
// own; an attempt sent again counts once whichever account sent it; a pupil
// removes and changes nothing; a teacher reads everyone's and removes a
// pupil's data.
void TestProgressStore::serverKeepsPupilsApart()
{
    if (!onServer())
        QSKIP("the pupil's own file is the pupil's alone: the file's mode keeps others out");
    const QString ana = makeLogin(QStringLiteral("alumno_ana"), QStringLiteral("letro_alumnos"));
    const QString luis = makeLogin(QStringLiteral("alumno_luis"), QStringLiteral("letro_alumnos"));
    const QString marta =
        makeLogin(QStringLiteral("profe_marta"), QStringLiteral("letro_profesores"));
    const QString stranger = makeLogin(QStringLiteral("visita"), QStringLiteral("pg_monitor"));
    QVERIFY(!ana.isEmpty() && !luis.isEmpty() && !marta.isEmpty() && !stranger.isEmpty());
    {
        // The tables made by the superuser, a member of every role.
        ProgressDatabase first(Backend::PostgreSQL);
        QVERIFY(first.open(settings()).ok());
    }
    ProgressDatabase anaDb(Backend::PostgreSQL);
    ProgressDatabase luisDb(Backend::PostgreSQL);
    ProgressDatabase teacher(Backend::PostgreSQL);
    QVERIFY(anaDb.open(settingsAs(ana)).ok());
    QVERIFY(luisDb.open(settingsAs(luis)).ok());
    QVERIFY(teacher.open(settingsAs(marta)).ok());

    const AttemptRecord anaFirst = attemptOf(QStringLiteral("ana"), 0, {bForV, accent});
    const AttemptRecord anaSecond = attemptOf(QStringLiteral("ana"), 1, {missingH});
    const AttemptRecord luisFirst = attemptOf(QStringLiteral("luis"), 0, {bForV, bForV});
    bool added = false;
    QVERIFY(anaDb.write(anaFirst, &added).ok());
    QVERIFY(added);
    QVERIFY(luisDb.write(luisFirst, &added).ok());
    QVERIFY(added);
    qint64 addedCount = 0;
    QVERIFY(anaDb.writeAll({anaFirst, anaSecond}, &addedCount).ok());
    QCOMPARE(addedCount, 1);

    // Sent again by its own account, or by another (a machine's queue sent
    // from another login): accepted, counted once, nothing raised.
    for (ProgressDatabase *db : {&anaDb, &luisDb}) {
        const Outcome again = db->write(anaFirst, &added);
        QVERIFY2(again.ok(), qPrintable(again.detail));
        QVERIFY(!added);
    }
    const Outcome foreign = anaDb.write(luisFirst, &added);
    QVERIFY2(foreign.ok(), qPrintable(foreign.detail));
    QVERIFY(!added);
    QCOMPARE(serverCount(QStringLiteral("attempts")), 3);
    QCOMPARE(serverCount(QStringLiteral("mistakes")), 5);

    // Each reads back only its own account's.
    Outcome outcome;
    QCOMPARE(anaDb.attempts(QString(), {}, &outcome), (QList<AttemptRecord>{anaFirst, anaSecond}));
    QVERIFY(outcome.ok());
    QCOMPARE(luisDb.attempts(QString(), {}, &outcome), QList<AttemptRecord>{luisFirst});
    QCOMPARE(anaDb.attempts(QStringLiteral("luis"), {}, &outcome), QList<AttemptRecord>());
    QCOMPARE(anaDb.pupils({}, &outcome), QStringList{QStringLiteral("ana")});
    qint64 bForVs = -1;
    for (const KindCount &kind : anaDb.mistakesByKind(QString(), {}, &outcome))
        if (kind.kind == Mistake::BForV)
            bForVs = kind.count;
    QCOMPARE(bForVs, 1);
    QStringList table;
    for (const ClassCell &cell : anaDb.classTable({}, &outcome))
        table << cell.pupil + QLatin1Char(' ') + mistakeKindCode(cell.kind);
    QCOMPARE(table, (QStringList{QStringLiteral("ana b-v"), QStringLiteral("ana h-falta"),
                                 QStringLiteral("ana tilde-falta")}));
    QCOMPARE(anaDb.mostMissedWords(QString(), {}, -1, &outcome).size(), 3);
    QCOMPARE(luisDb.mostMissedWords(QString(), {}, -1, &outcome).size(), 1);

    // A pupil removes and changes nothing, and cannot write in another's name.
    QCOMPARE(anaDb.remove(luisFirst.id).problem, Problem::ServerRefused);
    QCOMPARE(anaDb.remove(anaFirst.id).problem, Problem::ServerRefused);
    qint64 removed = -1;
    QCOMPARE(anaDb.removePupil(QStringLiteral("ana"), &removed).problem, Problem::ServerRefused);
    QCOMPARE(removed, 0);
    {
        QSqlQuery query(anaDb.connection());
        for (const QString &statement :
             {QStringLiteral("UPDATE attempts SET mistakes = 0"),
              QStringLiteral("UPDATE mistakes SET kind = 'letra'"),
              QStringLiteral("ALTER TABLE attempts DISABLE ROW LEVEL SECURITY"),
              QStringLiteral("DROP TABLE mistakes"), QStringLiteral("DELETE FROM schema_version"),
              QStringLiteral("INSERT INTO attempts (id, pupil, ended_ms, exercise_type,"
                             " exercise_number, exercise_text, finished, seconds,"
                             " keys_per_minute, hits, mistakes, account) VALUES ('x', 'luis', 0,"
                             " 'Palabras', 1, '', 1, 0, 0, 0, 0, 'alumno_luis')")}) {
            QVERIFY2(!query.exec(statement), qPrintable(statement));
            // insufficient_privilege: no right, or a row no policy allows.
            QCOMPARE(query.lastError().nativeErrorCode(), QStringLiteral("42501"));
        }
    }
    QCOMPARE(serverCount(QStringLiteral("attempts")), 3);
    QCOMPARE(serverCount(QStringLiteral("mistakes")), 5);
    QCOMPARE(serverCount(QStringLiteral("schema_version")), qint64(latestSchemaVersion()));

    // An account in neither role reads nothing at all.
    {
        ProgressDatabase visitor(Backend::PostgreSQL);
        QVERIFY(!visitor.open(settingsAs(stranger)).ok());
        QSqlDatabase raw =
            QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QStringLiteral("raw"));
        raw.setHostName(m_server.socketDir());
        raw.setPort(m_server.port());
        raw.setUserName(stranger);
        raw.setDatabaseName(m_database);
        // Not even connect: the database is for Letro's accounts.
        QVERIFY(!raw.open());
        raw = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("raw"));
    }

    // The teacher reads everyone's, and removes one pupil's data; changes none.
    QCOMPARE(teacher.pupils({}, &outcome),
             (QStringList{QStringLiteral("ana"), QStringLiteral("luis")}));
    QCOMPARE(teacher.attempts(QString(), {}, &outcome).size(), 3);
    table.clear();
    for (const ClassCell &cell : teacher.classTable({}, &outcome))
        table << QStringLiteral("%1 %2 %3")
                     .arg(cell.pupil, mistakeKindCode(cell.kind))
                     .arg(cell.count);
    QCOMPARE(table,
             (QStringList{QStringLiteral("ana b-v 1"), QStringLiteral("ana h-falta 1"),
                          QStringLiteral("ana tilde-falta 1"), QStringLiteral("luis b-v 2")}));
    QVERIFY(
        !QSqlQuery(teacher.connection()).exec(QStringLiteral("UPDATE attempts SET pupil = 'ana'")));
    QVERIFY(teacher.removePupil(QStringLiteral("luis"), &removed).ok());
    QCOMPARE(removed, 1);
    QCOMPARE(serverCount(QStringLiteral("attempts")), 2);
    QCOMPARE(serverCount(QStringLiteral("mistakes")), 3);
    QCOMPARE(luisDb.attempts(QString(), {}, &outcome), QList<AttemptRecord>());
    QCOMPARE(anaDb.attempts(QString(), {}, &outcome), (QList<AttemptRecord>{anaFirst, anaSecond}));
    // What the teacher brings in is the teacher's account's: the pupil does
    // not see it, the teacher does, and it still counts once.
    const AttemptRecord brought = attemptOf(QStringLiteral("luis"), 2, {accent});
    QVERIFY(teacher.writeAll({brought, anaFirst}, &addedCount).ok());
    QCOMPARE(addedCount, 1);
    QCOMPARE(teacher.attempts(QStringLiteral("luis"), {}, &outcome), QList<AttemptRecord>{brought});
    QCOMPARE(luisDb.attempts(QString(), {}, &outcome), QList<AttemptRecord>());
}

QTEST_GUILESS_MAIN(TestProgressStore)
#include "tst_progressstore.moc"
