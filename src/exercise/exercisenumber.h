// The exercise number as text in the number box. Numbers are 16-bit: a
// number past 32767 is refused rather than wrapped.
#pragma once

#include <QString>
#include <QValidator>

namespace letro {

constexpr int MaxExerciseNumber = 32767;
constexpr int MinExerciseNumber = -32768;

// The number as the text spells it: its leading minus sign and digits,
// leading zeros included. What follows (text pasted after the number) is no
// part of it, so "12abc" spells "12" while "05" is not "5".
QString spelledExerciseNumber(const QString &text);

// The whole number the text starts with: its decimal digits, with a leading
// minus sign when there is one; 0 for an empty text or one that does not start
// with a number. Values past the 16-bit range are clamped to it.
int exerciseNumberFromText(const QString &text);

// True when the number the text starts with fits in the 16-bit range.
bool exerciseNumberFits(const QString &text);

// Refuses edits (typed or pasted) whose number would not fit.
class ExerciseNumberValidator : public QValidator
{
public:
    using QValidator::QValidator;
    State validate(QString &input, int &pos) const override;
};

} // namespace letro
