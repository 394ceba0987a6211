// Which recordings an exercise folder lacks, and how they are made: exercise
// N is the text file named by the digits of N; its recording is N.wav beside
// it, spoken by espeak-ng from the text's first line.
#pragma once

#include <QString>
#include <QStringList>

namespace letro {

struct RecordingJob
{
    QString textPath;
    QString wavPath;
    bool exists = false; // the recording is already there
};

// The exercises of a folder in numeric order, each with its recording's path.
QList<RecordingJob> recordingJobs(const QString &folder);

struct SpeechOptions
{
    QString voice = QStringLiteral("es");
    int wordsPerMinute = 110;
    int wordGap = 8; // extra pause between words, in units of 10 ms
    QString program = QStringLiteral("espeak-ng");
};

// espeak-ng's arguments for writing a recording (the text goes on stdin).
QStringList speechArguments(const SpeechOptions &options, const QString &wavPath);

// Speaks text into wavPath; returns an empty string or the reason it failed.
QString synthesise(const SpeechOptions &options, const QString &text, const QString &wavPath);

} // namespace letro
