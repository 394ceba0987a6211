// A short note about the pupil's history ("the results cannot be kept", "your
// results are kept as ..."): a balloon over the window that goes away by
// itself after a while, or at a click, and is read out by the screen reader
// too. It never takes the focus nor waits for an answer, and the pupil's keys
// leave it up (a tooltip would vanish at the next key), so the pupil reads it
// while going on typing.
#pragma once

#include <QString>

class QLabel;
class QWidget;

namespace letro {

// How long the note stays up.
constexpr int ProgressNoteMilliseconds = 10000;

// Shows `text` over `window` and speaks it; a note still up shows the new
// text instead. An empty text says nothing. Returns the note, named
// "ProgressNote", a child of `window`.
QLabel *showProgressNote(QWidget *window, const QString &text);

} // namespace letro
