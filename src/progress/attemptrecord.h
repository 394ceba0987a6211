// One attempt at an exercise as the pupil's history keeps it: when it ended,
// which exercise, the text, the figures of the summary and every wrong key
// with the kind of spelling mistake it was.
#pragma once

#include "checker/classify.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QUuid>

namespace letro::progress {

struct MistakeRecord
{
    int position = 0; // index of the character in the text, from 0
    QString expected; // the character of the text
    QString typed;    // the character the pupil typed
    Mistake kind = Mistake::WrongLetter;

    bool operator==(const MistakeRecord &other) const
    {
        return position == other.position && expected == other.expected && typed == other.typed &&
               kind == other.kind;
    }
};

struct AttemptRecord
{
    // Made once when the attempt ends; sending the same attempt again (a retry
    // after a dropped connection, a queue sent twice) is recognised by it.
    QUuid id;
    QString pupil;
    QDateTime when; // the end of the attempt, kept in UTC to the millisecond
    QString exerciseType;
    int exerciseNumber = 0;
    QString text;
    bool finished = false;
    qint64 seconds = 0;
    qint64 keysPerMinute = 0;
    qint64 hits = 0;
    qint64 mistakes = 0;
    QList<MistakeRecord> mistakeList;

    bool operator==(const AttemptRecord &other) const;
};

// An attempt with a new id, the current time and the keys per minute worked
// out from the hits and seconds as the summary line does.
AttemptRecord newAttempt(const QString &pupil, const QString &exerciseType, int exerciseNumber,
                         const QString &text, bool finished, qint64 seconds, qint64 hits,
                         qint64 mistakes, const QList<MistakeRecord> &mistakeList);

// The stable name a kind of mistake is stored under ("b-v", "tilde-falta",
// ...): the enumeration's order may change, the stored names do not.
QString mistakeKindCode(Mistake kind);
// The kind as a child reads it in a table, a chart or a sentence ("b/v",
// "tilde que falta", ...); the same in the pupil's window and the teacher's.
// Empty for Mistake::None.
QString mistakeKindName(Mistake kind);

// The kind stored under `code`; Mistake::None for an unknown name.
Mistake mistakeKindFromCode(const QString &code);
// Every kind of mistake, in the enumeration's order (Mistake::None left out).
QList<Mistake> mistakeKinds();

// The word of `text` a mistake at `position` belongs to, in small letters:
// the letters and digits around the position or, when the position holds a
// blank or a mark, the word that ends just before it. Empty when there is none.
QString wordAt(const QString &text, int position);

// The pupil when nobody is asked: the desktop user's login name.
QString desktopPupil();

} // namespace letro::progress
