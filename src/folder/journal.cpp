#include "folder/journal.h"

#include "folder/fileerrors.h"
#include "folder/filesystem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <sys/stat.h>

namespace letro::folder {

namespace {

// A name the journal may hold: one entry of its own folder.
bool plainName(const QString &name)
{
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..") &&
           !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char(' ')) &&
           !name.contains(QLatin1Char('\n')) && !name.contains(QLatin1Char('\r')) &&
           !name.contains(QLatin1Char('\t')) && !name.contains(QChar());
}

bool hiddenName(const QString &name)
{
    return plainName(name) && name.startsWith(HiddenPrefix) && name != JournalName &&
           name != PendingJournalName;
}

// Does one step of putting a folder right. A rename whose target already
// names the same file (a file system without RENAME_NOREPLACE links first
// and unlinks after) only removes the hidden name.
QString doStep(const QString &folder, const RecoveryStep &step)
{
    const QString from = QDir(folder).filePath(step.from);
    if (step.to.isEmpty())
        return removeFile(from);
    const QString to = QDir(folder).filePath(step.to);
    const QString problem = renameNoReplace(from, to);
    if (problem.isEmpty())
        return problem;
    struct stat a, b;
    if (::lstat(QFile::encodeName(from).constData(), &a) == 0 &&
        ::lstat(QFile::encodeName(to).constData(), &b) == 0 && a.st_dev == b.st_dev &&
        a.st_ino == b.st_ino)
        return removeFile(from);
    return QStringLiteral("no se puede devolver «%1» a «%2»: %3").arg(step.from, step.to, problem);
}

// The hidden names of a journal that are in the folder.
QSet<QString> presentNames(const QString &folder, const Journal &journal)
{
    QSet<QString> present;
    for (const JournalEntry &e : journal.entries)
        if (nameExists(QDir(folder).filePath(e.temporary)))
            present.insert(e.temporary);
    return present;
}

// Puts the folder right by the journal, then removes the journal.
QString playJournal(const QString &folder, const Journal &journal)
{
    const QList<RecoveryStep> steps = recoverySteps(journal, presentNames(folder, journal));
    for (const RecoveryStep &step : steps)
        if (const QString problem = doStep(folder, step); !problem.isEmpty())
            return problem;
    if (QString problem = syncFolder(folder); !problem.isEmpty())
        return problem;
    if (QString problem = removeFile(QDir(folder).filePath(JournalName)); !problem.isEmpty())
        return problem;
    return syncFolder(folder);
}

} // namespace

QByteArray journalText(const Journal &journal)
{
    QByteArray text = "letro-diario 1\n";
    QString change = journal.change;
    change.replace(QLatin1Char('\n'), QLatin1Char(' '))
        .replace(QLatin1Char('\r'), QLatin1Char(' '));
    text += "cambio " + change.toUtf8() + '\n';
    for (const JournalEntry &e : journal.entries) {
        switch (e.kind) {
        case JournalEntry::Move:
            text += "mover " + QFile::encodeName(e.from) + ' ' + QFile::encodeName(e.temporary) +
                    ' ' + QFile::encodeName(e.to) + '\n';
            break;
        case JournalEntry::Delete:
            text +=
                "borrar " + QFile::encodeName(e.from) + ' ' + QFile::encodeName(e.temporary) + '\n';
            break;
        case JournalEntry::New:
            text +=
                "nuevo " + QFile::encodeName(e.temporary) + ' ' + QFile::encodeName(e.to) + '\n';
            break;
        }
    }
    text += "fin\n";
    if (journal.taken)
        text += TakenLine;
    return text;
}

std::optional<Journal> parseJournal(const QByteArray &text)
{
    const qsizetype end = text.lastIndexOf("\nfin\n");
    if (!text.startsWith("letro-diario 1\n") || end < 0)
        return std::nullopt;
    Journal journal;
    // After "fin", "tomados" whole, or a beginning of it that a crash cut
    // short: the change was not taken then, and nothing after it happened.
    const QByteArray tail = text.mid(end + 5);
    if (tail == TakenLine)
        journal.taken = true;
    else if (!TakenLine.startsWith(tail))
        return std::nullopt;

    const QList<QByteArray> lines = text.left(end).split('\n');
    if (lines.size() < 2 || !lines.at(1).startsWith("cambio "))
        return std::nullopt;
    journal.change = QString::fromUtf8(lines.at(1).mid(7));
    QSet<QString> temporaries;
    for (qsizetype i = 2; i < lines.size(); ++i) {
        const QList<QByteArray> words = lines.at(i).split(' ');
        JournalEntry e;
        const QByteArray &kind = words.first();
        QStringList names;
        for (qsizetype w = 1; w < words.size(); ++w)
            names.append(QFile::decodeName(words.at(w)));
        if (kind == "mover" && names.size() == 3) {
            e = {JournalEntry::Move, names.at(0), names.at(1), names.at(2)};
        } else if (kind == "borrar" && names.size() == 2) {
            e = {JournalEntry::Delete, names.at(0), names.at(1), QString()};
        } else if (kind == "nuevo" && names.size() == 2) {
            e = {JournalEntry::New, QString(), names.at(0), names.at(1)};
        } else {
            return std::nullopt;
        }
        if (!hiddenName(e.temporary) || temporaries.contains(e.temporary) ||
            (e.kind != JournalEntry::New && !plainName(e.from)) ||
            (e.kind != JournalEntry::Delete && !plainName(e.to)))
            return std::nullopt;
        temporaries.insert(e.temporary);
        journal.entries.append(e);
    }
    return journal;
}

