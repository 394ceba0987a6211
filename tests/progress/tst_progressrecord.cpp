// The record of an attempt on its own: the word a mistake belongs to, the
// stored names of the kinds of mistake, the figures of a new attempt, the
// system-wide settings file and the server's connection options, the name a
// damaged file is set aside under, and the file results are carried in from
// another machine.
#include "progress/attemptrecord.h"
#include "progress/exchange.h"
#include "progress/problems.h"
#include "progress/progressstore.h"
#include "progress/storesettings.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

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
    void exchangeRoundTrip_data();
    void exchangeRoundTrip();
    void exchangeRefusesBadFiles_data();
    void exchangeRefusesBadFiles();
};

namespace {

AttemptRecord exchanged(const QString &pupil, const QString &text, qint64 msecs,
                        const QList<MistakeRecord> &mistakes)
{
    AttemptRecord attempt = newAttempt(pupil, QStringLiteral("Frase corta"), 7, text, true, 65, 311,
                                       mistakes.size(), mistakes);
    attempt.when = QDateTime::fromMSecsSinceEpoch(msecs, Qt::UTC);
    return attempt;
}

// A file exportAttempts() would write of one attempt, with `change` made to
// the attempt's object or to the whole file.
QByteArray changedFile(const std::function<void(QJsonObject &top, QJsonObject &attempt)> &change)
{
    const MistakeRecord mistake{3, QStringLiteral("v"), QStringLiteral("b"), Mistake::BForV};
    const QByteArray file = exportAttempts(
        {exchanged(QStringLiteral("ana"), QStringLiteral("la vaca"), 1741000000123, {mistake})});
    QJsonObject top = QJsonDocument::fromJson(file).object();
    const QJsonValue list = top.value(QStringLiteral("intentos"));
    QJsonObject attempt = list.toArray().at(0).toObject();
    change(top, attempt);
    if (top.value(QStringLiteral("intentos")) == list) {
        top.insert(QStringLiteral("intentos"), QJsonArray{attempt});
    }
    return QJsonDocument(top).toJson();
}

} // namespace

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

void TestProgressRecord::exchangeRoundTrip_data()
{
    QTest::addColumn<QList<AttemptRecord>>("attempts");
    QTest::addColumn<QString>("firstTime"); // as written in the file
    QList<MistakeRecord> everyKind;
    for (Mistake kind : mistakeKinds())
        everyKind.append({int(everyKind.size()), QStringLiteral("á"), QStringLiteral("\""), kind});
    QTest::newRow("nothing") << QList<AttemptRecord>() << QString();
    QTest::newRow("every kind, milliseconds kept")
        << QList<AttemptRecord>{exchanged(QStringLiteral("ana"), QStringLiteral("Él vio árboles."),
                                          1741000000123, everyKind)}
        << QStringLiteral("2025-03-03T11:06:40.123Z");
    AttemptRecord unfinished = exchanged(
        QStringLiteral("Íñigo"), QStringLiteral("línea \"uno\"\ny dos\t😀"), 1741000000000, {});
    unfinished.finished = false;
    unfinished.seconds = 0;
    unfinished.keysPerMinute = 0;
    unfinished.hits = 9007199254740991; // the largest whole number JSON keeps exactly
    QTest::newRow("unfinished, quotes, lines and an emoji")
        << QList<AttemptRecord>{unfinished,
                                exchanged(
                                    QStringLiteral("luis"), QString(), 1741000000999,
                                    {{0, QString(), QStringLiteral(" "), Mistake::MissingBlank}})}
        << QStringLiteral("2025-03-03T11:06:40.000Z");
}

