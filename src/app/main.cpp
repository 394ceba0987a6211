#include "app/form2.h"
#include "app/translations.h"

#include <QApplication>

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
    return app.exec();
}
