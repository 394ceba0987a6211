// File operations of the editor that can be undone: renames that never
// replace an existing file, and a transaction that remembers every rename so
// that a failure half-way puts everything back.
#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

namespace letro::editor {

// Why the last system call failed, in Spanish ("no hay permiso").
QString systemReason(int error);

// Renames `from` to `to` in one step; fails when `to` exists. Returns an
// empty string or the reason.
QString renameNoReplace(const QString &from, const QString &to);

// A hidden name in `folder` that nothing has: ".letro-editor-<pid>-<n>".
QString temporaryName(const QString &folder);

// Writes `bytes` to `path` (which must not exist) and flushes them to disk.
QString writeNewFile(const QString &path, const QByteArray &bytes);

class Transaction
{
public:
    explicit Transaction(const QString &folder) : m_folder(folder) {}
    ~Transaction(); // undoes everything unless commit() ran
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

    // Writes a new file under a temporary name (*temporary).
    QString write(const QByteArray &bytes, QString *temporary);
    // Renames `file` to a temporary name (*temporary).
    QString stash(const QString &file, QString *temporary);
    // Renames a temporary name to its final name.
    QString place(const QString &temporary, const QString &final);
    // A stashed file that is deleted at commit.
    void discardLater(const QString &temporary) { m_discard.append(temporary); }

    // Undoes everything and returns `reason`, so that `return t.fail(r);`
    // reports r.
    QString fail(const QString &reason);
    // Deletes the discarded files; the changes stay.
    void commit();

private:
    void rollback();

    QString m_folder;
    QList<QPair<QString, QString>> m_renames; // (from, to), in the order done
    QStringList m_written;                    // temporary files written
    QStringList m_discard;
    bool m_open = true;
};

} // namespace letro::editor
