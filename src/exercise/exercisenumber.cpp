#include "exercisenumber.h"

namespace letro {

namespace {

// The leading number of the text, saturated well beyond the 16-bit range.
qint64 leadingNumber(const QString &text)
{
    const QString spelled = spelledExerciseNumber(text);
    const bool negative = spelled.startsWith(QLatin1Char('-'));
    qint64 value = 0;
    for (qsizetype i = negative ? 1 : 0; i < spelled.size(); ++i)
        value = qMin<qint64>(value * 10 + (spelled.at(i).unicode() - u'0'), 1000000);
    return negative ? -value : value;
}

} // namespace

QString spelledExerciseNumber(const QString &text)
{
    qsizetype end = text.startsWith(QLatin1Char('-')) ? 1 : 0;
    while (end < text.size() && text.at(end) >= u'0' && text.at(end) <= u'9')
        ++end;
    return text.left(end);
}

int exerciseNumberFromText(const QString &text)
{
    return int(qBound(qint64(MinExerciseNumber), leadingNumber(text), qint64(MaxExerciseNumber)));
}

bool exerciseNumberFits(const QString &text)
{
    const qint64 value = leadingNumber(text);
    return value >= MinExerciseNumber && value <= MaxExerciseNumber;
}

NumberBoxEntry numberBoxEntry(Qt::FocusReason reason, bool hasSelection)
{
    switch (reason) {
    case Qt::TabFocusReason:
    case Qt::BacktabFocusReason:
    case Qt::ShortcutFocusReason:
        return hasSelection ? NumberBoxEntry::KeepCaret : NumberBoxEntry::SelectAfterFocusReport;
    case Qt::MouseFocusReason:
        return NumberBoxEntry::SelectOnRelease;
    default:
        return NumberBoxEntry::KeepCaret;
    }
}

bool comesAfterFocusReport(QEvent::Type type)
{
    switch (type) {
    case QEvent::KeyPress:
    case QEvent::ShortcutOverride:
    case QEvent::InputMethod:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::Paint:
    case QEvent::FocusOut:
        return true;
    default:
        // Among them the questions the input method asks as the focus
        // arrives, before it is reported.
        return false;
    }
}

QValidator::State ExerciseNumberValidator::validate(QString &input, int &) const
{
    return exerciseNumberFits(input) ? Acceptable : Invalid;
}

} // namespace letro
