// The editor's changes cut short: does one change of an exercise folder and
// kills itself with SIGKILL just before file-system step k (LETRO_KILL_AT),
// as a power cut or a crash would stop the editor. Without LETRO_KILL_AT it
// does the whole change and prints how many steps it took and at which step
// the change was taken ("pasos N tomados T").
//
//   letro_crash_helper FOLDER OPERATION...
//
// OPERATION: add, edit N, remove N, up N, down N, moveto N T, gaps, record N,
// synthesise N, missing: record what is missing of every dictation, or
// recover: put the folder right as opening it does; copy SOURCE: make a copy
// of the Letro in SOURCE inside FOLDER (and print what was put right in it).
#include "editor/letrofolder.h"
#include "folder/exercisefolder.h"
#include "folder/filesystem.h"
#include "folder/journal.h"
#include "folder/recordings.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

#include <algorithm>
#include <csignal>
#include <cstdio>

using namespace letro::editor;

namespace {

class KillingGate : public StepGate
{
public:
    explicit KillingGate(long killAt) : m_killAt(killAt) {}
    int before(Step step, const QString &, const QString &) override
    {
        if (++steps == m_killAt)
            std::raise(SIGKILL);
        if (step == Step::Append)
            taken = steps;
        return 0;
    }
    long steps = 0;
    long taken = 0;

private:
    long m_killAt;
};

// The speech program of LETRO_SPEECH.
SpeechOptions speech()
{
    SpeechOptions options;
    options.program = qEnvironmentVariable("LETRO_SPEECH", options.program);
    return options;
}

// As "Grabar lo que falta" does: for each dictation that lacks a recording,
// in order, the ones it lacks spoken under hidden names and put in place in
// one change of its own, made only while the dictation is as it was seen.
QString recordMissing(TypeFolder &folder)
{
    const QList<Exercise> exercises = folder.exercises();
    for (const int number : unrecorded(exercises)) {
        const auto e = std::find_if(exercises.cbegin(), exercises.cend(),
                                    [number](const Exercise &x) { return x.number == number; });
        folder.expect({folder.identity(number, number)});
        const QString normal = folder.newRecordingPath(number);
        const QString slow = folder.newSlowRecordingPath(number);
        QString problem;
        if (e->recording != RecordingState::Present)
            problem = synthesise(speech(), e->text, normal);
        if (problem.isEmpty() && e->slowRecording != RecordingState::Present)
            problem = synthesiseSlow(speech(), e->text, slow);
        if (problem.isEmpty())
            problem = folder.replaceRecordings(number);
        QFile::remove(normal);
        QFile::remove(slow);
        if (!problem.isEmpty())
            return QStringLiteral("dictado %1: %2").arg(number).arg(problem);
    }
    return QString();
}

QString run(TypeFolder &folder, const QStringList &words, QString *note)
{
    const QString &what = words.value(0);
    const int n = words.value(1).toInt();
    if (what == QLatin1String("add"))
        return folder.add(QStringLiteral("Nuevo dictado"));
    if (what == QLatin1String("edit"))
        return folder.edit(n, QStringLiteral("Nuevo dictado"));
    if (what == QLatin1String("remove"))
        return folder.remove(n);
    if (what == QLatin1String("up"))
        return folder.moveUp(n);
    if (what == QLatin1String("down"))
        return folder.moveDown(n);
    if (what == QLatin1String("moveto"))
        return folder.moveTo(n, words.value(2).toInt());
    if (what == QLatin1String("gaps"))
        return folder.closeGaps();
    if (what == QLatin1String("recover")) {
        const Recovery recovery = recoverFolder(folder.path());
        return recovery.outcome == Recovery::Failed ? recovery.problem : QString();
    }
    if (what == QLatin1String("copy"))
        return copyLetro(words.value(1), folder.path(), nullptr, nullptr, note);
    if (what == QLatin1String("missing"))
        return recordMissing(folder);
    if (what == QLatin1String("record")) {
        // New recordings are made beside the old ones, then put in place.
        for (const QString &path : {folder.newRecordingPath(n), folder.newSlowRecordingPath(n)})
            if (const QString problem = writeNewFile(path, "RIFF grabacion nueva " +
                                                               QFileInfo(path).fileName().toUtf8());
                !problem.isEmpty())
                return problem;
        return folder.replaceRecordings(n);
    }
    if (what == QLatin1String("synthesise")) {
        // As "Sintetizar" and each dictation of "Grabar lo que falta" do:
        // both recordings spoken under hidden names (the speech program in
        // LETRO_SPEECH), then put in place in one change.
        const SpeechOptions options = speech();
        const QString text = QStringLiteral("Nuevo dictado");
        QString problem = synthesise(options, text, folder.newRecordingPath(n));
        if (problem.isEmpty())
            problem = synthesiseSlow(options, text, folder.newSlowRecordingPath(n));
        return problem.isEmpty() ? folder.replaceRecordings(n) : problem;
    }
    return QStringLiteral("no sé hacer «%1»").arg(words.join(QLatin1Char(' ')));
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() < 3) {
        std::fputs("uso: letro_crash_helper CARPETA OPERACIÓN...\n", stderr);
        return 2;
    }
    KillingGate gate(qEnvironmentVariableIntValue("LETRO_KILL_AT"));
    setStepGate(&gate);
    TypeFolder folder(arguments.at(1));
    QString note;
    const QString problem = run(folder, arguments.mid(2), &note);
    setStepGate(nullptr);
    QTextStream out(stdout);
    if (!problem.isEmpty()) {
        out << "error: " << problem << '\n';
        return 1;
    }
    out << "pasos " << gate.steps << " tomados " << gate.taken << '\n';
    if (!note.isEmpty())
        out << note << '\n';
    return 0;
}
