// Letro program folders: the folder holding a `letro` program with its
// "gifs" folder and the three exercise folders. The editor works on one of
// them; when the one it was installed with belongs to the system, the teacher
// makes a copy of Letro of their own, with a menu entry that starts it.
#pragma once

#include "folder/journal.h"

#include <QMap>
#include <QString>
#include <QStringList>

#include <optional>
#include <sys/types.h>

namespace letro::editor {

// The editor works on the teacher's folder through the folder layer and
// names its types as its own.
using namespace letro::folder;

// The name of the menu entries of the teachers' own copies; each entry adds
// its folder to it (copyEntryName).
inline const char *const CopyEntryName = "Letro (mis dictados)";

// dpkg's list of the files the installed package put on the system.
QString packageFileList();

// True when `folder` is the Letro the installed package put there: its
// program is one of the files in `fileList`. A package upgrade would
// overwrite any change made there, so it is never edited in place.
bool isPackageFolder(const QString &folder, const QString &fileList = packageFileList());

// The teacher's own user: the one who called sudo or pkexec when the editor
// runs as root, else the process's own.
uid_t teacherUser();

// True when `folder` holds a `letro` program.
bool isLetroFolder(const QString &folder);

// True when the editor may change the exercises of `folder`: the teacher's
// own user (teacherUser) can write the folder and each exercise folder in it.
bool isWritableFolder(const QString &folder);

// Why the editor only shows `folder` and changes nothing in it, or "" when
// it may change it: the package's own folder, or one the teacher cannot
// write.
QString whyOnlyShown(const QString &folder, const QString &fileList = packageFileList());

// The Letro folder the editor was installed with: its own folder.
QString installedFolder();

// The folder the editor opens: the one given on the command line, else the
// last writable one it worked on (the teacher's copy), else its own.
QString startFolder(const QString &argument);
// Remembers a writable folder for startFolder.
void rememberFolder(const QString &folder);

// Copies the Letro of `source` (the program, the pictures, the exercises and
// their recordings, each file with its time) into a new folder "Letro"
// inside `parent` ("Letro 2", "Letro 3"... when that is taken). The copy is
// made under a hidden name and given its own name only when complete, so a
// failed copy leaves nothing behind. The free space is checked first. A
// change cut short in an exercise folder of the source (one that could not
// be put right there, on a read-only disk say) is copied with its journal
// and hidden files and put right in the copy; then each exercise folder of
// the copy is checked against what the source holds once put right, and the
// copy is refused when it differs. *made is the new folder; *note (may be
// null) tells what was put right in the copy, or is empty. `progress` (may
// be null) counts the bytes copied and can cancel the copy.
QString copyLetro(const QString &source, const QString &parent, QString *made,
                  Progress *progress = nullptr, QString *note = nullptr);

// What an exercise folder holding the entries `names` holds once a change
// cut short in it is put right by `journal` (none: nothing to put right):
// each name it will have, with the name its file has now.
QMap<QString, QString> putRightNames(const QStringList &names,
                                     const std::optional<Journal> &journal);

// Why the exercise folder `copy` does not hold what the exercise folder
// `source` holds once put right, or "" when it does: the same names, each
// file of the same size and time, and every dictation the cut-short change
// did not touch the same as the editor reads it.
QString copyDifference(const QString &source, const QString &copy);

// A copy cut short by a crash leaves its hidden folder in `parent`; this
// removes such leftovers (not a copy another editor is making now) and says
// so in one Spanish sentence, or returns "" when there were none.
QString removeUnfinishedCopies(const QString &parent);

// How many bytes a copy of the Letro of `source` takes on a disk of
// `blockSize`-byte blocks: each file takes whole blocks (1: the bytes alone).
qint64 copySize(const QString &source, qint64 blockSize = 1);

// The reason a copy of `needed` bytes does not fit where `available` bytes
// are free in `parent`, or "" when it does (with a little room to spare).
QString spaceProblem(qint64 needed, qint64 available, const QString &parent);

// Where the menu entry of the copy in `folder` goes (in the user's
// applications folder, $XDG_DATA_HOME/applications): a name of its own for
// each folder, so that every copy keeps its entry.
QString menuEntryPath(const QString &folder);

// The name the menu shows for the copy in `folder`: "Letro (mis dictados,
// ~/Letro 2)", so two copies can be told apart; "Letro (mis dictados, …)"
// for a folder not chosen yet (an empty one).
QString copyEntryName(const QString &folder);

// The menu entry that starts the Letro of `folder`.
QString menuEntryText(const QString &folder);

// True when writing the entry of `folder` would replace a different entry
// already there (the teacher is asked first).
bool menuEntryWouldReplace(const QString &folder);

// Writes the menu entry for the Letro of `folder`.
QString writeMenuEntry(const QString &folder);

} // namespace letro::editor
