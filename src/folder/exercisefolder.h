// One exercise folder of a Letro program folder ("Palabras", "Frase corta" or
// "Frase larga") as the editor sees it: the exercises Letro reads, why some of
// them can never be reached or finished, recordings left without a text, and
// the changes a teacher makes.
//
// Exercise N is the text file named by the digits of N, with its recording
// N.wav and its slow recording N.lento.wav beside it. Every change is one
// journaled transaction over all the files it touches (journal.h): it is all
// or nothing even when the process dies half-way, and a rename never
// replaces an existing file. No change ever gives a text the recordings of
// another: recordings without a text stay with their number, and a change
// that would move a text onto them is refused.
#pragma once

#include "exercise/exercisefile.h"
#include "folder/recordings.h"

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include <limits>

namespace letro::folder {

struct Progress;

// The exercise folders in Letro's order of types.
QStringList typeNames();

// What the teacher sees of one exercise.
struct Exercise
{
    int number = 0;
    ReadStatus status = ReadStatus::Missing;
    QString text; // the first line, decoded as Letro decodes it
    RecordingState recording = RecordingState::Missing;
    RecordingState slowRecording = RecordingState::Missing;
    // False for recordings whose text is not there (made for a text that was
    // deleted or renamed outside the editor): they belong to no exercise.
    bool hasText = true;
    // Why Letro can never reach or finish this exercise; empty when it can.
    QString mark;

    bool hasRecording() const { return recording != RecordingState::Missing; }
    bool hasSlowRecording() const { return slowRecording != RecordingState::Missing; }
    // A recording made before the text was last changed, which may say an
    // earlier text.
    bool hasOlderRecording() const
    {
        return recording == RecordingState::Older || slowRecording == RecordingState::Older;
    }
};

// Why a text cannot be an exercise, or an empty string when it can: it must
// not be empty and every character must be one a key gives.
QString textProblem(const QString &text);

// The exercises "Grabar lo que falta" records: each one whose text can be
// typed and that lacks its recording, its slow recording or both, or has
// one older than its text.
QList<int> unrecorded(const QList<Exercise> &exercises);

// The exercises with a recording older than their text, in order.
QList<int> withOlderRecordings(const QList<Exercise> &exercises);

// The bytes of an exercise file holding `text` on its first line, as Letro
// reads it best: UTF-8 without a byte-order mark, ending in CR LF. `rest` is
// whatever followed the first line of an earlier version (a note for the
// teacher), kept as it was but in UTF-8.
QByteArray exerciseFileBytes(const QString &text, const QByteArray &rest = QByteArray());

// What a change acts on, as the teacher saw it when asking for it: every
// file of the numbers `first` to `last` (texts, recordings, recordings
// without a text), each as a line of TypeFolder::state() (name, size, time,
// inode). A change told to expect it is refused when those files are no
// longer exactly these, whatever the list shows by then.
struct Identity
{
    // For `last`: every number from `first` on.
    static constexpr int AndAfter = std::numeric_limits<int>::max();
    int first = 0;
    int last = 0;
    QStringList files;
    friend bool operator==(const Identity &a, const Identity &b)
    {
        return a.first == b.first && a.last == b.last && a.files == b.files;
    }
};

// The identity of the numbers `first` to `last` in a folder's state().
Identity identityIn(const QStringList &state, int first, int last);
// Why a folder whose state() is `now` no longer holds what `expected`
// says, naming the files that changed; empty when it still does.
QString identityChange(const Identity &expected, const QStringList &now);

class TypeFolder
{
public:
    explicit TypeFolder(const QString &path);

    QString path() const { return m_path; }
    QString textPath(int number) const;
    QString recordingPath(int number) const;
    QString slowRecordingPath(int number) const;

    // The exercises in numeric order, each with its mark, and the
    // recordings without a text among them (hasText false), marked too.
    QList<Exercise> exercises() const;
    // The numbers of the exercises there are, in order.
    QList<int> numbers() const;
    // The numbers that have recordings but no text, in order.
    QList<int> orphanNumbers() const;
    // What the folder holds now, entry by entry (name, size, time, inode): two
    // equal states mean nothing changed in between.
    QStringList state() const;
    // The identity of the numbers `first` to `last` as they are now.
    Identity identity(int first, int last) const;

    // Where new recordings of exercise `number` are made before
    // replaceRecordings puts them in place (hidden names in the folder).
    QString newRecordingPath(int number) const;
    QString newSlowRecordingPath(int number) const;

    // Changes report their steps to `progress` and stop when it is cancelled.
    void setProgress(Progress *progress) { m_progress = progress; }
    // Changes from now on are made only while the folder still holds what
    // each of `expected` says: checked before a change is worked out and
    // again under the folder's lock just before its first step.
    void expect(const QList<Identity> &expected) { m_expected = expected; }
    // Why the folder no longer holds what is expected; empty when it does.
    QString unexpected() const;

    // Each change returns an empty string, or the reason it was not made (in
    // Spanish, for the teacher); a change that is not made leaves every file
    // as it was.

    // A new exercise after the last one; *number is its number.
    QString add(const QString &text, int *number = nullptr);
    // Another text for exercise `number`; its recordings stay.
    QString edit(int number, const QString &text);
    // Deletes exercise `number` with its recordings; every later exercise
    // moves one number down, with its recordings. For a number with
    // recordings but no text, deletes those recordings and moves nothing.
    QString remove(int number);
    // Swaps exercise `number` with the exercise before (up) or after it.
    QString moveUp(int number);
    QString moveDown(int number);
    // Gives exercise `number` the number `target` (1 to the last number).
    // When an exercise has that number, the ones from there to `number`
    // shift one place towards where it was, with their recordings, and the
    // numbers in use stay the same; when none has it (a gap), only `number`
    // moves.
    QString moveTo(int number, int target);
    // Renumbers all exercises 1, 2, 3... in their order, closing the gaps.
    QString closeGaps();
    // Puts the new recordings of exercise `number` (made at newRecordingPath
    // and newSlowRecordingPath; one of them or both) in place of the old.
    QString replaceRecordings(int number);

private:
    struct Plan
    {
        QMap<int, int> moves;         // old number -> new number, with recordings
        QList<int> discard;           // numbers whose files all go
        QList<int> discardText;       // numbers whose text file goes (it is rewritten)
        QMap<int, QByteArray> writes; // number -> bytes of a new text file
        QStringList brought;          // recordings made under newFileName()
        QStringList discardFiles;     // names of files that go
        QString change;               // what it is, for the journal
    };
    QString apply(const Plan &plan) const;
    QString swap(int number, int other);
    QStringList filesOf(int number) const;

    QString m_path;
    Progress *m_progress = nullptr;
    QList<Identity> m_expected;
};

} // namespace letro::folder
