// The pupil's progress window "Mi progreso": the names of the kinds, the rule
// suggested and the dictations that practise it (decided apart from the
// window), and the window itself on a store seeded with known attempts: the
// exact texts of its tables, its suggestion and the dictations it offers from
// the pupil's folder, choosing one loads it in the main window, F3 opens it
// and Escape closes it, and what goes wrong with the store is said.
#include "testsupport.h"

#include "app/helpwindow.h"
#include "exercise/aids.h"
#include "progress/database.h"
#include "progress/problems.h"
#include "progress/progresssession.h"
#include "progressview/progressfacts.h"
#include "progressview/progresswindow.h"
#include "progressview/texttable.h"
#include "ui/accessibility.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QTableView>
#include <QTest>

using namespace letro;
using namespace letro::progress;
using namespace letro::progressview;
using namespace letro::test;

Q_DECLARE_METATYPE(std::optional<Rule>)

namespace {

using Counts = QList<KindCount>;

QDateTime utc(int day, int hour, int minute)
{
    return QDateTime(QDate(2026, 3, day), QTime(hour, minute), Qt::UTC);
}

// One finished attempt of `pupil` with mistakes at the given positions of
// `text`, each with the character typed there.
AttemptRecord attempt(const QString &pupil, const QString &type, int number, const QString &text,
                      const QDateTime &when, const QList<std::pair<int, QChar>> &wrong,
                      bool finished = true)
{
    QList<MistakeRecord> mistakes;
    for (const auto &[position, typed] : wrong) {
        const QChar expected = text.at(position);
        mistakes.append(
            {position, QString(expected), QString(typed), classifyMistake(typed, expected)});
    }
    AttemptRecord record =
        newAttempt(pupil, type, number, text, finished, 30, text.size(), mistakes.size(), mistakes);
    record.when = when;
    return record;
}

QStringList texts(const QList<QStringList> &rows)
{
    QStringList out;
    for (const QStringList &row : rows)
        out.append(row.join(QLatin1Char('|')));
    return out;
}

QStringList itemTexts(const QListWidget *list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out.append(list->item(i)->text());
    return out;
}

// A main window with a store of its own, on a folder with four dictations.
struct Fixture
{
    explicit Fixture(const QString &pupil = QStringLiteral("ana"))
    {
        folder.addExercise(0, 1, "vaca\r\n");
        folder.addExercise(0, 2, "casa\r\n");
        folder.addExercise(1, 1, "El barco.\r\n");
        folder.addExercise(2, 1, "Hola amigo\r\n");
        settings.localPath = data.filePath(QStringLiteral("progreso.sqlite"));
        session = std::make_shared<ProgressSession>(settings, pupil);
    }
    ~Fixture() { delete form; }

    void seed(const QList<AttemptRecord> &attempts) const
    {
        ProgressDatabase database(Backend::SQLite);
        QVERIFY(database.open(settings).ok());
        for (const AttemptRecord &record : attempts)
            QVERIFY(database.write(record).ok());
    }

    Form1 *open()
    {
        Services services;
        services.programFolder = folder.path();
        services.sound = sound;
        services.messages = std::make_shared<ScriptedMessages>();
        services.fontList = [] { return QStringList{QStringLiteral("Arial")}; };
        services.screenTwips = [] { return QSize(15360, 11520); };
        services.progress = session;
        form = new Form1(services);
        form->Form_Load();
        form->show();
        form->activateWindow();
        return form;
    }

    // Opens the window with F3, waits for it to be read and gives it.
    ProgressWindow *pressF3()
    {
        if (!form)
            open();
        // The offscreen platform hands the activation back to no window.
        form->activateWindow();
        if (!QTest::qWaitForWindowActive(form))
            return nullptr;
        QTest::keyClick(form, Qt::Key_F3);
        ProgressWindow *window = form->findChild<Aids *>()->progressWindow();
        if (!window)
            return nullptr;
        // Listening before the results come back, which is when they are said.
        spoken = std::make_unique<QSignalSpy>(announcementsOf(window), &AnnouncementQueue::spoken);
        if (!QTest::qWaitForWindowActive(window))
            return nullptr;
        if (!QTest::qWaitFor([window] { return !window->isLoading(); }, 20000))
            return nullptr;
        return window;
    }

