#include "exercisenumber.h"

namespace letro {

namespace {

// The leading number of the text, saturated well beyond the 16-bit range.
qint64 leadingNumber(const QString &text)
{
    qsizetype i = 0;
    const bool negative = text.startsWith(QLatin1Char('-'));
    if (negative)
        i = 1;
    qint64 value = 0;
    for (; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c < u'0' || c > u'9')
            break;
        value = qMin<qint64>(value * 10 + (c.unicode() - u'0'), 1000000);
    }
    return negative ? -value : value;
}

} // namespace

int exerciseNumberFromText(const QString &text)
{
    return int(qBound(qint64(MinExerciseNumber), leadingNumber(text), qint64(MaxExerciseNumber)));
}

bool exerciseNumberFits(const QString &text)
{
    const qint64 value = leadingNumber(text);
    return value >= MinExerciseNumber && value <= MaxExerciseNumber;
}

QValidator::State ExerciseNumberValidator::validate(QString &input, int &) const
{
    return exerciseNumberFits(input) ? Acceptable : Invalid;
}

} // namespace letro
