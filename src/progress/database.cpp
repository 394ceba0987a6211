#include "database.h"

#include <QAtomicInt>
#include <QCollator>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace letro::progress {

namespace {

// The roles a school's server gives its accounts (made by the administrator's
// setup file, progreso-servidor.sql): a pupil's login, or a class's shared
// account, is a member of the first; a teacher's of the second. Members of
// the third make and upgrade the tables, which that role owns.
const QLatin1String pupilsRole("letro_alumnos");
const QLatin1String teachersRole("letro_profesores");
const QLatin1String ownerRole("letro_propietario");

// What a school's server adds to the tables: the account that wrote each row,
// and who may do what with them. A pupil's account adds rows and reads back
// only its own; a teacher's reads and removes everyone's and adds its own;
// nobody else reads them, and only the owner changes a row or the tables.
// An attempt sent again by any account is still ignored by its id: ON
// CONFLICT DO NOTHING finds the row a policy hides and neither adds nor fails.
QStringList serverRights()
{
    // The tables changed first: an account that may not do it fails there,
    // before the grants.
    QStringList statements;
    for (const QString &table : {QStringLiteral("attempts"), QStringLiteral("mistakes")}) {
        // session_user: the login, whatever role it has set.
        const QString own = QStringLiteral("(account = session_user)");
        statements
            << QStringLiteral(
                   "ALTER TABLE %1 ADD COLUMN account TEXT NOT NULL DEFAULT session_user")
                   .arg(table)
            << QStringLiteral("ALTER TABLE %1 ENABLE ROW LEVEL SECURITY").arg(table)
            << QStringLiteral("CREATE POLICY pupils_read_own ON %1 FOR SELECT TO %2 USING %3")
                   .arg(table, pupilsRole, own)
            << QStringLiteral("CREATE POLICY pupils_add_own ON %1 FOR INSERT TO %2 WITH CHECK %3")
                   .arg(table, pupilsRole, own)
            << QStringLiteral("CREATE POLICY teachers_read ON %1 FOR SELECT TO %2 USING (true)")
                   .arg(table, teachersRole)
            << QStringLiteral("CREATE POLICY teachers_add_own ON %1 FOR INSERT TO %2 "
                              "WITH CHECK %3")
                   .arg(table, teachersRole, own)
            << QStringLiteral("CREATE POLICY teachers_remove ON %1 FOR DELETE TO %2 USING (true)")
                   .arg(table, teachersRole);
    }
    const QString bothRoles = pupilsRole + QStringLiteral(", ") + teachersRole;
    statements << QStringLiteral("REVOKE ALL ON schema_version, attempts, mistakes FROM PUBLIC")
               << QStringLiteral("GRANT SELECT ON schema_version TO ") + bothRoles
               << QStringLiteral("GRANT SELECT, INSERT ON attempts, mistakes TO ") + pupilsRole
               << QStringLiteral("GRANT SELECT, INSERT, DELETE ON attempts, mistakes TO ") +
                      teachersRole;
    return statements;
}

struct MigrationStep
{
    QStringList statements;       // run on SQLite and PostgreSQL
    QStringList serverStatements; // then on PostgreSQL only
};

// The migrations, in order: the version each one brings the tables to is its
// place in the list, from 1. Written once, never changed: a new layout is a
// new step at the end. The same SQL runs on SQLite and PostgreSQL, but for
// what only a server shared by many accounts needs.
//
// Each mistake repeats its attempt's pupil and time, so that the questions of
// the progress windows (a pupil's mistakes by kind or by word over a span of
// dates, the class by kind) are answered from one index each without reading
// the attempts.
const QList<MigrationStep> &migrations()
{
    static const QList<MigrationStep> steps = {
        {{
             QStringLiteral("CREATE TABLE attempts ("
                            " id TEXT PRIMARY KEY,"
                            " pupil TEXT NOT NULL,"
                            " ended_ms BIGINT NOT NULL,"
                            " exercise_type TEXT NOT NULL,"
                            " exercise_number INTEGER NOT NULL,"
                            " exercise_text TEXT NOT NULL,"
                            " finished INTEGER NOT NULL,"
                            " seconds BIGINT NOT NULL,"
                            " keys_per_minute BIGINT NOT NULL,"
                            " hits BIGINT NOT NULL,"
                            " mistakes BIGINT NOT NULL)"),
             QStringLiteral("CREATE TABLE mistakes ("
                            " attempt_id TEXT NOT NULL REFERENCES attempts (id) ON DELETE CASCADE,"
                            " seq INTEGER NOT NULL,"
                            " pupil TEXT NOT NULL,"
                            " ended_ms BIGINT NOT NULL,"
                            " pos INTEGER NOT NULL,"
                            " expected TEXT NOT NULL,"
                            " typed TEXT NOT NULL,"
                            " kind TEXT NOT NULL,"
                            " word TEXT NOT NULL,"
                            " PRIMARY KEY (attempt_id, seq))"),
         },
         {}},
        {{
             QStringLiteral("CREATE INDEX attempts_by_pupil ON attempts (pupil, ended_ms)"),
             QStringLiteral("CREATE INDEX attempts_by_time ON attempts (ended_ms)"),
             QStringLiteral("CREATE INDEX mistakes_by_kind ON mistakes (pupil, ended_ms, kind)"),
             QStringLiteral("CREATE INDEX mistakes_by_word ON mistakes (pupil, ended_ms, word)"),
             QStringLiteral("CREATE INDEX mistakes_of_class ON mistakes (ended_ms, pupil, kind)"),
         },
         {}},
        {{}, serverRights()},
        // What "Mi progreso" asks of a pupil's whole history, answered in the
        // order of an index instead of sorting every mistake: the mistakes by
        // kind and by word, and the attempts finished.
        {{
             QStringLiteral("CREATE INDEX attempts_finished ON attempts (pupil, finished)"),
             QStringLiteral("CREATE INDEX mistakes_of_pupil_by_kind ON mistakes (pupil, kind)"),
             QStringLiteral("CREATE INDEX mistakes_of_pupil_by_word ON mistakes (pupil, word)"),
         },
         {}},
    };
    return steps;
}

// Taken by every program migrating a school's server, so that two machines
// starting at once do not both make the tables.
constexpr qint64 migrationLockKey = 0x4c6574726f; // "Letro"

QString nextConnectionName()
{
    static QAtomicInt counter;
    return QStringLiteral("letro-progress-%1").arg(counter.fetchAndAddRelaxed(1));
}

QString idText(const QUuid &id)
{
    return id.toString(QUuid::WithoutBraces);
}

// The WHERE clause choosing a pupil's rows in a span (of attempts or of
// mistakes: both have the pupil and the time), and its values in order.
QString spanClause(const QString &pupil, const DateSpan &span, QVariantList *values)
{
    QStringList conditions;
    if (!pupil.isEmpty()) {
        conditions << QStringLiteral("pupil = ?");
        values->append(pupil);
    }
    if (span.from.isValid()) {
        conditions << QStringLiteral("ended_ms >= ?");
        values->append(span.from.toMSecsSinceEpoch());
    }
    if (span.to.isValid()) {
        conditions << QStringLiteral("ended_ms < ?");
        values->append(span.to.toMSecsSinceEpoch());
    }
    return conditions.isEmpty()
               ? QString()
               : QStringLiteral(" WHERE ") + conditions.join(QStringLiteral(" AND "));
}

// Pupils' names in the order of a Spanish class list: accents and case
// second ("Ángela" before "Beatriz"), the same on SQLite and PostgreSQL.
QCollator pupilCollator()
{
    QCollator collator{QLocale(QLocale::Spanish, QLocale::Spain)};
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    return collator;
}

void sortAlphabetically(QStringList *names)
{
    const QCollator collator = pupilCollator();
    std::sort(names->begin(), names->end(), [&](const QString &a, const QString &b) {
        const int order = collator.compare(a, b);
        return order != 0 ? order < 0 : a < b;
    });
}

void setOutcome(Outcome *outcome, const Outcome &value)
{
    if (outcome) {
        *outcome = value;
    }
}

// Makes the pupil's file and its folder readable by the pupil alone.
Outcome makePrivateFile(const QString &path)
{
    const QFileInfo info(path);
    QDir folder = info.dir();
    if (!folder.exists()) {
        if (!folder.mkpath(QStringLiteral("."))) {
            return {Problem::Unwritable, folder.path()};
        }
        QFile::setPermissions(folder.path(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    if (info.exists()) {
        return {};
    }
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly,
                   QFile::ReadOwner | QFile::WriteOwner)) {
        const int error = errno;
        if (error == ENOSPC || error == EDQUOT) {
            return {Problem::DiskFull, QString()};
        }
        return {Problem::Unwritable, file.errorString()};
    }
    return {};
}

} // namespace

int latestSchemaVersion()
{
    return int(migrations().size());
}

ProgressDatabase::ProgressDatabase(Backend backend)
    : m_backend(backend), m_name(nextConnectionName())
{}

ProgressDatabase::~ProgressDatabase()
{
    close();
}

QSqlDatabase ProgressDatabase::connection() const
{
    return QSqlDatabase::database(m_name, false);
}

bool ProgressDatabase::isOpen() const
{
    return QSqlDatabase::contains(m_name) && connection().isOpen();
}

void ProgressDatabase::close()
{
    if (!QSqlDatabase::contains(m_name)) {
        return;
    }
    {
        QSqlDatabase db = connection();
        db.close();
    }
    QSqlDatabase::removeDatabase(m_name);
}

Outcome ProgressDatabase::open(const StoreSettings &settings)
{
    close();
    const QString driver =
        m_backend == Backend::SQLite ? QStringLiteral("QSQLITE") : QStringLiteral("QPSQL");
    if (!QSqlDatabase::isDriverAvailable(driver)) {
        return {m_backend == Backend::SQLite ? Problem::Unwritable : Problem::ServerUnreachable,
                QStringLiteral("falta el controlador %1 de Qt").arg(driver)};
    }
    Outcome outcome;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(driver, m_name);
        if (m_backend == Backend::SQLite) {
            outcome = makePrivateFile(settings.localPath);
            if (!outcome.ok()) {
                db = QSqlDatabase();
                close();
                return outcome;
            }
            db.setDatabaseName(settings.localPath);
            db.setConnectOptions(
                QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(qMax(0, settings.busyTimeoutMs)));
        } else {
            if (!settings.host.isEmpty()) {
                db.setHostName(settings.host);
            }
            if (settings.port > 0) {
                db.setPort(settings.port);
            }
            db.setDatabaseName(settings.database);
            db.setUserName(settings.user);
            db.setConnectOptions(postgresConnectOptions(settings));
        }
        if (!db.open()) {
            outcome = failure(db.lastError());
        } else if (m_backend == Backend::SQLite) {
            QSqlQuery pragma(db);
            if (!pragma.exec(QStringLiteral("PRAGMA foreign_keys = ON"))) {
                outcome = failure(pragma.lastError());
            }
        }
    }
    if (outcome.ok()) {
        m_lastState.clear();
        outcome = migrate();
        // The tables are missing or older and this account may not make
        // them, or the administrator has not prepared the server.
        static const QStringList notPrepared = {
            QStringLiteral("42501"), // insufficient_privilege
            QStringLiteral("42704"), // undefined_object: a role missing
            QStringLiteral("42P01"), // undefined_table
        };
        if (!outcome.ok() && m_backend == Backend::PostgreSQL &&
            notPrepared.contains(m_lastState)) {
            outcome.problem = Problem::ServerNotReady;
        }
    }
    if (!outcome.ok()) {
        close();
    }
    return outcome;
}

