// The teacher's view of the class's results, on a scratch SQLite store and a
// scratch home: the class table's cells from attempts written to the store,
// the span of dates, each pupil's history and chart, the CSV and the PDF, a
// pupil's results exported and brought into another store without counting
// any twice, one pupil deleted after the question, the class list, and the
// way in from the editor's window.
#include "editor/classlistdialog.h"
#include "editor/classreport.h"
#include "editor/classresults.h"
#include "editor/editorwindow.h"
#include "progress/classlist.h"
#include "progress/exchange.h"

#include <QAbstractSeries>
#include <QChart>
#include <QChartView>
#include <QDateEdit>
#include <QFile>
#include <QLabel>
#include <QLineSeries>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>

#include <memory>
#include <optional>

using namespace letro;
using namespace letro::editor;
using namespace letro::progress;

namespace {

constexpr int loadTimeoutMs = 30000; // a busy machine, a sanitizer build

class AnsweredDialogs : public Dialogs
{
public:
    std::optional<QString> askText(QWidget *, const QString &, const QString &) override
    {
        return std::nullopt;
    }
    std::optional<int> askNumber(QWidget *, const QString &, const QString &, int, int,
                                 int) override
    {
        return std::nullopt;
    }
    bool ask(QWidget *, const QString &question, const QString &yes, const QString &no,
             Answer preferred) override
    {
        questions.append(question);
        buttons.append(yes + QLatin1Char('/') + no);
        preferredAnswers.append(preferred);
        return !answers.isEmpty() && answers.takeFirst();
    }
    void tell(QWidget *, const QString &text) override { told.append(text); }
    void warn(QWidget *, const QString &text) override { told.append(text); }
    QString chooseFolder(QWidget *, const QString &, const QString &) override { return {}; }
    bool recordVoice(QWidget *, const RecordingTarget &) override { return false; }

    QList<bool> answers;
    QStringList questions;
    QStringList buttons;
    QList<Answer> preferredAnswers;
    QStringList told;
};

// The text's positions: 0 "V" of "Vaca", 5 "á" of "árbol", 11 "h" of "hoy".
MistakeRecord mistakeOf(Mistake kind)
{
    switch (kind) {
    case Mistake::BForV:
        return {0, QStringLiteral("V"), QStringLiteral("B"), kind};
    case Mistake::MissingAccent:
        return {5, QStringLiteral("á"), QStringLiteral("a"), kind};
    case Mistake::MissingH:
        return {11, QStringLiteral("h"), QStringLiteral("o"), kind};
    case Mistake::CapitalLetter:
        return {0, QStringLiteral("V"), QStringLiteral("v"), kind};
    default:
        return {1, QStringLiteral("a"), QStringLiteral("x"), kind};
    }
}

// An attempt of `pupil` ended at `time` (local) on `day`.
AttemptRecord attemptOf(const QString &pupil, const QDate &day, const QList<Mistake> &kinds,
                        int number = 1, QTime time = QTime(12, 0))
{
    QList<MistakeRecord> mistakes;
    for (Mistake kind : kinds)
        mistakes.append(mistakeOf(kind));
    AttemptRecord attempt =
        newAttempt(pupil, QStringLiteral("Palabras"), number, QStringLiteral("Vaca árbol hoy."),
                   number % 2 == 1, 40, 100, mistakes.size(), mistakes);
    attempt.when = QDateTime(day, time).toUTC();
    return attempt;
}

QDate march(int day)
{
    return QDate(2026, 3, day);
}

// The class: Ana (twice in March, once the year before), beatriz (no
// mistakes, the second time a minute before midnight), Álvaro, and Luis on the
// last day of March.
QList<AttemptRecord> theClass()
{
    using M = Mistake;
    return {
        attemptOf(QStringLiteral("Ana"), march(2), {M::BForV, M::BForV, M::MissingAccent}, 1),
        attemptOf(QStringLiteral("Ana"), march(10), {M::CapitalLetter}, 2),
        attemptOf(QStringLiteral("Ana"), QDate(2025, 12, 1), {M::SuperfluousAccent}, 3),
        attemptOf(QStringLiteral("beatriz"), march(5), {}, 1),
        attemptOf(QStringLiteral("beatriz"), march(9), {}, 2, QTime(23, 59, 30)),
        attemptOf(QStringLiteral("Álvaro"), march(10), {M::MissingH, M::WrongLetter}, 1),
        attemptOf(QStringLiteral("Luis"), march(31), {M::YForI}, 1),
    };
}

StoreSettings storeAt(const QString &path)
{
    StoreSettings settings;
    settings.localPath = path;
    return settings;
}

void seed(const QString &path, const QList<AttemptRecord> &attempts)
{
    ProgressDatabase database(Backend::SQLite);
    QVERIFY(database.open(storeAt(path)).ok());
    for (const AttemptRecord &attempt : attempts)
        QVERIFY(database.write(attempt).ok());
}

QList<AttemptRecord> stored(const QString &path, const QString &pupil)
{
    ProgressDatabase database(Backend::SQLite);
    if (!database.open(storeAt(path)).ok())
        return {};
    Outcome outcome;
    return database.attempts(pupil, {}, &outcome);
}

// A table's cells, a row a line, the cells split by '|'.
QStringList cells(const QTableWidget *table)
{
    QStringList rows;
    for (int row = 0; row < table->rowCount(); ++row) {
        QStringList texts;
        for (int column = 0; column < table->columnCount(); ++column)
            texts.append(table->item(row, column) ? table->item(row, column)->text() : QString());
        rows.append(texts.join(QLatin1Char('|')));
    }
    return rows;
}

// The sizes of a PDF's pages in points, rounded, as "width height".
QStringList mediaBoxes(const QByteArray &pdf)
{
    static const QRegularExpression box(QStringLiteral("/MediaBox \\[0 0 ([0-9.]+) ([0-9.]+)\\]"));
    QStringList sizes;
    for (const QRegularExpressionMatch &match : box.globalMatch(QString::fromLatin1(pdf)))
        sizes.append(QStringLiteral("%1 %2")
                         .arg(qRound(match.captured(1).toDouble()))
                         .arg(qRound(match.captured(2).toDouble())));
    sizes.removeDuplicates();
    return sizes;
}

QStringList headings(const QTableWidget *table)
{
    QStringList texts;
    for (int column = 0; column < table->columnCount(); ++column)
        texts.append(table->horizontalHeaderItem(column)->text());
    return texts;
}

} // namespace

