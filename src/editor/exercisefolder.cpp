#include "editor/exercisefolder.h"

#include "checker/characterkeys.h"
#include "editor/filesystem.h"
#include "grabar/recordings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace letro::editor {

QStringList typeNames()
{
    return {QStringLiteral("Palabras"), QStringLiteral("Frase corta"),
            QStringLiteral("Frase larga")};
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

} // namespace

TypeFolder::TypeFolder(const QString &path) : m_path(path) {}

QString TypeFolder::textPath(int number) const
{
    return m_path + QLatin1Char('/') + QString::number(number);
}

QString TypeFolder::recordingPath(int number) const
{
    return textPath(number) + QStringLiteral(".wav");
}

QString TypeFolder::slowRecordingPath(int number) const
{
    return letro::slowRecordingPath(recordingPath(number));
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
        e.hasRecording = isOrdinaryFile(recordingPath(number));
        e.hasSlowRecording = isOrdinaryFile(slowRecordingPath(number));

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
    if (const QString problem = textProblem(text); !problem.isEmpty())
        return problem;
    if (!QDir().mkpath(m_path))
        return QStringLiteral("no se puede crear la carpeta «%1»").arg(m_path);
    const QList<int> present = numbers();
    const int next = present.isEmpty() ? 1 : present.last() + 1;
    Plan plan;
    plan.discard.append(next); // recordings left over from an exercise deleted by hand
    plan.writes.insert(next, exerciseFileBytes(text));
    const QString problem = apply(plan);
    if (problem.isEmpty() && number)
        *number = next;
    return problem;
}

QString TypeFolder::edit(int number, const QString &text)
{
    if (const QString problem = textProblem(text); !problem.isEmpty())
        return problem;
    if (!numbers().contains(number))
        return QStringLiteral("no existe el dictado %1").arg(number);
    Plan plan;
    plan.discardText.append(number);
    plan.writes.insert(number, exerciseFileBytes(text, restAfterFirstLine(textPath(number))));
    return apply(plan);
}

QString TypeFolder::remove(int number)
{
    const QList<int> present = numbers();
    if (!present.contains(number))
        return QStringLiteral("no existe el dictado %1").arg(number);
    Plan plan;
    plan.discard.append(number);
    for (int n : present)
        if (n > number)
            plan.moves.insert(n, n - 1);
    return apply(plan);
}

QString TypeFolder::swap(int number, int other)
{
    Plan plan;
    plan.moves.insert(number, other);
    plan.moves.insert(other, number);
    return apply(plan);
}

QString TypeFolder::moveUp(int number)
{
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
    Plan plan;
    int next = 1;
    for (int n : numbers()) {
        if (n != next)
            plan.moves.insert(n, next);
        ++next;
    }
    return apply(plan);
}

QString TypeFolder::apply(const Plan &plan) const
{
    const QDir dir(m_path);
    auto name = [](const QString &path) { return QFileInfo(path).fileName(); };
    Transaction t(m_path);

    // 1. The new texts under temporary names.
    QMap<QString, QString> placed; // temporary name -> final name
    for (auto it = plan.writes.cbegin(); it != plan.writes.cend(); ++it) {
        QString temporary;
        if (const QString problem = t.write(it.value(), &temporary); !problem.isEmpty())
            return t.fail(QStringLiteral("no se puede escribir el dictado %1: %2")
                              .arg(it.key())
                              .arg(problem));
        placed.insert(temporary, textPath(it.key()));
    }

    // 2. Every file that moves or goes out of the way.
    QList<int> sources = plan.moves.keys();
    for (int n : plan.discard)
        sources.append(n);
    for (int n : sources) {
        const int target = plan.moves.value(n, 0);
        const QStringList files = filesOf(n);
        for (const QString &file : files) {
            QString temporary;
            if (const QString problem = t.stash(file, &temporary); !problem.isEmpty())
                return t.fail(problem);
            if (target != 0) {
                const QString suffix = name(file).mid(QString::number(n).size());
                placed.insert(temporary, dir.filePath(QString::number(target) + suffix));
            } else {
                t.discardLater(temporary);
            }
        }
    }
    for (int n : plan.discardText) {
        QString temporary;
        if (!isOrdinaryFile(textPath(n)))
            continue;
        if (const QString problem = t.stash(textPath(n), &temporary); !problem.isEmpty())
            return t.fail(problem);
        t.discardLater(temporary);
    }

    // 3. The temporary names become the final ones.
    for (auto it = placed.cbegin(); it != placed.cend(); ++it) {
        if (const QString problem = t.place(it.key(), it.value()); !problem.isEmpty())
            return t.fail(problem);
    }
    t.commit();
    return QString();
}

} // namespace letro::editor