QList<RecoveryStep> recoverySteps(const Journal &journal, const QSet<QString> &present)
{
    QList<RecoveryStep> steps;
    if (journal.taken) {
        for (const JournalEntry &e : journal.entries)
            if (present.contains(e.temporary))
                steps.append({e.temporary, e.kind == JournalEntry::Delete ? QString() : e.to});
    } else {
        for (auto it = journal.entries.crbegin(); it != journal.entries.crend(); ++it)
            if (present.contains(it->temporary))
                steps.append({it->temporary, it->kind == JournalEntry::New ? QString() : it->from});
    }
    return steps;
}

QString cancelledReason()
{
    return QStringLiteral("se ha cancelado");
}

Transaction::Transaction(const QString &folder, const QString &change) : m_folder(folder)
{
    m_journal.change = change;
}

QString Transaction::path(const QString &name) const
{
    return QDir(m_folder).filePath(name);
}

void Transaction::move(const QString &from, const QString &to)
{
    m_journal.entries.append({JournalEntry::Move, from, movingName(from, to), to});
    m_bytes.append(QByteArray());
}

void Transaction::remove(const QString &name)
{
    m_journal.entries.append({JournalEntry::Delete, name, deletingName(name), QString()});
    m_bytes.append(QByteArray());
}

void Transaction::write(const QString &to, const QByteArray &bytes)
{
    m_journal.entries.append({JournalEntry::New, QString(), newFileName(to), to});
    m_bytes.append(bytes.isNull() ? QByteArray("") : bytes);
}

void Transaction::bring(const QString &to)
{
    m_journal.entries.append({JournalEntry::New, QString(), newFileName(to), to});
    m_bytes.append(QByteArray());
}

bool Transaction::brought(qsizetype entry) const
{
    return m_journal.entries.at(entry).kind == JournalEntry::New && m_bytes.at(entry).isNull();
}

QString Transaction::run(Progress *progress)
{
    Progress none;
    Progress &p = progress ? *progress : none;
    if (m_journal.entries.isEmpty())
        return QString(); // nothing to change: no journal either
    const FolderLock lock(m_folder);
    if (!lock.problem().isEmpty())
        return QStringLiteral("no se puede cambiar la carpeta: ") + lock.problem();
    if (QString refused = refusal(); !refused.isEmpty())
        return refused;
    p.total = int(m_journal.entries.size() * 2 + 8);

    QString problem = writeJournal(p);
    if (problem.isEmpty())
        problem = writeNewFiles(p); // 1.
    if (problem.isEmpty())
        problem = takeFiles(p); // 2.
    if (problem.isEmpty())
        problem = markTaken(p); // 3.
    if (problem.isEmpty())
        problem = placeFiles(p); // 4.
    if (!problem.isEmpty())
        return problem;
    // From here on the change is made whatever happens.
    const bool discarded = removeDiscarded(p); // 4.
    const bool journalGone = removeJournal();  // 5.
    p.done = p.total.load();
    if (!discarded || !journalGone)
        return QStringLiteral("el cambio está hecho, pero no se ha podido terminar de guardar "
                              "en el disco; se terminará al volver a abrir la carpeta");
    return QString();
}