class TestClassResults : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void shortNames_data();
    void shortNames();
    void spans_data();
    void spans();
    void csvFields_data();
    void csvFields();
    void csvOfTheClass();
    void messages_data();
    void messages();

    void classTable_data();
    void classTable();
    void pupilHistory();
    void csvAndPdfFiles();
    void exportedAndBroughtIn();
    void brokenFileBroughtIn();
    void storeThatCannotBeRead();
    void pupilRemoved();
    void classList_data();
    void classList();
    void openedFromTheEditor();

private:
    std::unique_ptr<ClassResultsWindow> window(const QString &store);
    QString path(const QString &name) const { return m_dir->filePath(name); }

    QTemporaryDir m_home;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::shared_ptr<AnsweredDialogs> m_dialogs;
};

void TestClassResults::initTestCase()
{
    // Nothing of the real account is read or written.
    QVERIFY(m_home.isValid());
    qputenv("HOME", QFile::encodeName(m_home.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_home.filePath(QStringLiteral("config"))));
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_home.filePath(QStringLiteral("data"))));
    QCoreApplication::setOrganizationName(QStringLiteral("Letro"));
    QCoreApplication::setApplicationName(QStringLiteral("letro-editor-test"));
}

void TestClassResults::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_dialogs = std::make_shared<AnsweredDialogs>();
}

std::unique_ptr<ClassResultsWindow> TestClassResults::window(const QString &store)
{
    auto window = std::make_unique<ClassResultsWindow>(
        storeAt(store), path(QStringLiteral("clase.txt")), m_dialogs);
    window->setSpan(march(1), march(31));
    return window;
}

void TestClassResults::shortNames_data()
{
    QTest::addColumn<Mistake>("kind");
    QTest::addColumn<QString>("name");
    QTest::newRow("capital") << Mistake::CapitalLetter << QStringLiteral("mayúsculas");
    QTest::newRow("y/i") << Mistake::YForI << QStringLiteral("y/i");
    QTest::newRow("b/v") << Mistake::BForV << QStringLiteral("b/v");
    QTest::newRow("h too many") << Mistake::SuperfluousH << QStringLiteral("h que sobra");
    QTest::newRow("h missing") << Mistake::MissingH << QStringLiteral("h que falta");
    QTest::newRow("accent missing") << Mistake::MissingAccent << QStringLiteral("tilde que falta");
    QTest::newRow("accent too many")
        << Mistake::SuperfluousAccent << QStringLiteral("tilde que sobra");
    QTest::newRow("blank") << Mistake::MissingBlank << QStringLiteral("espacios");
    QTest::newRow("punctuation") << Mistake::MissingPunctuation
                                 << QStringLiteral("signos de puntuación");
    QTest::newRow("other letter") << Mistake::WrongLetter << QStringLiteral("otra letra");
    QTest::newRow("none") << Mistake::None << QString();
}

void TestClassResults::shortNames()
{
    QFETCH(Mistake, kind);
    QFETCH(QString, name);
    QCOMPARE(progress::mistakeKindName(kind), name);
    // Every kind the store keeps has a heading of its own.
    QStringList names;
    for (Mistake each : mistakeKinds())
        names.append(progress::mistakeKindName(each));
    QCOMPARE(names.removeDuplicates(), 0);
    QVERIFY(!names.contains(QString()));
}

void TestClassResults::spans_data()
{
    QTest::addColumn<QDate>("from");
    QTest::addColumn<QDate>("to");
    QTest::addColumn<QString>("text");
    QTest::newRow("a month") << QDate(2026, 11, 9) << QDate(2026, 12, 8)
                             << QStringLiteral(
                                    "del 9 de noviembre de 2026 al 8 de diciembre de 2026");
    QTest::newRow("one day") << march(1) << march(1) << QStringLiteral("el 1 de marzo de 2026");
    QTest::newRow("over the new year")
        << QDate(2025, 12, 22) << QDate(2026, 1, 7)
        << QStringLiteral("del 22 de diciembre de 2025 al 7 de enero de 2026");
}

