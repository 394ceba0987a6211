// letro-grabar: makes the missing recordings of exercise folders with a
// Spanish synthetic voice, so that every exercise text N has its N.wav and
// its slow N.lento.wav (or makes N.lento.wav from the teacher's own N.wav).
// A recording older than its text (made before the text was last changed)
// is made again like a missing one. Every recording made or skipped gets one
// line on standard output; those already there are only counted. The last line of each folder adds
// them up. Every problem goes to standard error after all the folders are done, so none is buried
// among the others. A Letro folder stands for its type folders. How the run ended is in its exit
// status (ExitStatus).
#include "app/translations.h"
#include "checker/characterkeys.h"
#include "exercise/exercisefile.h"
#include "exercise/sharednames.h"
#include "folder/filesystem.h"
#include "folder/journal.h"
#include "folder/recordings.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

namespace {

// The exit status, also listed in --help and in the man page. A run cut
// short by Ctrl+C or SIGTERM ends by that signal, with nothing half-made.
enum ExitStatus {
    AllRecorded = 0,     // every text has its recordings
    SomeNotRecorded = 1, // a recording failed, a text cannot be recorded, or none was found
    BadCommand = 2,      // an unknown option, a bad speed or voice, no folder
};

QString exitStatusHelp()
{
    return QStringLiteral("Estado de salida:\n"
                          "  0  todos los textos tienen sus grabaciones\n"
                          "  1  alguna grabación falló, o hay un texto que no se puede grabar\n"
                          "     (ilegible o con caracteres que no da ninguna tecla), o no hay\n"
                          "     ningún dictado en las carpetas dadas\n"
                          "  2  la orden está mal: una opción desconocida, una velocidad o una\n"
                          "     voz que no valen, o falta la carpeta\n"
                          "Si se interrumpe (Ctrl+C), no deja ninguna grabación a medias.\n");
}

struct Settings
{
    letro::folder::SpeechOptions speech;
    bool remake = false;   // record again what is already there
    bool fromWave = false; // N.lento.wav from N.wav, which is left alone
};

struct Tally
{
    int made = 0, kept = 0, skipped = 0, failed = 0;
    int renewed = 0;      // recordings older than their text, made again
    int unrecordable = 0; // texts skipped that a teacher must mend
};

class Recorder
{
public:
    // Problems are added to `errors`, each a whole line, said at the end.
    Recorder(const Settings &settings, QTextStream &out, QStringList &errors)
        : settings(settings), out(out), errors(errors)
    {}

    // Records what one exercise lacks.
    void record(const letro::folder::RecordingJob &job)
    {
        const QString textShown = QDir::toNativeSeparators(job.textPath);
        const letro::ExerciseText text = letro::readExerciseFile(job.textPath);
        // A line that can never be typed to its end gets no recording at all.
        if (text.status == letro::ReadStatus::Ok) {
            const QList<letro::UntypableCharacter> untypable =
                letro::untypableCharacters(text.text);
            for (const letro::UntypableCharacter &character : untypable)
                errors.append(QStringLiteral("letro-grabar: %1: %2")
                                  .arg(textShown, letro::describeUntypable(character)));
            if (!untypable.isEmpty()) {
                out << "caracteres que no da ninguna tecla, omitido: " << textShown << '\n';
                ++tally.skipped;
                ++tally.unrecordable;
                return;
            }
        }
        using letro::folder::RecordingState;
        const bool normalWanted =
            !settings.fromWave && (settings.remake || job.recording != RecordingState::Present);
        const bool slowWanted = settings.remake || job.slowRecording != RecordingState::Present;
        if (normalWanted || (slowWanted && !settings.fromWave)) {
            if (text.status == letro::ReadStatus::Unreadable) {
                out << "no se puede leer, omitido: " << textShown << '\n';
                ++tally.skipped;
                ++tally.unrecordable;
                return;
            }
            if (text.status != letro::ReadStatus::Ok || text.text.trimmed().isEmpty()) {
                out << "sin texto, omitido: " << textShown << '\n';
                ++tally.skipped;
                return;
            }
        }

        const bool normalOlder = job.recording == RecordingState::Older;
        const bool slowOlder = job.slowRecording == RecordingState::Older;
        if (!settings.fromWave) {
            if (normalWanted)
                made(job.wavPath,
                     letro::folder::synthesise(settings.speech, text.text, job.wavPath),
                     normalOlder);
            else
                kept(job.wavPath);
        }
        if (!slowWanted) {
            kept(job.slowWavPath);
        } else if (!settings.fromWave) {
            made(job.slowWavPath,
                 letro::folder::synthesiseSlow(settings.speech, text.text, job.slowWavPath),
                 slowOlder);
        } else if (job.recording == RecordingState::Missing) {
            out << "sin grabación, omitido: " << QDir::toNativeSeparators(job.wavPath) << '\n';
            ++tally.skipped;
        } else if (normalOlder) {
            // A slow version of it would say the earlier text too, and look new.
            out << "grabación anterior a su texto, omitido: "
                << QDir::toNativeSeparators(job.wavPath) << '\n';
            ++tally.skipped;
        } else {
            made(job.slowWavPath, letro::folder::makeSlowVersion(job.wavPath, job.slowWavPath),
                 slowOlder);
        }
        out.flush();
    }