// What is exported reads back equal, field by field and mistake by mistake.
void TestProgressRecord::exchangeRoundTrip()
{
    QFETCH(QList<AttemptRecord>, attempts);
    QFETCH(QString, firstTime);
    const QByteArray file = exportAttempts(attempts);
    const QJsonObject top = QJsonDocument::fromJson(file).object();
    QCOMPARE(top.value(QStringLiteral("formato")).toString(), QStringLiteral("letro-resultados"));
    QCOMPARE(top.value(QStringLiteral("version")).toInt(), 1);
    const QJsonArray list = top.value(QStringLiteral("intentos")).toArray();
    QCOMPARE(list.size(), attempts.size());
    if (!attempts.isEmpty()) {
        const QJsonObject first = list.at(0).toObject();
        QCOMPARE(first.value(QStringLiteral("fecha")).toString(), firstTime);
        QCOMPARE(first.value(QStringLiteral("id")).toString(),
                 attempts.at(0).id.toString(QUuid::WithoutBraces));
        QStringList kinds;
        for (const QJsonValue &mistake : first.value(QStringLiteral("fallos")).toArray())
            kinds << mistake.toObject().value(QStringLiteral("clase")).toString();
        QStringList expectedKinds;
        for (const MistakeRecord &mistake : attempts.at(0).mistakeList)
            expectedKinds << mistakeKindCode(mistake.kind);
        QCOMPARE(kinds, expectedKinds);
    }
    const ImportResult read = importAttempts(file);
    QCOMPARE(read.problem, QString());
    QCOMPARE(read.attempts, attempts);
    for (const AttemptRecord &attempt : read.attempts)
        QCOMPARE(attempt.when.timeSpec(), Qt::UTC);
}