void TestClassResults::spans()
{
    QFETCH(QDate, from);
    QFETCH(QDate, to);
    QFETCH(QString, text);
    QCOMPARE(spanText(from, to), text);
    // Both days whole, in the local time.
    const DateSpan span = spanOfDates(from, to);
    QCOMPARE(span.from, QDateTime(from, QTime(0, 0)));
    QCOMPARE(span.to, QDateTime(to.addDays(1), QTime(0, 0)));
    QVERIFY(span.from <= QDateTime(from, QTime(0, 0)));
    QVERIFY(QDateTime(to, QTime(23, 59, 59, 999)) < span.to);
    // The view opens on the last 30 days, today included.
    QCOMPARE(defaultSpanStart(to).daysTo(to), 29);
}

void TestClassResults::csvFields_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("written");
    QTest::newRow("plain") << QStringLiteral("Ana") << QStringLiteral("Ana");
    QTest::newRow("accents and blanks inside")
        << QStringLiteral("Íñigo Peña") << QStringLiteral("Íñigo Peña");
    QTest::newRow("number") << QStringLiteral("12") << QStringLiteral("12");
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("separator") << QStringLiteral("Ana; Luis") << QStringLiteral("\"Ana; Luis\"");
    QTest::newRow("comma left as it is")
        << QStringLiteral("Peña, Ana") << QStringLiteral("Peña, Ana");
    QTest::newRow("quotes doubled")
        << QStringLiteral("Ana \"la Peque\"") << QStringLiteral("\"Ana \"\"la Peque\"\"\"");
    QTest::newRow("line break") << QStringLiteral("Ana\nLuis") << QStringLiteral("\"Ana\nLuis\"");
    QTest::newRow("carriage return") << QStringLiteral("Ana\r") << QStringLiteral("\"Ana\r\"");
    QTest::newRow("blank at the start") << QStringLiteral(" Ana") << QStringLiteral("\" Ana\"");
    QTest::newRow("formula kept as text")
        << QStringLiteral("=SUMA(A1)") << QStringLiteral("'=SUMA(A1)");
    QTest::newRow("formula with separator")
        << QStringLiteral("+1;2") << QStringLiteral("\"'+1;2\"");
    QTest::newRow("at sign") << QStringLiteral("@ana") << QStringLiteral("'@ana");
    QTest::newRow("minus") << QStringLiteral("-Ana") << QStringLiteral("'-Ana");
}

void TestClassResults::csvFields()
{
    QFETCH(QString, field);
    QFETCH(QString, written);
    QCOMPARE(csvField(field), written);
}

void TestClassResults::csvOfTheClass()
{
    ClassRow quoted{QStringLiteral("Ana \"la\"; B\nC"), 2, 3, QList<qint64>(10, 0)};
    quoted.byKind[2] = 2;
    quoted.byKind[5] = 1;
    const ClassRow empty{QStringLiteral("Íñigo"), 1, 0, QList<qint64>(10, 0)};
    const QString header = QStringLiteral(
        "Alumno;Intentos;Fallos;mayúsculas;y/i;b/v;h que sobra;h que falta;tilde que falta;"
        "tilde que sobra;espacios;signos de puntuación;otra letra\r\n");
    QCOMPARE(classCsvText({}), header);
    QCOMPARE(classCsvText({quoted, empty}),
             header + QStringLiteral("\"Ana \"\"la\"\"; B\nC\";2;3;0;0;2;0;0;1;0;0;0;0\r\n"
                                     "Íñigo;1;0;0;0;0;0;0;0;0;0;0;0\r\n"));
    // UTF-8 with its byte-order mark.
    const QByteArray bytes = classCsv({empty});
    QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
    QCOMPARE(QString::fromUtf8(bytes.mid(3)), classCsvText({empty}));
}

void TestClassResults::messages_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("expected");
    QTest::newRow("all new") << importMessage(3, 3)
                             << QStringLiteral("Traídos 3 intentos nuevos; 0 intentos ya estaban.");
    QTest::newRow("one of each") << importMessage(1, 2)
                                 << QStringLiteral("Traídos 1 intento nuevo; 1 intento ya estaba.");
    QTest::newRow("none new") << importMessage(0, 2)
                              << QStringLiteral(
                                     "Traídos 0 intentos nuevos; 2 intentos ya estaban.");
    QTest::newRow("empty file") << importMessage(0, 0)
                                << QStringLiteral("El archivo no tiene ningún intento.");
    QTest::newRow("question") << removeQuestion(QStringLiteral("Ana"), 1)
                              << QStringLiteral("¿Borrar todos los resultados de «Ana»? Son 1 "
                                                "intento, de todas las fechas, y no se pueden "
                                                "recuperar.");
    QTest::newRow("removed") << removedMessage(QStringLiteral("Ana"), 3)
                             << QStringLiteral("Borrados los resultados de «Ana»: 3 intentos.");
    QTest::newRow("file name") << pupilFileName(QStringLiteral("Ana/Luis: \"2\""))
                               << QStringLiteral("resultados de Ana_Luis_ _2_.json");
    QTest::newRow("list saved") << classListSavedMessage(
                                       {QStringLiteral("Ana"), QStringLiteral("Luis")})
                                << QStringLiteral("Guardada la lista de la clase (2 nombres): "
                                                  "Letro preguntará «¿Quién eres?» al empezar.");
    QTest::newRow("list emptied")
        << classListSavedMessage({})
        << QStringLiteral("La lista de la clase está vacía: Letro no pregunta quién es; el "
                          "alumno es el usuario del escritorio.");
    QTest::newRow("this computer")
        << sourceText(storeAt(QStringLiteral("/home/maestra/.local/share/Letro/progreso.sqlite")))
        << QStringLiteral("Resultados guardados en este equipo por esta cuenta "
                          "(/home/maestra/.local/share/Letro/progreso.sqlite).");
    StoreSettings server;
    server.backend = Backend::PostgreSQL;
    server.host = QStringLiteral("servidor.colegio");
    server.database = QStringLiteral("letro");
    QTest::newRow("the school's server")
        << sourceText(server)
        << QStringLiteral(
               "Resultados del servidor del colegio (base «letro» en servidor.colegio).");
}

