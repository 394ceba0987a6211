// The exercise number as text in the number box. Numbers are 16-bit: a
// number past 32767 is refused rather than wrapped.
#pragma once

#include <QEvent>
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

// What entering the number box does to its number, so that what the pupil
// types replaces it. Tab, Shift+Tab and a shortcut select it once the box's
// focus has been reported to screen readers: selected any earlier, it is
// read as a change before the box is, and then again with the box. A click
// selects it when the button is released; a number already (partly)
// selected keeps its selection; any other entry leaves the caret as it was.
enum class NumberBoxEntry { KeepCaret, SelectAfterFocusReport, SelectOnRelease };
NumberBoxEntry numberBoxEntry(Qt::FocusReason reason, bool hasSelection);

// True for an event that reaches the number box only after its focus has
// been reported, and that acts on its text or shows it (a key, a click, a
// paint, the focus leaving): a selection still due is made before it.
bool comesAfterFocusReport(QEvent::Type type);

// Refuses edits (typed or pasted) whose number would not fit.
class ExerciseNumberValidator : public QValidator
{
public:
    using QValidator::QValidator;
    State validate(QString &input, int &pos) const override;
};

} // namespace letro
