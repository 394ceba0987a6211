// The record of an attempt on its own: the word a mistake belongs to, the
// stored names of the kinds of mistake, the figures of a new attempt, the
// system-wide settings file and the server's connection options, and the
// name a damaged file is set aside under.
#include "progress/attemptrecord.h"
#include "progress/problems.h"
#include "progress/progressstore.h"
#include "progress/storesettings.h"

#include <QSet>
#include <QTemporaryDir>
#include <QTest>

using namespace letro;
using namespace letro::progress;

class TestProgressRecord : public QObject
{
    Q_OBJECT

private slots:
    void wordOfAMistake_data();
    void wordOfAMistake();
    void kindsKeepTheirNames();
    void newAttemptFigures();
    void settingsFile_data();
    void settingsFile();
    void serverOptions_data();
    void serverOptions();
    void setAsideName();
};

void TestProgressRecord::wordOfAMistake_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("word");
    const QString text = QStringLiteral("La Vaca, ¿comió hierba?");
    QTest::newRow("first letter") << text << 0 << QStringLiteral("la");
    QTest::newRow("capital inside") << text << 3 << QStringLiteral("vaca");
    QTest::newRow("last letter") << text << 6 << QStringLiteral("vaca");
    QTest::newRow("comma after a word") << text << 7 << QStringLiteral("vaca");
    QTest::newRow("blank after a mark") << text << 8 << QString();
    QTest::newRow("opening mark") << text << 9 << QString();
    QTest::newRow("accented letter") << text << 13 << QStringLiteral("comió");
    QTest::newRow("blank after a word") << text << 15 << QStringLiteral("comió");
    QTest::newRow("closing mark") << text << 22 << QStringLiteral("hierba");
    QTest::newRow("end of the text") << text << 23 << QString();
    QTest::newRow("past the end") << text << 40 << QString();
    QTest::newRow("before the start") << text << -1 << QString();
    QTest::newRow("digits") << QStringLiteral("el 1492 fue") << 5 << QStringLiteral("1492");
    QTest::newRow("combining accent")
        << QStringLiteral("cafe\u0301 solo") << 4 << QStringLiteral("cafe\u0301");
}

void TestProgressRecord::wordOfAMistake()
{
    QFETCH(QString, text);
    QFETCH(int, position);
    QFETCH(QString, word);
    QCOMPARE(wordAt(text, position), word);
}

// Every kind has a name of its own that reads back as that kind; the names
// are the ones stored, so they may never change.
void TestProgressRecord::kindsKeepTheirNames()
{
    const QList<Mistake> kinds = mistakeKinds();
    QCOMPARE(kinds.size(), int(Mistake::WrongLetter));
    QSet<QString> names;
    for (Mistake kind : kinds) {
        const QString name = mistakeKindCode(kind);
        QVERIFY(!name.isEmpty());
        names.insert(name);
        QCOMPARE(mistakeKindFromCode(name), kind);
    }
    QCOMPARE(names.size(), kinds.size());
    QCOMPARE(mistakeKindCode(Mistake::None), QString());
    QCOMPARE(mistakeKindFromCode(QStringLiteral("otra")), Mistake::None);
    QStringList stored;
    for (Mistake kind : kinds)
        stored << mistakeKindCode(kind);
    QCOMPARE(stored.join(QLatin1Char(' ')),
             QStringLiteral("mayuscula y-i b-v h-sobra h-falta tilde-falta tilde-sobra blanco "
                            "puntuacion letra"));
}

void TestProgressRecord::newAttemptFigures()
{
    const QList<MistakeRecord> mistakes = {
        {2, QStringLiteral("v"), QStringLiteral("b"), Mistake::BForV}};
    const AttemptRecord first = newAttempt(QStringLiteral("ana"), QStringLiteral("Frase corta"), 3,
                                           QStringLiteral("la vaca"), true, 41, 150, 1, mistakes);
    const AttemptRecord second = newAttempt(QStringLiteral("ana"), QStringLiteral("Frase corta"), 3,
                                            QStringLiteral("la vaca"), false, 0, 2, 0, {});
    QVERIFY(!first.id.isNull());
    QVERIFY(first.id != second.id);
    QCOMPARE(first.keysPerMinute, 219); // 150 × 60 ÷ 41, rounded down
    QCOMPARE(second.keysPerMinute, 0);  // no second yet
    QCOMPARE(first.when.timeSpec(), Qt::UTC);
    QCOMPARE(first.when.time().msec(), first.when.toMSecsSinceEpoch() % 1000);
    QVERIFY(qAbs(first.when.msecsTo(QDateTime::currentDateTimeUtc())) < 60000);
    QCOMPARE(first.mistakeList, mistakes);
    QVERIFY(!desktopPupil().isEmpty());
}