void TestClassResults::messages()
{
    QFETCH(QString, message);
    QFETCH(QString, expected);
    QCOMPARE(message, expected);
}

void TestClassResults::classTable_data()
{
    QTest::addColumn<QDate>("from");
    QTest::addColumn<QDate>("to");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QString>("status");

    // Spanish order: accents and capitals aside.
    QTest::newRow("March") << march(1) << march(31)
                           << QStringList{QStringLiteral("Álvaro|1|2|0|0|0|0|1|0|0|0|0|1"),
                                          QStringLiteral("Ana|2|4|1|0|2|0|0|1|0|0|0|0"),
                                          QStringLiteral("beatriz|2|0|0|0|0|0|0|0|0|0|0|0"),
                                          QStringLiteral("Luis|1|1|0|1|0|0|0|0|0|0|0|0")}
                           << QStringLiteral("4 alumnos, 6 intentos.");
    QTest::newRow("the last day left out")
        << march(1) << march(30)
        << QStringList{QStringLiteral("Álvaro|1|2|0|0|0|0|1|0|0|0|0|1"),
                       QStringLiteral("Ana|2|4|1|0|2|0|0|1|0|0|0|0"),
                       QStringLiteral("beatriz|2|0|0|0|0|0|0|0|0|0|0|0")}
        << QStringLiteral("3 alumnos, 5 intentos.");
    QTest::newRow("the last minute of a day included")
        << march(3) << march(9) << QStringList{QStringLiteral("beatriz|2|0|0|0|0|0|0|0|0|0|0|0")}
        << QStringLiteral("1 alumno, 2 intentos.");
    QTest::newRow("one day") << march(10) << march(10)
                             << QStringList{QStringLiteral("Álvaro|1|2|0|0|0|0|1|0|0|0|0|1"),
                                            QStringLiteral("Ana|1|1|1|0|0|0|0|0|0|0|0|0")}
                             << QStringLiteral("2 alumnos, 2 intentos.");
    QTest::newRow("the year before") << QDate(2025, 1, 1) << QDate(2025, 12, 31)
                                     << QStringList{QStringLiteral("Ana|1|1|0|0|0|0|0|0|1|0|0|0")}
                                     << QStringLiteral("1 alumno, 1 intento.");
    QTest::newRow("nobody") << march(11) << march(30) << QStringList()
                            << QStringLiteral("Ningún alumno hizo ejercicios en estas fechas.");
    QTest::newRow("dates the wrong way round")
        << march(31) << march(1) << QStringList()
        << QStringLiteral("La fecha «Desde» es posterior a «Hasta»: no hay nada que mostrar.");
}

void TestClassResults::classTable()
{
    QFETCH(QDate, from);
    QFETCH(QDate, to);
    QFETCH(QStringList, rows);
    QFETCH(QString, status);

    const QString store = path(QStringLiteral("progreso.sqlite"));
    seed(store, theClass());
    auto results = window(store);
    results->setSpan(from, to);
    auto *table = results->findChild<QTableWidget *>(QStringLiteral("classTable"));
    QVERIFY(table);
    QTRY_VERIFY_WITH_TIMEOUT(!results->isBusy(), loadTimeoutMs);
    QCOMPARE(cells(table), rows);
    QCOMPARE(headings(table), classHeadings());
    QCOMPARE(table->horizontalHeaderItem(5)->toolTip(),
             QStringLiteral("Lo que ve el alumno: «¡Confundes 'b' y 'v'!»"));
    QCOMPARE(results->status(), status);
    QCOMPARE(results->findChild<QLabel *>(QStringLiteral("statusLabel"))->text(), status);
    // The dates typed in the window are read again once the typing stops.
    results->findChild<QDateEdit *>(QStringLiteral("fromDate"))->setDate(march(10));
    results->findChild<QDateEdit *>(QStringLiteral("toDate"))->setDate(march(10));
    QTRY_COMPARE_WITH_TIMEOUT(table->rowCount(), 2, loadTimeoutMs);
    QTRY_VERIFY_WITH_TIMEOUT(!results->isBusy(), loadTimeoutMs);
    QCOMPARE(cells(table).first(), QStringLiteral("Álvaro|1|2|0|0|0|0|1|0|0|0|0|1"));
}

