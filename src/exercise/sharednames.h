// The names and limits that Letro, letro-grabar and the editor must agree
// on, kept in one place: the folders of the three exercise types, the names
// of an exercise's recordings, the range of the synthetic voice's speed, and
// the Spanish words for why a file could not be written.
#pragma once

#include <QString>
#include <QStringList>

namespace letro {

// The exercise types' folders beside the program, in the order of the type
// buttons: 0 "Palabras", 1 "Frase corta", 2 "Frase larga".
constexpr int ExerciseTypeCount = 3;
QStringList exerciseTypeFolders();
// The folder of type `type` (0..2); any other value gives "Palabras".
QString exerciseTypeFolder(int type);

// An exercise's recordings beside its text file: ".../57" -> ".../57.wav"
// and ".../57.lento.wav".
QString recordingPathFor(const QString &textPath);
QString slowRecordingPathFor(const QString &textPath);

// The synthetic voice's speed, in words per minute.
constexpr int MinWordsPerMinute = 40;
constexpr int MaxWordsPerMinute = 400;
constexpr int DefaultWordsPerMinute = 110;

} // namespace letro