// Everything that can be seen to fail is seen before the first step.
QString Transaction::refusal() const
{
    if (nameExists(path(JournalName)))
        return QStringLiteral("queda a medias un cambio anterior en esta carpeta; vuelva a "
                              "abrirla para terminarlo o deshacerlo");
    // A hidden name the change does not own is another program's, or left
    // by a change cut short: the change neither removes it nor runs beside it.
    QSet<QString> owned;
    for (qsizetype i = 0; i < m_journal.entries.size(); ++i)
        if (brought(i))
            owned.insert(m_journal.entries.at(i).temporary);
    const QStringList hidden = QDir(m_folder).entryList(
        {HiddenPrefix + QLatin1Char('*')}, QDir::AllEntries | QDir::Hidden | QDir::System);
    for (const QString &name : hidden)
        if (!owned.contains(name))
            return QStringLiteral("no se puede cambiar la carpeta: ") + foreignNameProblem(name);
    // What the teacher confirmed must still be there.
    if (m_require)
        if (const QString refused = m_require(); !refused.isEmpty())
            return refused;

    const QList<JournalEntry> &entries = m_journal.entries;
    QSet<QString> leaving;
    for (const JournalEntry &e : entries)
        if (e.kind != JournalEntry::New)
            leaving.insert(e.from);
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const JournalEntry &e = entries.at(i);
        if (e.kind != JournalEntry::New && !nameExists(path(e.from)))
            return QStringLiteral("no se puede mover «%1»: %2")
                .arg(e.from, fileErrorReason(ENOENT));
        if (e.kind != JournalEntry::Delete && !leaving.contains(e.to) && nameExists(path(e.to)))
            return QStringLiteral("no se puede crear «%1»: %2").arg(e.to, fileErrorReason(EEXIST));
        if (nameExists(path(e.temporary)) != brought(i))
            return brought(i) ? QStringLiteral("falta el archivo nuevo «%1»").arg(e.temporary)
                              : QStringLiteral("ya hay un archivo oculto «%1» en la carpeta")
                                    .arg(e.temporary);
    }
    return QString();
}

// The journal, whole and flushed, before anything else.
QString Transaction::writeJournal(Progress &progress)
{
    if (nameExists(path(PendingJournalName)))
        removeFile(path(PendingJournalName));
    QString problem = writeNewFile(path(PendingJournalName), untakenText());
    if (problem.isEmpty())
        problem = renameNoReplace(path(PendingJournalName), path(JournalName));
    if (!problem.isEmpty()) {
        if (nameExists(path(PendingJournalName)))
            removeFile(path(PendingJournalName));
        return QStringLiteral("no se puede escribir el diario de cambios: ") + problem;
    }
    ++progress.done;
    if (problem = syncFolder(m_folder); !problem.isEmpty())
        return undo(QStringLiteral("no se puede escribir el diario de cambios: ") + problem);
    ++progress.done;
    return QString();
}

// 1. The new files under their hidden names, flushed: written here, or
// brought already written by another program.
QString Transaction::writeNewFiles(Progress &progress)
{
    for (qsizetype i = 0; i < m_journal.entries.size(); ++i) {
        const JournalEntry &e = m_journal.entries.at(i);
        if (e.kind != JournalEntry::New)
            continue;
        const QString problem = brought(i) ? syncFile(path(e.temporary))
                                           : writeNewFile(path(e.temporary), m_bytes.at(i));
        if (!problem.isEmpty())
            return undo(QStringLiteral("no se puede escribir «%1»: %2").arg(e.to, problem));
        ++progress.done;
        if (progress.cancelled)
            return undo(cancelledReason());
    }
    return QString();
}

// 2. Every file that moves or goes, to its hidden name.
QString Transaction::takeFiles(Progress &progress)
{
    for (const JournalEntry &e : m_journal.entries) {
        if (e.kind == JournalEntry::New)
            continue;
        if (const QString problem = renameNoReplace(path(e.from), path(e.temporary));
            !problem.isEmpty())
            return undo(QStringLiteral("no se puede mover «%1»: %2").arg(e.from, problem));
        ++progress.done;
        if (progress.cancelled)
            return undo(cancelledReason());
    }
    return QString();
}

// 3. Taken: from here on the change is finished, not undone.
QString Transaction::markTaken(Progress &progress)
{
    if (const QString problem = syncFolder(m_folder); !problem.isEmpty())
        return undo(QStringLiteral("no se puede guardar en el disco: ") + problem);
    if (const QString problem = appendToFile(path(JournalName), TakenLine); !problem.isEmpty()) {
        truncateFile(path(JournalName), untakenText().size());
        return undo(QStringLiteral("no se puede escribir el diario de cambios: ") + problem);
    }
    ++progress.done;
    return QString();
}

