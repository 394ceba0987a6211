// What can go wrong while the pupil's results are kept, and what the pupil is
// told about it, in Spanish. Every trouble keeps the program teaching; the
// message says what happens to the results.
#pragma once

#include <QString>

namespace letro::progress {

enum class Problem {
    None,
    Damaged,           // the local file was not a database: set aside, a new one begun
    Locked,            // another program holds the local file: written later
    NewerSchema,       // written by a newer Letro: left as it is
    NewerServerSchema, // the server's tables are a newer Letro's: results wait here
    DiskFull,          // no room left: held until there is
    ServerUnreachable, // the school's server cannot be reached: results wait here
    ServerRefused,     // the server refused the results: they wait here
    ServerNotReady,    // the server's tables are missing or older, and this account
                       // may not make them: results wait here
    Unwritable,        // the local file cannot be opened or written
};

struct Outcome
{
    Problem problem = Problem::None;
    QString detail; // the damaged file's new name, or the error's own words

    bool ok() const { return problem == Problem::None; }
};

// The one message the pupil sees (and hears) for a trouble; empty for None.
QString problemMessage(const Outcome &outcome);

} // namespace letro::progress
