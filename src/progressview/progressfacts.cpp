#include "progressfacts.h"

#include "progress/problems.h"
#include "progress/progressstore.h"

#include <algorithm>
#include <array>
#include <utility>

namespace letro::progressview {

using progress::KindCount;
using progress::MistakesPoint;

namespace {

constexpr std::array Rules = {Rule::BV,       Rule::H,           Rule::Accents, Rule::YI,
                              Rule::Capitals, Rule::Punctuation, Rule::Blanks};

bool hasAny(const QString &text, QStringView characters)
{
    return std::any_of(text.cbegin(), text.cend(),
                       [characters](QChar c) { return characters.contains(c); });
}

} // namespace

std::optional<Rule> ruleOf(Mistake kind)
{
    switch (kind) {
    case Mistake::CapitalLetter:
        return Rule::Capitals;
    case Mistake::YForI:
        return Rule::YI;
    case Mistake::BForV:
        return Rule::BV;
    case Mistake::SuperfluousH:
    case Mistake::MissingH:
        return Rule::H;
    case Mistake::MissingAccent:
    case Mistake::SuperfluousAccent:
        return Rule::Accents;
    case Mistake::MissingBlank:
        return Rule::Blanks;
    case Mistake::MissingPunctuation:
        return Rule::Punctuation;
    case Mistake::WrongLetter:
    case Mistake::None:
        break;
    }
    return std::nullopt;
}

QString ruleName(Rule rule)
{
    switch (rule) {
    case Rule::BV:
        return QStringLiteral("b/v");
    case Rule::H:
        return QStringLiteral("h");
    case Rule::Accents:
        return QStringLiteral("tildes");
    case Rule::YI:
        return QStringLiteral("y/i");
    case Rule::Capitals:
        return QStringLiteral("mayúsculas");
    case Rule::Punctuation:
        return QStringLiteral("signos de puntuación");
    case Rule::Blanks:
        return QStringLiteral("espacios");
    }
    return QString();
}

bool practisesRule(Rule rule, const QString &text)
{
    switch (rule) {
    case Rule::BV:
        return hasAny(text, u"bBvV");
    case Rule::H:
        return hasAny(text, u"hH");
    case Rule::Accents:
        // A pupil who puts accents where there are none practises where they go.
        return hasAny(text, u"áéíóúÁÉÍÓÚ");
    case Rule::YI:
        // Nearly every text has an i: the y is what is confused with it.
        return hasAny(text, u"yY");
    case Rule::Capitals:
        return std::any_of(text.cbegin(), text.cend(), [](QChar c) { return c.isUpper(); });
    case Rule::Punctuation:
        return std::any_of(text.cbegin(), text.cend(), [](QChar c) { return c.isPunct(); });
    case Rule::Blanks:
        return text.trimmed().contains(u' ');
    }
    return false;
}

std::optional<Rule> suggestedRule(const QList<KindCount> &recent, const QList<KindCount> &all)
{
    const auto total = [](const QList<KindCount> &counts, Rule rule) {
        qint64 sum = 0;
        for (const KindCount &count : counts) {
            if (ruleOf(count.kind) == rule)
                sum += count.count;
        }
        return sum;
    };
    std::optional<Rule> best;
    std::pair<qint64, qint64> bestScore{0, 0};
    for (Rule rule : Rules) {
        const std::pair<qint64, qint64> score{total(recent, rule), total(all, rule)};
        if (score > bestScore) {
            best = rule;
            bestScore = score;
        }
    }
    return best;
}

progress::DateSpan recentSpan(const QList<MistakesPoint> &points)
{
    if (points.isEmpty())
        return {};
    QDateTime newest = points.first().when;
    for (const MistakesPoint &point : points)
        newest = std::max(newest, point.when);
    return {newest.addDays(-RecentDays), newest.addMSecs(1)};
}

QString dictationName(const QString &typeName, int number)
{
    return typeName + QLatin1Char(' ') + QString::number(number);
}

QList<Dictation> practiceFor(Rule rule, const QList<Dictation> &dictations)
{
    QList<Dictation> chosen;
    for (const Dictation &dictation : dictations) {
        if (practisesRule(rule, dictation.text))
            chosen.append(dictation);
    }
    return chosen;
}

ProgressReport readReport(progress::ProgressStore &store, const QString &pupil,
                          const std::function<QList<Dictation>()> &dictations)
{
    ProgressReport report;
    progress::Outcome outcome;
    progress::ProgressDatabase *database = store.reader(&outcome);
    if (!database) {
        report.problem = progress::problemMessage(outcome);
        return report;
    }
    // The first trouble met is the one said; what could be read is shown.
    const auto note = [&report](const progress::Outcome &met) {
        if (!met.ok() && report.problem.isEmpty())
            report.problem = progress::problemMessage(met);
    };
    const progress::DateSpan everything;
    // Only what is shown is read: ten years of a pupil's history are too
    // many attempts to bring back each time the window opens.
    report.points = database->mistakesOverTime(pupil, everything, ShownAttempts, &outcome);
    note(outcome);
    report.finished = database->finishedCount(pupil, everything, &outcome);
    note(outcome);
    report.kinds = database->mistakesByKind(pupil, everything, &outcome);
    note(outcome);
    const QList<KindCount> recent =
        database->mistakesByKind(pupil, recentSpan(report.points), &outcome);
    note(outcome);
    report.words = database->mostMissedWords(pupil, everything, ShownWords, &outcome);
    note(outcome);
    report.rule = suggestedRule(recent, report.kinds);
    if (report.rule && dictations)
        report.practice = practiceFor(*report.rule, dictations());
    return report;
}

QString noHistoryLine()
{
    return QStringLiteral("Todavía no has terminado ningún dictado.");
}

qint64 finishedCount(const ProgressReport &report)
{
    return report.finished;
}

bool hasHistory(const ProgressReport &report)
{
    return finishedCount(report) > 0;
}

QString dateText(const QDateTime &when)
{
    return when.toLocalTime().toString(QStringLiteral("d/M/yyyy HH:mm"));
}

QList<QStringList> attemptRows(const QList<MistakesPoint> &points)
{
    QList<QStringList> rows;
    const qsizetype first = std::max<qsizetype>(0, points.size() - ShownAttempts);
    for (qsizetype i = points.size() - 1; i >= first; --i) {
        const MistakesPoint &point = points.at(i);
        rows.append({dateText(point.when), dictationName(point.exerciseType, point.exerciseNumber),
                     QString::number(point.mistakes)});
    }
    return rows;
}

QList<KindCount> madeKinds(const QList<KindCount> &kinds)
{
    QList<KindCount> made;
    for (const KindCount &count : kinds) {
        if (count.count > 0 && count.kind != Mistake::None)
            made.append(count);
    }
    std::stable_sort(made.begin(), made.end(),
                     [](const KindCount &a, const KindCount &b) { return a.count > b.count; });
    return made;
}

QList<QStringList> kindRows(const QList<KindCount> &kinds)
{
    QList<QStringList> rows;
    for (const KindCount &count : madeKinds(kinds))
        rows.append({progress::mistakeKindName(count.kind), QString::number(count.count)});
    return rows;
}

QList<QStringList> wordRows(const QList<progress::WordCount> &words)
{
    QList<QStringList> rows;
    for (const progress::WordCount &word : words)
        rows.append({word.word, QString::number(word.count)});
    return rows;
}

QString suggestionText(const std::optional<Rule> &rule)
{
    return rule ? QStringLiteral("Para practicar: ") + ruleName(*rule) : QString();
}

QString openingAnnouncement(const ProgressReport &report)
{
    QStringList said;
    if (!report.problem.isEmpty())
        said.append(report.problem);
    if (!hasHistory(report)) {
        if (report.problem.isEmpty())
            said.append(noHistoryLine());
        return said.join(QLatin1Char(' '));
    }
    const qint64 finished = finishedCount(report);
    said.append(finished == 1 ? QStringLiteral("Has terminado 1 dictado.")
                              : QStringLiteral("Has terminado %1 dictados.").arg(finished));
    const QList<KindCount> made = madeKinds(report.kinds);
    if (made.isEmpty()) {
        said.append(QStringLiteral("¡No has tenido ningún error!"));
        return said.join(QLatin1Char(' '));
    }
    said.append(QStringLiteral("El error que más repites: %1.")
                    .arg(progress::mistakeKindName(made.first().kind)));
    if (report.rule) {
        said.append(suggestionText(report.rule) + QLatin1Char('.'));
        const qsizetype count = report.practice.size();
        if (count == 0)
            said.append(QStringLiteral("No hay dictados para practicarlo en tu carpeta."));
        else if (count == 1)
            said.append(QStringLiteral("Hay 1 dictado para practicarlo."));
        else
            said.append(QStringLiteral("Hay %1 dictados para practicarlo.").arg(count));
    }
    return said.join(QLatin1Char(' '));
}

} // namespace letro::progressview
