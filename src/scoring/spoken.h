// What a screen reader says for the figures and pictures of the main window:
// the names that carry a figure's value, the names of the feedback pictures,
// and the sentence spoken when an exercise is finished. Sighted pupils read
// the same facts from the captions and pictures; these texts follow them.
#pragma once

#include <QString>

namespace letro {

// The four figure buttons: the counters of the attempt and the tallies.
enum class Figure { Hits, Mistakes, CleanTally, FaultyTally };

// "Aciertos: 12", "Errores: 3", "Ejercicios sin faltas: 2",
// "Ejercicios con faltas: 0": the meaning and the number the caption shows
// (a caption that shows no number, such as the tallies' first text, is 0).
QString figureName(Figure figure, const QString &caption);

// The yes/no picture after a key: "Bien" or "Error".
QString keyPictureName(bool correct);

// The verdict picture after a finish: "Sin faltas", "1 falta", "3 faltas".
QString verdictName(qint64 mistakes);

// Spoken at the end of an exercise: the verdict and the summary line, the
// line without its framing asterisks, e.g.
// "Ejercicio terminado. 2 faltas. 41 Seg. - 214(p/m) - 2 Errores - 150 Aciertos".
QString finishAnnouncement(qint64 mistakes, const QString &summary);

// Spoken when an exercise has been chosen and loaded, e.g.
// "Palabras, ejercicio 3".
QString choiceAnnouncement(const QString &typeName, int number);

// Spoken when a window beside the main window, or the record box, appears or
// goes: "Acentos: abierto", "Lo escrito hasta ahora: cerrado". `name` is what
// the window is called on the screen.
QString shownAnnouncement(const QString &name, bool shown);

} // namespace letro
