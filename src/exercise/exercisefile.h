// Reading an exercise's text file: the first line of the file is the text the
// pupil must type. The line ends at the first carriage return or line feed
// (CR LF, a lone CR and a lone LF all end it) and is taken whole, without
// trimming. Files written for the program are Windows-1252; a file that is
// valid UTF-8 (with or without a byte-order mark) is read as UTF-8, since that
// is what text editors on Linux save.
#pragma once

#include <QByteArray>
#include <QString>

class QIODevice;

namespace letro {

// Longest first line read, in bytes. A dictation line is a few hundred
// characters at most; anything past this is cut off so that a huge file can
// neither hang the window nor exhaust memory.
constexpr qsizetype MaxLineBytes = 64 * 1024;

// The bytes of the first line of what the device delivers, read in chunks only
// as far as needed (at most maxBytes). `truncated` tells whether the line was
// cut at maxBytes.
QByteArray readFirstLine(QIODevice &device, qsizetype maxBytes = MaxLineBytes,
                         bool *truncated = nullptr);

// The first line of a whole file's bytes (same rule).
QByteArray firstLineOf(const QByteArray &bytes);

// Decodes an exercise line: UTF-8 when valid (a byte-order mark is dropped),
// Windows-1252 otherwise. When `truncated` is set, an incomplete UTF-8
// sequence at the very end does not count against UTF-8.
QString decodeExerciseText(const QByteArray &line, bool truncated = false);

// Windows-1252 decoding. The five bytes the code page leaves undefined (81,
// 8D, 8F, 90, 9D) become the C1 control characters of the same code, as on
// Windows, so every byte keeps a character of its own.
QString decodeWindows1252(const QByteArray &bytes);

// The Windows-1252 code of one character, or -1 when the code page has none.
int windows1252Code(QChar c);

enum class ReadStatus { Ok, Missing, Unreadable, Empty };

struct ExerciseText
{
    ReadStatus status = ReadStatus::Missing;
    QString text;
};

// Opens an ordinary file without blocking (a FIFO or device put in its place
// is refused) and reads its first line. An empty file has no first line.
ExerciseText readExerciseFile(const QString &path);

// True when path names an ordinary file (or a link to one): folders, FIFOs,
// sockets, devices and broken links are not exercises.
bool isOrdinaryFile(const QString &path);

// True when name is what the text file of an exercise is called: the ASCII
// digits of its number without leading zeros, however many ("1", "12"; not
// "0", "05", "+4", " 4", "4\n", "1.wav" or "notas").
bool isExerciseName(const QString &name);

} // namespace letro