    Tally tally;

private:
    // Recordings already there are only counted: a line for each would
    // bury the few that matter.
    void kept(const QString &) { ++tally.kept; }

    // `older`: it replaces a recording older than its text.
    void made(const QString &wav, const QString &problem, bool older)
    {
        if (problem.isEmpty()) {
            out << (older ? "regrabado, era anterior a su texto: " : "grabado: ")
                << QDir::toNativeSeparators(wav) << '\n';
            ++(older ? tally.renewed : tally.made);
        } else {
            out << "falló: " << QDir::toNativeSeparators(wav) << '\n';
            errors.append(
                QStringLiteral("letro-grabar: %1: %2").arg(QDir::toNativeSeparators(wav), problem));
            ++tally.failed;
        }
        out.flush();
    }

    const Settings &settings;
    QTextStream &out;
    QStringList &errors;
};

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("letro-grabar"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.0"));
    // The parser's own words ("Uso:", "Opciones:", the version option, its
    // error messages) come from Qt's Spanish translation.
    letro::installSpanishTranslations(app);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Graba con voz sintética (espeak-ng) los dictados que aún no tienen grabación:\n"
        "para cada texto N de cada carpeta crea N.wav y la versión lenta N.lento.wav\n"
        "(más despacio y con pausas más largas) si no existen o si son anteriores al\n"
        "último cambio del texto."));
    // Qt's translation leaves its own help option in English, and that
    // option's --help-all lists Qt's English options, so the help option is
    // this program's own.
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Muestra esta ayuda."));
    parser.addOption(help);
    parser.addVersionOption(); // takes -v, so the voice has only its long name
    const QCommandLineOption voice(QStringLiteral("voz"),
                                   QStringLiteral("Voz de espeak-ng (por omisión: es)."),
                                   QStringLiteral("voz"), QStringLiteral("es"));
    const QCommandLineOption speed(
        {QStringLiteral("s"), QStringLiteral("velocidad")},
        QStringLiteral("Palabras por minuto, de %1 a %2 (por omisión: %3).")
            .arg(letro::MinWordsPerMinute)
            .arg(letro::MaxWordsPerMinute)
            .arg(letro::DefaultWordsPerMinute),
        QStringLiteral("ppm"), QString::number(letro::DefaultWordsPerMinute));
    const QCommandLineOption overwrite(
        QStringLiteral("sobrescribir"),
        QStringLiteral("Vuelve a grabar también los dictados que ya tienen grabación."));
    const QCommandLineOption slowFromWave(
        QStringLiteral("lento-de-wav"),
        QStringLiteral("Hace N.lento.wav a partir del N.wav que ya existe (por ejemplo, "
                       "grabado con la propia voz): más lento y con el mismo tono. N.wav "
                       "no se toca."));
    const QCommandLineOption program(QStringLiteral("espeak"),
                                     QStringLiteral("Programa de voz (por omisión: espeak-ng)."),
                                     QStringLiteral("programa"), QStringLiteral("espeak-ng"));
    parser.addOptions({voice, speed, overwrite, slowFromWave, program});
    parser.addPositionalArgument(QStringLiteral("carpeta"),
                                 QStringLiteral("Carpetas de ejercicios (p. ej. \"Palabras\")."),
                                 QStringLiteral("carpeta..."));
    QTextStream out(stdout);
    QTextStream err(stderr);
    // parse(), not process(): process() ends a bad command line with status 1,
    // which is the status of a failed recording here.
    if (!parser.parse(QCoreApplication::arguments())) {
        err << "letro-grabar: " << parser.errorText() << '\n';
        return BadCommand;
    }
    if (parser.isSet(QStringLiteral("version")))
        parser.showVersion(); // ends the program
    if (parser.isSet(help)) {
        out << parser.helpText() << '\n' << exitStatusHelp();
        return AllRecorded;
    }
    const QStringList folders = parser.positionalArguments();
    if (folders.isEmpty()) {
        err << "letro-grabar: falta la carpeta de ejercicios\n";
        return BadCommand;
    }
    bool ok = false;
    Settings settings;
    settings.speech.voice = parser.value(voice).trimmed();
    if (settings.speech.voice.isEmpty()) {
        err << "letro-grabar: falta el nombre de la voz\n";
        return BadCommand;
    }
    settings.speech.wordsPerMinute = parser.value(speed).toInt(&ok);
    if (!ok || settings.speech.wordsPerMinute < letro::MinWordsPerMinute ||
        settings.speech.wordsPerMinute > letro::MaxWordsPerMinute) {
        err << "letro-grabar: la velocidad debe ser un número entre " << letro::MinWordsPerMinute
            << " y " << letro::MaxWordsPerMinute << '\n';
        return BadCommand;
    }
    settings.speech.program = parser.value(program);
    settings.remake = parser.isSet(overwrite);
    settings.fromWave = parser.isSet(slowFromWave);
    // The voice is tried once, before any folder, so a wrong name is one
    // message and not one per recording.
    if (!settings.fromWave) {
        if (const QString problem = letro::folder::voiceProblem(settings.speech);
            !problem.isEmpty()) {
            err << "letro-grabar: " << problem << '\n';
            return BadCommand;
        }
    }
    letro::folder::removeTemporaryFileOnSignals();

    int failures = 0;
    int dictations = 0;
    QStringList errors;
    QStringList typeFolders;
    for (const QString &argument : folders)
        typeFolders += letro::folder::recordingFolders(argument);
    for (const QString &folder : std::as_const(typeFolders)) {
        const QString shown = QDir::toNativeSeparators(folder);
        if (!QFileInfo(folder).isDir()) {
            errors.append(QStringLiteral("letro-grabar: no es una carpeta: ") + shown);
            ++failures;
            continue;
        }
        // A change of the editor cut short by a crash is finished or undone
        // first, so that every recording goes with its own text.
        const letro::folder::Recovery recovery = letro::folder::recoverFolder(folder);
        if (recovery.outcome != letro::folder::Recovery::Nothing) {
            const QString told =
                QStringLiteral("letro-grabar: ") +
                letro::folder::recoveryMessage(
                    recovery, QDir(folder).absolutePath().section(QLatin1Char('/'), -1));
            if (recovery.outcome == letro::folder::Recovery::Failed) {
                errors.append(told);
                ++failures;
                continue;
            }
            out << told << '\n';
        }
        // The editor changes nothing in the folder while its recordings are
        // made, and they are not made while it does.
        const letro::folder::FolderLock lock(folder);
        if (!lock.problem().isEmpty()) {
            errors.append(QStringLiteral("letro-grabar: %1: %2").arg(shown, lock.problem()));
            ++failures;
            continue;
        }
        const QList<letro::folder::RecordingJob> jobs = letro::folder::recordingJobs(folder);
        dictations += int(jobs.size());
        Recorder recorder(settings, out, errors);
        for (const letro::folder::RecordingJob &job : jobs)
            recorder.record(job);
        const Tally &tally = recorder.tally;
        if (jobs.isEmpty())
            out << "no hay dictados en: " << shown << '\n';
        else
            out << shown << ": " << tally.made << " grabados, " << tally.renewed
                << " antiguos regrabados, " << tally.kept << " ya existían, " << tally.skipped
                << " omitidos, " << tally.failed << " fallidos\n";
        out.flush();
        failures += tally.failed + tally.unrecordable;
    }
    // Nothing to record anywhere is not "all recorded": the teacher named
    // the wrong folder.
    if (dictations == 0 && failures == 0) {
        errors.append(QStringLiteral("letro-grabar: no hay ningún dictado en: ") +
                      QDir::toNativeSeparators(folders.join(QStringLiteral(", "))));
        ++failures;
    }
    out.flush();
    for (const QString &line : std::as_const(errors))
        err << line << '\n';
    err.flush();
    return failures == 0 ? AllRecorded : SomeNotRecorded;
}