void TestClassResults::pupilHistory()
{
    const QString store = path(QStringLiteral("progreso.sqlite"));
    const QList<AttemptRecord> attempts = theClass();
    seed(store, attempts);
    auto results = window(store);
    QTRY_VERIFY_WITH_TIMEOUT(!results->isBusy(), loadTimeoutMs);
    auto *history = results->findChild<QTableWidget *>(QStringLiteral("historyTable"));
    auto *label = results->findChild<QLabel *>(QStringLiteral("pupilLabel"));
    auto *exportPupil = results->findChild<QPushButton *>(QStringLiteral("exportPupilButton"));
    QCOMPARE(history->rowCount(), 0);
    QCOMPARE(label->text(), QStringLiteral("Elija un alumno en la tabla para ver su historial."));
    QVERIFY(!exportPupil->isEnabled());

    // Choosing Ana's row from the keyboard: Álvaro's is first.
    auto *table = results->findChild<QTableWidget *>(QStringLiteral("classTable"));
    table->setFocus();
    table->setCurrentCell(0, 0);
    QTest::keyClick(table, Qt::Key_Down);
    QCOMPARE(results->selectedPupil(), QStringLiteral("Ana"));
    QTRY_VERIFY_WITH_TIMEOUT(!results->isBusy(), loadTimeoutMs);
    QCOMPARE(label->text(), QStringLiteral("Historial de Ana: 2 intentos."));
    QCOMPARE(history->accessibleName(), QStringLiteral("Historial de Ana"));
    QCOMPARE(headings(history), (QStringList{"Fecha", "Ejercicio", "Terminado", "Segundos",
                                             "Pulsaciones por minuto", "Aciertos", "Fallos"}));
    const QString kpm = QString::number(attempts.at(0).keysPerMinute);
    QVERIFY(attempts.at(0).keysPerMinute > 0);
    QCOMPARE(cells(history),
             (QStringList{QStringLiteral("02/03/2026 12:00|Palabras 1|Sí|40|%1|100|3").arg(kpm),
                          QStringLiteral("10/03/2026 12:00|Palabras 2|No|40|%1|100|1").arg(kpm)}));
    QVERIFY(exportPupil->isEnabled());

    // The chart: one point per attempt, its mistakes over its time.
    QChart *chart = results->findChild<QChartView *>(QStringLiteral("historyChart"))->chart();
    QCOMPARE(chart->series().size(), 1);
    auto *line = qobject_cast<QLineSeries *>(chart->series().first());
    QVERIFY(line);
    QCOMPARE(line->count(), 2);
    QCOMPARE(line->at(0), QPointF(double(attempts.at(0).when.toMSecsSinceEpoch()), 3.0));
    QCOMPARE(line->at(1), QPointF(double(attempts.at(1).when.toMSecsSinceEpoch()), 1.0));

    // Another span keeps Ana chosen and reads her history in it.
    results->setSpan(march(5), march(31));
    QTRY_VERIFY_WITH_TIMEOUT(!results->isBusy(), loadTimeoutMs);
    QCOMPARE(results->selectedPupil(), QStringLiteral("Ana"));
    QCOMPARE(label->text(), QStringLiteral("Historial de Ana: 1 intento."));
    // Drawn again for her history in that span.
    chart = results->findChild<QChartView *>(QStringLiteral("historyChart"))->chart();
    QCOMPARE(qobject_cast<QLineSeries *>(chart->series().first())->count(), 1);
}

