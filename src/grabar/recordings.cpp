#include "recordings.h"

#include "exercise/exercisefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>

#include <algorithm>

namespace letro {

QList<RecordingJob> recordingJobs(const QString &folder)
{
    static const QRegularExpression number(QStringLiteral("^[1-9][0-9]*$"));
    QList<RecordingJob> jobs;
    const QDir dir(folder);
    const QStringList names = dir.entryList(QDir::Files | QDir::NoDotAndDotDot);
    for (const QString &name : names) {
        if (!number.match(name).hasMatch() || !isOrdinaryFile(dir.filePath(name)))
            continue;
        RecordingJob job;
        job.textPath = dir.filePath(name);
        job.wavPath = job.textPath + QStringLiteral(".wav");
        job.exists = isOrdinaryFile(job.wavPath);
        jobs.append(job);
    }
    // Digits without leading zeros: the shorter name is the smaller number,
    // and names of one length compare as their numbers do, however long.
    std::sort(jobs.begin(), jobs.end(), [](const RecordingJob &a, const RecordingJob &b) {
        const QString x = QFileInfo(a.textPath).fileName();
        const QString y = QFileInfo(b.textPath).fileName();
        return x.size() != y.size() ? x.size() < y.size() : x < y;
    });
    return jobs;
}

QStringList speechArguments(const SpeechOptions &options, const QString &wavPath)
{
    return {QStringLiteral("-v"),     options.voice,
            QStringLiteral("-s"),     QString::number(options.wordsPerMinute),
            QStringLiteral("-g"),     QString::number(options.wordGap),
            QStringLiteral("-b"),     QStringLiteral("1"),
            QStringLiteral("-w"),     wavPath,
            QStringLiteral("--stdin")};
}

QString synthesise(const SpeechOptions &options, const QString &text, const QString &wavPath)
{
    const QFileInfo target(wavPath);
    const QString partPath =
        target.dir().filePath(QLatin1Char('.') + target.fileName() + QStringLiteral(".part"));
    QFile::remove(partPath);

    QProcess speech;
    speech.setProcessChannelMode(QProcess::MergedChannels);
    speech.start(options.program, speechArguments(options, partPath));
    if (!speech.waitForStarted(10000))
        return QStringLiteral("no se puede ejecutar %1").arg(options.program);
    speech.write(text.toUtf8());
    speech.write("\n");
    speech.closeWriteChannel();
    QString problem;
    if (!speech.waitForFinished(120000)) {
        speech.kill();
        speech.waitForFinished();
        problem = QStringLiteral("%1 no terminó").arg(options.program);
    } else if (speech.exitStatus() != QProcess::NormalExit || speech.exitCode() != 0) {
        problem = QString::fromLocal8Bit(speech.readAll()).trimmed();
        if (problem.isEmpty())
            problem = QStringLiteral("%1 falló").arg(options.program);
    } else if (QFileInfo(partPath).size() <= 44) {
        problem = QStringLiteral("la grabación salió vacía");
    } else if (QFileInfo::exists(wavPath) && !QFile::remove(wavPath)) {
        problem = QStringLiteral("no se puede sustituir la grabación");
    } else if (!QFile::rename(partPath, wavPath)) {
        problem = QStringLiteral("no se puede guardar la grabación");
    }
    if (!problem.isEmpty())
        QFile::remove(partPath);
    return problem;
}

} // namespace letro