    ProgramFolder folder;
    QTemporaryDir data;
    StoreSettings settings;
    std::shared_ptr<ProgressSession> session;
    std::shared_ptr<FakeSound> sound = std::make_shared<FakeSound>();
    Form1 *form = nullptr;
    std::unique_ptr<QSignalSpy> spoken;

    // What the window has said or has waiting to be said since the last F3.
    QStringList heard(ProgressWindow *window) const
    {
        QStringList out;
        for (const QList<QVariant> &signal : std::as_const(*spoken))
            out.append(signal.at(1).toString());
        return out + announcementsOf(window)->waiting();
    }
};

// Three dictations of the pupil's folder, with known mistakes, in March 2026.
QList<AttemptRecord> threeAttempts(const QString &pupil)
{
    return {
        attempt(pupil, QStringLiteral("Palabras"), 1, QStringLiteral("vaca"), utc(1, 10, 0),
                {{0, u'b'}}),
        attempt(pupil, QStringLiteral("Frase corta"), 1, QStringLiteral("El barco."),
                utc(2, 11, 30), {{3, u'v'}, {0, u'e'}}),
        attempt(pupil, QStringLiteral("Frase larga"), 1, QStringLiteral("Hola amigo"),
                utc(3, 9, 15), {{0, u'o'}}),
    };
}

template <typename T> T *child(QWidget *window, const char *name)
{
    return window->findChild<T *>(QLatin1String(name));
}

QList<QStringList> tableRows(QWidget *window, const char *name)
{
    auto *view = child<QTableView>(window, name);
    return view ? static_cast<TextTable *>(view->model())->rows() : QList<QStringList>();
}

} // namespace

class TestProgressWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void kinds_data();
    void kinds();
    void practises_data();
    void practises();
    void suggestion_data();
    void suggestion();
    void recentSpanIsTheMonthBeforeTheNewest();
    void window_data();
    void window();
    void choosingLoadsTheDictation();
    void keysOpenAndClose();
    void longHistoryShowsTheNewest();
    void storeProblemIsSaid();

private:
    QTemporaryDir m_home;
};

void TestProgressWindow::initTestCase()
{
    // Nothing of the real user's is read or written.
    QVERIFY(m_home.isValid());
    qputenv("HOME", m_home.path().toUtf8());
    qputenv("XDG_DATA_HOME", m_home.filePath(QStringLiteral("data")).toUtf8());
    // The charts' module is built into "modulos" in the program folder.
    QCoreApplication::addLibraryPath(qEnvironmentVariable("LETRO_PROGRAM_DIR") +
                                     QStringLiteral("/modulos"));
}

void TestProgressWindow::kinds_data()
{
    QTest::addColumn<Mistake>("kind");
    QTest::addColumn<QString>("shortName");
    QTest::addColumn<QString>("rule"); // empty: none

    QTest::newRow("capital") << Mistake::CapitalLetter << "mayúsculas" << "mayúsculas";
    QTest::newRow("y/i") << Mistake::YForI << "y/i" << "y/i";
    QTest::newRow("b/v") << Mistake::BForV << "b/v" << "b/v";
    QTest::newRow("h too many") << Mistake::SuperfluousH << "h que sobra" << "h";
    QTest::newRow("h missing") << Mistake::MissingH << "h que falta" << "h";
    QTest::newRow("accent missing") << Mistake::MissingAccent << "tilde que falta" << "tildes";
    QTest::newRow("accent too many") << Mistake::SuperfluousAccent << "tilde que sobra"
                                     << "tildes";
    QTest::newRow("blank") << Mistake::MissingBlank << "espacios" << "espacios";
    QTest::newRow("punctuation") << Mistake::MissingPunctuation << "signos de puntuación"
                                 << "signos de puntuación";
    QTest::newRow("wrong letter") << Mistake::WrongLetter << "otra letra" << "";
    QTest::newRow("none") << Mistake::None << "" << "";
}

