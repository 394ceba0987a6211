// letro-grabar: makes the missing recordings of exercise folders with a
// Spanish synthetic voice, so that every exercise text N has its N.wav.
#include "grabar/recordings.h"

#include "exercise/exercisefile.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("letro-grabar"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.0"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Graba con voz sintética (espeak-ng) los dictados que aún no tienen grabación:\n"
        "para cada texto N de cada carpeta crea N.wav si no existe."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption voice({QStringLiteral("v"), QStringLiteral("voz")},
                                   QStringLiteral("Voz de espeak-ng (por omisión: es)."),
                                   QStringLiteral("voz"), QStringLiteral("es"));
    const QCommandLineOption speed({QStringLiteral("s"), QStringLiteral("velocidad")},
                                   QStringLiteral("Palabras por minuto (por omisión: 110)."),
                                   QStringLiteral("ppm"), QStringLiteral("110"));
    const QCommandLineOption overwrite(
        QStringLiteral("sobrescribir"),
        QStringLiteral("Vuelve a grabar también los dictados que ya tienen grabación."));
    const QCommandLineOption program(QStringLiteral("espeak"),
                                     QStringLiteral("Programa de voz (por omisión: espeak-ng)."),
                                     QStringLiteral("programa"), QStringLiteral("espeak-ng"));
    parser.addOptions({voice, speed, overwrite, program});
    parser.addPositionalArgument(QStringLiteral("carpeta"),
                                 QStringLiteral("Carpetas de ejercicios (p. ej. \"Palabras\")."),
                                 QStringLiteral("carpeta..."));
    parser.process(app);

    QTextStream out(stdout);
    QTextStream err(stderr);
    const QStringList folders = parser.positionalArguments();
    if (folders.isEmpty()) {
        err << "letro-grabar: falta la carpeta de ejercicios\n";
        return 2;
    }
    bool ok = false;
    letro::SpeechOptions options;
    options.voice = parser.value(voice);
    options.wordsPerMinute = parser.value(speed).toInt(&ok);
    if (!ok || options.wordsPerMinute < 40 || options.wordsPerMinute > 400) {
        err << "letro-grabar: la velocidad debe ser un número entre 40 y 400\n";
        return 2;
    }
    options.program = parser.value(program);

    int failures = 0;
    for (const QString &folder : folders) {
        if (!QFileInfo(folder).isDir()) {
            err << "letro-grabar: no es una carpeta: " << folder << '\n';
            ++failures;
            continue;
        }
        for (const letro::RecordingJob &job : letro::recordingJobs(folder)) {
            if (job.exists && !parser.isSet(overwrite)) {
                out << "ya existe: " << QDir::toNativeSeparators(job.wavPath) << '\n';
                continue;
            }
            const letro::ExerciseText text = letro::readExerciseFile(job.textPath);
            if (text.status != letro::ReadStatus::Ok || text.text.trimmed().isEmpty()) {
                out << "sin texto, omitido: " << QDir::toNativeSeparators(job.textPath) << '\n';
                continue;
            }
            const QString problem = letro::synthesise(options, text.text, job.wavPath);
            if (problem.isEmpty()) {
                out << "grabado: " << QDir::toNativeSeparators(job.wavPath) << '\n';
            } else {
                err << "letro-grabar: " << job.wavPath << ": " << problem << '\n';
                ++failures;
            }
            out.flush();
        }
    }
    return failures == 0 ? 0 : 1;
}
