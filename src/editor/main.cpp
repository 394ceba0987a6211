// letro-editor: the teacher's window for the dictations of a Letro folder.
//
//   letro-editor [carpeta]
//
// Without a folder it opens the teacher's own copy of Letro when there is
// one, else the Letro it was installed with.
#include "app/translations.h"
#include "editor/editorwindow.h"
#include "editor/letrofolder.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>
#include <QTimer>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Letro"));
    QApplication::setApplicationName(QStringLiteral("letro-editor"));
    QApplication::setApplicationVersion(QStringLiteral("1.0"));
    QApplication::setDesktopFileName(QStringLiteral("org.example.letro.editor"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/pluma.svg")));
    letro::installSpanishTranslations(app);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Escribe, ordena y graba los dictados de Letro."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("carpeta"),
                                 QStringLiteral("Carpeta de Letro (la que tiene el programa "
                                                "«letro» y las carpetas de dictados)."),
                                 QStringLiteral("[carpeta]"));
    parser.process(app);

    letro::editor::EditorWindow window(letro::editor::desktopServices());
    window.setFolder(letro::editor::startFolder(parser.positionalArguments().value(0)));
    window.show();
    QTimer::singleShot(0, &window, &letro::editor::EditorWindow::offerCopy);
    return app.exec();
}
