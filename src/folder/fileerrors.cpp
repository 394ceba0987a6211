#include "folder/fileerrors.h"

#include <cerrno>

namespace letro::folder {

QString fileErrorReason(int error)
{
    switch (error) {
    case EACCES:
    case EPERM:
        return QStringLiteral("no hay permiso");
    case EROFS:
        return QStringLiteral("el disco es de solo lectura");
    case ENOSPC:
        return QStringLiteral("no queda espacio en el disco");
    case EDQUOT:
        return QStringLiteral("se ha llegado al límite de espacio de este usuario");
    case EEXIST:
    case ENOTEMPTY:
        return QStringLiteral("ya existe un archivo con ese nombre");
    case EISDIR:
        return QStringLiteral("hay una carpeta con ese nombre");
    case ENOTDIR:
        return QStringLiteral("parte del camino no es una carpeta");
    case ENOENT:
        return QStringLiteral("el archivo o la carpeta ya no existe");
    case EBUSY:
    case ETXTBSY:
        return QStringLiteral("el archivo está en uso");
    case EIO:
        return QStringLiteral("error de lectura o escritura en el disco");
    case ENAMETOOLONG:
        return QStringLiteral("el nombre es demasiado largo");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("hay demasiados archivos abiertos");
    case EFBIG:
        return QStringLiteral("el archivo es demasiado grande");
    case EXDEV:
        return QStringLiteral("no se puede mover entre discos distintos");
    default:
        return QStringLiteral("error del sistema %1").arg(error);
    }
}

} // namespace letro::folder
