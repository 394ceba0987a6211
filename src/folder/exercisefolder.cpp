#include "folder/exercisefolder.h"

#include "checker/characterkeys.h"
#include "exercise/sharednames.h"
#include "folder/filesystem.h"
#include "folder/journal.h"
#include "folder/recordings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <sys/stat.h>

namespace letro::folder {

QStringList typeNames()
{
    return exerciseTypeFolders();
}

QString textProblem(const QString &text)
{
    if (text.isEmpty())
        return QStringLiteral("el texto está vacío");
    const QList<UntypableCharacter> untypable = untypableCharacters(text);
    if (untypable.isEmpty())
        return QString();
    QStringList described;
    for (const UntypableCharacter &c : untypable)
        described.append(describeUntypable(c));
    return QStringLiteral("caracteres que no da ninguna tecla: ") +
           described.join(QStringLiteral("; "));
}

QList<int> unrecorded(const QList<Exercise> &exercises)
{
    QList<int> numbers;
    for (const Exercise &e : exercises)
        if (e.hasText && e.status == ReadStatus::Ok && textProblem(e.text).isEmpty() &&
            !(e.recording == RecordingState::Present && e.slowRecording == RecordingState::Present))
            numbers.append(e.number);
    return numbers;
}

QList<int> withOlderRecordings(const QList<Exercise> &exercises)
{
    QList<int> numbers;
    for (const Exercise &e : exercises)
        if (e.hasText && e.hasOlderRecording())
            numbers.append(e.number);
    return numbers;
}

QByteArray exerciseFileBytes(const QString &text, const QByteArray &rest)
{
    QByteArray bytes = text.toUtf8() + "\r\n";
    if (!rest.isEmpty())
        bytes += decodeExerciseText(rest).toUtf8();
    return bytes;
}

namespace {

// What follows the first line of a file and its line end: CR LF, a lone CR
// or a lone LF end it, as Letro reads it.
QByteArray restAfterFirstLine(const QString &path)
{
    QFile file(path);
    if (!isOrdinaryFile(path) || !file.open(QIODevice::ReadOnly))
        return QByteArray();
    const QByteArray bytes = file.read(MaxLineBytes * 4);
    const auto end =
        std::find_if(bytes.cbegin(), bytes.cend(), [](char c) { return c == '\r' || c == '\n'; });
    if (end == bytes.cend())
        return QByteArray();
    qsizetype start = (end - bytes.cbegin()) + 1;
    if (*end == '\r' && start < bytes.size() && bytes.at(start) == '\n')
        ++start;
    return bytes.mid(start);
}

// The number of an exercise's file name. The editor numbers exercises in an
// int and adds one to the last, so names of more than nine digits are left
// alone.
bool numberName(const QString &name, int *number)
{
    if (!isExerciseName(name) || name.size() > 9)
        return false;
    *number = name.toInt();
    return true;
}

// The number whose file `name` is (its text, recording or slow recording),
// or 0.
int numberOfFile(const QString &name)
{
    const qsizetype dot = name.indexOf(QLatin1Char('.'));
    int number = 0;
    if (!numberName(dot < 0 ? name : name.left(dot), &number))
        return 0;
    const QString text = QString::number(number);
    const QString own = dot < 0 ? text : text + name.mid(dot);
    return own == name &&
                   (dot < 0 || own == recordingPathFor(text) || own == slowRecordingPathFor(text))
               ? number
               : 0;
}

// The name in a line of TypeFolder::state(): all but its last three fields.
QString stateName(const QString &line)
{
    return line.section(QLatin1Char(' '), 0, -4);
}

} // namespace

Identity identityIn(const QStringList &state, int first, int last)
{
    Identity identity;
    identity.first = first;
    identity.last = last;
    for (const QString &line : state) {
        const int number = numberOfFile(stateName(line));
        if (number >= first && number <= last && number > 0)
            identity.files.append(line);
    }
    identity.files.sort();
    return identity;
}

QString identityChange(const Identity &expected, const QStringList &now)
{
    const Identity current = identityIn(now, expected.first, expected.last);
    if (current.files == expected.files)
        return QString();
    // The names of the lines found in one and not in the other.
    QStringList names;
    for (const QStringList *lines : {&expected.files, &current.files}) {
        const QStringList &other = lines == &expected.files ? current.files : expected.files;
        for (const QString &line : *lines) {
            const QString name = QStringLiteral("«%1»").arg(stateName(line));
            if (!other.contains(line) && !names.contains(name))
                names.append(name);
        }
    }
    QString which = names.mid(0, 4).join(QStringLiteral(", "));
    if (names.size() > 4)
        which += QStringLiteral(" y %1 más").arg(names.size() - 4);
    return QStringLiteral("desde que se pidió este cambio han cambiado fuera del editor los "
                          "archivos %1")
        .arg(which);
}

TypeFolder::TypeFolder(const QString &path) : m_path(path) {}

QString TypeFolder::textPath(int number) const
{
    return m_path + QLatin1Char('/') + QString::number(number);
}

QString TypeFolder::recordingPath(int number) const
{
    return recordingPathFor(textPath(number));
}

QString TypeFolder::slowRecordingPath(int number) const
{
    return slowRecordingPathFor(textPath(number));
}

QList<int> TypeFolder::numbers() const
{
    QList<int> found;
    const QStringList names = QDir(m_path).entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : names) {
        int number = 0;
        if (numberName(name, &number) && isOrdinaryFile(textPath(number)))
            found.append(number);
    }
    std::sort(found.begin(), found.end());
    return found;
}

