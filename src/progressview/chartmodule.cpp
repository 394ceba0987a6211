#include "chartmodule.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibrary>

namespace letro::progressview {

QString chartModuleName()
{
    return QStringLiteral("libletroprogresscharts.so");
}

namespace {

ChartModule load()
{
    // Beside the program; where the package puts it (for a teacher's copy
    // of Letro, which has only the program, its pictures and dictations);
    // Qt's library paths.
    QStringList folders{QCoreApplication::applicationDirPath() + QStringLiteral("/modulos"),
                        QStringLiteral(LETRO_INSTALLED_MODULES)};
    folders.append(QCoreApplication::libraryPaths());
    for (const QString &folder : std::as_const(folders)) {
        const QString path = QDir(folder).filePath(chartModuleName());
        if (!QFile::exists(path))
            continue;
        // Never unloaded: the charts made live as long as their windows.
        QLibrary library(path);
        if (!library.load()) {
            qWarning("Letro: %s", qPrintable(library.errorString()));
            continue;
        }
        ChartModule module;
        module.lineChart =
            reinterpret_cast<LetroLineChartFunction>(library.resolve(LineChartSymbol));
        module.barChart = reinterpret_cast<LetroBarChartFunction>(library.resolve(BarChartSymbol));
        if (module.loaded())
            return module;
    }
    return {};
}

} // namespace

const ChartModule &chartModule()
{
    static const ChartModule module = load();
    return module;
}

} // namespace letro::progressview
