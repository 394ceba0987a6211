// The short Spanish names of the kinds of spelling mistake, as the headings
// of a table or the bars of a chart show them ("b/v", "Tilde que falta"):
// short enough for a column, plain enough for a pupil's parents.
#pragma once

#include "checker/classify.h"

#include <QString>

namespace letro::editor {

// The short name of `kind`; empty for Mistake::None.
QString mistakeShortName(Mistake kind);

} // namespace letro::editor