void TestClassResults::csvAndPdfFiles()
{
    const QString store = path(QStringLiteral("progreso.sqlite"));
    seed(store, theClass());
    auto results = window(store);
    QTRY_VERIFY_WITH_TIMEOUT(!results->isBusy(), loadTimeoutMs);

    const QString csv = path(QStringLiteral("clase.csv"));
    results->exportCsv(csv);
    QTRY_VERIFY_WITH_TIMEOUT(!results->isBusy(), loadTimeoutMs);
    QCOMPARE(results->notice(), QStringLiteral("Tabla guardada en «%1».").arg(csv));
    QFile file(csv);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray csvBytes = file.readAll();
    QVERIFY(csvBytes.startsWith("\xEF\xBB\xBF"));
    QCOMPARE(QString::fromUtf8(csvBytes.mid(3)),
             classCsvText({}) + QStringLiteral("Álvaro;1;2;0;0;0;0;1;0;0;0;0;1\r\n"
                                               "Ana;2;4;1;0;2;0;0;1;0;0;0;0\r\n"
                                               "beatriz;2;0;0;0;0;0;0;0;0;0;0;0\r\n"
                                               "Luis;1;1;0;1;0;0;0;0;0;0;0;0\r\n"));

    // The PDF: A4, its text the title, the span and the table.
    const QString html = classReportHtml(spanText(march(1), march(31)), results->rows());
    QTextDocument document;
    document.setHtml(html);
    const QString text = document.toPlainText();
    QVERIFY2(text.startsWith(QStringLiteral(
                 "Resultados de la clase\nFallos por tipo, del 1 de marzo de 2026 al 31 de "
                 "marzo de 2026.\n")),
             qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("Alumno\nIntentos\nFallos\nmayúsculas\ny/i\nb/v")),
             qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("\nAna\n2\n4\n1\n0\n2\n0\n0\n1\n0\n0\n0\n0\n")),
             qPrintable(text));
    const QString pdf = path(QStringLiteral("clase.pdf"));
    results->exportPdf(pdf);
    QTRY_VERIFY_WITH_TIMEOUT(!results->isBusy(), loadTimeoutMs);
    QCOMPARE(results->notice(), QStringLiteral("PDF guardado en «%1».").arg(pdf));
    QFile written(pdf);
    QVERIFY(written.open(QIODevice::ReadOnly));
    const QByteArray bytes = written.readAll();
    QVERIFY(bytes.startsWith("%PDF-"));
    QVERIFY(bytes.trimmed().endsWith("%%EOF"));
    QCOMPARE(mediaBoxes(bytes), QStringList{QStringLiteral("842 595")}); // A4 lying down

    // One pupil's pages: her row and her history.
    results->selectPupil(QStringLiteral("Ana"));
    QTRY_VERIFY_WITH_TIMEOUT(!results->isBusy(), loadTimeoutMs);
    document.setHtml(pupilReportHtml(spanText(march(1), march(31)), results->rows().at(1),
                                     stored(store, QStringLiteral("Ana")).mid(1)));
    QVERIFY2(document.toPlainText().startsWith(QStringLiteral("Resultados de Ana\n")),
             qPrintable(document.toPlainText()));
    QVERIFY(document.toPlainText().contains(QStringLiteral("02/03/2026 12:00\nPalabras 1\nSí\n")));
    const QString pupilPdf = path(QStringLiteral("ana.pdf"));
    QVERIFY(results->findChild<QPushButton *>(QStringLiteral("pupilPdfButton"))->isEnabled());
    results->exportPupilPdf(pupilPdf);
    QTRY_VERIFY_WITH_TIMEOUT(!results->isBusy(), loadTimeoutMs);
    QFile pupilFile(pupilPdf);
    QVERIFY(pupilFile.open(QIODevice::ReadOnly));
    const QByteArray pupilBytes = pupilFile.readAll();
    QVERIFY(pupilBytes.startsWith("%PDF-"));
    QCOMPARE(mediaBoxes(pupilBytes), QStringList{QStringLiteral("595 842")}); // A4 standing

    // A file that cannot be written is said, and nothing is left half made.
    const QString nowhere = path(QStringLiteral("no hay tal carpeta/clase.pdf"));
    results->exportPdf(nowhere);
    QTRY_VERIFY_WITH_TIMEOUT(!results->isBusy(), loadTimeoutMs);
    QVERIFY2(
        results->notice().startsWith(QStringLiteral("No se puede escribir «%1»: ").arg(nowhere)),
        qPrintable(results->notice()));
    QVERIFY(!QFile::exists(nowhere));
}

void TestClassResults::exportedAndBroughtIn()
{
    // Ana's results on the computer of the classroom.
    const QString classroom = path(QStringLiteral("aula.sqlite"));
    const QList<AttemptRecord> attempts = theClass();
    seed(classroom, attempts);
    auto results = window(classroom);
    QTRY_VERIFY_WITH_TIMEOUT(!results->isBusy(), loadTimeoutMs);
    results->selectPupil(QStringLiteral("Ana"));
    const QString file = path(QStringLiteral("ana.json"));
    results->exportPupil(file);
    QTRY_VERIFY_WITH_TIMEOUT(!results->isBusy(), loadTimeoutMs);
    // Every date's, not only the span's.
    QCOMPARE(results->notice(),
             QStringLiteral("Guardados los resultados de «Ana» (3 intentos) en «%1».").arg(file));
    QFile exported(file);
    QVERIFY(exported.open(QIODevice::ReadOnly));
    const ImportResult read = importAttempts(exported.readAll());
    QCOMPARE(read.problem, QString());
    QCOMPARE(read.attempts.size(), 3);
    for (const AttemptRecord &attempt : read.attempts)
        QCOMPARE(attempt.pupil, QStringLiteral("Ana"));

    // The teacher's computer already has Ana's first attempt, and Luis's.
    const QString teacher = path(QStringLiteral("maestra.sqlite"));
    seed(teacher, {attempts.at(0), attempts.at(6)});
    auto other = window(teacher);
    QTRY_VERIFY_WITH_TIMEOUT(!other->isBusy(), loadTimeoutMs);
    auto *table = other->findChild<QTableWidget *>(QStringLiteral("classTable"));
    QCOMPARE(cells(table), (QStringList{QStringLiteral("Ana|1|3|0|0|2|0|0|1|0|0|0|0"),
                                        QStringLiteral("Luis|1|1|0|1|0|0|0|0|0|0|0|0")}));
    other->importFrom(file);
    QTRY_COMPARE_WITH_TIMEOUT(other->notice(),
                              QStringLiteral("Traídos 2 intentos nuevos; 1 intento ya estaba."),
                              loadTimeoutMs);
    QTRY_VERIFY_WITH_TIMEOUT(!other->isBusy(), loadTimeoutMs);
    QCOMPARE(cells(table), (QStringList{QStringLiteral("Ana|2|4|1|0|2|0|0|1|0|0|0|0"),
                                        QStringLiteral("Luis|1|1|0|1|0|0|0|0|0|0|0|0")}));
    // Brought in again: nothing new, nothing counted twice.
    other->importFrom(file);
    QTRY_COMPARE_WITH_TIMEOUT(other->notice(),
                              QStringLiteral("Traídos 0 intentos nuevos; 3 intentos ya estaban."),
                              loadTimeoutMs);
    QTRY_VERIFY_WITH_TIMEOUT(!other->isBusy(), loadTimeoutMs);
    QCOMPARE(cells(table).first(), QStringLiteral("Ana|2|4|1|0|2|0|0|1|0|0|0|0"));
    QCOMPARE(stored(teacher, QStringLiteral("Ana")).size(), 3);
    QCOMPARE(stored(teacher, QString()).size(), 4);
}

