#include "judgekey.h"

namespace letro {

KeyJudgement judgeKey(const QString &expectedText, int textPos, bool mistakePending, QChar typed)
{
    KeyJudgement judgement;
    const bool hasExpected = textPos >= 1 && textPos <= expectedText.size();
    const QChar expected = hasExpected ? expectedText.at(textPos - 1) : QChar();
    if (hasExpected && typed == expected) {
        judgement.correct = true;
        judgement.finishes = textPos == expectedText.size();
        judgement.colour = mistakePending ? Magenta : Blue;
        return judgement;
    }
    judgement.colour = Red;
    judgement.countsMistake = !mistakePending;
    // With nothing to compare with: the plainest message.
    judgement.mistake = hasExpected ? classifyMistake(typed, expected) : Mistake::WrongLetter;
    return judgement;
}

} // namespace letro