void TestProgressWindow::kinds()
{
    QFETCH(Mistake, kind);
    QFETCH(QString, shortName);
    QFETCH(QString, rule);
    QCOMPARE(progress::mistakeKindName(kind), shortName);
    const std::optional<Rule> broken = ruleOf(kind);
    QCOMPARE(broken ? ruleName(*broken) : QString(), rule);
}

void TestProgressWindow::practises_data()
{
    QTest::addColumn<Rule>("rule");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("practises");

    QTest::newRow("b") << Rule::BV << "barco" << true;
    QTest::newRow("V capital") << Rule::BV << "Valencia" << true;
    QTest::newRow("neither b nor v") << Rule::BV << "casa" << false;
    QTest::newRow("h") << Rule::H << "ahora" << true;
    QTest::newRow("no h") << Rule::H << "ola" << false;
    QTest::newRow("accent") << Rule::Accents << "árbol" << true;
    QTest::newRow("capital accent") << Rule::Accents << "ÉL" << true;
    QTest::newRow("dieresis is no accent") << Rule::Accents << "pingüino" << false;
    QTest::newRow("y") << Rule::YI << "rey" << true;
    QTest::newRow("only i") << Rule::YI << "mi" << false;
    QTest::newRow("capital") << Rule::Capitals << "Madrid" << true;
    QTest::newRow("capital Ñ") << Rule::Capitals << "Ñu" << true;
    QTest::newRow("small only") << Rule::Capitals << "madrid" << false;
    QTest::newRow("comma") << Rule::Punctuation << "Sí, señor" << true;
    QTest::newRow("question") << Rule::Punctuation << "¿Qué" << true;
    QTest::newRow("no mark") << Rule::Punctuation << "si señor" << false;
    QTest::newRow("two words") << Rule::Blanks << "el perro" << true;
    QTest::newRow("one word, blank after") << Rule::Blanks << "perro " << false;
    QTest::newRow("one word") << Rule::Blanks << "perro" << false;
}

void TestProgressWindow::practises()
{
    QFETCH(Rule, rule);
    QFETCH(QString, text);
    QFETCH(bool, practises);
    QCOMPARE(practisesRule(rule, text), practises);
}

void TestProgressWindow::suggestion_data()
{
    QTest::addColumn<Counts>("recent");
    QTest::addColumn<Counts>("all");
    QTest::addColumn<std::optional<Rule>>("rule");

    const auto k = [](Mistake kind, qint64 count) { return KindCount{kind, count}; };
    QTest::newRow("nothing") << Counts{} << Counts{} << std::optional<Rule>();
    QTest::newRow("only wrong letters")
        << Counts{k(Mistake::WrongLetter, 9)} << Counts{k(Mistake::WrongLetter, 9)}
        << std::optional<Rule>();
    QTest::newRow("most recent") << Counts{k(Mistake::BForV, 1), k(Mistake::YForI, 3)}
                                 << Counts{k(Mistake::BForV, 50), k(Mistake::YForI, 3)}
                                 << std::optional<Rule>(Rule::YI);
    QTest::newRow("both h kinds add up")
        << Counts{k(Mistake::BForV, 3), k(Mistake::MissingH, 2), k(Mistake::SuperfluousH, 2)}
        << Counts{} << std::optional<Rule>(Rule::H);
    QTest::newRow("both accent kinds add up")
        << Counts{k(Mistake::CapitalLetter, 3), k(Mistake::MissingAccent, 2),
                  k(Mistake::SuperfluousAccent, 2)}
        << Counts{} << std::optional<Rule>(Rule::Accents);
    QTest::newRow("recent tie: the whole history decides")
        << Counts{k(Mistake::BForV, 2), k(Mistake::CapitalLetter, 2)}
        << Counts{k(Mistake::BForV, 2), k(Mistake::CapitalLetter, 7)}
        << std::optional<Rule>(Rule::Capitals);
    QTest::newRow("full tie: the rules' order decides")
        << Counts{k(Mistake::MissingBlank, 2), k(Mistake::MissingAccent, 2)}
        << Counts{k(Mistake::MissingBlank, 2), k(Mistake::MissingAccent, 2)}
        << std::optional<Rule>(Rule::Accents);
    QTest::newRow("nothing recent: the whole history")
        << Counts{k(Mistake::BForV, 0)}
        << Counts{k(Mistake::MissingPunctuation, 4), k(Mistake::BForV, 1)}
        << std::optional<Rule>(Rule::Punctuation);
    QTest::newRow("wrong letters left out")
        << Counts{k(Mistake::WrongLetter, 20), k(Mistake::MissingBlank, 1)} << Counts{}
        << std::optional<Rule>(Rule::Blanks);
}