void TestProgressRecord::settingsFile_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("backend");
    QTest::addColumn<QString>("fields"); // host port database user service
    QTest::newRow("no file") << QByteArray() << int(Backend::SQLite) << QStringLiteral("| 0 | | |");
    QTest::newRow("another engine") << QByteArray("[servidor]\nmotor=mysql\nequipo=aula\n")
                                    << int(Backend::SQLite) << QStringLiteral("| 0 | | |");
    QTest::newRow("socket, peer")
        << QByteArray("[servidor]\nmotor=PostgreSQL\nequipo=/run/postgresql\nbase=letro\n")
        << int(Backend::PostgreSQL) << QStringLiteral("/run/postgresql| 0 |letro| |");
    QTest::newRow("host and user")
        << QByteArray("[servidor]\nmotor=postgresql\nequipo=servidor.colegio\npuerto=5433\n"
                      "base=letro\nusuario=aula3\n")
        << int(Backend::PostgreSQL) << QStringLiteral("servidor.colegio| 5433 |letro|aula3|");
    QTest::newRow("service; a password is not read")
        << QByteArray("[servidor]\nmotor=postgresql\nservicio=letro\ncontrasena=secreta\n"
                      "password=secreta\n")
        << int(Backend::PostgreSQL) << QStringLiteral("| 0 | | |letro");
}

void TestProgressRecord::settingsFile()
{
    QFETCH(QByteArray, file);
    QFETCH(int, backend);
    QFETCH(QString, fields);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("progreso.conf"));
    if (!file.isNull()) {
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(file);
    }
    const StoreSettings settings = readStoreSettings(path, QStringLiteral("/home/ana/p.sqlite"));
    QCOMPARE(int(settings.backend), backend);
    QCOMPARE(settings.localPath, QStringLiteral("/home/ana/p.sqlite"));
    QCOMPARE(QStringList({settings.host, QStringLiteral(" %1 ").arg(settings.port),
                          settings.database.isEmpty() ? QStringLiteral(" ") : settings.database,
                          settings.user.isEmpty() ? QStringLiteral(" ") : settings.user,
                          settings.service})
                 .join(QLatin1Char('|')),
             fields);
    QCOMPARE(systemSettingsFile(), QStringLiteral("/etc/letro/progreso.conf"));
    QVERIFY(defaultLocalPath().endsWith(QStringLiteral("/Letro/progreso.sqlite")));
}

void TestProgressRecord::serverOptions_data()
{
    QTest::addColumn<QString>("service");
    QTest::addColumn<int>("timeout");
    QTest::addColumn<QString>("options");
    QTest::newRow("plain") << QString() << 5 << QStringLiteral("sslmode=prefer;connect_timeout=5");
    QTest::newRow("service") << QStringLiteral("letro-aula_2.b") << 10
                             << QStringLiteral("sslmode=prefer;connect_timeout=10;"
                                               "service=letro-aula_2.b");
    QTest::newRow("no zero time-out")
        << QString() << 0 << QStringLiteral("sslmode=prefer;connect_timeout=1");
    QTest::newRow("service adding options is left out")
        << QStringLiteral("letro;sslmode=disable") << 5
        << QStringLiteral("sslmode=prefer;connect_timeout=5");
    QTest::newRow("service with a blank is left out")
        << QStringLiteral("letro sslmode=disable") << 5
        << QStringLiteral("sslmode=prefer;connect_timeout=5");
}

void TestProgressRecord::serverOptions()
{
    QFETCH(QString, service);
    QFETCH(int, timeout);
    QFETCH(QString, options);
    StoreSettings settings;
    settings.service = service;
    settings.connectTimeoutSeconds = timeout;
    QCOMPARE(postgresConnectOptions(settings), options);
}

void TestProgressRecord::setAsideName()
{
    const QDateTime when(QDate(2025, 3, 3), QTime(9, 5, 7), Qt::UTC);
    QCOMPARE(setAsidePath(QStringLiteral("/h/Letro/progreso.sqlite"), when),
             QStringLiteral("/h/Letro/progreso.sqlite.dañado-20250303-090507"));
    QCOMPARE(problemMessage({Problem::Damaged, QStringLiteral("/h/x.sqlite.dañado-1")}),
             QStringLiteral("El archivo de los resultados estaba dañado: se ha guardado aparte "
                            "como «x.sqlite.dañado-1» y se empieza uno nuevo."));
    QCOMPARE(problemMessage({}), QString());
}

QTEST_GUILESS_MAIN(TestProgressRecord)
#include "tst_progressrecord.moc"