// 4. The hidden names become the final ones.
QString Transaction::placeFiles(Progress &progress)
{
    QList<const JournalEntry *> placed;
    for (const JournalEntry &e : m_journal.entries) {
        if (e.kind == JournalEntry::Delete)
            continue;
        const QString problem = renameNoReplace(path(e.temporary), path(e.to));
        if (!problem.isEmpty()) {
            // Something outside the editor is in the way: everything goes
            // back, and the journal says so before the first step back.
            const QString reason = QStringLiteral("no se puede crear «%1»: %2").arg(e.to, problem);
            if (!truncateFile(path(JournalName), untakenText().size()).isEmpty())
                return reason + QStringLiteral("; el cambio se terminará al volver a abrir la "
                                               "carpeta");
            for (auto it = placed.crbegin(); it != placed.crend(); ++it)
                if (!renameNoReplace(path((*it)->to), path((*it)->temporary)).isEmpty())
                    return reason + QStringLiteral("; el cambio se deshará al volver a abrir la "
                                                   "carpeta");
            return undo(reason);
        }
        placed.append(&e);
        ++progress.done;
    }
    return QString();
}

// 4. The files that go, go.
bool Transaction::removeDiscarded(Progress &progress)
{
    bool all = true;
    for (const JournalEntry &e : m_journal.entries) {
        if (e.kind != JournalEntry::Delete)
            continue;
        if (!removeFile(path(e.temporary)).isEmpty())
            all = false;
        ++progress.done;
    }
    return all;
}

// 5. The journal goes last, once every name before it is on the disk.
bool Transaction::removeJournal()
{
    QString problem = syncFolder(m_folder);
    if (problem.isEmpty())
        problem = removeFile(path(JournalName));
    if (problem.isEmpty())
        problem = syncFolder(m_folder);
    return problem.isEmpty();
}

QString Transaction::undo(const QString &reason) const
{
    if (!playJournal(m_folder, m_journal).isEmpty())
        return reason + QStringLiteral("; el cambio se deshará al volver a abrir la carpeta");
    return reason;
}

Recovery recoverFolder(const QString &folder)
{
    Recovery recovery;
    if (!QFileInfo(folder).isDir())
        return recovery;
    const FolderLock lock(folder);
    if (!lock.problem().isEmpty())
        return recovery; // someone is at work in it; it is theirs to finish
    const QDir dir(folder);
    if (nameExists(dir.filePath(JournalName))) {
        QFile file(dir.filePath(JournalName));
        const std::optional<Journal> journal =
            file.open(QIODevice::ReadOnly) ? parseJournal(file.readAll()) : std::nullopt;
        if (!journal) {
            recovery.outcome = Recovery::Failed;
            recovery.problem =
                QStringLiteral("su diario de cambios, «%1», está dañado").arg(JournalName);
            return recovery;
        }
        recovery.change = journal->change;
        if (const QString problem = playJournal(folder, *journal); !problem.isEmpty()) {
            recovery.outcome = Recovery::Failed;
            recovery.problem = problem;
            return recovery;
        }
        recovery.outcome = journal->taken ? Recovery::After : Recovery::Before;
    }
    // New files of a change that never got its journal, and a journal never
    // finished: nothing else had happened.
    QStringList leftovers;
    for (const QString &name : dir.entryList({HiddenPrefix + QLatin1Char('*')},
                                             QDir::Files | QDir::Hidden | QDir::System))
        if (isLeftoverName(name))
            leftovers.append(name);
    for (const QString &name : std::as_const(leftovers)) {
        if (const QString problem = removeFile(dir.filePath(name)); !problem.isEmpty()) {
            recovery.outcome = Recovery::Failed;
            recovery.problem = QStringLiteral("no se puede borrar «%1»: %2").arg(name, problem);
            return recovery;
        }
    }
    if (!leftovers.isEmpty()) {
        syncFolder(folder);
        if (recovery.outcome == Recovery::Nothing)
            recovery.outcome = Recovery::Before;
    }
    return recovery;
}

QString recoveryMessage(const Recovery &recovery, const QString &folderName)
{
    const QString which =
        recovery.change.isEmpty()
            ? QStringLiteral("Un cambio en «%1»").arg(folderName)
            : QStringLiteral("El cambio «%1» en «%2»").arg(recovery.change, folderName);
    switch (recovery.outcome) {
    case Recovery::Nothing:
        return QString();
    case Recovery::Before:
        return which + QStringLiteral(" quedó a medias al cerrarse el programa de golpe y se ha "
                                      "deshecho: la carpeta está como antes de ese cambio.");
    case Recovery::After:
        return which + QStringLiteral(" quedó a medias al cerrarse el programa de golpe y se ha "
                                      "terminado: la carpeta está como después de ese cambio.");
    case Recovery::Failed:
        break;
    }
    return which + QStringLiteral(" quedó a medias y no se ha podido terminar ni deshacer (%1): "
                                  "no toque sus archivos ocultos «.letro-…» y vuelva a abrir la "
                                  "carpeta más tarde.")
                       .arg(recovery.problem);
}

} // namespace letro::folder