void TestProgressWindow::suggestion()
{
    QFETCH(Counts, recent);
    QFETCH(Counts, all);
    QFETCH(std::optional<Rule>, rule);
    QCOMPARE(suggestedRule(recent, all), rule);
    QCOMPARE(suggestionText(suggestedRule(recent, all)),
             rule ? QStringLiteral("Para practicar: ") + ruleName(*rule) : QString());
}

void TestProgressWindow::recentSpanIsTheMonthBeforeTheNewest()
{
    QCOMPARE(recentSpan({}).from, QDateTime());
    QList<MistakesPoint> points{{utc(1, 10, 0), QStringLiteral("Palabras"), 1, 1, true},
                                {utc(20, 8, 0), QStringLiteral("Palabras"), 2, 0, true},
                                {utc(3, 9, 0), QStringLiteral("Palabras"), 3, 0, false}};
    const DateSpan span = recentSpan(points);
    QCOMPARE(span.from, utc(20, 8, 0).addDays(-30));
    QVERIFY(span.to > utc(20, 8, 0));
    QVERIFY(span.to <= utc(20, 8, 0).addSecs(1));
}

void TestProgressWindow::window_data()
{
    QTest::addColumn<QList<AttemptRecord>>("attempts");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QStringList>("attemptRows");
    QTest::addColumn<QStringList>("kindRows");
    QTest::addColumn<QStringList>("wordRows");
    QTest::addColumn<QString>("suggestion");
    QTest::addColumn<QStringList>("practice");
    QTest::addColumn<QString>("spoken");

    const QString ana = QStringLiteral("ana");
    QTest::newRow("three dictations")
        << threeAttempts(ana) << QString()
        << QStringList{"3/3/2026 09:15|Frase larga 1|1", "2/3/2026 11:30|Frase corta 1|2",
                       "1/3/2026 10:00|Palabras 1|1"}
        // b/v twice; a tie of one after it, in the order of the kinds.
        << QStringList{"b/v|2", "mayúsculas|1", "h que falta|1"}
        << QStringList{"barco|1", "el|1", "hola|1", "vaca|1"} << "Para practicar: b/v"
        << QStringList{"Palabras 1", "Frase corta 1"}
        << "Has terminado 3 dictados. El error que más repites: b/v. Para practicar: b/v. "
           "Hay 2 dictados para practicarlo.";

    // Another pupil's results on the same machine are not this pupil's.
    QTest::newRow("another pupil's only")
        << threeAttempts(QStringLiteral("luis")) << "Todavía no has terminado ningún dictado."
        << QStringList{} << QStringList{} << QStringList{} << QString() << QStringList{}
        << "Todavía no has terminado ningún dictado.";

    QTest::newRow("nothing finished")
        << QList<AttemptRecord>{attempt(ana, QStringLiteral("Palabras"), 1, QStringLiteral("vaca"),
                                        utc(1, 10, 0), {{0, u'b'}}, false)}
        << "Todavía no has terminado ningún dictado." << QStringList{} << QStringList{}
        << QStringList{} << QString() << QStringList{}
        << "Todavía no has terminado ningún dictado.";

    QTest::newRow("no mistakes") << QList<AttemptRecord>{attempt(ana, QStringLiteral("Palabras"), 2,
                                                                 QStringLiteral("casa"),
                                                                 utc(4, 17, 5), {})}
                                 << QString() << QStringList{"4/3/2026 17:05|Palabras 2|0"}
                                 << QStringList{} << QStringList{} << QString() << QStringList{}
                                 << "Has terminado 1 dictado. ¡No has tenido ningún error!";

    // A rule no dictation of the folder practises: said so.
    QTest::newRow("no dictation practises it")
        << QList<AttemptRecord>{attempt(ana, QStringLiteral("Palabras"), 2, QStringLiteral("casa"),
                                        utc(4, 17, 5), {{1, u'á'}, {2, u'z'}})}
        << QString() << QStringList{"4/3/2026 17:05|Palabras 2|2"}
        << QStringList{"tilde que sobra|1", "otra letra|1"} << QStringList{"casa|2"}
        << "Para practicar: tildes" << QStringList{}
        << "Has terminado 1 dictado. El error que más repites: tilde que sobra. Para practicar: "
           "tildes. No hay dictados para practicarlo en tu carpeta.";
}