void TestClassResults::brokenFileBroughtIn()
{
    const QString store = path(QStringLiteral("progreso.sqlite"));
    seed(store, theClass());
    auto results = window(store);
    QTRY_VERIFY_WITH_TIMEOUT(!results->isBusy(), loadTimeoutMs);
    const QString file = path(QStringLiteral("roto.json"));
    QFile broken(file);
    QVERIFY(broken.open(QIODevice::WriteOnly));
    broken.write("{\"formato\": \"otra cosa\"");
    broken.close();
    results->importFrom(file);
    QTRY_VERIFY_WITH_TIMEOUT(!results->notice().isEmpty(), loadTimeoutMs);
    QVERIFY2(results->notice().startsWith(QStringLiteral("No se pueden traer los resultados: ")),
             qPrintable(results->notice()));
    results->importFrom(path(QStringLiteral("no está.json")));
    QTRY_VERIFY_WITH_TIMEOUT(results->notice().startsWith(QStringLiteral("No se puede leer «")),
                             loadTimeoutMs);
    QTRY_VERIFY_WITH_TIMEOUT(!results->isBusy(), loadTimeoutMs);
    QCOMPARE(stored(store, QString()).size(), theClass().size());
}

void TestClassResults::storeThatCannotBeRead()
{
    // The store's folder is a file: the window says so and goes on answering.
    const QString notAFolder = path(QStringLiteral("archivo"));
    QFile file(notAFolder);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    auto results = window(notAFolder + QStringLiteral("/progreso.sqlite"));
    QCOMPARE(results->status(), QStringLiteral("Cargando…"));
    QTRY_VERIFY_WITH_TIMEOUT(!results->isBusy(), loadTimeoutMs);
    QVERIFY2(results->status().startsWith(QStringLiteral("No se pueden guardar los resultados (")),
             qPrintable(results->status()));
    QCOMPARE(results->findChild<QTableWidget *>(QStringLiteral("classTable"))->rowCount(), 0);
    QVERIFY(!results->findChild<QPushButton *>(QStringLiteral("csvButton"))->isEnabled());
    QVERIFY(results->findChild<QPushButton *>(QStringLiteral("importButton"))->isEnabled());
}

void TestClassResults::pupilRemoved()
{
    const QString store = path(QStringLiteral("progreso.sqlite"));
    seed(store, theClass());
    auto results = window(store);
    QTRY_VERIFY_WITH_TIMEOUT(!results->isBusy(), loadTimeoutMs);
    results->selectPupil(QStringLiteral("Ana"));
    QTRY_VERIFY_WITH_TIMEOUT(!results->isBusy(), loadTimeoutMs);
    auto *remove = results->findChild<QPushButton *>(QStringLiteral("removePupilButton"));
    QVERIFY(remove->isEnabled());

    // "No borrar": nothing goes. The question names her and every date's attempts.
    m_dialogs->answers = {false};
    remove->click();
    QTRY_COMPARE_WITH_TIMEOUT(m_dialogs->questions.size(), 1, loadTimeoutMs);
    QCOMPARE(m_dialogs->questions.first(),
             QStringLiteral("¿Borrar todos los resultados de «Ana»? Son 3 intentos, de todas las "
                            "fechas, y no se pueden recuperar."));
    QCOMPARE(m_dialogs->buttons.first(), QStringLiteral("Borrar/No borrar"));
    QCOMPARE(m_dialogs->preferredAnswers.first(), Dialogs::Answer::No);
    QTRY_VERIFY_WITH_TIMEOUT(!results->isBusy(), loadTimeoutMs);
    QCOMPARE(stored(store, QStringLiteral("Ana")).size(), 3);

    m_dialogs->answers = {true};
    remove->click();
    QTRY_COMPARE_WITH_TIMEOUT(results->notice(),
                              QStringLiteral("Borrados los resultados de «Ana»: 3 intentos."),
                              loadTimeoutMs);
    QTRY_VERIFY_WITH_TIMEOUT(!results->isBusy(), loadTimeoutMs);
    QCOMPARE(stored(store, QStringLiteral("Ana")).size(), 0);
    // Only hers.
    QCOMPARE(stored(store, QString()).size(), theClass().size() - 3);
    QCOMPARE(cells(results->findChild<QTableWidget *>(QStringLiteral("classTable"))),
             (QStringList{QStringLiteral("Álvaro|1|2|0|0|0|0|1|0|0|0|0|1"),
                          QStringLiteral("beatriz|2|0|0|0|0|0|0|0|0|0|0|0"),
                          QStringLiteral("Luis|1|1|0|1|0|0|0|0|0|0|0|0")}));
    QCOMPARE(results->selectedPupil(), QString());
    QVERIFY(!remove->isEnabled());
}

