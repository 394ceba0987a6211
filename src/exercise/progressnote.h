// A short note about the pupil's history ("the results cannot be kept", "your
// results are kept as ..."): a balloon over the window that goes away by
// itself, read out by the screen reader too. It never takes the focus nor
// waits for an answer, so the pupil goes on typing.
#pragma once

#include <QString>

class QWidget;

namespace letro {

// How long the note stays up.
constexpr int ProgressNoteMilliseconds = 8000;

// Shows `text` over `window` and speaks it. An empty text says nothing.
void showProgressNote(QWidget *window, const QString &text);

} // namespace letro
