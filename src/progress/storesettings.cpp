#include "storesettings.h"

#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>

namespace letro::progress {

QString systemSettingsFile()
{
    return QStringLiteral("/etc/letro/progreso.conf");
}

QString defaultLocalPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/Letro/progreso.sqlite");
}

StoreSettings readStoreSettings(const QString &path, const QString &localPath)
{
    StoreSettings settings;
    settings.localPath = localPath;
    const QSettings file(path, QSettings::IniFormat);
    const QString group = QStringLiteral("servidor/");
    const QString engine =
        file.value(group + QStringLiteral("motor")).toString().trimmed().toLower();
    if (engine != QLatin1String("postgresql")) {
        return settings;
    }
    settings.backend = Backend::PostgreSQL;
    settings.host = file.value(group + QStringLiteral("equipo")).toString().trimmed();
    settings.port = file.value(group + QStringLiteral("puerto")).toInt();
    settings.database = file.value(group + QStringLiteral("base")).toString().trimmed();
    settings.user = file.value(group + QStringLiteral("usuario")).toString().trimmed();
    settings.service = file.value(group + QStringLiteral("servicio")).toString().trimmed();
    return settings;
}

QString postgresConnectOptions(const StoreSettings &settings)
{
    QString options = QStringLiteral("sslmode=prefer;connect_timeout=%1")
                          .arg(qMax(1, settings.connectTimeoutSeconds));
    // A service is a plain name; anything else could add options of its own.
    static const QRegularExpression plainName(QStringLiteral("^[A-Za-z0-9_.-]+$"));
    if (plainName.match(settings.service).hasMatch()) {
        options += QStringLiteral(";service=") + settings.service;
    }
    return options;
}

} // namespace letro::progress
