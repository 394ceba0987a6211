// The colour cycle of the introduction window's title: one letter is
// recoloured per tick, left to right; a whole pass over the five letters uses
// one colour of the classic 16-colour palette, and the passes run through
// colours 8 to 14 and start again at 8.
#pragma once

#include <QColor>

namespace letro {

constexpr int TitleLetterCount = 5;
constexpr int FirstTitleColor = 8;
constexpr int LastTitleColor = 14;

// Colour number n (0 to 15) of the classic 16-colour palette.
QColor classicPaletteColor(int n);

struct TitleCycle
{
    int letterIndex = 0;               // the letter the next tick recolours
    int letterColor = FirstTitleColor; // the palette colour of the current pass

    // One tick: returns the letter to recolour and with which colour number,
    // and moves the cycle on.
    struct Step
    {
        int letter;
        int color;
    };
    Step tick();
};

} // namespace letro
