#include "classlist.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSet>
#include <QStandardPaths>

namespace letro::progress {

QString defaultClassListPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/Letro/clase.txt");
}

QStringList cleanClassList(const QStringList &names)
{
    QStringList kept;
    QSet<QString> seen;
    for (const QString &line : names) {
        QString name;
        for (const QChar c : line) {
            if (c.isSpace()) {
                name += QLatin1Char(' ');
            } else if (c.category() != QChar::Other_Control &&
                       c.category() != QChar::Other_Format) {
                name += c;
            }
        }
        name = name.simplified().left(classNameMaxLength).trimmed();
        if (name.isEmpty()) {
            continue;
        }
        const QString key = name.toCaseFolded();
        if (seen.contains(key)) {
            continue;
        }
        seen.insert(key);
        kept << name;
        if (kept.size() == classListMaxNames) {
            break;
        }
    }
    return kept;
}

ClassList readClassList(const QString &path)
{
    QFile file(path);
    if (!file.exists()) {
        return {};
    }
    if (!file.open(QIODevice::ReadOnly)) {
        return {{},
                QStringLiteral("No se puede leer la lista de la clase (%1): %2.")
                    .arg(QDir::toNativeSeparators(path), file.errorString())};
    }
    // A list is a few kilobytes; anything far larger is not one.
    const QByteArray data = file.read(1 << 20);
    return {cleanClassList(QString::fromUtf8(data).split(QLatin1Char('\n'))), QString()};
}

QString writeClassList(const QString &path, const QStringList &names)
{
    const QStringList kept = cleanClassList(names);
    if (kept.isEmpty()) {
        QFile file(path);
        if (file.exists() && !file.remove()) {
            return QStringLiteral("No se puede borrar la lista de la clase: %1.")
                .arg(file.errorString());
        }
        return QString();
    }
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        return QStringLiteral("No se puede crear la carpeta %1.")
            .arg(QDir::toNativeSeparators(QFileInfo(path).absolutePath()));
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return QStringLiteral("No se puede guardar la lista de la clase: %1.")
            .arg(file.errorString());
    }
    file.write(kept.join(QLatin1Char('\n')).toUtf8() + '\n');
    if (!file.commit()) {
        return QStringLiteral("No se puede guardar la lista de la clase: %1.")
            .arg(file.errorString());
    }
    return QString();
}

} // namespace letro::progress
