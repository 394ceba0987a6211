// Prints what a pupil's results file holds, one attempt a line, oldest
// first, for the end-to-end run to compare:
//
//   e2e-progress-read FILE PUPIL
//   total 3
//   Palabras 1 terminado 4 aciertos 1 errores: b-v
#include "progress/database.h"

#include <QCoreApplication>

#include <algorithm>
#include <cstdio>

using namespace letro::progress;

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: e2e-progress-read FILE PUPIL\n");
        return 2;
    }
    StoreSettings settings;
    settings.localPath = QString::fromLocal8Bit(argv[1]);
    ProgressDatabase database(Backend::SQLite);
    Outcome outcome = database.open(settings);
    if (!outcome.ok()) {
        std::fprintf(stderr, "cannot open: %s\n", qUtf8Printable(problemMessage(outcome)));
        return 1;
    }
    const qint64 total = database.attemptCount(&outcome);
    QList<AttemptRecord> attempts =
        database.attempts(QString::fromLocal8Bit(argv[2]), DateSpan(), &outcome);
    if (!outcome.ok()) {
        std::fprintf(stderr, "cannot read: %s\n", qUtf8Printable(outcome.detail));
        return 1;
    }
    std::stable_sort(
        attempts.begin(), attempts.end(),
        [](const AttemptRecord &a, const AttemptRecord &b) { return a.when < b.when; });
    std::printf("total %lld\n", static_cast<long long>(total));
    for (const AttemptRecord &attempt : attempts) {
        QStringList kinds;
        for (const MistakeRecord &mistake : attempt.mistakeList)
            kinds.append(mistakeKindCode(mistake.kind));
        std::printf("%s %d %s %lld aciertos %lld errores: %s\n",
                    qUtf8Printable(attempt.exerciseType), attempt.exerciseNumber,
                    attempt.finished ? "terminado" : "dejado", static_cast<long long>(attempt.hits),
                    static_cast<long long>(attempt.mistakes),
                    qUtf8Printable(kinds.join(QLatin1Char(' '))));
    }
    return 0;
}
