// Every hidden name Letro's programs give a file in a folder of dictations
// begins with ".letro-", and this is the one place they are made and told
// apart: the journal, the names files have half-way through a change, new
// files and recordings not yet in place, a probe of whether the folder can
// be written. Putting a folder right knows every name a change cut short
// can leave; a change refuses to run beside a ".letro-" name it does not own.
#pragma once

#include <QString>

namespace letro::folder {

inline const QString HiddenPrefix = QStringLiteral(".letro-");

// The journal's name in the folder it changes, and the name it is written
// under before it takes that name.
inline const QString JournalName = QStringLiteral(".letro-diario");
inline const QString PendingJournalName = QStringLiteral(".letro-diario.nuevo");

// Hidden names that say what they hold: ".letro-mover-57-a-56.lento.wav"
// for 57.lento.wav on its way to 56.lento.wav, ".letro-borrar-57.wav" for a
// file that goes, ".letro-nuevo-57" for the new file that becomes 57.
QString movingName(const QString &from, const QString &to);
QString deletingName(const QString &from);
QString newFileName(const QString &to);
// True for a name newFileName gives.
bool isNewFileName(const QString &name);

// The name a program writes a recording under before it is complete and
// takes `fileName`: ".letro-parte-57.wav" for "57.wav", and
// ".letro-parte-nuevo-57.wav" for the new recording ".letro-nuevo-57.wav".
QString partName(const QString &fileName);

// A file made only to learn whether a folder can be written, by process
// `pid`: ".letro-prueba-<pid>-<n>".
QString probeName(qint64 pid, int n);

// True for every name beginning ".letro-".
bool isHiddenName(const QString &name);

// True for the names a change cut short can leave with no journal to say
// what they hold: new files and recordings never put in place, a journal
// never finished, a probe. Putting the folder right removes them.
bool isLeftoverName(const QString &name);

// Why a change cannot run beside the hidden file `name` it does not own,
// and what the teacher can do, in Spanish.
QString foreignNameProblem(const QString &name);

} // namespace letro::folder