void TestProgressWindow::window()
{
    QFETCH(QList<AttemptRecord>, attempts);
    QFETCH(QString, status);
    QFETCH(QStringList, attemptRows);
    QFETCH(QStringList, kindRows);
    QFETCH(QStringList, wordRows);
    QFETCH(QString, suggestion);
    QFETCH(QStringList, practice);
    QFETCH(QString, spoken);

    Fixture fixture;
    fixture.seed(attempts);
    fixture.open();
    QSignalSpy said(announcementsOf(fixture.form), &AnnouncementQueue::spoken);
    ProgressWindow *window = fixture.pressF3();
    QVERIFY(window);

    QCOMPARE(window->windowTitle(), QStringLiteral("Mi progreso"));
    QCOMPARE(child<QLabel>(window, "NombreAlumno")->text(), QStringLiteral("Progreso de ana"));
    QCOMPARE(child<QLabel>(window, "Estado")->text(), status);
    QCOMPARE(child<QLabel>(window, "Estado")->isVisible(), !status.isEmpty());
    QCOMPARE(texts(tableRows(window, "TablaDictados")), attemptRows);
    QCOMPARE(texts(tableRows(window, "TablaTipos")), kindRows);
    QCOMPARE(texts(tableRows(window, "TablaPalabras")), wordRows);
    QCOMPARE(child<QLabel>(window, "Sugerencia")->text(), suggestion);
    auto *list = child<QListWidget>(window, "ListaPractica");
    QCOMPARE(itemTexts(list), practice);
    QCOMPARE(list->isVisible(), !suggestion.isEmpty());
    if (!suggestion.isEmpty())
        QCOMPARE(list->accessibleName(), suggestion);

    // The tables come with their charts, and no chart without a table.
    const bool history = !attemptRows.isEmpty();
    QCOMPARE(child<QWidget>(window, "Contenido")->isVisible(), history);
    QCOMPARE(bool(child<QWidget>(window, "GraficoDictadosVista")), history);
    QCOMPARE(bool(child<QWidget>(window, "GraficoTiposVista")), !kindRows.isEmpty());
    if (history) {
        QCOMPARE(child<QWidget>(window, "GraficoDictadosVista")->accessibleName(),
                 QStringLiteral("Gráfico de errores de cada dictado"));
        const QStringList headers{"Fecha", "Dictado", "Errores"};
        QAbstractItemModel *model = child<QTableView>(window, "TablaDictados")->model();
        for (int column = 0; column < headers.size(); ++column)
            QCOMPARE(model->headerData(column, Qt::Horizontal).toString(), headers.at(column));
    }

    // What the window says is spoken from it, not from the main window.
    QCOMPARE(fixture.heard(window), QStringList{spoken});
    for (const QList<QVariant> &signal : std::as_const(said))
        QVERIFY(signal.at(1).toString() != spoken);
}

