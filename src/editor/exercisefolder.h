// One exercise folder of a Letro program folder ("Palabras", "Frase corta" or
// "Frase larga") as the editor sees it: the exercises Letro reads, why some of
// them can never be reached or finished, and the changes a teacher makes.
//
// Exercise N is the text file named by the digits of N, with its recording
// N.wav and its slow recording N.lento.wav beside it. Every change that
// renumbers exercises is one transaction over all the files it touches: new
// texts are written under hidden temporary names first, then every file that
// moves or goes is renamed to a hidden temporary name, then the temporary
// names are renamed to their final ones. When any step fails, every rename
// done so far is undone in reverse order and the temporary texts are removed,
// so the folder is exactly as it was; only when all steps have succeeded are
// the files that go actually deleted. A rename never replaces an existing
// file.
#pragma once

#include "exercise/exercisefile.h"

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

namespace letro::editor {

// The exercise folders in Letro's order of types.
QStringList typeNames();

// What the teacher sees of one exercise.
struct Exercise
{
    int number = 0;
    ReadStatus status = ReadStatus::Missing;
    QString text; // the first line, decoded as Letro decodes it
    bool hasRecording = false;
    bool hasSlowRecording = false;
    // Why Letro can never reach or finish this exercise; empty when it can.
    QString mark;
};

// Why a text cannot be an exercise, or an empty string when it can: it must
// not be empty and every character must be one a key gives.
QString textProblem(const QString &text);

// The bytes of an exercise file holding `text` on its first line, as Letro
// reads it best: UTF-8 without a byte-order mark, ending in CR LF. `rest` is
// whatever followed the first line of an earlier version (a note for the
// teacher), kept as it was but in UTF-8.
QByteArray exerciseFileBytes(const QString &text, const QByteArray &rest = QByteArray());

class TypeFolder
{
public:
    explicit TypeFolder(const QString &path);

    QString path() const { return m_path; }
    QString textPath(int number) const;
    QString recordingPath(int number) const;
    QString slowRecordingPath(int number) const;

    // The exercises in numeric order, each with its mark.
    QList<Exercise> exercises() const;
    // The numbers of the exercises there are, in order.
    QList<int> numbers() const;

    // Each change returns an empty string, or the reason it was not made (in
    // Spanish, for the teacher); a change that is not made leaves every file
    // as it was.

    // A new exercise after the last one; *number is its number.
    QString add(const QString &text, int *number = nullptr);
    // Another text for exercise `number`; its recordings stay.
    QString edit(int number, const QString &text);
    // Deletes exercise `number` with its recordings; every later exercise
    // moves one number down, with its recordings.
    QString remove(int number);
    // Swaps exercise `number` with the exercise before (up) or after it.
    QString moveUp(int number);
    QString moveDown(int number);
    // Renumbers all exercises 1, 2, 3... in their order, closing the gaps.
    QString closeGaps();

private:
    struct Plan
    {
        QMap<int, int> moves;         // old number -> new number, with recordings
        QList<int> discard;           // numbers whose files all go
        QList<int> discardText;       // numbers whose text file goes (it is rewritten)
        QMap<int, QByteArray> writes; // number -> bytes of a new text file
    };
    QString apply(const Plan &plan) const;
    QString swap(int number, int other);
    QStringList filesOf(int number) const;

    QString m_path;
};

} // namespace letro::editor