Outcome ProgressDatabase::failure(const QSqlError &error)
{
    if (m_backend == Backend::SQLite) {
        // SQLite's result code; the extended codes keep it in the low byte.
        switch (error.nativeErrorCode().toInt() & 0xff) {
        case 5: // SQLITE_BUSY
        case 6: // SQLITE_LOCKED
            return {Problem::Locked, error.text()};
        case 13: // SQLITE_FULL
            return {Problem::DiskFull, error.text()};
        case 11: // SQLITE_CORRUPT
        case 26: // SQLITE_NOTADB
            return {Problem::Damaged, error.text()};
        case 19: // SQLITE_CONSTRAINT
        case 20: // SQLITE_MISMATCH
        case 25: // SQLITE_RANGE
            return {Problem::AttemptRefused, error.text()};
        default:
            return {Problem::Unwritable, error.text()};
        }
    }
    // No SQL state means no answer from the server; class 08 is a broken
    // connection and 57P a server shutting down or gone.
    const QString state = error.nativeErrorCode();
    m_lastState = state;
    if (error.type() == QSqlError::ConnectionError || state.isEmpty() ||
        state.startsWith(QLatin1String("08")) || state.startsWith(QLatin1String("57P"))) {
        return {Problem::ServerUnreachable, error.text()};
    }
    // Classes 22 and 23: the attempt's own data, which no retry mends.
    if (state.startsWith(QLatin1String("22")) || state.startsWith(QLatin1String("23"))) {
        return {Problem::AttemptRefused, error.databaseText()};
    }
    return {Problem::ServerRefused, error.databaseText()};
}

