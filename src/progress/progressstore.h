// The pupil's results wherever they are kept. With the pupil's own SQLite
// file, an attempt is written there. With a school's server, it is written
// there; while the server cannot be reached (or refuses), it waits in the
// pupil's file and is sent with the next one, each attempt once: the server
// ignores an id it already has, so an attempt sent again after a connection
// dropped during its commit is not counted twice. An attempt that cannot be
// written anywhere (a full disk, a file another program holds) is held in
// memory and tried again with the next. An attempt whose own data the
// database refuses (which no retry mends) is said and set aside, so that it
// never holds up the attempts after it: the server's refusal leaves it in the
// pupil's file, the pupil's file's drops it.
//
// Used from one thread, the one that made it (see ProgressRecorder).
#pragma once

#include "database.h"

#include <memory>

namespace letro::progress {

class ProgressStore
{
public:
    explicit ProgressStore(const StoreSettings &settings);
    ~ProgressStore();

    const StoreSettings &settings() const { return m_settings; }

    // Keeps the attempt, and tries again what waits. The outcome is the
    // trouble met (the pupil's file's before the server's); the attempt is
    // never dropped for it, unless its own data is refused (AttemptRefused).
    Outcome record(const AttemptRecord &attempt);
    // Tries again what waits: attempts held in memory, and those in the
    // pupil's file waiting for the server.
    Outcome flush();

    // Attempts held in memory, not yet written anywhere.
    int heldCount() const { return int(m_held.size()); }
    QList<QUuid> heldIds() const;
    // Attempts waiting in the pupil's file for the server (0 without one).
    qint64 queuedCount();

    // The database results are read from: the server's, or the pupil's file
    // without a server. Null, with the trouble in `outcome`, when it cannot
    // be opened.
    ProgressDatabase *reader(Outcome *outcome);

private:
    Outcome openLocal();
    Outcome openServer();
    Outcome sendToServer(Outcome *localOutcome);
    Outcome writeHeldLocally();

    StoreSettings m_settings;
    ProgressDatabase m_local;
    std::unique_ptr<ProgressDatabase> m_server;
    QList<AttemptRecord> m_held;
    bool m_localDamaged = false; // a write found the file damaged: set it aside
};

// Where a damaged file is set aside: beside it, named with the time (UTC).
QString setAsidePath(const QString &path, const QDateTime &when);

} // namespace letro::progress
