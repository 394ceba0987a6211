// Return and Enter press the focused button of the program's windows as
// Space does, as a keyboard-only pupil expects; Qt gives them that meaning
// only in dialogs, which keep their own handling (their default button).
#pragma once

namespace letro {

// Installs the application-wide filter once; later calls do nothing.
void letReturnPressButtons();

} // namespace letro