void TestProgressRecord::exchangeRefusesBadFiles_data()
{
    using Change = std::function<void(QJsonObject &, QJsonObject &)>;
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("problem");
    const QString notOurs = QStringLiteral("el archivo no es de resultados de Letro");
    QTest::newRow("empty") << QByteArray() << notOurs;
    QTest::newRow("not JSON") << QByteArray("alumno;fecha\nana;hoy\n") << notOurs;
    QTest::newRow("cut short") << changedFile([](QJsonObject &, QJsonObject &) {}).chopped(20)
                               << notOurs;
    QTest::newRow("a list") << QByteArray("[1, 2]") << notOurs;
    QTest::newRow("another format") << changedFile([](QJsonObject &top, QJsonObject &) {
        top.insert(QStringLiteral("formato"), QStringLiteral("otro"));
    }) << notOurs;
    QTest::newRow("newer version") << changedFile([](QJsonObject &top, QJsonObject &) {
        top.insert(QStringLiteral("version"), 2);
    }) << QStringLiteral("el archivo es de una versión más nueva de Letro (formato 2)");
    QTest::newRow("version zero") << changedFile([](QJsonObject &top, QJsonObject &) {
        top.insert(QStringLiteral("version"), 0);
    }) << QStringLiteral("la versión 0 del archivo no existe");
    QTest::newRow("version as text") << changedFile([](QJsonObject &top, QJsonObject &) {
        top.insert(QStringLiteral("version"), QStringLiteral("1"));
    }) << QStringLiteral("«version» no es un número entero desde 0");
    QTest::newRow("no attempts") << changedFile([](QJsonObject &top, QJsonObject &) {
        top.remove(QStringLiteral("intentos"));
    }) << QStringLiteral("falta «intentos»");
    QTest::newRow("attempts not a list") << changedFile([](QJsonObject &top, QJsonObject &) {
        top.insert(QStringLiteral("intentos"), QJsonObject());
    }) << QStringLiteral("«intentos» no es una lista");
    QTest::newRow("attempt not an object") << changedFile([](QJsonObject &top, QJsonObject &) {
        top.insert(QStringLiteral("intentos"), QJsonArray{3});
    }) << QStringLiteral("intento 1: no es un objeto");
    const Change wrongFields[] = {
        [](QJsonObject &, QJsonObject &a) { a.remove(QStringLiteral("alumno")); },
        [](QJsonObject &, QJsonObject &a) { a.insert(QStringLiteral("alumno"), QString()); },
        [](QJsonObject &, QJsonObject &a) { a.insert(QStringLiteral("id"), QStringLiteral("7")); },
        [](QJsonObject &, QJsonObject &a) { a.insert(QStringLiteral("id"), 7); },
        [](QJsonObject &, QJsonObject &a) {
            a.insert(QStringLiteral("fecha"), QStringLiteral("ayer"));
        },
        [](QJsonObject &, QJsonObject &a) {
            a.insert(QStringLiteral("fecha"), QStringLiteral("2025-03-03T11:06:40.123"));
        },
        [](QJsonObject &, QJsonObject &a) { a.insert(QStringLiteral("numero"), 2.5); },
        [](QJsonObject &, QJsonObject &a) { a.insert(QStringLiteral("numero"), 3e9); },
        [](QJsonObject &, QJsonObject &a) { a.insert(QStringLiteral("segundos"), -1); },
        [](QJsonObject &, QJsonObject &a) { a.insert(QStringLiteral("terminado"), 1); },
        [](QJsonObject &, QJsonObject &a) { a.insert(QStringLiteral("texto"), QJsonValue()); },
        [](QJsonObject &, QJsonObject &a) { a.remove(QStringLiteral("errores")); },
        [](QJsonObject &, QJsonObject &a) {
            a.insert(QStringLiteral("fallos"), QStringLiteral("b-v"));
        },
        [](QJsonObject &, QJsonObject &a) {
            QJsonObject mistake = a.value(QStringLiteral("fallos")).toArray().at(0).toObject();
            mistake.insert(QStringLiteral("clase"), QStringLiteral("g-j"));
            a.insert(QStringLiteral("fallos"), QJsonArray{mistake});
        },
        [](QJsonObject &, QJsonObject &a) {
            QJsonObject mistake = a.value(QStringLiteral("fallos")).toArray().at(0).toObject();
            mistake.remove(QStringLiteral("escrito"));
            a.insert(QStringLiteral("fallos"), QJsonArray{QJsonObject(mistake), mistake});
        },
        [](QJsonObject &, QJsonObject &a) {
            a.insert(QStringLiteral("fallos"), QJsonArray{QJsonObject(), true});
        },
    };
    const QStringList problems = {
        QStringLiteral("intento 1: falta «alumno»"),
        QStringLiteral("intento 1: «alumno» está vacío"),
        QStringLiteral("intento 1: el identificador «7» no es válido"),
        QStringLiteral("intento 1: «id» no es un texto"),
        QStringLiteral("intento 1: la fecha «ayer» no es válida"),
        QStringLiteral("intento 1: la fecha «2025-03-03T11:06:40.123» no es válida"),
        QStringLiteral("intento 1: «numero» no es un número entero desde 0"),
        QStringLiteral("intento 1: «numero» no es un número entero desde 0"),
        QStringLiteral("intento 1: «segundos» no es un número entero desde 0"),
        QStringLiteral("intento 1: «terminado» no es sí o no (true o false)"),
        QStringLiteral("intento 1: «texto» no es un texto"),
        QStringLiteral("intento 1: falta «errores»"),
        QStringLiteral("intento 1: «fallos» no es una lista"),
        QStringLiteral("intento 1, fallo 1: la clase de fallo «g-j» no existe"),
        QStringLiteral("intento 1, fallo 1: falta «escrito»"),
        QStringLiteral("intento 1, fallo 1: falta «posicion»"),
    };
    QCOMPARE(problems.size(), qsizetype(std::size(wrongFields)));
    for (qsizetype i = 0; i < problems.size(); ++i)
        QTest::addRow("%s", qPrintable(problems.at(i)))
            << changedFile(wrongFields[i]) << problems.at(i);
    // The second attempt is wrong: nothing of the first is taken either.
    QJsonObject top =
        QJsonDocument::fromJson(changedFile([](QJsonObject &, QJsonObject &) {})).object();
    QJsonArray two = top.value(QStringLiteral("intentos")).toArray();
    QJsonObject second = two.at(0).toObject();
    second.insert(QStringLiteral("aciertos"), QStringLiteral("muchos"));
    two.append(second);
    top.insert(QStringLiteral("intentos"), two);
    QTest::newRow("second attempt wrong") << QJsonDocument(top).toJson()
                                          << QStringLiteral("intento 2: «aciertos» no es un "
                                                            "número entero desde 0");
}

// A file with anything wrong gives no attempts and says, in Spanish, what
// and where; the same file unchanged reads whole.
void TestProgressRecord::exchangeRefusesBadFiles()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, problem);
    const ImportResult read = importAttempts(file);
    QCOMPARE(read.problem, problem);
    QCOMPARE(read.attempts.size(), 0);
    const ImportResult sound = importAttempts(changedFile([](QJsonObject &, QJsonObject &) {}));
    QCOMPARE(sound.problem, QString());
    QCOMPARE(sound.attempts.size(), 1);
}

QTEST_GUILESS_MAIN(TestProgressRecord)
#include "tst_progressrecord.moc"
