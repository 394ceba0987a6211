// Why a file of the teacher's folder could not be read or written, in the
// Spanish the editor and letro-grabar both show.
#pragma once

#include <QString>

namespace letro::folder {

// Why a file-system call failed, in Spanish, from its errno value: "no queda
// espacio en el disco", "el disco es de solo lectura", ...
QString fileErrorReason(int error);

} // namespace letro::folder
