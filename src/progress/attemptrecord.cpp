#include "attemptrecord.h"

#include "scoring/score.h"

#include <pwd.h>
#include <unistd.h>

namespace letro::progress {

namespace {

struct KindName
{
    Mistake kind;
    const char *code;
};

// Stored names of the kinds: never change one, only add.
constexpr KindName kindNames[] = {
    {Mistake::CapitalLetter, "mayuscula"},
    {Mistake::YForI, "y-i"},
    {Mistake::BForV, "b-v"},
    {Mistake::SuperfluousH, "h-sobra"},
    {Mistake::MissingH, "h-falta"},
    {Mistake::MissingAccent, "tilde-falta"},
    {Mistake::SuperfluousAccent, "tilde-sobra"},
    {Mistake::MissingBlank, "blanco"},
    {Mistake::MissingPunctuation, "puntuacion"},
    {Mistake::WrongLetter, "letra"},
};

bool isWordCharacter(QChar c)
{
    return c.isLetterOrNumber() || c.isMark();
}

} // namespace

bool AttemptRecord::operator==(const AttemptRecord &other) const
{
    return id == other.id && pupil == other.pupil && when == other.when &&
           exerciseType == other.exerciseType && exerciseNumber == other.exerciseNumber &&
           text == other.text && finished == other.finished && seconds == other.seconds &&
           keysPerMinute == other.keysPerMinute && hits == other.hits &&
           mistakes == other.mistakes && mistakeList == other.mistakeList;
}

AttemptRecord newAttempt(const QString &pupil, const QString &exerciseType, int exerciseNumber,
                         const QString &text, bool finished, qint64 seconds, qint64 hits,
                         qint64 mistakes, const QList<MistakeRecord> &mistakeList)
{
    AttemptRecord attempt;
    attempt.id = QUuid::createUuid();
    attempt.pupil = pupil;
    // Milliseconds are what the store keeps, so what is read back compares equal.
    attempt.when = QDateTime::fromMSecsSinceEpoch(QDateTime::currentMSecsSinceEpoch(), Qt::UTC);
    attempt.exerciseType = exerciseType;
    attempt.exerciseNumber = exerciseNumber;
    attempt.text = text;
    attempt.finished = finished;
    attempt.seconds = seconds;
    attempt.keysPerMinute = keystrokeRate(hits, seconds);
    attempt.hits = hits;
    attempt.mistakes = mistakes;
    attempt.mistakeList = mistakeList;
    return attempt;
}

QString mistakeKindCode(Mistake kind)
{
    for (const KindName &name : kindNames) {
        if (name.kind == kind) {
            return QString::fromLatin1(name.code);
        }
    }
    return QString();
}

Mistake mistakeKindFromCode(const QString &code)
{
    for (const KindName &name : kindNames) {
        if (code == QLatin1String(name.code)) {
            return name.kind;
        }
    }
    return Mistake::None;
}

QList<Mistake> mistakeKinds()
{
    QList<Mistake> kinds;
    for (const KindName &name : kindNames) {
        kinds.append(name.kind);
    }
    return kinds;
}

QString wordAt(const QString &text, int position)
{
    if (position < 0 || position > text.size()) {
        return QString();
    }
    int end = position;
    if (position == text.size() || !isWordCharacter(text.at(position))) {
        // A blank or mark: the word just before it.
        if (position == 0 || !isWordCharacter(text.at(position - 1))) {
            return QString();
        }
    } else {
        while (end < text.size() && isWordCharacter(text.at(end))) {
            ++end;
        }
    }
    int start = position;
    while (start > 0 && isWordCharacter(text.at(start - 1))) {
        --start;
    }
    return text.mid(start, end - start).toLower();
}

QString mistakeKindName(Mistake kind)
{
    switch (kind) {
    case Mistake::CapitalLetter:
        return QStringLiteral("mayúsculas");
    case Mistake::YForI:
        return QStringLiteral("y/i");
    case Mistake::BForV:
        return QStringLiteral("b/v");
    case Mistake::SuperfluousH:
        return QStringLiteral("h que sobra");
    case Mistake::MissingH:
        return QStringLiteral("h que falta");
    case Mistake::MissingAccent:
        return QStringLiteral("tilde que falta");
    case Mistake::SuperfluousAccent:
        return QStringLiteral("tilde que sobra");
    case Mistake::MissingBlank:
        return QStringLiteral("espacios");
    case Mistake::MissingPunctuation:
        return QStringLiteral("signos de puntuación");
    case Mistake::WrongLetter:
        return QStringLiteral("otra letra");
    case Mistake::None:
        break;
    }
    return QString();
}

QString desktopPupil()
{
    if (const passwd *entry = getpwuid(getuid())) {
        return QString::fromLocal8Bit(entry->pw_name);
    }
    return qEnvironmentVariable("USER");
}

} // namespace letro::progress
