#include "mistakenames.h"

namespace letro::editor {

QString mistakeShortName(Mistake kind)
{
    switch (kind) {
    case Mistake::None:
        break;
    case Mistake::CapitalLetter:
        return QStringLiteral("Mayúsculas");
    case Mistake::YForI:
        return QStringLiteral("y/i");
    case Mistake::BForV:
        return QStringLiteral("b/v");
    case Mistake::SuperfluousH:
        return QStringLiteral("h de más");
    case Mistake::MissingH:
        return QStringLiteral("h que falta");
    case Mistake::MissingAccent:
        return QStringLiteral("Tilde que falta");
    case Mistake::SuperfluousAccent:
        return QStringLiteral("Tilde de más");
    case Mistake::MissingBlank:
        return QStringLiteral("Espacios");
    case Mistake::MissingPunctuation:
        return QStringLiteral("Puntuación");
    case Mistake::WrongLetter:
        return QStringLiteral("Otras letras");
    }
    return QString();
}

} // namespace letro::editor