Outcome ProgressDatabase::begin()
{
    QSqlQuery query(connection());
    // SQLite: the write lock is taken at once, so two programs wait for each
    // other (within the busy time-out) rather than fail half-way.
    const QString statement =
        m_backend == Backend::SQLite ? QStringLiteral("BEGIN IMMEDIATE") : QStringLiteral("BEGIN");
    if (!query.exec(statement)) {
        return failure(query.lastError());
    }
    return {};
}

void ProgressDatabase::rollback()
{
    QSqlQuery query(connection());
    query.exec(QStringLiteral("ROLLBACK"));
}

bool ProgressDatabase::select(QSqlQuery &query, const QString &sql, const QVariantList &values,
                              Outcome *outcome)
{
    query.setForwardOnly(true);
    bool done = query.prepare(sql);
    if (done) {
        for (int i = 0; i < values.size(); ++i) {
            query.bindValue(i, values.at(i));
        }
        done = query.exec();
    }
    setOutcome(outcome, done ? Outcome() : failure(query.lastError()));
    return done;
}

int ProgressDatabase::schemaVersion()
{
    int version = -1;
    return readVersion(&version).ok() ? version : -1;
}

Outcome ProgressDatabase::readVersion(int *version)
{
    QSqlQuery query(connection());
    const QString exists =
        m_backend == Backend::SQLite
            ? QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'table' AND "
                             "name = 'schema_version'")
            : QStringLiteral("SELECT count(*) FROM pg_catalog.pg_tables WHERE schemaname = "
                             "current_schema() AND tablename = 'schema_version'");
    Outcome outcome;
    if (!select(query, exists, {}, &outcome)) {
        return outcome;
    }
    if (!query.next()) {
        return failure(query.lastError());
    }
    if (query.value(0).toInt() == 0) {
        *version = 0;
        return {};
    }
    if (!select(query, QStringLiteral("SELECT COALESCE(MAX(version), 0) FROM schema_version"), {},
                &outcome)) {
        return outcome;
    }
    if (!query.next()) {
        return failure(query.lastError());
    }
    *version = query.value(0).toInt();
    return {};
}

