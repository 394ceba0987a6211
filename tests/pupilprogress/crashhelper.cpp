// Keeps attempts in the pupil's SQLite file one after another, for ever, and
// says "guardado <id>" on its output as each one is reported kept. The crash
// test kills it with SIGKILL at some moment in the middle.
//
//   letro_progress_crash_helper FILE
#include "progress/attemptrecord.h"
#include "progress/progressrecorder.h"

#include <QCoreApplication>

#include <cstdio>

using namespace letro;
using namespace letro::progress;

namespace {

// An attempt with many mistakes, so that a kill often falls inside a write.
AttemptRecord attemptNumber(int n)
{
    const QString text = QStringLiteral("La vaca bebe agua en el huerto de Víctor %1.").arg(n);
    QList<MistakeRecord> mistakes;
    for (int i = 0; i < 40; ++i) {
        const int position = i % int(text.size());
        mistakes.append({position, QString(text.at(position)), QStringLiteral("x"),
                         mistakeKinds().at(i % mistakeKinds().size())});
    }
    return newAttempt(QStringLiteral("pupila"), QStringLiteral("Frase corta"), n, text, n % 2 == 0,
                      30 + n, 25, qint64(mistakes.size()), mistakes);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc < 2)
        return 2;
    StoreSettings settings;
    settings.localPath = QString::fromLocal8Bit(argv[1]);
    ProgressRecorder recorder(settings, 0);
    int next = 1;
    QObject::connect(&recorder, &ProgressRecorder::recorded, &app, [&](const QUuid &id) {
        std::printf("guardado %s\n", qPrintable(id.toString(QUuid::WithoutBraces)));
        std::fflush(stdout);
        recorder.record(attemptNumber(next++));
    });
    QObject::connect(&recorder, &ProgressRecorder::problem, &app, [](const QString &message) {
        std::fprintf(stderr, "problema: %s\n", qPrintable(message));
    });
    // Two in flight: one being written while the next waits.
    recorder.record(attemptNumber(next++));
    recorder.record(attemptNumber(next++));
    return app.exec();
}