QList<int> TypeFolder::orphanNumbers() const
{
    QList<int> found;
    const QList<int> texts = numbers();
    const QStringList names = QDir(m_path).entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : names) {
        const qsizetype dot = name.indexOf(QLatin1Char('.'));
        int number = 0;
        if (dot > 0 && numberName(name.left(dot), &number) && !texts.contains(number) &&
            !found.contains(number) &&
            (name == QFileInfo(recordingPath(number)).fileName() ||
             name == QFileInfo(slowRecordingPath(number)).fileName()) &&
            isOrdinaryFile(QDir(m_path).filePath(name)))
            found.append(number);
    }
    std::sort(found.begin(), found.end());
    return found;
}

QStringList TypeFolder::state() const
{
    QStringList lines;
    const QStringList names = QDir(m_path).entryList(QDir::AllEntries | QDir::Hidden |
                                                     QDir::System | QDir::NoDotAndDotDot);
    for (const QString &name : names) {
        struct stat info;
        if (::lstat(QFile::encodeName(QDir(m_path).filePath(name)).constData(), &info) != 0)
            continue;
        lines.append(QStringLiteral("%1 %2 %3.%4 %5")
                         .arg(name)
                         .arg(qlonglong(info.st_size))
                         .arg(qlonglong(info.st_mtim.tv_sec))
                         .arg(qlonglong(info.st_mtim.tv_nsec))
                         .arg(qulonglong(info.st_ino)));
    }
    return lines;
}

Identity TypeFolder::identity(int first, int last) const
{
    return identityIn(state(), first, last);
}

QString TypeFolder::unexpected() const
{
    if (m_expected.isEmpty())
        return QString();
    const QStringList now = state();
    for (const Identity &expected : m_expected)
        if (const QString change = identityChange(expected, now); !change.isEmpty())
            return change;
    return QString();
}

QString TypeFolder::newRecordingPath(int number) const
{
    return QDir(m_path).filePath(newFileName(QFileInfo(recordingPath(number)).fileName()));
}

QString TypeFolder::newSlowRecordingPath(int number) const
{
    return QDir(m_path).filePath(newFileName(QFileInfo(slowRecordingPath(number)).fileName()));
}

