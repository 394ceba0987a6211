#include "folder/hiddennames.h"

#include <utility>

namespace letro::folder {

namespace {

const QString NewPrefix = HiddenPrefix + QStringLiteral("nuevo-");
const QString PartPrefix = HiddenPrefix + QStringLiteral("parte-");
const QString ProbePrefix = HiddenPrefix + QStringLiteral("prueba-");

// "57.lento.wav" -> ("57", ".lento.wav"); a name without leading digits
// has an empty number.
std::pair<QString, QString> numberAndRest(const QString &name)
{
    qsizetype digits = 0;
    while (digits < name.size() && name.at(digits).isDigit() && name.at(digits).unicode() < 128)
        ++digits;
    return {name.left(digits), name.mid(digits)};
}

bool hasPrefixAndMore(const QString &name, const QString &prefix)
{
    return name.startsWith(prefix) && name.size() > prefix.size();
}

} // namespace

QString movingName(const QString &from, const QString &to)
{
    const auto [fromNumber, fromRest] = numberAndRest(from);
    const auto [toNumber, toRest] = numberAndRest(to);
    if (!fromNumber.isEmpty() && !toNumber.isEmpty() && fromRest == toRest)
        return HiddenPrefix + QStringLiteral("mover-%1-a-%2%3").arg(fromNumber, toNumber, toRest);
    return HiddenPrefix + QStringLiteral("mover-%1-a-%2").arg(from, to);
}

QString deletingName(const QString &from)
{
    return HiddenPrefix + QStringLiteral("borrar-") + from;
}

QString newFileName(const QString &to)
{
    return NewPrefix + to;
}

bool isNewFileName(const QString &name)
{
    return hasPrefixAndMore(name, NewPrefix);
}

QString partName(const QString &fileName)
{
    return PartPrefix +
           (fileName.startsWith(HiddenPrefix) ? fileName.mid(HiddenPrefix.size()) : fileName);
}

QString probeName(qint64 pid, int n)
{
    return ProbePrefix + QStringLiteral("%1-%2").arg(pid).arg(n);
}

bool isHiddenName(const QString &name)
{
    return name.startsWith(HiddenPrefix);
}

bool isLeftoverName(const QString &name)
{
    return isNewFileName(name) || hasPrefixAndMore(name, PartPrefix) ||
           hasPrefixAndMore(name, ProbePrefix) || name == PendingJournalName;
}

QString foreignNameProblem(const QString &name)
{
    if (isLeftoverName(name) || name == JournalName)
        return QStringLiteral("en la carpeta queda «%1», un archivo oculto de un cambio que no "
                              "terminó; cierre la carpeta y vuelva a abrirla para ponerla en "
                              "orden, y luego repita el cambio")
            .arg(name);
    return QStringLiteral("en la carpeta hay un archivo oculto, «%1», que este programa no "
                          "reconoce (quizá de otra versión de Letro o copiado ahí); sáquelo "
                          "de la carpeta o bórrelo si no lo necesita, y repita el cambio")
        .arg(name);
}

} // namespace letro::folder
