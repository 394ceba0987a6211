// The judgement of one character key, worked out from the exercise alone: is
// the key the next character of the text, does it end the exercise, in which
// colour is it written, is a mistake counted, and which one it is. The typing
// box's handler applies the judgement to the controls step by step.
#pragma once

#include "checker/classify.h"

#include <QString>

namespace letro {

// Colours of the rich-text boxes, 0x00BBGGRR.
constexpr quint32 Blue = 0x00FF0000;    // accepted with no wrong key before it at its place
constexpr quint32 Magenta = 0x00FF00FF; // accepted after a wrong key at its place
constexpr quint32 Red = 0x000000FF;     // a wrong key waiting to be replaced

struct KeyJudgement
{
    bool correct = false;            // the key is the character at textPos
    bool finishes = false;           // the correct key at the last place: the exercise ends
    quint32 colour = Red;            // the colour the key is written in
    bool countsMistake = false;      // a wrong key at a place with no wrong key yet
    Mistake mistake = Mistake::None; // what a wrong key gets wrong
};

// textPos is 1-based; mistakePending tells whether a wrong key is waiting at
// textPos. With no character at textPos (an empty text) every key is a wrong
// letter.
KeyJudgement judgeKey(const QString &expectedText, int textPos, bool mistakePending, QChar typed);

} // namespace letro
