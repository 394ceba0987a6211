#include "score.h"

#include <cmath>
#include <limits>

namespace letro {

qint64 captionValue(const QString &caption)
{
    qint64 value = 0;
    for (QChar c : caption) {
        if (c < u'0' || c > u'9')
            break;
        const int digit = c.unicode() - u'0';
        if (value > (std::numeric_limits<qint64>::max() - digit) / 10)
            return std::numeric_limits<qint64>::max();
        value = value * 10 + digit;
    }
    return value;
}

QString incrementedCaption(const QString &caption)
{
    return QString::number(
        saturatingIncrement(captionValue(caption), std::numeric_limits<qint64>::max()));
}

qint64 keystrokeRate(qint64 hits, qint64 elapsedSeconds)
{
    if (elapsedSeconds <= 0)
        return 0;
    return static_cast<qint64>(std::floor(double(hits) * 60.0 / double(elapsedSeconds)));
}

SummaryFigures summaryFigures(const QString &secondsCaption, const QString &hitsCaption,
                              const QString &mistakesCaption, qint64 elapsedSeconds)
{
    SummaryFigures figures;
    figures.seconds = captionValue(secondsCaption);
    figures.hits = captionValue(hitsCaption);
    figures.mistakes = captionValue(mistakesCaption);
    figures.keysPerMinute = keystrokeRate(figures.hits, elapsedSeconds);
    return figures;
}

QString summaryLine(const QString &secondsCaption, const QString &hitsCaption,
                    const QString &mistakesCaption, qint64 elapsedSeconds)
{
    const qint64 rate =
        summaryFigures(secondsCaption, hitsCaption, mistakesCaption, elapsedSeconds).keysPerMinute;
    return QStringLiteral(" ** ") + secondsCaption + QStringLiteral(" - ") + QString::number(rate) +
           QStringLiteral("(p/m) - ") + mistakesCaption + QStringLiteral(" Errores - ") +
           hitsCaption + QStringLiteral(" Aciertos **");
}

QString verdictPicture(qint64 mistakes)
{
    if (mistakes == 0)
        return QStringLiteral("/gifs/ani.gif");
    if (mistakes >= 1 && mistakes <= 4)
        return QStringLiteral("/gifs/%1.gif").arg(mistakes + 1);
    return QString();
}

double verdictLeft(double sizeButtonRight, qint64 mistakes)
{
    return float(sizeButtonRight + (mistakes == 0 ? -20.0 : 500.0));
}

QString tallyCaption(qint64 count, bool clean)
{
    return QString::number(count) +
           (clean ? QStringLiteral(" SIN FALTAS") : QStringLiteral(" CON FALTAS"));
}

QString secondsCaption(qint64 seconds)
{
    return QString::number(seconds) + QStringLiteral(" Seg.");
}

} // namespace letro
