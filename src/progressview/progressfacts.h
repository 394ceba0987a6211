// What the progress window "Mi progreso" says, decided apart from the window:
// the spelling rule each kind of mistake belongs to, which rule to suggest, which dictations
// practise it, the rows of the tables and what is spoken when the window opens. The window only
// shows what these give.
#pragma once

#include "checker/classify.h"
#include "progress/database.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace letro::progress {
class ProgressStore;
}

namespace letro::progressview {

// The spelling rules a pupil can practise, in the order a tie between them
// is decided: the first named wins.
enum class Rule { BV, H, Accents, YI, Capitals, Punctuation, Blanks };

// The rule a kind of mistake breaks; none for a letter simply wrong.
std::optional<Rule> ruleOf(Mistake kind);
// The rule as the suggestion names it: "b/v", "h", "tildes", ...
QString ruleName(Rule rule);
// Whether a dictation's text practises the rule (b/v: it has a b or a v).
bool practisesRule(Rule rule, const QString &text);

// The rule to practise: the one with most mistakes in `recent`, a tie
// decided by `all` (the whole history), then by the rules' order. None when
// no rule has a mistake in either.
std::optional<Rule> suggestedRule(const QList<progress::KindCount> &recent,
                                  const QList<progress::KindCount> &all);

// Attempts as far back as this before the newest count as recent.
constexpr int RecentDays = 30;
// How many attempts the chart and its table show: the newest.
constexpr int ShownAttempts = 100;

// The span of the recent attempts: the RecentDays before the newest attempt
// (a pupil back after the holidays is told about the weeks before them).
// `points` holds at least the newest attempt.
progress::DateSpan recentSpan(const QList<progress::MistakesPoint> &points);

// A dictation of the pupil's exercise folder.
struct Dictation
{
    int type = 0;     // 0 "Palabras", 1 "Frase corta", 2 "Frase larga"
    QString typeName; // the type's name, which is also its folder's
    int number = 0;
    QString text;

    bool operator==(const Dictation &other) const
    {
        return type == other.type && typeName == other.typeName && number == other.number &&
               text == other.text;
    }
};

// "Palabras 3".
QString dictationName(const QString &typeName, int number);
// The dictations that practise the rule, in the order given.
QList<Dictation> practiceFor(Rule rule, const QList<Dictation> &dictations);

// Everything the window shows, read on the store's thread.
struct ProgressReport
{
    QString problem; // what the store said went wrong, in Spanish; empty when it read
    QList<progress::MistakesPoint> points; // the ShownAttempts newest attempts, oldest first
    qint64 finished = 0;                   // the attempts finished, in the whole history
    QList<progress::KindCount> kinds;      // the whole history's, every kind
    QList<progress::WordCount> words;      // the words most often missed
    std::optional<Rule> rule;              // the rule to practise
    QList<Dictation> practice;             // the dictations that practise it
};

// How many words the window lists.
constexpr int ShownWords = 10;

// Reads the report of `pupil` from `store`; `dictations` lists the pupil's
// exercise folder (called here, off the window's thread).
ProgressReport readReport(progress::ProgressStore &store, const QString &pupil,
                          const std::function<QList<Dictation>()> &dictations);

// The line shown (and spoken) without a finished attempt.
QString noHistoryLine();
bool hasHistory(const ProgressReport &report);
qint64 finishedCount(const ProgressReport &report);

// The rows of the tables, as they are read.
QString dateText(const QDateTime &when); // "8/12/2026 21:47", local time
QList<QStringList> attemptRows(const QList<progress::MistakesPoint> &points); // newest first
QList<QStringList> kindRows(const QList<progress::KindCount> &kinds);         // made, most first
QList<QStringList> wordRows(const QList<progress::WordCount> &words);
// The kinds as kindRows orders them, for the bar chart.
QList<progress::KindCount> madeKinds(const QList<progress::KindCount> &kinds);

// "Para practicar: b/v", or empty with no rule.
QString suggestionText(const std::optional<Rule> &rule);
// What is spoken when the report is shown.
QString openingAnnouncement(const ProgressReport &report);

} // namespace letro::progressview
