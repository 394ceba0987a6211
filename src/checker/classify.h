// Classification of a wrong key: which kind of spelling mistake the pupil made
// when typing `typed` where the text has `expected`. The categories are tried
// in a fixed order and the first that holds names the mistake. Rows 1 to 7
// compare capital forms (Spanish letter rules: á→Á, ñ→Ñ, ü→Ü), row 4 looks at
// the typed character only, rows 5, 8 and 9 at the expected one only.
#pragma once

#include <QChar>
#include <QString>

namespace letro {

enum class Mistake {
    None = 0,           // no mistake: the key was right
    CapitalLetter,      // differs only in being capital or small
    YForI,              // y for i, or i for y
    BForV,              // b for v, or v for b
    SuperfluousH,       // an h where the text has something else
    MissingH,           // the text has an h
    MissingAccent,      // plain vowel typed for an accented one
    SuperfluousAccent,  // accented vowel typed for a plain one
    MissingBlank,       // the text has a blank
    MissingPunctuation, // the text has a mark, digit or control character (code below 64)
    WrongLetter,        // anything else
};

Mistake classifyMistake(QChar typed, QChar expected);

// The Spanish message shown to the pupil for a mistake (empty for None).
QString mistakeMessage(Mistake mistake);

} // namespace letro