void TestProgressWindow::choosingLoadsTheDictation()
{
    Fixture fixture;
    fixture.seed(threeAttempts(QStringLiteral("ana")));
    ProgressWindow *window = fixture.pressF3();
    QVERIFY(window);
    auto *list = child<QListWidget>(window, "ListaPractica");
    QCOMPARE(QApplication::focusWidget(), list);
    QCOMPARE(list->currentRow(), 0);

    // Down to "Frase corta 1" and Return: that dictation, as choosing its
    // type and its number does, heard once, and the main window in front.
    fixture.sound->played.clear();
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Return);
    QCOMPARE(fixture.form->exerciseType(), 1);
    QCOMPARE(fixture.form->exerciseNumbers().at(1), 1);
    QCOMPARE(fixture.form->expectedText(), QStringLiteral("El barco."));
    QCOMPARE(fixture.form->findChild<QLineEdit *>(QStringLiteral("Text1"))->text(),
             QStringLiteral("1"));
    QCOMPARE(fixture.sound->played, QStringList{fixture.folder.recording(1, 1)});
    QTRY_VERIFY(fixture.form->isActiveWindow());

    // A double click on "Palabras 1" from another exercise: the type and the
    // number change together.
    QTest::keyClick(fixture.form, Qt::Key_F3);
    QTRY_VERIFY(!window->isLoading());
    // The list lays its items out at the next turn of the event loop.
    QTRY_VERIFY(!list->visualItemRect(list->item(0)).isEmpty());
    const QRect first = list->visualItemRect(list->item(0));
    // Sent as the window system's events come: a press, then the double click.
    const QPointF at = first.center();
    const QPointF global = list->viewport()->mapToGlobal(at);
    for (QEvent::Type type :
         {QEvent::MouseButtonPress, QEvent::MouseButtonRelease, QEvent::MouseButtonPress,
          QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease}) {
        const Qt::MouseButtons held =
            type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, at, global, Qt::LeftButton, held, Qt::NoModifier);
        QApplication::sendEvent(list->viewport(), &event);
    }
    QCOMPARE(fixture.form->exerciseType(), 0);
    QCOMPARE(fixture.form->exerciseNumbers().at(0), 1);
    QCOMPARE(fixture.form->expectedText(), QStringLiteral("vaca"));
}

void TestProgressWindow::keysOpenAndClose()
{
    Fixture fixture;
    fixture.seed(threeAttempts(QStringLiteral("ana")));
    Form1 *form = fixture.open();
    Aids *aids = form->findChild<Aids *>();
    // Nothing is made before the first F3.
    QVERIFY(!aids->progressWindow());
    QVERIFY(!fixture.session->hasRecorder());

    ProgressWindow *window = fixture.pressF3();
    QVERIFY(window);
    QVERIFY(window->isVisible());
    QTest::keyClick(window, Qt::Key_Escape);
    QTRY_VERIFY(!window->isVisible());

    // Again with F3: the same window, read again (a new attempt is in it).
    fixture.seed({attempt(QStringLiteral("ana"), QStringLiteral("Palabras"), 2,
                          QStringLiteral("casa"), utc(5, 8, 0), {})});
    QCOMPARE(fixture.pressF3(), window);
    QCOMPARE(tableRows(window, "TablaDictados").first(),
             (QStringList{"5/3/2026 08:00", "Palabras 2", "0"}));
    child<QPushButton>(window, "BotonCerrar")->click();
    QVERIFY(!window->isVisible());

    // From the help window: its button and its F3.
    aids->showHelp();
    HelpWindow *help = aids->helpWindow();
    QVERIFY(QTest::qWaitForWindowActive(help));
    auto *button = child<QPushButton>(help, "BotonProgreso");
    QCOMPARE(button->text(), QStringLiteral("Mi progreso (F3)"));
    button->click();
    QTRY_VERIFY(window->isVisible());
    window->close();
    QVERIFY(QTest::qWaitForWindowActive(help));
    QTest::keyClick(help, Qt::Key_F3);
    QTRY_VERIFY(window->isVisible());
}

