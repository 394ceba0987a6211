// letro: the pupil's program.
//
//   letro [--tipo TIPO] [--numero NÚMERO]
//
// Without options it starts on exercise 1 of "Palabras"; the options choose
// another (the editor's "Probar en Letro" starts it on the teacher's choice).
#include "app/form2.h"
#include "app/translations.h"
#include "exercise/startchoice.h"
#include "progress/progresssession.h"
#include "ui/platform.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QPointer>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

// Ends the pupil's session once the windows are gone: the session's end waits
// for the attempts handed to the store to be kept. The windows hold the
// session too, so the main window's pending deletion is carried out first
// and any window still there is closed down.
void keepResults(letro::Services &services)
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QList<QPointer<QWidget>> windows;
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (!window->parentWidget())
            windows.append(window);
    }
    for (const QPointer<QWidget> &window : windows)
        delete window.data();
    services.progress.reset();
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Letro"));
    QApplication::setApplicationVersion(QStringLiteral("1.0"));
    // Ties the windows to the menu entry (its icon, start-up notification).
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.letro"));
    letro::installSpanishTranslations(app);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/pluma.svg")));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Dictados para aprender ortografía en español."));
    // Qt's own help option describes itself in English.
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Muestra esta ayuda."));
    parser.addOption(help);
    parser.addVersionOption();
    letro::addStartOptions(parser);
    parser.process(app);
    if (parser.isSet(help))
        parser.showHelp(EXIT_SUCCESS);
    letro::Services services;
    if (const QString problem = letro::readStartChoice(parser, &services.start);
        !problem.isEmpty()) {
        std::fprintf(stderr, "letro: %s\n", qUtf8Printable(problem));
        return EXIT_FAILURE;
    }

    // The pupil's results, kept in the pupil's data folder (or on the
    // school's server); the store itself is made after the first exercise.
    // A teacher's trial from the editor keeps nothing and asks nothing.
    if (!services.start.trial)
        services.progress = std::make_shared<letro::progress::ProgressSession>();

    auto *intro = new letro::Form2(services);
    intro->setAttribute(Qt::WA_DeleteOnClose);
    intro->Form_Load();
    intro->show();
    const int status = app.exec();
    keepResults(services);
    if (letro::onWayland()) {
        // Qt 6.4's Wayland plugin now and then hangs for ever while it
        // disconnects (waiting on its own event thread), with the windows
        // already gone. The results are kept by now: it ends here.
        std::fflush(nullptr);
        std::_Exit(status);
    }
    return status;
}
