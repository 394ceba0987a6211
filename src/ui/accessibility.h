// How the windows reach a screen reader (Orca, through AT-SPI) beyond what
// Qt's own widgets say of themselves:
//
//   - announce() speaks a message (a mistake, a hint, the end of an
//     exercise, the exercise chosen) while the keyboard focus stays where it
//     is, each after the one before (announcementqueue.h);
//   - the rich-text boxes are single text objects, editable or read-only,
//     with the text interface, where Qt would show a nameless pane;
//   - a combo box given an accessible name keeps it as its name, its text
//     being its value (Qt on Linux would name it by its current text);
//   - a label marked silent is left out of what is read (the title of the
//     introduction window, drawn letter by letter, is read once as a word).
//
// None of it changes what is drawn.
#pragma once

#include "announcementqueue.h"

#include <QString>

class QComboBox;
class QWidget;

namespace letro {

// Makes Qt build the program's own accessible interfaces. Harmless to call
// more than once; the windows call it before making their controls.
void installAccessibleInterfaces();

// Speaks `text` from `widget`'s window without moving the focus, once the
// messages said before it have been spoken. An empty text says nothing.
void announce(QWidget *widget, const QString &text, Announcement kind = Announcement::Message);

// The queue every announcement of `window` goes through, made the first time
// it is asked for.
AnnouncementQueue *announcementsOf(QWidget *window);

// Leaves a label out of what a screen reader reads.
void silenceForScreenReaders(QWidget *label);

// Names a combo box for what it chooses; its current text is its value.
void nameComboBox(QComboBox *box, const QString &name);

// Called by a rich-text box once it is made: it is read as a text object.
void becomeTextObject(QWidget *box);

} // namespace letro