// A history longer than the table: only the newest attempts are read and
// shown, newest first, while what is said counts the finished ones of the
// whole history, here all older than those shown.
void TestProgressWindow::longHistoryShowsTheNewest()
{
    Fixture fixture;
    QList<AttemptRecord> attempts;
    const QDateTime first = utc(1, 8, 0);
    for (int i = 0; i < ShownAttempts + 3; ++i) {
        const bool finished = i < 3;
        attempts.append(attempt(QStringLiteral("ana"), QStringLiteral("Palabras"), 1 + i % 2,
                                QStringLiteral("vaca"), first.addSecs(i * 600),
                                finished ? QList<std::pair<int, QChar>>{{0, u'b'}}
                                         : QList<std::pair<int, QChar>>{},
                                finished));
    }
    {
        ProgressDatabase database(Backend::SQLite);
        QVERIFY(database.open(fixture.settings).ok());
        QVERIFY(database.writeAll(attempts).ok());
    }
    ProgressWindow *window = fixture.pressF3();
    QVERIFY(window);
    QCOMPARE(window->report().points.size(), ShownAttempts);
    QCOMPARE(window->report().points.first().when, attempts.at(3).when);
    QCOMPARE(window->report().points.last().when, attempts.last().when);
    const QList<QStringList> rows = tableRows(window, "TablaDictados");
    QCOMPARE(rows.size(), ShownAttempts);
    QCOMPARE(rows.first(), (QStringList{dateText(attempts.last().when), "Palabras 1", "0"}));
    QCOMPARE(rows.last(), (QStringList{dateText(attempts.at(3).when), "Palabras 2", "0"}));
    // The mistakes are those of the older, finished attempts.
    QCOMPARE(texts(tableRows(window, "TablaTipos")), QStringList{"b/v|3"});
    QCOMPARE(fixture.heard(window),
             QStringList{"Has terminado 3 dictados. El error que más repites: b/v. Para "
                         "practicar: b/v. Hay 2 dictados para practicarlo."});
}

void TestProgressWindow::storeProblemIsSaid()
{
    // Results a newer Letro keeps: left alone, and the window says why.
    Fixture fixture;
    fixture.seed(threeAttempts(QStringLiteral("ana")));
    {
        ProgressDatabase database(Backend::SQLite);
        QVERIFY(database.open(fixture.settings).ok());
        QSqlQuery query(database.connection());
        QVERIFY(query.exec(QStringLiteral("INSERT INTO schema_version (version) VALUES (999)")));
    }
    ProgressWindow *window = fixture.pressF3();
    QVERIFY(window);
    const QString message = problemMessage({Problem::NewerSchema, QString()});
    QVERIFY(!message.isEmpty());
    QCOMPARE(child<QLabel>(window, "Estado")->text(), message);
    QVERIFY(child<QLabel>(window, "Estado")->isVisible());
    QVERIFY(!child<QWidget>(window, "Contenido")->isVisible());
    QCOMPARE(fixture.heard(window), QStringList{message});

    // Without a store (the session left empty) the window says nothing is kept.
    ProgressWindow bare(nullptr, {});
    bare.reload();
    QVERIFY(!bare.isLoading());
    QCOMPARE(child<QLabel>(&bare, "Estado")->text(), ProgressWindow::nothingKeptLine());
}

QTEST_MAIN(TestProgressWindow)
#include "tst_progresswindow.moc"
