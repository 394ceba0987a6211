#include "exercise/startchoice.h"

#include "exercise/exercisenumber.h"
#include "exercise/sharednames.h"

#include <QCommandLineParser>

namespace letro {

namespace {

const QString TypeOption = QStringLiteral("tipo");
const QString NumberOption = QStringLiteral("numero");
const QString TrialOption = QStringLiteral("prueba");

} // namespace

void addStartOptions(QCommandLineParser &parser)
{
    parser.addOption(QCommandLineOption(
        {QStringLiteral("t"), TypeOption},
        QStringLiteral("Empezar por este tipo de dictado: «Palabras» (sin elegir), «Frase "
                       "corta» o «Frase larga»."),
        QStringLiteral("tipo")));
    parser.addOption(QCommandLineOption(
        {QStringLiteral("n"), NumberOption},
        QStringLiteral("Empezar por el dictado con este número (1 sin elegir). Si no está, por "
                       "el más cercano por debajo o, si no lo hay, por encima."),
        QStringLiteral("número")));
    parser.addOption(QCommandLineOption(
        TrialOption, QStringLiteral("Prueba del maestro: no guarda los resultados ni pregunta "
                                    "quién escribe.")));
}

QString readStartChoice(const QCommandLineParser &parser, StartChoice *choice)
{
    *choice = StartChoice();
    if (parser.isSet(TypeOption)) {
        const QString asked = parser.value(TypeOption).simplified();
        const QStringList types = exerciseTypeFolders();
        choice->type = -1;
        for (int type = 0; type < types.size(); ++type)
            if (asked.compare(types.at(type), Qt::CaseInsensitive) == 0)
                choice->type = type;
        if (choice->type < 0) {
            *choice = StartChoice();
            return QStringLiteral("no hay dictados de tipo «%1»: elija «%2», «%3» o «%4»")
                .arg(parser.value(TypeOption), types.at(0), types.at(1), types.at(2));
        }
    }
    if (parser.isSet(NumberOption)) {
        const QString asked = parser.value(NumberOption).trimmed();
        bool ok = false;
        const int number = asked.toInt(&ok);
        if (!ok || number < 1 || number > MaxExerciseNumber || asked != QString::number(number)) {
            *choice = StartChoice();
            return QStringLiteral("«%1» no es un número de dictado: escriba un número del 1 al "
                                  "%2")
                .arg(parser.value(NumberOption))
                .arg(MaxExerciseNumber);
        }
        choice->number = number;
    }
    choice->trial = parser.isSet(TrialOption);
    return QString();
}

int startingNumber(int asked, const QList<int> &present)
{
    if (asked == 0)
        return 1;
    int below = 0;
    int above = 0;
    for (const int number : present) {
        if (number == asked)
            return asked;
        if (number < asked && number > below)
            below = number;
        if (number > asked && (above == 0 || number < above))
            above = number;
    }
    if (below > 0)
        return below;
    return above > 0 ? above : asked;
}

} // namespace letro
