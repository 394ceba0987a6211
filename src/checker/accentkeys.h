// Accented letters, ñ, ü, ¿ and ¡ from any keyboard layout, with the keyboard
// alone, as word processors type them:
//
//   Ctrl+'  then a vowel    á é í ó ú (Á É Í Ó Ú with Shift or Caps Lock)
//   Ctrl+"  then u          ü (Ü)          Ctrl+" is Ctrl+Shift+' on a US layout
//   Ctrl+~  then n          ñ (Ñ)          Ctrl+~ is Ctrl+Shift+` on a US layout
//   Ctrl+?                  ¿              Ctrl+Shift+/ on a US layout
//   Ctrl+!                  ¡              Ctrl+Shift+1 on a US layout
//
// This is the decision alone, one key at a time: which mark a key starts,
// which character a mark and the following key give. Keys held with Ctrl
// never type a character into the typing box, so none of these collides
// with typing. A mark followed by any other key is dropped and that key goes
// on as ever.
#pragma once

#include <QChar>
#include <QString>
#include <Qt>

namespace letro {

// The mark waiting for its letter.
enum class AccentMark { None, Acute, Diaeresis, Tilde };

struct AccentKeyStep
{
    AccentMark pending = AccentMark::None; // the mark waiting after this key
    QChar typed;                           // the character to type, if any
    bool used = false;                     // the key belongs to a sequence: nothing else sees it
};

// True for Shift, Ctrl, Alt, AltGr, Meta, Super and Caps Lock: keys that
// type nothing themselves.
bool isModifierKey(int key);

// One key press, given as Qt's key event gives it (key code, modifiers and
// text), after `pending`.
AccentKeyStep accentKeyStep(AccentMark pending, int key, Qt::KeyboardModifiers modifiers,
                            const QString &text);

// Whether text an input method committed was made of several keys (a dead
// key and a letter: á, ñ, ü...), so that no key echo told the pupil what
// landed: it holds a character beyond plain ASCII. Plain letters that an
// input method commits one by one are echoed as keys already.
bool isComposedInput(const QString &committed);

} // namespace letro
