// The figures of a finished exercise: counters kept as decimal captions, the
// keystroke rate, the verdict picture and the summary line written into the
// record box.
#pragma once

#include <QString>

namespace letro {

// The leading numeric part of a caption ("12 SIN FALTAS" reads 12); 0 when
// the caption does not start with a number.
qint64 captionValue(const QString &caption);

// The caption after adding one to its value, as plain decimal digits.
QString incrementedCaption(const QString &caption);

// Correct keys per minute: hits × 60 ÷ seconds, rounded down. With no clock
// tick yet (0 seconds) the rate has no value and 0 is shown.
qint64 keystrokeRate(qint64 hits, qint64 elapsedSeconds);

// The figures of the summary line, read from the clock display and the two
// counters: the seconds shown, the keys per minute over the clock's ticks,
// the mistakes and the hits. The pupil's history keeps these very figures.
struct SummaryFigures
{
    qint64 seconds = 0;
    qint64 keysPerMinute = 0;
    qint64 mistakes = 0;
    qint64 hits = 0;
};
SummaryFigures summaryFigures(const QString &secondsCaption, const QString &hitsCaption,
                              const QString &mistakesCaption, qint64 elapsedSeconds);

// " ** 41 Seg. - 214(p/m) - 2 Errores - 150 Aciertos **"
QString summaryLine(const QString &secondsCaption, const QString &hitsCaption,
                    const QString &mistakesCaption, qint64 elapsedSeconds);

// The result picture for a number of mistakes, relative to the program
// folder: "/gifs/ani.gif" for none, "/gifs/2.gif" … "/gifs/5.gif" for one to
// four, and "" (no picture) for five or more.
QString verdictPicture(qint64 mistakes);

// Where the result picture goes, in twips, from the right edge of the
// size button (its left plus its width).
double verdictLeft(double sizeButtonRight, qint64 mistakes);

// "1 SIN FALTAS" / "3 CON FALTAS"
QString tallyCaption(qint64 count, bool clean);

// The clock display: "41 Seg."
QString secondsCaption(qint64 seconds);

// Adds one without passing the largest value of the type.
template <typename T> T saturatingIncrement(T value, T maximum)
{
    return value < maximum ? T(value + 1) : value;
}

} // namespace letro