QList<Exercise> TypeFolder::exercises() const
{
    QList<Exercise> list;
    int expected = 1; // the number "next" reaches from the one before
    // The lowest number Letro cannot load: "next" never gets past it.
    QString blocked;
    for (int number : numbers()) {
        if (number != expected && blocked.isEmpty())
            blocked = QStringLiteral("hueco en la numeración: falta el %1, y Letro no pasa de "
                                     "ahí con «siguiente»")
                          .arg(expected);
        expected = number + 1;

        Exercise e;
        e.number = number;
        const ExerciseText read = readExerciseFile(textPath(number));
        e.status = read.status;
        e.text = read.text;
        e.recording = recordingStateOf(recordingPath(number), textPath(number));
        e.slowRecording = recordingStateOf(slowRecordingPath(number), textPath(number));

        QStringList marks;
        if (!blocked.isEmpty())
            marks.append(blocked);
        QString unusable; // why Letro refuses to load it
        switch (read.status) {
        case ReadStatus::Unreadable:
            unusable = QStringLiteral("Letro no puede leer el archivo");
            break;
        case ReadStatus::Empty:
            unusable = QStringLiteral("el archivo está vacío");
            break;
        case ReadStatus::Missing:
            unusable = QStringLiteral("el archivo ha desaparecido");
            break;
        case ReadStatus::Ok:
            if (read.text.isEmpty())
                marks.append(QStringLiteral("la primera línea está vacía: no hay nada que "
                                            "escribir"));
            else if (!untypableCharacters(read.text).isEmpty())
                unusable = textProblem(read.text);
            break;
        }
        if (!unusable.isEmpty()) {
            marks.append(unusable + QStringLiteral(" (Letro dice «No encuentro el archivo»)"));
            if (blocked.isEmpty())
                blocked = QStringLiteral("Letro no puede usar el %1 y no pasa de ahí con "
                                         "«siguiente»")
                              .arg(number);
        }
        e.mark = marks.join(QStringLiteral("; "));
        list.append(e);
    }
    // Recordings whose text is gone: shown, so that the teacher can listen
    // to them and delete them, but part of no exercise.
    for (int number : orphanNumbers()) {
        Exercise e;
        e.number = number;
        e.hasText = false;
        // No text, so nothing they can be older than.
        e.recording = recordingStateOf(recordingPath(number), QString());
        e.slowRecording = recordingStateOf(slowRecordingPath(number), QString());
        e.mark = QStringLiteral("grabación sin texto: no es de ningún dictado y Letro no la usa");
        list.append(e);
    }
    std::stable_sort(list.begin(), list.end(),
                     [](const Exercise &a, const Exercise &b) { return a.number < b.number; });
    return list;
}

QStringList TypeFolder::filesOf(int number) const
{
    QStringList files;
    for (const QString &path : {textPath(number), recordingPath(number), slowRecordingPath(number)})
        if (isOrdinaryFile(path))
            files.append(path);
    return files;
}

QString TypeFolder::add(const QString &text, int *number)
{
    if (const QString changed = unexpected(); !changed.isEmpty())
        return changed;
    if (const QString problem = textProblem(text); !problem.isEmpty())
        return problem;
    if (!QDir().mkpath(m_path))
        return QStringLiteral("no se puede crear la carpeta «%1»").arg(m_path);
    const QList<int> present = numbers();
    const int next = present.isEmpty() ? 1 : present.last() + 1;
    Plan plan;
    plan.discard.append(next); // recordings left over from an exercise deleted by hand
    plan.writes.insert(next, exerciseFileBytes(text));
    plan.change = QStringLiteral("añadir el dictado %1").arg(next);
    const QString problem = apply(plan);
    if (problem.isEmpty() && number)
        *number = next;
    return problem;
}

QString TypeFolder::edit(int number, const QString &text)
{
    if (const QString changed = unexpected(); !changed.isEmpty())
        return changed;
    if (const QString problem = textProblem(text); !problem.isEmpty())
        return problem;
    if (!numbers().contains(number))
        return QStringLiteral("no existe el dictado %1").arg(number);
    Plan plan;
    plan.discardText.append(number);
    plan.writes.insert(number, exerciseFileBytes(text, restAfterFirstLine(textPath(number))));
    plan.change = QStringLiteral("cambiar el texto del dictado %1").arg(number);
    return apply(plan);
}

QString TypeFolder::remove(int number)
{
    if (const QString changed = unexpected(); !changed.isEmpty())
        return changed;
    const QList<int> present = numbers();
    Plan plan;
    plan.discard.append(number);
    if (!present.contains(number)) {
        if (!orphanNumbers().contains(number))
            return QStringLiteral("no existe el dictado %1").arg(number);
        plan.change = QStringLiteral("borrar las grabaciones sin texto del %1").arg(number);
        return apply(plan);
    }
    for (int n : present)
        if (n > number)
            plan.moves.insert(n, n - 1);
    plan.change = QStringLiteral("borrar el dictado %1").arg(number);
    return apply(plan);
}

QString TypeFolder::swap(int number, int other)
{
    Plan plan;
    plan.moves.insert(number, other);
    plan.moves.insert(other, number);
    plan.change = QStringLiteral("cambiar de sitio los dictados %1 y %2").arg(number).arg(other);
    return apply(plan);
}

QString TypeFolder::moveTo(int number, int target)
{
    if (const QString changed = unexpected(); !changed.isEmpty())
        return changed;
    QList<int> order = numbers();
    const QList<int> places = order;
    if (!order.contains(number))
        return QStringLiteral("no existe el dictado %1").arg(number);
    if (target < 1 || target > places.last())
        return QStringLiteral("no hay número %1: los dictados van del 1 al %2")
            .arg(target)
            .arg(places.last());
    if (number == target)
        return QStringLiteral("el dictado %1 ya tiene ese número").arg(number);
    Plan plan;
    plan.change = QStringLiteral("mover el dictado %1 al %2").arg(number).arg(target);
    if (!places.contains(target)) {
        // A number no text has: nobody makes room. Recordings without a
        // text there stay theirs, and apply() refuses the move.
        plan.moves.insert(number, target);
        return apply(plan);
    }
    order.move(order.indexOf(number), places.indexOf(target));
    for (qsizetype i = 0; i < order.size(); ++i)
        if (order.at(i) != places.at(i))
            plan.moves.insert(order.at(i), places.at(i));
    return apply(plan);
}