void TestClassResults::classList_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("kept");
    QTest::newRow("a new list") << QString() << QStringLiteral("Ana\n  Luis  Pérez \n\nana\nZoe\n")
                                << QStringList{"Ana", "Luis Pérez", "Zoe"};
    QTest::newRow("a name added") << QStringLiteral("Ana\nLuis\n")
                                  << QStringLiteral("Ana\nLuis\nÍñigo")
                                  << QStringList{"Ana", "Luis", "Íñigo"};
    QTest::newRow("emptied") << QStringLiteral("Ana\n") << QStringLiteral("  \n") << QStringList();
}

void TestClassResults::classList()
{
    QFETCH(QString, before);
    QFETCH(QString, typed);
    QFETCH(QStringList, kept);
    const QString file = path(QStringLiteral("Letro/clase.txt"));
    if (!before.isEmpty())
        QCOMPARE(writeClassList(file, before.split(QLatin1Char('\n'))), QString());

    ClassListDialog dialog(file);
    auto *edit = dialog.findChild<QPlainTextEdit *>(QStringLiteral("classListEdit"));
    QVERIFY(edit);
    QCOMPARE(edit->toPlainText(), readClassList(file).names.join(QLatin1Char('\n')));
    QCOMPARE(edit->accessibleName(), QStringLiteral("Nombres de los alumnos, uno por línea"));
    QVERIFY(edit->tabChangesFocus());
    edit->setPlainText(typed);
    dialog.findChild<QPushButton *>(QStringLiteral("saveClassListButton"))->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(readClassList(file).names, kept);
    QCOMPARE(QFile::exists(file), !kept.isEmpty());
    QCOMPARE(dialog.savedMessage(), classListSavedMessage(kept));

    // Cancelled, nothing changes.
    ClassListDialog again(file);
    QCOMPARE(again.findChild<QPlainTextEdit *>(QStringLiteral("classListEdit"))->toPlainText(),
             kept.join(QLatin1Char('\n')));
    again.findChild<QPlainTextEdit *>(QStringLiteral("classListEdit"))
        ->setPlainText(QStringLiteral("Otro"));
    again.findChild<QPushButton *>(QStringLiteral("cancelClassListButton"))->click();
    QCOMPARE(readClassList(file).names, kept);
}

void TestClassResults::openedFromTheEditor()
{
    // The editor's own store: this account's, in the scratch home.
    const QString store = defaultLocalPath();
    QVERIFY(store.startsWith(m_home.path()));
    seed(store, theClass());
    EditorServices services = desktopServices();
    services.dialogs = m_dialogs;
    EditorWindow editor(services);
    editor.show();
    QVERIFY(QTest::qWaitForWindowExposed(&editor));
    auto *button = editor.findChild<QPushButton *>(QStringLiteral("classResultsButton"));
    QVERIFY(button);
    QCOMPARE(button->accessibleName(), QStringLiteral("Resultados de la clase"));
    editor.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&editor));
    QTest::keyClick(&editor, Qt::Key_F3);
    ClassResultsWindow *results = editor.classResults();
    QVERIFY(results);
    QTRY_VERIFY(results->isVisible());
    QCOMPARE(results->windowTitle(), QStringLiteral("Resultados de la clase"));
    QCOMPARE(results->findChild<QLabel *>(QStringLiteral("sourceLabel"))->text(),
             sourceText(storeAt(store)));
    QTRY_VERIFY_WITH_TIMEOUT(!results->isBusy(), loadTimeoutMs);
    // The last 30 days: the March of the class is not in them.
    QCOMPARE(results->findChild<QDateEdit *>(QStringLiteral("toDate"))->date(),
             QDate::currentDate());
    QCOMPARE(results->findChild<QDateEdit *>(QStringLiteral("fromDate"))->date(),
             QDate::currentDate().addDays(-29));

    // Every control is named, for the tests and for a screen reader.
    for (QWidget *control : results->findChildren<QWidget *>()) {
        if (qobject_cast<QPushButton *>(control) || qobject_cast<QTableWidget *>(control) ||
            qobject_cast<QDateEdit *>(control) || qobject_cast<QChartView *>(control)) {
            QVERIFY2(!control->objectName().isEmpty(), control->metaObject()->className());
            QVERIFY2(!control->accessibleName().isEmpty(), qPrintable(control->objectName()));
        }
    }

    // Escape closes it; F3 shows it again, read anew.
    results->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(results));
    QTest::keyClick(results->findChild<QTableWidget *>(QStringLiteral("classTable")),
                    Qt::Key_Escape);
    QTRY_VERIFY(!results->isVisible());
    button->click();
    QCOMPARE(editor.classResults(), results);
    QTRY_VERIFY(results->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(!results->isBusy(), loadTimeoutMs);
    results->setSpan(march(1), march(31));
    QTRY_VERIFY_WITH_TIMEOUT(!results->isBusy(), loadTimeoutMs);
    QCOMPARE(results->rows().size(), 4);
}

QTEST_MAIN(TestClassResults)
#include "tst_classresults.moc"
