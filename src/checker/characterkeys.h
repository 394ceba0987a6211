// Which typed text is a character key, and which characters no key can give.
//
// The typing box and the number box share one rule: a key is a character key
// when its text holds something other than control characters and it is not
// held with Ctrl (or Ctrl+Shift). X11 gives Delete the text "\x7f", Enter
// "\r", Backspace "\b" and Ctrl+V "\x16": none of them is a character key.
// An exercise line holding a character no key gives (a control character
// such as a tab, or one outside the Basic Multilingual Plane) could never be
// finished, so such lines are found and refused.
#pragma once

#include <QList>
#include <QString>

namespace letro {

// The characters of typed text that are judged one by one. Control characters
// are dropped; a character outside the Basic Multilingual Plane, or a stray
// surrogate, becomes U+FFFD so that it takes exactly one position.
QString characterKeys(const QString &text);

// True when a key held with these modifiers is a shortcut, never a character,
// whatever text the platform gives it (as in Qt's own text widgets).
bool isShortcutModifiers(Qt::KeyboardModifiers modifiers);

// characterKeys(text), or nothing when the key is a shortcut.
QString characterKeys(const QString &text, Qt::KeyboardModifiers modifiers);

struct UntypableCharacter
{
    int position = 0;  // 1-based, counted as the typing box counts characters
    char32_t code = 0; // the Unicode code point
};

// The characters of an exercise line that no key gives, in order.
QList<UntypableCharacter> untypableCharacters(const QString &line);

// "posición 3: U+0009 (tabulador)": one untypable character for a teacher.
QString describeUntypable(const UntypableCharacter &character);

} // namespace letro
