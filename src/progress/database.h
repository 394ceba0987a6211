// One connection to a store of results, SQLite or PostgreSQL, through Qt SQL:
// the tables and their migrations, writing an attempt and the questions the
// progress windows ask. A connection belongs to the thread that opened it, so
// a ProgressDatabase is made, used and destroyed on one thread.
#pragma once

#include "attemptrecord.h"
#include "problems.h"
#include "storesettings.h"

#include <QDateTime>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QVariantList>

class QSqlError;
class QSqlQuery;

namespace letro::progress {

// The newest table layout this program knows.
int latestSchemaVersion();

// A span of time: from `from` included to `to` left out. An invalid end
// leaves that side open.
struct DateSpan
{
    QDateTime from;
    QDateTime to;
};

// One attempt on the chart of mistakes over time.
struct MistakesPoint
{
    QDateTime when;
    QString exerciseType;
    int exerciseNumber = 0;
    qint64 mistakes = 0;
    bool finished = false;

    bool operator==(const MistakesPoint &other) const
    {
        return when == other.when && exerciseType == other.exerciseType &&
               exerciseNumber == other.exerciseNumber && mistakes == other.mistakes &&
               finished == other.finished;
    }
};

struct KindCount
{
    Mistake kind = Mistake::None;
    qint64 count = 0;

    bool operator==(const KindCount &other) const
    {
        return kind == other.kind && count == other.count;
    }
};

struct WordCount
{
    QString word;
    qint64 count = 0;

    bool operator==(const WordCount &other) const
    {
        return word == other.word && count == other.count;
    }
};

// One cell of the class table: a pupil's mistakes of one kind.
struct ClassCell
{
    QString pupil;
    Mistake kind = Mistake::None;
    qint64 count = 0;

    bool operator==(const ClassCell &other) const
    {
        return pupil == other.pupil && kind == other.kind && count == other.count;
    }
};

class ProgressDatabase
{
public:
    explicit ProgressDatabase(Backend backend);
    ~ProgressDatabase();
    ProgressDatabase(const ProgressDatabase &) = delete;
    ProgressDatabase &operator=(const ProgressDatabase &) = delete;

    Backend backend() const { return m_backend; }

    // Opens the SQLite file at `path` (made, mode 0600, when missing, with its
    // folder) or the server of `settings`, and brings its tables up to date.
    Outcome open(const StoreSettings &settings);
    void close();
    bool isOpen() const;

    // The table layout's version: 0 for an empty database, -1 when unreadable.
    int schemaVersion();

    // Writes the attempt and its mistakes in one transaction. An attempt
    // whose id is already there is left as it is; `added` tells which.
    Outcome write(const AttemptRecord &attempt, bool *added = nullptr);
    // Writes every attempt with its mistakes in one transaction: all or
    // none. An attempt whose id is already there (or comes twice) is left as
    // it is and not counted in `added`, so results brought in again from
    // another machine are not counted twice.
    Outcome writeAll(const QList<AttemptRecord> &attempts, qint64 *added = nullptr);
    // Removes an attempt and its mistakes.
    Outcome remove(const QUuid &id);
    // Removes every attempt and mistake of `pupil` in one transaction;
    // `removedAttempts` tells how many attempts went.
    Outcome removePupil(const QString &pupil, qint64 *removedAttempts = nullptr);

    // The pupils with attempts in `span`, in alphabetical order.
    QStringList pupils(const DateSpan &span, Outcome *outcome);

    // The attempts of `pupil` (every pupil's when empty) in `span`, oldest
    // first, with their mistakes.
    QList<AttemptRecord> attempts(const QString &pupil, const DateSpan &span, Outcome *outcome);
    qint64 attemptCount(Outcome *outcome);

    // The attempts of `pupil` in `span`, oldest first: the `newest` last of
    // them (every one when negative).
    QList<MistakesPoint> mistakesOverTime(const QString &pupil, const DateSpan &span, int newest,
                                          Outcome *outcome);
    // How many of the attempts of `pupil` in `span` were finished.
    qint64 finishedCount(const QString &pupil, const DateSpan &span, Outcome *outcome);
    // Every kind, in the enumeration's order, those never made with 0.
    QList<KindCount> mistakesByKind(const QString &pupil, const DateSpan &span, Outcome *outcome);
    // The words most often missed, most first (ties in alphabetical order).
    QList<WordCount> mostMissedWords(const QString &pupil, const DateSpan &span, int limit,
                                     Outcome *outcome);
    // Each pupil's mistakes of each kind made, pupils in alphabetical order.
    QList<ClassCell> classTable(const DateSpan &span, Outcome *outcome);

    QSqlDatabase connection() const;

private:
    Outcome migrate();
    Outcome readVersion(int *version);
    Outcome begin();
    Outcome commit();
    // Inserts the attempt and its mistakes inside a transaction begun
    // before, with the two statements `statements` prepares once.
    struct InsertStatements;
    Outcome insert(InsertStatements &statements, const AttemptRecord &attempt, bool *isNew);
    Outcome failure(const QSqlError &error);
    // Prepares `sql`, binds `values` to its placeholders in order and runs
    // it, for reading forward once; on failure `outcome` says why.
    bool select(QSqlQuery &query, const QString &sql, const QVariantList &values, Outcome *outcome);
    void rollback();

    Backend m_backend;
    QString m_name;
    QString m_lastState; // the SQL state of the server's last error
};

} // namespace letro::progress
