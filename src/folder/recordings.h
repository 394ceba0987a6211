// Which recordings an exercise folder lacks, and how they are made: exercise
// N is the text file named by the digits of N; its recording is N.wav beside
// it, spoken by espeak-ng from the text's first line, and its slow recording
// N.lento.wav, spoken more slowly with longer pauses, or made from N.wav with
// sox (slower tempo, same pitch).
//
// Every recording is written beside its final name under a hidden temporary
// name and renamed over the old one only when complete: a failure, or an
// interruption at any moment, leaves the earlier recording as it was and
// never a half-written one.
#pragma once

#include "exercise/sharednames.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <atomic>

namespace letro::folder {

// A recording of a text, as the folder holds it.
enum class RecordingState {
    Missing, // there is none (no ordinary file of its name)
    Present, // made since the text was last written
    Older,   // made before the text was last written: it may say an earlier text
};

// The state of a recording last modified at `recording` (invalid when there
// is none) for a text last modified at `text` (invalid when there is none).
// The editor writes a changed text anew and renumbering only renames, so a
// recording older than its text was made for an earlier one. Times compare
// in whole seconds: a copy or a disk that keeps coarser times rounds both
// down alike and never makes a recording look older than its text.
RecordingState recordingState(const QDateTime &recording, const QDateTime &text);

// The state of the recording at `recordingPath` for the text at `textPath`,
// as the disk holds them now.
RecordingState recordingStateOf(const QString &recordingPath, const QString &textPath);

struct RecordingJob
{
    QString textPath;
    QString wavPath;
    QString slowWavPath;
    RecordingState recording = RecordingState::Missing;
    RecordingState slowRecording = RecordingState::Missing;
};

// The exercises of a folder in numeric order, each with its recordings' paths.
// Only ordinary files with an exercise's name (isExerciseName) are exercises,
// whatever the length of the number.
QList<RecordingJob> recordingJobs(const QString &folder);

// The folders of dictations an argument of letro-grabar stands for: the
// folder itself, or, when it holds no dictations but holds the type folders
// ("Palabras", "Frase corta", "Frase larga": a Letro folder), those of them
// that are there, in Letro's order.
QStringList recordingFolders(const QString &argument);

// The room `bytes` take on a disk of `blockSize`-byte blocks: whole blocks.
qint64 spaceInBlocks(qint64 bytes, qint64 blockSize);

// The size of the blocks of the disk that holds `path` (statvfs f_frsize,
// else f_bsize); 1 when it cannot be told, so sizes count in bytes.
qint64 diskBlockSize(const QString &path);

// Why a speech program that reported success left a recording no longer
// than a wave file's header: the disk is full when `available` bytes (or
// fewer than one block) are free there, else the recording came out empty.
QString emptyRecordingReason(qint64 available, qint64 blockSize);

struct SpeechOptions
{
    QString voice = QStringLiteral("es");
    int wordsPerMinute = DefaultWordsPerMinute;
    int wordGap = 8;     // extra pause between words, in units of 10 ms
    bool markup = false; // the text is SSML (espeak-ng -m)
    QString program = QStringLiteral("espeak-ng");
    // Set (by another thread) to stop the recording under way: the program
    // is stopped, its half-made file removed, and the reason is
    // cancelledRecording(). Not owned; may be null.
    const std::atomic<bool> *cancelled = nullptr;
};

// The reason a recording gives when it was cancelled.
QString cancelledRecording();

// espeak-ng's arguments for writing a recording to wavPath (the text goes on
// stdin, in UTF-8).
QStringList speechArguments(const SpeechOptions &options, const QString &wavPath);

// The options of the slow recording: three quarters of the speed (but no
// slower than 80 words a minute, espeak-ng's slowest), a word gap 4 longer,
// and the text given as SSML (slowSpeechMarkup).
SpeechOptions slowSpeechOptions(const SpeechOptions &options);

// Pauses of the slow recording, in milliseconds.
constexpr int ClausePauseMs = 1000; // after a comma, semicolon, colon or full stop
constexpr int GroupPauseMs = 400;   // between word groups within a clause
constexpr int MaxGroupWords = 4;

// The text as SSML for the slow recording: a pause of ClausePauseMs after
// every comma, semicolon, colon, full stop, question or exclamation mark
// inside the text (espeak-ng's own pause there is about half a second), and
// within a clause of more than MaxGroupWords words a pause of GroupPauseMs
// between groups of words of about equal size, never right after an
// article, preposition, conjunction or unstressed pronoun, which goes with
// the word after it ("a la abuela", not "a la / abuela").
QString slowSpeechMarkup(const QString &text);

// Speaks text into wavPath; returns an empty string or the reason it failed
// (in Spanish). Atomic, as above.
QString synthesise(const SpeechOptions &options, const QString &text, const QString &wavPath);

// Speaks text slowly (slowSpeechOptions, slowSpeechMarkup) into slowWavPath.
QString synthesiseSlow(const SpeechOptions &options, const QString &text,
                       const QString &slowWavPath);

// How much slower makeSlowVersion makes a recording (sox's tempo factor).
constexpr double SlowTempo = 0.75;

// sox's arguments for slowing wavPath down into outputPath: the tempo lowered
// without changing the pitch, written as a 16-bit PCM wave file with the
// sample rate and channels of the source.
QStringList slowVersionArguments(const QString &wavPath, const QString &outputPath);

// Makes slowWavPath from the recording wavPath (a teacher's own voice, say)
// with sox. Atomic, as above; returns "" or the reason it failed.
QString makeSlowVersion(const QString &wavPath, const QString &slowWavPath);

// Whether the speech program runs and knows options.voice: it is run once,
// silently. Returns "" or the reason, in Spanish.
QString voiceProblem(const SpeechOptions &options);

// From now on SIGINT, SIGTERM and SIGHUP end the process only after the
// program making the current recording is stopped and its hidden temporary
// file removed, so an interrupted run leaves nothing half-made behind. The
// process then ends by the same signal, as the shell expects.
void removeTemporaryFileOnSignals();

// The hidden temporary name a recording is written under before it replaces
// finalPath: ".../.letro-parte-N.wav" for ".../N.wav" (partName), in the same
// folder, so that the rename cannot cross file systems.
QString temporaryPathFor(const QString &finalPath);

// Renames temporaryPath over finalPath in one step, its data flushed to disk
// first and the folder's entries after: finalPath names either its old file
// or the new one at every moment, never nothing. Returns "" or the reason;
// when the flush or the rename fails both files stay as they were and the
// caller decides what to do with the temporary one (when only the folder's
// flush fails, the new recording is in place but may not survive a power
// cut).
QString replaceAtomically(const QString &temporaryPath, const QString &finalPath);

} // namespace letro::folder