Outcome ProgressDatabase::migrate()
{
    QSqlDatabase db = connection();
    // Up to date: nothing written, so a file another program holds opens.
    int current = 0;
    if (const Outcome read = readVersion(&current); !read.ok()) {
        return read;
    }
    if (current == latestSchemaVersion()) {
        return {};
    }
    if (current > latestSchemaVersion()) {
        return {m_backend == Backend::SQLite ? Problem::NewerSchema : Problem::NewerServerSchema,
                QString()};
    }
    Outcome outcome = begin();
    if (!outcome.ok()) {
        return outcome;
    }
    QSqlQuery query(db);
    auto run = [&](const QString &statement) {
        if (!query.exec(statement)) {
            outcome = failure(query.lastError());
            return false;
        }
        return true;
    };
    if (m_backend == Backend::PostgreSQL &&
        !run(QStringLiteral("SELECT pg_advisory_xact_lock(%1)").arg(migrationLockKey))) {
        rollback();
        return outcome;
    }
    // On a school's server the tables belong to the owner's role, whichever
    // of its members makes or upgrades them.
    if (m_backend == Backend::PostgreSQL &&
        (!select(query,
                 QStringLiteral("SELECT CASE WHEN EXISTS (SELECT 1 FROM pg_catalog.pg_roles"
                                " WHERE rolname = ?) THEN pg_has_role(?, 'MEMBER')"
                                " ELSE false END"),
                 {ownerRole, ownerRole}, &outcome) ||
         !query.next() ||
         (query.value(0).toBool() && !run(QStringLiteral("SET LOCAL ROLE ") + ownerRole)))) {
        rollback();
        return outcome.ok() ? failure(query.lastError()) : outcome;
    }
    // Made when the database was empty (or made meanwhile by another program).
    if ((current == 0 &&
         !run(QStringLiteral(
             "CREATE TABLE IF NOT EXISTS schema_version (version INTEGER NOT NULL)"))) ||
        !select(query, QStringLiteral("SELECT COALESCE(MAX(version), 0) FROM schema_version"), {},
                &outcome) ||
        !query.next()) {
        rollback();
        return outcome.ok() ? failure(query.lastError()) : outcome;
    }
    // Read again under the lock: another program may have migrated meanwhile.
    const int locked = query.value(0).toInt();
    query.finish();
    if (locked > latestSchemaVersion()) {
        rollback();
        return {m_backend == Backend::SQLite ? Problem::NewerSchema : Problem::NewerServerSchema,
                QString()};
    }
    const QList<MigrationStep> &steps = migrations();
    for (int version = locked + 1; version <= latestSchemaVersion(); ++version) {
        const MigrationStep &step = steps.at(version - 1);
        QStringList statements = step.statements;
        if (m_backend == Backend::PostgreSQL) {
            statements += step.serverStatements;
        }
        for (const QString &statement : statements) {
            if (!run(statement)) {
                rollback();
                return outcome;
            }
        }
        if (!run(QStringLiteral("INSERT INTO schema_version (version) VALUES (%1)").arg(version))) {
            rollback();
            return outcome;
        }
    }
    if (!run(QStringLiteral("COMMIT"))) {
        rollback();
        return outcome;
    }
    return {};
}

