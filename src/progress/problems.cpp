#include "problems.h"

#include <QFileInfo>

namespace letro::progress {

QString problemMessage(const Outcome &outcome)
{
    switch (outcome.problem) {
    case Problem::None:
        return QString();
    case Problem::Damaged:
        return QStringLiteral("El archivo de los resultados estaba dañado: se ha guardado aparte "
                              "como «%1» y se empieza uno nuevo.")
            .arg(QFileInfo(outcome.detail).fileName());
    case Problem::Locked:
        return QStringLiteral("Otro programa está usando el archivo de los resultados: se "
                              "guardarán en cuanto quede libre.");
    case Problem::NewerSchema:
        return QStringLiteral("Los resultados los guarda una versión más nueva de Letro: esta "
                              "versión no los cambia y los de hoy no se guardan.");
    case Problem::NewerServerSchema:
        return QStringLiteral("El servidor del colegio usa una versión más nueva de Letro: los "
                              "resultados esperan en este ordenador.");
    case Problem::DiskFull:
        return QStringLiteral("No queda espacio en el disco para los resultados: se guardarán "
                              "cuando haya sitio.");
    case Problem::ServerUnreachable:
        return QStringLiteral("No se puede llegar al servidor del colegio: los resultados "
                              "esperan en este ordenador y se enviarán más tarde.");
    case Problem::ServerRefused:
        return QStringLiteral("El servidor del colegio no acepta los resultados (%1): esperan en "
                              "este ordenador.")
            .arg(outcome.detail);
    case Problem::ServerNotReady:
        return QStringLiteral("El servidor del colegio todavía no está preparado para los "
                              "resultados de Letro: esperan en este ordenador y se enviarán "
                              "cuando lo esté.");
    case Problem::Unwritable:
        return QStringLiteral("No se pueden guardar los resultados (%1).").arg(outcome.detail);
    }
    return QString();
}

} // namespace letro::progress
