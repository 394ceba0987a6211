// Getting the platform's input method ready before the pupil's first key.
// On X11 Qt composes dead keys (´ then a gives á) with xkbcommon's compose
// table, which it reads from the locale's Compose file only when the first
// key reaches it: about 4 ms spent on the pupil's first key.
#pragma once

namespace letro {

// Makes Qt's compose input context read its table now, while the focus object
// accepts input. Does nothing after the first time, off X11, or when another
// input method (IBus, Fcitx) is in use: those have nothing to prepare here.
void prepareInputMethod();

} // namespace letro
