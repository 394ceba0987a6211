// Where the pupil's results are kept: a SQLite file of the pupil's own by
// default, or a school's PostgreSQL server named in one system-wide file.
//
// The system-wide file (/etc/letro/progreso.conf) is read by every user, so it
// never holds a password, and a password written in it is not read. The
// server is reached as the desktop user: by the server's Unix socket with peer
// authentication, or by host with Kerberos (GSS), or through a libpq service
// of the user's own (~/.pg_service.conf, with the password, if any, in the
// user's ~/.pgpass, which libpq reads only when it is mode 0600). TLS is asked
// for with sslmode=prefer: used whenever the server offers it. What each
// account may do there (a pupil adds results and reads back only its own, a
// teacher reads and removes everyone's) the server enforces with the roles
// the administrator's progreso-servidor.sql makes; see database.cpp.
//
//   [servidor]
//   motor=postgresql
//   equipo=/run/postgresql     ; a host name, or the folder of the Unix socket
//   puerto=5432
//   base=letro
//   usuario=                   ; empty: the desktop user
//   servicio=                  ; a libpq service name instead of the above
#pragma once

#include <QString>

namespace letro::progress {

enum class Backend { SQLite, PostgreSQL };

struct StoreSettings
{
    Backend backend = Backend::SQLite;
    // The pupil's SQLite file: the store itself, or where results wait while
    // the school's server cannot be reached.
    QString localPath;
    QString host;
    int port = 0; // 0: libpq's default
    QString database;
    QString user;
    QString service;
    // How long a write waits for another program to release the local file.
    int busyTimeoutMs = 2000;
    // How long a connection to the server may take before the results wait here.
    int connectTimeoutSeconds = 5;
};

// The system-wide file naming a school's server.
QString systemSettingsFile();

// The pupil's own file: progreso.sqlite in the data folder of Letro
// (~/.local/share/Letro), the same for the pupil's window and the editor.
QString defaultLocalPath();

// The settings from the system-wide file at `path`; SQLite at `localPath`
// when the file is missing or names no PostgreSQL server.
StoreSettings readStoreSettings(const QString &path, const QString &localPath);

// The libpq connection options for a server: TLS when offered, the time
// allowed to connect and the service, if one is named.
QString postgresConnectOptions(const StoreSettings &settings);

} // namespace letro::progress
