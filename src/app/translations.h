// Qt's own texts in Spanish: the buttons of message boxes ("Aceptar"), the
// context menus of text boxes, the command-line help. Debian ships them in
// qt6-translations-l10n; without it, Qt's English texts stay.
#pragma once

class QCoreApplication;

namespace letro {

// Installs Qt's Spanish translations into the application; false when they
// are not installed.
bool installSpanishTranslations(QCoreApplication &app);

} // namespace letro
