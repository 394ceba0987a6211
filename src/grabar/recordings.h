// Which recordings an exercise folder lacks, and how they are made: exercise
// N is the text file named by the digits of N; its recording is N.wav beside
// it, spoken by espeak-ng from the text's first line.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace letro {

struct RecordingJob
{
    QString textPath;
    QString wavPath;
    bool exists = false; // the recording is already there (an ordinary file)
};

// The exercises of a folder in numeric order, each with its recording's path.
// Only ordinary files named by the digits of a number without leading zeros
// are exercises ("1", "12"; not "05", "1.wav" or "notas").
QList<RecordingJob> recordingJobs(const QString &folder);

struct SpeechOptions
{
    QString voice = QStringLiteral("es");
    int wordsPerMinute = 110;
    int wordGap = 8; // extra pause between words, in units of 10 ms
    QString program = QStringLiteral("espeak-ng");
};

// espeak-ng's arguments for writing a recording to wavPath (the text goes on
// stdin, in UTF-8).
QStringList speechArguments(const SpeechOptions &options, const QString &wavPath);

// Speaks text into wavPath; returns an empty string or the reason it failed.
// The recording is written beside wavPath under a hidden name and renamed
// only when complete, so a failure leaves any earlier recording as it was and
// never a half-written one.
QString synthesise(const SpeechOptions &options, const QString &text, const QString &wavPath);

} // namespace letro
