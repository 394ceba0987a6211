// A private PostgreSQL server for the store's tests: made with initdb and
// started with pg_ctl in a temporary folder, as an ordinary user (the server
// refuses root: run as root, it runs as "nobody"), listening on a Unix socket
// in that folder only, and stopped when the tests end.
#pragma once

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QVersionNumber>

#include <pwd.h>
#include <unistd.h>

namespace letro::test {

class PgServer
{
public:
    // The newest server programs Debian installs; empty when missing.
    static QString binDir()
    {
        const QDir versions(QStringLiteral("/usr/lib/postgresql"));
        QString best;
        QVersionNumber bestVersion;
        for (const QString &name : versions.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            const QString bin = versions.filePath(name + QStringLiteral("/bin"));
            const QVersionNumber version = QVersionNumber::fromString(name);
            if (QFile::exists(bin + QStringLiteral("/initdb")) &&
                QFile::exists(bin + QStringLiteral("/pg_ctl")) && version > bestVersion) {
                best = bin;
                bestVersion = version;
            }
        }
        return best;
    }

    // Makes and starts the server; the reason on failure.
    QString start()
    {
        m_bin = binDir();
        if (m_bin.isEmpty()) {
            return QStringLiteral("the PostgreSQL server programs (initdb, pg_ctl) are missing "
                                  "under /usr/lib/postgresql: install the package postgresql "
                                  "(./build.sh test installs it)");
        }
        if (!m_dir.isValid()) {
            return QStringLiteral("no temporary folder");
        }
        QFile::setPermissions(m_dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                                QFile::ExeGroup | QFile::ExeOther);
        if (::geteuid() == 0) {
            const passwd *nobody = getpwnam("nobody");
            if (!nobody) {
                return QStringLiteral("no user nobody to run the server as");
            }
            m_uid = nobody->pw_uid;
            m_gid = nobody->pw_gid;
        }
        for (const QString &folder : {dataDir(), socketDir(), logDir()}) {
            QDir().mkpath(folder);
            if (m_uid != uid_t(-1) &&
                ::chown(QFile::encodeName(folder).constData(), m_uid, m_gid) != 0) {
                return QStringLiteral("cannot give %1 to nobody").arg(folder);
            }
            QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
        QString output;
        if (!run(QStringLiteral("initdb"),
                 {QStringLiteral("-D"), dataDir(), QStringLiteral("-U"), user(),
                  QStringLiteral("-A"), QStringLiteral("trust"), QStringLiteral("-E"),
                  QStringLiteral("UTF8"), QStringLiteral("--locale=C.UTF-8"),
                  QStringLiteral("--no-sync"), QStringLiteral("--no-instructions")},
                 &output)) {
            return QStringLiteral("initdb failed: ") + output;
        }
        m_made = true;
        return startAgain();
    }

    // Starts the server made before (after stop()); the reason on failure.
    QString startAgain()
    {
        QString output;
        const QString options =
            QStringLiteral("-c listen_addresses='' -c unix_socket_directories=%1 "
                           "-c fsync=off -p %2")
                .arg(socketDir())
                .arg(port());
        if (!run(QStringLiteral("pg_ctl"),
                 {QStringLiteral("-D"), dataDir(), QStringLiteral("-l"),
                  logDir() + QStringLiteral("/server.log"), QStringLiteral("-o"), options,
                  QStringLiteral("-w"), QStringLiteral("-t"), QStringLiteral("120"),
                  QStringLiteral("start")},
                 &output)) {
            return QStringLiteral("pg_ctl start failed: ") + output + log();
        }
        m_running = true;
        return QString();
    }

    bool stop()
    {
        if (!m_running) {
            return true;
        }
        QString output;
        const bool stopped =
            run(QStringLiteral("pg_ctl"),
                {QStringLiteral("-D"), dataDir(), QStringLiteral("-m"), QStringLiteral("fast"),
                 QStringLiteral("-w"), QStringLiteral("-t"), QStringLiteral("120"),
                 QStringLiteral("stop")},
                &output);
        m_running = !stopped;
        return stopped;
    }

    ~PgServer() { stop(); }

    QString socketDir() const { return m_dir.filePath(QStringLiteral("sock")); }
    int port() const { return 5432; }
    QString user() const { return QStringLiteral("letro"); }
    bool isMade() const { return m_made; }
    bool isRunning() const { return m_running; }

private:
    QString dataDir() const { return m_dir.filePath(QStringLiteral("data")); }
    QString logDir() const { return m_dir.filePath(QStringLiteral("log")); }
    QString log() const
    {
        QFile file(logDir() + QStringLiteral("/server.log"));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

    bool run(const QString &program, const QStringList &arguments, QString *output)
    {
        QProcess process;
        process.setWorkingDirectory(m_dir.path());
        process.setProcessChannelMode(QProcess::MergedChannels);
        const QString path = m_bin + QLatin1Char('/') + program;
        if (m_uid != uid_t(-1)) {
            process.start(QStringLiteral("runuser"),
                          QStringList{QStringLiteral("-u"), QStringLiteral("nobody"),
                                      QStringLiteral("--"), path} +
                              arguments);
        } else {
            process.start(path, arguments);
        }
        const bool done = process.waitForFinished(180000);
        *output = QString::fromLocal8Bit(process.readAll());
        return done && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    }

    QTemporaryDir m_dir;
    QString m_bin;
    uid_t m_uid = uid_t(-1);
    gid_t m_gid = gid_t(-1);
    bool m_made = false;
    bool m_running = false;
};

} // namespace letro::test
