// letro-grabar: makes the missing recordings of exercise folders with a
// Spanish synthetic voice, so that every exercise text N has its N.wav.
// Every exercise gets one line on standard output: made, already there, or
// skipped; problems go to standard error.
#include "grabar/recordings.h"

#include "exercise/exercisefile.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
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
    parser.addVersionOption(); // takes -v, so the voice has only its long name
    const QCommandLineOption voice(QStringLiteral("voz"),
                                   QStringLiteral("Voz de espeak-ng (por omisión: es)."),
                                   QStringLiteral("voz"), QStringLiteral("es"));
    const QCommandLineOption speed({QStringLiteral("s"), QStringLiteral("velocidad")},
                                   QStringLiteral("Palabras por minuto, de 40 a 400 "
                                                  "(por omisión: 110)."),
                                   QStringLiteral("ppm"), QStringLiteral("110"));
    const QCommandLineOption overwrite(
        QStringLiteral("sobrescribir"),
        QStringLiteral("Vuelve a grabar también los dictados que ya tienen grabación."));
    const QCommandLineOption program(QStringLiteral("espeak"),
                                     QStringLiteral("Programa de voz (por omisión: espeak-ng)."),
                                     QStringLiteral("programa"), QStringLiteral("espeak-ng"));
    for (const QCommandLineOption &option : {voice, speed, overwrite, program}) {
        if (!parser.addOption(option))
            qFatal("letro-grabar: option %s defined twice", qPrintable(option.names().join(',')));
    }
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
    options.voice = parser.value(voice).trimmed();
    if (options.voice.isEmpty()) {
        err << "letro-grabar: falta el nombre de la voz\n";
        return 2;
    }
    options.wordsPerMinute = parser.value(speed).toInt(&ok);
    if (!ok || options.wordsPerMinute < 40 || options.wordsPerMinute > 400) {
        err << "letro-grabar: la velocidad debe ser un número entre 40 y 400\n";
        return 2;
    }
    options.program = parser.value(program);
    const bool remake = parser.isSet(overwrite);

    int failures = 0;
    for (const QString &folder : folders) {
        const QString shown = QDir::toNativeSeparators(folder);
        if (!QFileInfo(folder).isDir()) {
            err << "letro-grabar: no es una carpeta: " << shown << '\n';
            err.flush();
            ++failures;
            continue;
        }
        const QList<letro::RecordingJob> jobs = letro::recordingJobs(folder);
        int made = 0, kept = 0, skipped = 0, failed = 0;
        for (const letro::RecordingJob &job : jobs) {
            const QString wav = QDir::toNativeSeparators(job.wavPath);
            if (job.exists && !remake) {
                out << "ya existe: " << wav << '\n';
                ++kept;
            } else {
                const letro::ExerciseText text = letro::readExerciseFile(job.textPath);
                if (text.status == letro::ReadStatus::Unreadable) {
                    out << "no se puede leer, omitido: " << QDir::toNativeSeparators(job.textPath)
                        << '\n';
                    ++failed;
                } else if (text.status != letro::ReadStatus::Ok || text.text.trimmed().isEmpty()) {
                    out << "sin texto, omitido: " << QDir::toNativeSeparators(job.textPath) << '\n';
                    ++skipped;
                } else {
                    out.flush();
                    const QString problem = letro::synthesise(options, text.text, job.wavPath);
                    if (problem.isEmpty()) {
                        out << "grabado: " << wav << '\n';
                        ++made;
                    } else {
                        err << "letro-grabar: " << wav << ": " << problem << '\n';
                        err.flush();
                        ++failed;
                    }
                }
            }
            out.flush();
        }
        if (jobs.isEmpty())
            out << "no hay dictados en: " << shown << '\n';
        else
            out << shown << ": " << made << " grabados, " << kept << " ya existían, " << skipped
                << " omitidos, " << failed << " fallidos\n";
        out.flush();
        failures += failed;
    }
    return failures == 0 ? 0 : 1;
}
