#include "translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace letro {

bool installSpanishTranslations(QCoreApplication &app)
{
    // Everything the pupil sees is Spanish, whatever the desktop's language.
    const QLocale spanish(QLocale::Spanish, QLocale::Spain);
    QLocale::setDefault(spanish);
    auto *translator = new QTranslator(&app);
    // qt_es loads qtbase_es and the other modules' catalogues it lists.
    if (!translator->load(spanish, QStringLiteral("qt"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

} // namespace letro
