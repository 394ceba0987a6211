#include "fontnames.h"

#include <QFontDatabase>
#include <QSet>

namespace letro {

QStringList plainFamilyNames(const QStringList &families)
{
    QStringList names;
    QSet<QString> seen;
    for (const QString &family : families) {
        QString name = family;
        const qsizetype bracket = name.lastIndexOf(QLatin1String(" ["));
        if (bracket > 0 && name.endsWith(QLatin1Char(']')))
            name.truncate(bracket);
        if (!seen.contains(name)) {
            seen.insert(name);
            names.append(name);
        }
    }
    return names;
}

QStringList spanishFontFamilies()
{
    QStringList usable;
    for (const QString &family : QFontDatabase::families(QFontDatabase::Latin)) {
        if (QFontDatabase::isPrivateFamily(family) ||
            QFontDatabase::writingSystems(family).contains(QFontDatabase::Symbol))
            continue;
        usable.append(family);
    }
    return plainFamilyNames(usable);
}

} // namespace letro
