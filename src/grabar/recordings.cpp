#include "recordings.h"

#include "exercise/exercisefile.h"

#include <QDir>
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
        job.exists = QFileInfo::exists(job.wavPath);
        jobs.append(job);
    }
    std::sort(jobs.begin(), jobs.end(), [](const RecordingJob &a, const RecordingJob &b) {
        return QFileInfo(a.textPath).fileName().toLongLong() <
               QFileInfo(b.textPath).fileName().toLongLong();
    });
    return jobs;
}

QStringList speechArguments(const SpeechOptions &options, const QString &wavPath)
{
    return {QStringLiteral("-v"), options.voice,
            QStringLiteral("-s"), QString::number(options.wordsPerMinute),
            QStringLiteral("-g"), QString::number(options.wordGap),
            QStringLiteral("-w"), wavPath,
            QStringLiteral("--stdin")};
}

QString synthesise(const SpeechOptions &options, const QString &text, const QString &wavPath)
{
    QProcess speech;
    speech.setProcessChannelMode(QProcess::MergedChannels);
    speech.start(options.program, speechArguments(options, wavPath));
    if (!speech.waitForStarted(10000))
        return QStringLiteral("no se puede ejecutar %1").arg(options.program);
    speech.write(text.toUtf8());
    speech.write("\n");
    speech.closeWriteChannel();
    if (!speech.waitForFinished(120000)) {
        speech.kill();
        speech.waitForFinished();
        return QStringLiteral("%1 no terminó").arg(options.program);
    }
    if (speech.exitStatus() != QProcess::NormalExit || speech.exitCode() != 0)
        return QString::fromLocal8Bit(speech.readAll()).trimmed();
    if (QFileInfo(wavPath).size() <= 44)
        return QStringLiteral("la grabación salió vacía");
    return QString();
}

} // namespace letro