QString TypeFolder::replaceRecordings(int number)
{
    if (const QString changed = unexpected(); !changed.isEmpty())
        return changed;
    if (!numbers().contains(number))
        return QStringLiteral("no existe el dictado %1").arg(number);
    Plan plan;
    for (const QString &made : {recordingPath(number), slowRecordingPath(number)}) {
        const QString name = QFileInfo(made).fileName();
        if (!nameExists(QDir(m_path).filePath(newFileName(name))))
            continue;
        plan.brought.append(name);
        if (isOrdinaryFile(made))
            plan.discardFiles.append(name);
    }
    if (plan.brought.isEmpty())
        return QStringLiteral("no hay grabación nueva del dictado %1").arg(number);
    plan.change = QStringLiteral("grabar de nuevo el dictado %1").arg(number);
    return apply(plan);
}

QString TypeFolder::moveUp(int number)
{
    if (const QString changed = unexpected(); !changed.isEmpty())
        return changed;
    const QList<int> present = numbers();
    const qsizetype at = present.indexOf(number);
    if (at < 0)
        return QStringLiteral("no existe el dictado %1").arg(number);
    if (at == 0)
        return QStringLiteral("el dictado %1 ya es el primero").arg(number);
    return swap(number, present.at(at - 1));
}

QString TypeFolder::moveDown(int number)
{
    if (const QString changed = unexpected(); !changed.isEmpty())
        return changed;
    const QList<int> present = numbers();
    const qsizetype at = present.indexOf(number);
    if (at < 0)
        return QStringLiteral("no existe el dictado %1").arg(number);
    if (at == present.size() - 1)
        return QStringLiteral("el dictado %1 ya es el último").arg(number);
    return swap(number, present.at(at + 1));
}

QString TypeFolder::closeGaps()
{
    if (const QString changed = unexpected(); !changed.isEmpty())
        return changed;
    Plan plan;
    int next = 1;
    for (int n : numbers()) {
        if (n != next)
            plan.moves.insert(n, next);
        ++next;
    }
    plan.change = QStringLiteral("quitar los huecos");
    return apply(plan);
}

QString TypeFolder::apply(const Plan &plan) const
{
    auto name = [](const QString &path) { return QFileInfo(path).fileName(); };
    Transaction t(m_path, plan.change);
    // Checked again under the folder's lock, right before the first step.
    t.require([this] { return unexpected(); });

    // A text never lands on recordings made for another: recordings without
    // a text where a text goes stay where they are, and the change waits
    // until the teacher has deleted them.
    for (auto it = plan.moves.cbegin(); it != plan.moves.cend(); ++it) {
        const int target = it.value();
        if (plan.moves.contains(target) || plan.discard.contains(target))
            continue;
        QStringList in;
        for (const QString &file : filesOf(target))
            in.append(QStringLiteral("«%1»").arg(name(file)));
        if (!in.isEmpty())
            return QStringLiteral("el número %1 tiene grabaciones sin texto (%2), que quedarían "
                                  "con el dictado %3; bórrelas antes")
                .arg(target)
                .arg(in.join(QStringLiteral(", ")))
                .arg(it.key());
    }

    for (auto it = plan.writes.cbegin(); it != plan.writes.cend(); ++it)
        t.write(name(textPath(it.key())), it.value());
    for (const QString &made : plan.brought)
        t.bring(made);
    for (auto it = plan.moves.cbegin(); it != plan.moves.cend(); ++it) {
        for (const QString &file : filesOf(it.key())) {
            const QString suffix = name(file).mid(QString::number(it.key()).size());
            t.move(name(file), QString::number(it.value()) + suffix);
        }
    }
    for (int n : plan.discard)
        for (const QString &file : filesOf(n))
            t.remove(name(file));
    for (int n : plan.discardText)
        if (isOrdinaryFile(textPath(n)))
            t.remove(name(textPath(n)));
    for (const QString &file : plan.discardFiles)
        t.remove(file);
    return t.run(m_progress);
}

} // namespace letro::folder
