// The class list of an account a class shares: the pupils' names, one per
// line, kept by the teacher with the editor. When it exists, the pupil's
// window asks who is typing; without it, the pupil is the desktop user.
#pragma once

#include <QString>
#include <QStringList>

namespace letro::progress {

// The longest name kept, and the most names a list holds.
constexpr int classNameMaxLength = 60;
constexpr int classListMaxNames = 200;

// clase.txt beside the pupil's results, in the data folder of Letro.
QString defaultClassListPath();

// The names as they are kept: blanks at the ends dropped and runs of blanks
// inside made one, empty lines and control characters dropped, each name cut
// to classNameMaxLength, a name repeated (in any case) kept once, in the
// order given, at most classListMaxNames of them.
QStringList cleanClassList(const QStringList &names);

struct ClassList
{
    QStringList names;
    QString problem; // why the list could not be read, in Spanish; empty when read
};

// The list at `path`, cleaned. A missing file is an empty list, not a problem.
ClassList readClassList(const QString &path);

// Writes the cleaned `names` to `path` whole or not at all (its folder made
// when missing); an empty list removes the file, so nothing is asked. Returns
// why it could not, in Spanish, or an empty string.
QString writeClassList(const QString &path, const QStringList &names);

} // namespace letro::progress
