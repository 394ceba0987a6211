#include "classify.h"

namespace letro {

namespace {

bool isPair(QChar a, QChar b, char16_t first, char16_t second)
{
    return (a == first && b == second) || (a == second && b == first);
}

char16_t accented(QChar vowel)
{
    switch (vowel.unicode()) {
    case u'A':
        return u'Á';
    case u'E':
        return u'É';
    case u'I':
        return u'Í';
    case u'O':
        return u'Ó';
    case u'U':
        return u'Ú';
    default:
        return 0;
    }
}

} // namespace

Mistake classifyMistake(QChar typed, QChar expected)
{
    const QChar T = typed.toUpper();
    const QChar X = expected.toUpper();
    if (T == X)
        return Mistake::CapitalLetter;
    if (isPair(T, X, u'Y', u'I'))
        return Mistake::YForI;
    if (isPair(T, X, u'B', u'V'))
        return Mistake::BForV;
    if (T == u'H')
        return Mistake::SuperfluousH;
    if (X == u'H')
        return Mistake::MissingH;
    if (accented(T) != 0 && accented(T) == X.unicode())
        return Mistake::MissingAccent;
    if (accented(X) != 0 && accented(X) == T.unicode())
        return Mistake::SuperfluousAccent;
    if (X == u' ')
        return Mistake::MissingBlank;
    // Codes below 64 are the same in Windows-1252 and Unicode: control
    // characters, marks and digits (the blank was taken above).
    if (expected.unicode() < 64)
        return Mistake::MissingPunctuation;
    return Mistake::WrongLetter;
}

QString mistakeMessage(Mistake mistake)
{
    switch (mistake) {
    case Mistake::CapitalLetter:
        return QStringLiteral("¡MAYÚSCULAS - MINÚSCULAS!");
    case Mistake::YForI:
        return QStringLiteral("¡Confundes 'y' y 'i'!");
    case Mistake::BForV:
        return QStringLiteral("¡Confundes 'b' y 'v'!");
    case Mistake::SuperfluousH:
        return QStringLiteral("No lleva 'h'");
    case Mistake::MissingH:
        return QStringLiteral("Esta palabra lleva 'h'");
    case Mistake::MissingAccent:
        return QStringLiteral("Esta vocal lleva acento");
    case Mistake::SuperfluousAccent:
        return QStringLiteral("Esta vocal NO lleva acento");
    case Mistake::MissingBlank:
        return QStringLiteral("Después de una palabra viene un espacio");
    case Mistake::MissingPunctuation:
        return QStringLiteral("Se necesita un signo de puntuación   ,  .  :  ;");
    case Mistake::WrongLetter:
        break;
    case Mistake::None:
        return QString();
    }
    return QStringLiteral("Te has confundido de letra");
}

} // namespace letro
