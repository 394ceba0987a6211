#include "progressstore.h"

#include <QFile>

namespace letro::progress {

namespace {

void keepFirst(Outcome *first, const Outcome &next)
{
    if (first->ok() && !next.ok()) {
        *first = next;
    }
}

} // namespace

QString setAsidePath(const QString &path, const QDateTime &when)
{
    return path + QStringLiteral(".dañado-") +
           when.toUTC().toString(QStringLiteral("yyyyMMdd-HHmmss"));
}

ProgressStore::ProgressStore(const StoreSettings &settings)
    : m_settings(settings), m_local(Backend::SQLite)
{
    if (settings.backend == Backend::PostgreSQL) {
        m_server = std::make_unique<ProgressDatabase>(Backend::PostgreSQL);
    }
}

ProgressStore::~ProgressStore() = default;

Outcome ProgressStore::openLocal()
{
    if (m_local.isOpen() && !m_localDamaged) {
        return {};
    }
    Outcome outcome =
        m_localDamaged ? Outcome{Problem::Damaged, QString()} : m_local.open(m_settings);
    if (outcome.problem != Problem::Damaged) {
        return outcome;
    }
    // Set aside whole, with its journal (which belongs to it and would
    // otherwise be played into the new file), and begin a new one.
    m_local.close();
    const QString path = m_settings.localPath;
    const QString aside = setAsidePath(path, QDateTime::currentDateTimeUtc());
    for (const QString &suffix : {QStringLiteral("-journal"), QStringLiteral("-wal")}) {
        if (QFile::exists(path + suffix)) {
            QFile::rename(path + suffix, aside + suffix);
        }
    }
    QFile file(path);
    if (!file.rename(aside)) {
        return {Problem::Unwritable, file.errorString()};
    }
    m_localDamaged = false;
    const Outcome fresh = m_local.open(m_settings);
    return fresh.ok() ? Outcome{Problem::Damaged, aside} : fresh;
}

Outcome ProgressStore::openServer()
{
    if (m_server->isOpen()) {
        return {};
    }
    return m_server->open(m_settings);
}

Outcome ProgressStore::record(const AttemptRecord &attempt)
{
    m_held.append(attempt);
    return flush();
}

Outcome ProgressStore::flush()
{
    // A trouble with the pupil's file comes first: it is what may keep an
    // attempt from being kept at all.
    Outcome local;
    Outcome server;
    if (m_server) {
        server = sendToServer(&local);
        if (!server.ok() && server.problem != Problem::AttemptRefused) {
            // Whatever broke, the next try starts on a new connection.
            m_server->close();
        }
    }
    if (!m_held.isEmpty()) {
        keepFirst(&local, writeHeldLocally());
    }
    return local.ok() ? server : local;
}

Outcome ProgressStore::sendToServer(Outcome *localOutcome)
{
    Outcome outcome = openServer();
    if (!outcome.ok()) {
        return outcome;
    }
    Outcome refused;
    // First what waits in the pupil's file, oldest first, so the server
    // receives the attempts in the order they were made.
    if (QFile::exists(m_settings.localPath) || m_localDamaged) {
        *localOutcome = openLocal();
        if (m_local.isOpen()) {
            Outcome read;
            const QList<AttemptRecord> queued = m_local.attempts(QString(), {}, &read);
            keepFirst(localOutcome, read);
            for (const AttemptRecord &attempt : queued) {
                outcome = m_server->write(attempt);
                if (outcome.problem == Problem::AttemptRefused) {
                    // Kept in the pupil's file; the ones after it still go.
                    keepFirst(&refused, outcome);
                    continue;
                }
                if (!outcome.ok()) {
                    return outcome;
                }
                // Removed once the server has it; should that fail, it is
                // sent again later and the server ignores it.
                keepFirst(localOutcome, m_local.remove(attempt.id));
            }
        }
    }
    for (auto attempt = m_held.begin(); attempt != m_held.end();) {
        outcome = m_server->write(*attempt);
        if (outcome.problem == Problem::AttemptRefused) {
            // Left held: it goes to the pupil's file with what could not be sent.
            keepFirst(&refused, outcome);
            ++attempt;
            continue;
        }
        if (!outcome.ok()) {
            return outcome;
        }
        attempt = m_held.erase(attempt);
    }
    return refused;
}

Outcome ProgressStore::writeHeldLocally()
{
    Outcome first = openLocal();
    if (!m_local.isOpen()) {
        return first;
    }
    while (!m_held.isEmpty()) {
        const Outcome written = m_local.write(m_held.constFirst());
        if (!written.ok()) {
            keepFirst(&first, written);
            if (written.problem == Problem::Damaged) {
                m_localDamaged = true;
            }
            if (written.problem != Problem::AttemptRefused) {
                break;
            }
            // No retry can store this one: said, and set aside so that it
            // does not hold up the attempts after it.
        }
        m_held.removeFirst();
    }
    return first;
}

QList<QUuid> ProgressStore::heldIds() const
{
    QList<QUuid> ids;
    for (const AttemptRecord &attempt : m_held) {
        ids.append(attempt.id);
    }
    return ids;
}

qint64 ProgressStore::queuedCount()
{
    if (!m_server || !QFile::exists(m_settings.localPath)) {
        return 0;
    }
    if (!openLocal().ok() && !m_local.isOpen()) {
        return 0;
    }
    Outcome outcome;
    return m_local.attemptCount(&outcome);
}

ProgressDatabase *ProgressStore::reader(Outcome *outcome)
{
    if (m_server) {
        *outcome = openServer();
        return m_server->isOpen() ? m_server.get() : nullptr;
    }
    *outcome = openLocal();
    return m_local.isOpen() ? &m_local : nullptr;
}

} // namespace letro::progress
