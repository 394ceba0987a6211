// Letro program folders: the folder holding a `letro` program with its
// "gifs" folder and the three exercise folders. The editor works on one of
// them; when the one it was installed with belongs to the system, the teacher
// makes a copy of Letro of their own, with a menu entry that starts it.
#pragma once

#include <QString>

namespace letro::editor {

// The name of the menu entry of the teacher's own copy.
inline const char *const CopyEntryName = "Letro (mis dictados)";

// True when `folder` holds a `letro` program.
bool isLetroFolder(const QString &folder);

// True when the editor may change the exercises of `folder`: the folder and
// each exercise folder in it can be written.
bool isWritableFolder(const QString &folder);

// The Letro folder the editor was installed with: its own folder.
QString installedFolder();

// The folder the editor opens: the one given on the command line, else the
// last writable one it worked on (the teacher's copy), else its own.
QString startFolder(const QString &argument);
// Remembers a writable folder for startFolder.
void rememberFolder(const QString &folder);

// Copies the Letro of `source` (the program, the pictures, the exercises and
// their recordings) into a new folder "Letro" inside `parent` ("Letro 2",
// "Letro 3"... when that is taken). The copy is made under a hidden name and
// given its own name only when complete, so a failed copy leaves nothing
// behind. *made is the new folder.
QString copyLetro(const QString &source, const QString &parent, QString *made);

// Where the menu entry of the teacher's own copy goes (in the user's
// applications folder, $XDG_DATA_HOME/applications).
QString menuEntryPath();

// The menu entry "Letro (mis dictados)" that starts the Letro of `folder`.
QString menuEntryText(const QString &folder);

// Writes the menu entry for the Letro of `folder`, replacing an earlier one.
QString writeMenuEntry(const QString &folder);

} // namespace letro::editor
