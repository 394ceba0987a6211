#include "app/form2.h"
#include "app/translations.h"
#include "ui/platform.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Letro"));
    QApplication::setApplicationVersion(QStringLiteral("1.0"));
    // Ties the windows to the menu entry (its icon, start-up notification).
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.letro"));
    letro::installSpanishTranslations(app);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/pluma.svg")));

    auto *intro = new letro::Form2;
    intro->setAttribute(Qt::WA_DeleteOnClose);
    intro->Form_Load();
    intro->show();
    const int status = app.exec();
    if (letro::onWayland()) {
        // Qt 6.4's Wayland plugin now and then hangs for ever while it
        // disconnects (waiting on its own event thread), with the windows
        // already gone. The program keeps nothing to save: it ends here.
        std::fflush(nullptr);
        std::_Exit(status);
    }
    return status;
}