// The two INSERTs of an attempt, prepared once for as many attempts as one
// transaction writes.
struct ProgressDatabase::InsertStatements
{
    explicit InsertStatements(const QSqlDatabase &db) : attempt(db), mistake(db)
    {
        attempt.prepare(QStringLiteral(
            "INSERT INTO attempts (id, pupil, ended_ms, exercise_type, exercise_number,"
            " exercise_text, finished, seconds, keys_per_minute, hits, mistakes)"
            " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?) ON CONFLICT (id) DO NOTHING"));
        mistake.prepare(QStringLiteral(
            "INSERT INTO mistakes (attempt_id, seq, pupil, ended_ms, pos, expected, typed,"
            " kind, word) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    }

    QSqlQuery attempt;
    QSqlQuery mistake;
};

Outcome ProgressDatabase::insert(InsertStatements &statements, const AttemptRecord &attempt,
                                 bool *isNew)
{
    *isNew = false;
    QSqlQuery &query = statements.attempt;
    const QString id = idText(attempt.id);
    const qint64 ended = attempt.when.toMSecsSinceEpoch();
    const QVariantList values = {id,
                                 attempt.pupil,
                                 ended,
                                 attempt.exerciseType,
                                 attempt.exerciseNumber,
                                 attempt.text,
                                 attempt.finished ? 1 : 0,
                                 attempt.seconds,
                                 attempt.keysPerMinute,
                                 attempt.hits,
                                 attempt.mistakes};
    for (int i = 0; i < values.size(); ++i) {
        query.bindValue(i, values.at(i));
    }
    if (!query.exec()) {
        return failure(query.lastError());
    }
    if (query.numRowsAffected() <= 0) {
        return {};
    }
    QSqlQuery &mistakes = statements.mistake;
    for (int seq = 0; seq < attempt.mistakeList.size(); ++seq) {
        const MistakeRecord &mistake = attempt.mistakeList.at(seq);
        // A wrong key with no word around it (the mark that opens a text) is
        // kept with an empty word: a null one would be stored as NULL.
        QString word = wordAt(attempt.text, mistake.position);
        if (word.isNull()) {
            word = QStringLiteral("");
        }
        const QVariantList row = {id,
                                  seq,
                                  attempt.pupil,
                                  ended,
                                  mistake.position,
                                  mistake.expected,
                                  mistake.typed,
                                  mistakeKindCode(mistake.kind),
                                  word};
        for (int i = 0; i < row.size(); ++i) {
            mistakes.bindValue(i, row.at(i));
        }
        if (!mistakes.exec()) {
            return failure(mistakes.lastError());
        }
    }
    *isNew = true;
    return {};
}

Outcome ProgressDatabase::commit()
{
    QSqlQuery query(connection());
    if (!query.exec(QStringLiteral("COMMIT"))) {
        const Outcome outcome = failure(query.lastError());
        rollback();
        return outcome;
    }
    return {};
}

Outcome ProgressDatabase::write(const AttemptRecord &attempt, bool *added)
{
    qint64 count = 0;
    const Outcome outcome = writeAll({attempt}, &count);
    if (added) {
        *added = count > 0;
    }
    return outcome;
}

Outcome ProgressDatabase::writeAll(const QList<AttemptRecord> &attempts, qint64 *added)
{
    if (added) {
        *added = 0;
    }
    if (!isOpen()) {
        return {Problem::Unwritable, QStringLiteral("no abierta")};
    }
    Outcome outcome = begin();
    if (!outcome.ok()) {
        return outcome;
    }
    qint64 count = 0;
    {
        InsertStatements statements(connection());
        for (const AttemptRecord &attempt : attempts) {
            bool isNew = false;
            outcome = insert(statements, attempt, &isNew);
            if (!outcome.ok()) {
                // Ended while the statements are still there, so the server
                // frees them outside the failed transaction.
                rollback();
                return outcome;
            }
            count += isNew ? 1 : 0;
        }
    }
    outcome = commit();
    if (outcome.ok() && added) {
        *added = count;
    }
    return outcome;
}

Outcome ProgressDatabase::remove(const QUuid &id)
{
    if (!isOpen()) {
        return {Problem::Unwritable, QStringLiteral("no abierta")};
    }
    Outcome outcome = begin();
    if (!outcome.ok()) {
        return outcome;
    }
    QSqlQuery query(connection());
    for (const QString &statement : {QStringLiteral("DELETE FROM mistakes WHERE attempt_id = ?"),
                                     QStringLiteral("DELETE FROM attempts WHERE id = ?")}) {
        query.prepare(statement);
        query.addBindValue(idText(id));
        if (!query.exec()) {
            outcome = failure(query.lastError());
            rollback();
            return outcome;
        }
    }
    query.finish();
    return commit();
}

Outcome ProgressDatabase::removePupil(const QString &pupil, qint64 *removedAttempts)
{
    if (removedAttempts) {
        *removedAttempts = 0;
    }
    if (!isOpen()) {
        return {Problem::Unwritable, QStringLiteral("no abierta")};
    }
    Outcome outcome = begin();
    if (!outcome.ok()) {
        return outcome;
    }
    qint64 removed = 0;
    {
        QSqlQuery query(connection());
        for (const QString &statement : {QStringLiteral("DELETE FROM mistakes WHERE pupil = ?"),
                                         QStringLiteral("DELETE FROM attempts WHERE pupil = ?")}) {
            query.prepare(statement);
            query.addBindValue(pupil);
            if (!query.exec()) {
                outcome = failure(query.lastError());
                rollback();
                return outcome;
            }
            removed = query.numRowsAffected();
        }
    }
    outcome = commit();
    if (outcome.ok() && removedAttempts) {
        *removedAttempts = removed;
    }
    return outcome;
}

QStringList ProgressDatabase::pupils(const DateSpan &span, Outcome *outcome)
{
    QVariantList values;
    QSqlQuery query(connection());
    if (!select(query,
                QStringLiteral("SELECT DISTINCT pupil FROM attempts") +
                    spanClause(QString(), span, &values),
                values, outcome)) {
        return {};
    }
    QStringList names;
    while (query.next()) {
        names.append(query.value(0).toString());
    }
    sortAlphabetically(&names);
    return names;
}

QList<AttemptRecord> ProgressDatabase::attempts(const QString &pupil, const DateSpan &span,
                                                Outcome *outcome)
{
    QList<AttemptRecord> result;
    QVariantList values;
    const QString where = spanClause(pupil, span, &values);
    QSqlQuery query(connection());
    if (!select(query,
                QStringLiteral("SELECT id, pupil, ended_ms, exercise_type, exercise_number,"
                               " exercise_text, finished, seconds, keys_per_minute, hits,"
                               " mistakes FROM attempts") +
                    where + QStringLiteral(" ORDER BY ended_ms, id"),
                values, outcome)) {
        return {};
    }
    QHash<QString, qsizetype> byId;
    while (query.next()) {
        AttemptRecord attempt;
        attempt.id = QUuid::fromString(query.value(0).toString());
        attempt.pupil = query.value(1).toString();
        attempt.when = QDateTime::fromMSecsSinceEpoch(query.value(2).toLongLong(), Qt::UTC);
        attempt.exerciseType = query.value(3).toString();
        attempt.exerciseNumber = query.value(4).toInt();
        attempt.text = query.value(5).toString();
        attempt.finished = query.value(6).toInt() != 0;
        attempt.seconds = query.value(7).toLongLong();
        attempt.keysPerMinute = query.value(8).toLongLong();
        attempt.hits = query.value(9).toLongLong();
        attempt.mistakes = query.value(10).toLongLong();
        byId.insert(query.value(0).toString(), result.size());
        result.append(attempt);
    }
    if (!select(query,
                QStringLiteral("SELECT attempt_id, pos, expected, typed, kind FROM mistakes") +
                    where + QStringLiteral(" ORDER BY attempt_id, seq"),
                values, outcome)) {
        return {};
    }
    while (query.next()) {
        const auto found = byId.constFind(query.value(0).toString());
        if (found == byId.constEnd()) {
            continue;
        }
        MistakeRecord mistake;
        mistake.position = query.value(1).toInt();
        mistake.expected = query.value(2).toString();
        mistake.typed = query.value(3).toString();
        mistake.kind = mistakeKindFromCode(query.value(4).toString());
        result[*found].mistakeList.append(mistake);
    }
    return result;
}

qint64 ProgressDatabase::attemptCount(Outcome *outcome)
{
    QSqlQuery query(connection());
    if (!select(query, QStringLiteral("SELECT count(*) FROM attempts"), {}, outcome)) {
        return 0;
    }
    if (!query.next()) {
        setOutcome(outcome, failure(query.lastError()));
        return 0;
    }
    return query.value(0).toLongLong();
}

QList<MistakesPoint> ProgressDatabase::mistakesOverTime(const QString &pupil, const DateSpan &span,
                                                        int newest, Outcome *outcome)
{
    QVariantList values;
    QString sql = QStringLiteral("SELECT ended_ms, exercise_type, exercise_number, mistakes,"
                                 " finished FROM attempts") +
                  spanClause(pupil, span, &values) +
                  QStringLiteral(" ORDER BY ended_ms DESC, id DESC");
    if (newest >= 0) {
        sql += QStringLiteral(" LIMIT ?");
        values.append(newest);
    }
    QSqlQuery query(connection());
    if (!select(query, sql, values, outcome)) {
        return {};
    }
    QList<MistakesPoint> points;
    while (query.next()) {
        points.append({QDateTime::fromMSecsSinceEpoch(query.value(0).toLongLong(), Qt::UTC),
                       query.value(1).toString(), query.value(2).toInt(),
                       query.value(3).toLongLong(), query.value(4).toInt() != 0});
    }
    std::reverse(points.begin(), points.end());
    return points;
}

qint64 ProgressDatabase::finishedCount(const QString &pupil, const DateSpan &span, Outcome *outcome)
{
    QVariantList values;
    QString where = spanClause(pupil, span, &values);
    where += where.isEmpty() ? QStringLiteral(" WHERE ") : QStringLiteral(" AND ");
    where += QStringLiteral("finished <> 0");
    QSqlQuery query(connection());
    if (!select(query, QStringLiteral("SELECT count(*) FROM attempts") + where, values, outcome)) {
        return 0;
    }
    if (!query.next()) {
        setOutcome(outcome, failure(query.lastError()));
        return 0;
    }
    return query.value(0).toLongLong();
}

QList<KindCount> ProgressDatabase::mistakesByKind(const QString &pupil, const DateSpan &span,
                                                  Outcome *outcome)
{
    QVariantList values;
    QSqlQuery query(connection());
    if (!select(query,
                QStringLiteral("SELECT kind, count(*) FROM mistakes") +
                    spanClause(pupil, span, &values) + QStringLiteral(" GROUP BY kind"),
                values, outcome)) {
        return {};
    }
    QList<KindCount> counts;
    for (Mistake kind : mistakeKinds()) {
        counts.append({kind, 0});
    }
    while (query.next()) {
        const Mistake kind = mistakeKindFromCode(query.value(0).toString());
        for (KindCount &count : counts) {
            if (count.kind == kind) {
                count.count = query.value(1).toLongLong();
            }
        }
    }
    return counts;
}

QList<WordCount> ProgressDatabase::mostMissedWords(const QString &pupil, const DateSpan &span,
                                                   int limit, Outcome *outcome)
{
    QVariantList values;
    QString where = spanClause(pupil, span, &values);
    where += where.isEmpty() ? QStringLiteral(" WHERE ") : QStringLiteral(" AND ");
    where += QStringLiteral("word <> ''");
    QSqlQuery query(connection());
    // Ordered here rather than by the database: SQLite and PostgreSQL
    // collate text differently.
    if (!select(query,
                QStringLiteral("SELECT word, count(*) FROM mistakes") + where +
                    QStringLiteral(" GROUP BY word"),
                values, outcome)) {
        return {};
    }
    QList<WordCount> words;
    while (query.next()) {
        words.append({query.value(0).toString(), query.value(1).toLongLong()});
    }
    std::sort(words.begin(), words.end(), [](const WordCount &a, const WordCount &b) {
        return a.count != b.count ? a.count > b.count : a.word < b.word;
    });
    if (limit >= 0 && words.size() > limit) {
        words.resize(limit);
    }
    return words;
}

QList<ClassCell> ProgressDatabase::classTable(const DateSpan &span, Outcome *outcome)
{
    QVariantList values;
    QSqlQuery query(connection());
    if (!select(query,
                QStringLiteral("SELECT pupil, kind, count(*) FROM mistakes") +
                    spanClause(QString(), span, &values) + QStringLiteral(" GROUP BY pupil, kind"),
                values, outcome)) {
        return {};
    }
    QList<ClassCell> cells;
    while (query.next()) {
        const Mistake kind = mistakeKindFromCode(query.value(1).toString());
        if (kind != Mistake::None) {
            cells.append({query.value(0).toString(), kind, query.value(2).toLongLong()});
        }
    }
    const QCollator collator = pupilCollator();
    std::stable_sort(cells.begin(), cells.end(), [&](const ClassCell &a, const ClassCell &b) {
        if (a.pupil != b.pupil) {
            const int order = collator.compare(a.pupil, b.pupil);
            return order != 0 ? order < 0 : a.pupil < b.pupil;
        }
        return int(a.kind) < int(b.kind);
    });
    return cells;
}

} // namespace letro::progress
