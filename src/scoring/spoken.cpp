#include "spoken.h"

#include "score.h"

namespace letro {

QString figureName(Figure figure, const QString &caption)
{
    QString meaning;
    switch (figure) {
    case Figure::Hits:
        meaning = QStringLiteral("Aciertos");
        break;
    case Figure::Mistakes:
        meaning = QStringLiteral("Errores");
        break;
    case Figure::CleanTally:
        meaning = QStringLiteral("Ejercicios sin faltas");
        break;
    case Figure::FaultyTally:
        meaning = QStringLiteral("Ejercicios con faltas");
        break;
    }
    return meaning + QStringLiteral(": ") + QString::number(captionValue(caption));
}

QString keyPictureName(bool correct)
{
    return correct ? QStringLiteral("Bien") : QStringLiteral("Error");
}

QString verdictName(qint64 mistakes)
{
    if (mistakes == 0)
        return QStringLiteral("Sin faltas");
    if (mistakes == 1)
        return QStringLiteral("1 falta");
    return QString::number(mistakes) + QStringLiteral(" faltas");
}

QString finishAnnouncement(qint64 mistakes, const QString &summary)
{
    QString line = summary.trimmed();
    const QString frame = QStringLiteral("**");
    if (line.startsWith(frame))
        line.remove(0, frame.size());
    if (line.endsWith(frame))
        line.chop(frame.size());
    line = line.trimmed();
    // Before the clock's first tick the seconds are blank: no dash to read.
    if (line.startsWith(u'-'))
        line = line.mid(1).trimmed();
    return QStringLiteral("Ejercicio terminado. ") + verdictName(mistakes) + QStringLiteral(". ") +
           line;
}

QString choiceAnnouncement(const QString &typeName, int number)
{
    return typeName + QStringLiteral(", ejercicio ") + QString::number(number);
}

QString shownAnnouncement(const QString &name, bool shown)
{
    return name + (shown ? QStringLiteral(": abierto") : QStringLiteral(": cerrado"));
}

} // namespace letro
