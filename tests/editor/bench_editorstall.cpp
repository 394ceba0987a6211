// How long the editor's window stops answering, with 500 dictations in each
// type folder: a timer on the window's thread ticks every 2 ms, and the
// longest gap between two ticks while an action runs (the change, the list
// read again, the folder watcher's re-read after it) is the stall a screen
// reader or the teacher's next key press would meet. Prints each action's
// median and worst stall over several runs; it is a measurement, not a test:
//   QT_QPA_PLATFORM=offscreen bench_editorstall [runs]
#include "editor/editorwindow.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>

#include <algorithm>
#include <cstdio>

using namespace letro::editor;

namespace {

constexpr int Dictations = 500;

// Every question is answered yes but the offer to record a changed text
// again (no voice here); every text is a new one, so that each Modificar
// writes its file.
class YesDialogs : public Dialogs
{
public:
    std::optional<QString> askText(QWidget *, const QString &, const QString &) override
    {
        return QStringLiteral("Nuevo dictado %1").arg(++m_texts);
    }
    std::optional<int> askNumber(QWidget *, const QString &, const QString &, int value, int,
                                 int) override
    {
        return value;
    }
    bool ask(QWidget *, const QString &, const QString &, const QString &no, Answer) override
    {
        return no != QStringLiteral("Más tarde");
    }
    void tell(QWidget *, const QString &) override {}
    void warn(QWidget *, const QString &text) override
    {
        std::fprintf(stderr, "aviso: %s\n", qPrintable(text));
    }
    QString chooseFolder(QWidget *, const QString &, const QString &) override { return {}; }
    bool recordVoice(QWidget *, const RecordingTarget &) override { return false; }

private:
    int m_texts = 0;
};

class Silence : public Playback
{
public:
    void play(const QString &) override {}
};

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

// The longest gap between two ticks of a 2 ms timer while `action` runs and
// for 400 ms after it (the watcher's re-read comes then).
double worstStall(const std::function<void()> &action)
{
    QElapsedTimer clock;
    qint64 last = 0;
    qint64 worst = 0;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    ticker.setInterval(2);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        worst = std::max(worst, now - last);
        last = now;
    });
    QEventLoop loop;
    clock.start();
    ticker.start();
    QTimer::singleShot(20, [&] {
        action();
        QTimer::singleShot(400, &loop, &QEventLoop::quit);
    });
    loop.exec();
    return double(worst) / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    QTemporaryDir dir;
    const QString letro = dir.filePath(QStringLiteral("Letro"));
    writeFile(QDir(dir.path()).filePath(QStringLiteral("letro.list")), QByteArray());
    QDir().mkpath(letro);
    writeFile(letro + QStringLiteral("/letro"), "#!/bin/sh\n");
    for (const QString &type : {QStringLiteral("Palabras"), QStringLiteral("Frase corta"),
                                QStringLiteral("Frase larga")}) {
        const QString folder = letro + QLatin1Char('/') + type;
        QDir().mkpath(folder);
        for (int n = 1; n <= Dictations; ++n) {
            const QString base = folder + QLatin1Char('/') + QString::number(n);
            writeFile(base, "palabra" + QByteArray::number(n) + "\r\n");
            writeFile(base + QStringLiteral(".wav"), QByteArray(2000, 'w'));
            writeFile(base + QStringLiteral(".lento.wav"), QByteArray(3000, 'l'));
        }
    }

    EditorServices services;
    services.dialogs = std::make_shared<YesDialogs>();
    services.playback = std::make_shared<Silence>();
    services.start = [](const QString &, const QStringList &, const QString &) {
        return QString();
    };
    services.speechProgram = QStringLiteral("false");
    services.packageFileList = QDir(dir.path()).filePath(QStringLiteral("letro.list"));
    EditorWindow window(services);
    window.show();

    struct Action
    {
        const char *name;
        std::function<void()> run;
    };
    const QString palabras = letro + QStringLiteral("/Palabras");
    const QList<Action> actions = {
        {"abrir la carpeta", [&] { window.setFolder(letro); }},
        {"Bajar (250)",
         [&] {
             window.selectExercise(0, 250);
             window.moveDown();
         }},
        {"Modificar (250)",
         [&] {
             window.selectExercise(0, 250);
             window.editExercise();
         }},
        {"Borrar (1, renumera 499)",
         [&] {
             window.selectExercise(0, 1);
             window.removeExercise();
         }},
        {"Añadir", [&] { window.addExercise(); }},
        {"cambio fuera del editor",
         [&] {
             writeFile(palabras + QStringLiteral("/nota.txt"), "x");
             QFile::remove(palabras + QStringLiteral("/nota.txt"));
         }},
    };
    std::printf("%-28s %10s %10s   (ms, %d dictados por tipo, %d pasadas)\n", "acción", "mediana",
                "peor", Dictations, runs);
    for (const Action &action : actions) {
        QList<double> stalls;
        for (int i = 0; i < runs; ++i)
            stalls.append(worstStall(action.run));
        std::sort(stalls.begin(), stalls.end());
        std::printf("%-28s %10.1f %10.1f\n", action.name, stalls.at(stalls.size() / 2),
                    stalls.last());
        std::fflush(stdout);
    }
    if (window.list(0)->topLevelItemCount() != Dictations)
        std::fprintf(stderr, "la lista tiene %d filas\n", window.list(0)->topLevelItemCount());
    return 0;
}
