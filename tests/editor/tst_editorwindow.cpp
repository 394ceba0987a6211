// The editor's window on a Letro folder, its dialogs answered by the test:
// what the lists show, the buttons that change the folder, the copy of Letro
// offered when the folder cannot be written, playing and starting Letro, and
// the text dialog that refuses what no key gives. (Synthesis is tried end to
// end in e2e-editor.sh.)
#include "editor/editorwindow.h"
#include "editor/letrofolder.h"
#include "editor/microphonedialog.h"
#include "editor/numberdialog.h"
#include "editor/textdialog.h"
#include "folder/filesystem.h"
#include "folder/journal.h"
#include "folders.h"
#include "unreadable.h"

#include <QAccessible>
#include <QDialogButtonBox>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QScopeGuard>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QTreeWidget>

#include <functional>
#include <optional>
#include <unistd.h>
#include <utility>

using namespace letro;
using namespace letro::editor;
using namespace letro::test;

namespace {

class AnsweredDialogs : public Dialogs
{
public:
    std::optional<QString> askText(QWidget *, const QString &title, const QString &text) override
    {
        titles.append(title);
        offered.append(text);
        if (whileTyping)
            std::exchange(whileTyping, nullptr)();
        return texts.isEmpty() ? std::nullopt : texts.takeFirst();
    }
    std::optional<int> askNumber(QWidget *, const QString &title, const QString &question,
                                 int value, int minimum, int maximum) override
    {
        titles.append(title);
        questions.append(question);
        ranges.append(QStringLiteral("%1 [%2, %3]").arg(value).arg(minimum).arg(maximum));
        if (whileAsked)
            whileAsked();
        return numbers.isEmpty() ? std::nullopt : numbers.takeFirst();
    }
    bool ask(QWidget *, const QString &question, const QString &, const QString &,
             Answer preferred) override
    {
        questions.append(question);
        preferredAnswers.append(preferred);
        if (whileAsked)
            whileAsked();
        return !answers.isEmpty() && answers.takeFirst();
    }
    void tell(QWidget *, const QString &text) override { told.append(text); }
    void warn(QWidget *, const QString &text) override { warned.append(text); }
    QString chooseFolder(QWidget *, const QString &, const QString &) override
    {
        return folders.isEmpty() ? QString() : folders.takeFirst();
    }
    bool recordVoice(QWidget *, const RecordingTarget &target) override
    {
        recorded.append(target.wavPath + QLatin1Char(' ') + target.slowWavPath);
        if (!whileAsked)
            return false;
        // The teacher records meanwhile, and keeps the take.
        whileAsked();
        QAudioFormat format;
        format.setSampleRate(8000);
        format.setChannelCount(1);
        format.setSampleFormat(QAudioFormat::Int16);
        kept.append(keepRecording(format, QByteArray(1600, '\0'), target));
        return kept.last().isEmpty();
    }

    QList<std::optional<QString>> texts;
    QList<bool> answers;
    QList<std::optional<int>> numbers;
    QStringList ranges; // "value [minimum, maximum]" of each number asked for
    QStringList folders;
    QStringList titles, questions, told, warned, recorded;
    QStringList kept;                  // what keeping each microphone take said
    QList<Answer> preferredAnswers;    // the answer Return gives, question by question
    std::function<void()> whileAsked;  // runs while a question is up
    std::function<void()> whileTyping; // runs once while the next text is asked for
    QStringList offered;               // the texts the text dialogs started with
};

class WatchedPlayback : public Playback
{
public:
    void play(const QString &path) override { played.append(path); }
    QStringList played;
};

// A Letro folder: a stand-in program, a picture and the exercise folders.
void makeLetro(const QString &folder, const QString &palabras, const QString &fraseCorta = {})
{
    QDir().mkpath(folder + QStringLiteral("/gifs"));
    QFile program(folder + QStringLiteral("/letro"));
    QVERIFY(program.open(QIODevice::WriteOnly));
    program.write("#!/bin/sh\nexit 0\n");
    program.close();
    QVERIFY(program.setPermissions(QFile::permissions(program.fileName()) | QFile::ExeOwner |
                                   QFile::ExeGroup | QFile::ExeOther));
    writeLayout(folder + QStringLiteral("/gifs"), {{QStringLiteral("si.gif"), "GIF89a"}});
    writeLayout(folder + QStringLiteral("/Palabras"), layout(palabras));
    writeLayout(folder + QStringLiteral("/Frase corta"), layout(fraseCorta));
    QDir().mkpath(folder + QStringLiteral("/Frase larga"));
}

QStringList column(QTreeWidget *list, int c)
{
    QStringList texts;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        texts.append(list->topLevelItem(i)->text(c));
    return texts;
}

// What a screen reader is given to read of row `row` of `list`, cell by cell.
QStringList cellsRead(QTreeWidget *list, int row)
{
    QAccessibleTableInterface *table =
        QAccessible::queryAccessibleInterface(list)->tableInterface();
    QStringList read;
    for (int c = 0; c < table->columnCount(); ++c)
        read.append(table->cellAt(row, c)->text(QAccessible::Name));
    return read;
}

// The columns of `list` that are not as wide as their heading and their
// widest cell, or far wider; "" when all fit.
QString unfittedColumns(QTreeWidget *list)
{
    QStringList unfitted;
    const int slack = list->fontMetrics().averageCharWidth() * 2;
    for (const int c : EditorWindow::FittedColumns) {
        const int whole = std::max(static_cast<QAbstractItemView *>(list)->sizeHintForColumn(c),
                                   list->header()->sectionSizeHint(c));
        if (list->columnWidth(c) < whole || list->columnWidth(c) > whole + slack)
            unfitted.append(
                QStringLiteral("%1: %2 for %3").arg(c).arg(list->columnWidth(c)).arg(whole));
    }
    return unfitted.join(QStringLiteral(", "));
}

// What the windows announce to a screen reader while it lives, as the
// platform is given it: Qt's announcement (Qt 6.8 and later), or the window's
// notification shown with the message as its name.
class Heard : public QObject
{
public:
    Heard()
    {
        s_heard = &m_heard;
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
        QAccessible::installUpdateHandler(&Heard::hear);
#else
        qApp->installEventFilter(this);
#endif
    }
    ~Heard() override
    {
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
        QAccessible::installUpdateHandler(nullptr);
#endif
        s_heard = nullptr;
    }
    QStringList texts() const { return m_heard; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show && watched->isWidgetType()) {
            QAccessibleInterface *shown = QAccessible::queryAccessibleInterface(watched);
            if (shown && shown->role() == QAccessible::Notification)
                m_heard.append(shown->text(QAccessible::Name));
        }
        return false;
    }

private:
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    static void hear(QAccessibleEvent *event)
    {
        if (event->type() == QAccessible::Announcement)
            s_heard->append(static_cast<QAccessibleAnnouncementEvent *>(event)->message());
    }
#endif

    static inline QStringList *s_heard = nullptr;
    QStringList m_heard;
};

} // namespace

// The teacher's menu entries, in the scratch home.
QString applications()
{
    return qEnvironmentVariable("XDG_DATA_HOME") + QStringLiteral("/applications");
}

class TestEditorWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void listShowsExercisesAndMarks();
    void buttonsChangeTheFolder();
    void moveToANumber();
    void numberDialogByKeyboard();
    void dropMovesToANumber_data();
    void dropMovesToANumber();
    void readOnlyFolderOffersACopy_data();
    void readOnlyFolderOffersACopy();
    void packageFolderIsOnlyShownEvenToRoot();
    void everyCopyKeepsItsMenuEntry();
    void copyNeedsRoom_data();
    void copyNeedsRoom();
    void fullDiskIsSaidBeforeCopying();
    void playsAndStartsLetro();
    void letroStartsOnTheChoice_data();
    void letroStartsOnTheChoice();
    void textDialogRefusesWhatNoKeyGives();
    void staleListIsRefused_data();
    void staleListIsRefused();
    void listFollowsTheFolder();
    void folderChangedWhileTyping();
    void changeActsOnlyOnWhatWasConfirmed_data();
    void changeActsOnlyOnWhatWasConfirmed();
    void loneRecordingsStayApart();
    void cutShortChangeIsPutRight();
    void longChangeShowsProgressAndCancels();
    void recordsWhatIsMissing();
    void olderRecordingsAreMarked_data();
    void olderRecordingsAreMarked();
    void editOffersToRecordAgain_data();
    void editOffersToRecordAgain();
    void cancelledRecordingLeavesNothing();
    void keysPressButtonsAndDelete_data();
    void keysPressButtonsAndDelete();
    void questionsDefaultToLeavingThingsAsTheyAre_data();
    void questionsDefaultToLeavingThingsAsTheyAre();

private:
    QPushButton *button(const char *name) const
    {
        return m_window->findChild<QPushButton *>(QLatin1String(name));
    }

    QTemporaryDir m_home;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::shared_ptr<AnsweredDialogs> m_dialogs;
    std::shared_ptr<WatchedPlayback> m_playback;
    QStringList m_started;
    std::unique_ptr<EditorWindow> m_window;
    EditorServices m_services;
    void useVoice(const QByteArray &first = {});
};

void TestEditorWindow::initTestCase()
{
    // The teacher's settings and menu entries go to a scratch home that
    // "nobody" may write to as well.
    QVERIFY(m_home.isValid());
    makeSearchable(m_home.path());
    QVERIFY(::chmod(QFile::encodeName(m_home.path()).constData(), 0777) == 0);
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_home.filePath(QStringLiteral("config"))));
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_home.filePath(QStringLiteral("data"))));
    QCoreApplication::setOrganizationName(QStringLiteral("Letro"));
    QCoreApplication::setApplicationName(QStringLiteral("letro-editor-test"));
}

void TestEditorWindow::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QDir(applications()).removeRecursively();
    m_dialogs = std::make_shared<AnsweredDialogs>();
    m_playback = std::make_shared<WatchedPlayback>();
    m_started.clear();
    EditorServices services;
    services.dialogs = m_dialogs;
    services.playback = m_playback;
    services.start = [this](const QString &program, const QStringList &arguments,
                            const QString &folder) {
        m_started.append(
            QStringList{program, arguments.join(QLatin1Char('|')), folder}.join(QLatin1Char(' ')));
        return QString();
    };
    services.speechProgram = QStringLiteral("false"); // no real voice here
    services.packageFileList = m_dir->filePath(QStringLiteral("letro.list"));
    m_services = services;
    m_window = std::make_unique<EditorWindow>(services);
}

// A window whose voice is a shell script: it reads the text and writes a
// stand-in recording of 100 bytes to the path after -w, after `first`.
void TestEditorWindow::useVoice(const QByteArray &first)
{
    const QString script = m_dir->filePath(QStringLiteral("voz"));
    writeLayout(m_dir->path(),
                {{QStringLiteral("voz"), "#!/bin/sh\n"
                                         "while [ $# -gt 0 ]; do [ \"$1\" = -w ] && part=$2; "
                                         "shift; done\n"
                                         "cat > /dev/null\n" +
                                             first + "\nprintf '%0100d' 0 > \"$part\"\n"}});
    QVERIFY(QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    m_services.speechProgram = script;
    m_window = std::make_unique<EditorWindow>(m_services);
}

void TestEditorWindow::cleanup()
{
    m_window.reset();
    m_dir.reset();
}

void TestEditorWindow::listShowsExercisesAndMarks()
{
    const QString letro = m_dir->filePath(QStringLiteral("Letro"));
    makeLetro(letro, "1=t1 1.wav=w1 1.lento.wav=l1 2=t2 2.wav=w2 4=t4", "1=t1");
    writeLayout(letro + QStringLiteral("/Frase corta"), {{QStringLiteral("2"), "uno\tdos\r\n"}});
    m_window->setFolder(letro);
    QVERIFY(!m_window->isReadOnly());
    QVERIFY(!m_window->findChild<QLabel *>(QStringLiteral("readOnlyLabel"))
                 ->isVisibleTo(m_window.get()));

    auto *tabs = m_window->findChild<QTabWidget *>(QStringLiteral("typeTabs"));
    QCOMPARE(tabs->tabText(0), QStringLiteral("Palabras (3) ⚠"));
    QCOMPARE(tabs->tabText(1), QStringLiteral("Frase corta (2) ⚠"));
    QCOMPARE(tabs->tabText(2), QStringLiteral("Frase larga (0)"));
    QTreeWidget *palabras = m_window->list(0);
    QCOMPARE(column(palabras, EditorWindow::NumberColumn), QStringList({"1", "2", "4"}));
    QCOMPARE(column(palabras, EditorWindow::TextColumn),
             QStringList({"texto 1", "texto 2", "texto 4"}));
    QCOMPARE(column(palabras, EditorWindow::RecordingColumn), QStringList({"sí", "sí", "falta"}));
    QCOMPARE(column(palabras, EditorWindow::SlowColumn), QStringList({"sí", "falta", "falta"}));
    const QList<Exercise> exercises = TypeFolder(letro + QStringLiteral("/Palabras")).exercises();
    QCOMPARE(column(palabras, EditorWindow::MarkColumn),
             QStringList({"", "", exercises.at(2).mark}));
    QVERIFY(!exercises.at(2).mark.isEmpty());
    // A screen reader hears each cell with its column's name.
    QCOMPARE(cellsRead(palabras, 1), QStringList({"Número: 2", "Texto: texto 2", "Grabación: sí",
                                                  "Grabación lenta: falta", "Aviso: ninguno"}));
    QCOMPARE(cellsRead(palabras, 2),
             QStringList({"Número: 4", "Texto: texto 4", "Grabación: falta",
                          "Grabación lenta: falta", "Aviso: " + exercises.at(2).mark}));
    // The short columns are as wide as what they show, and follow it when
    // the list is made again.
    QCOMPARE(unfittedColumns(palabras), QString());
    QCOMPARE(unfittedColumns(m_window->list(2)), QString());
    writeLayout(letro + QStringLiteral("/Frase larga"),
                {{QStringLiteral("1000000"), "siete cifras\r\n"},
                 {QStringLiteral("2000000.lento.wav"), "l"}});
    m_window->setFolder(letro);
    QCOMPARE(column(m_window->list(2), EditorWindow::NumberColumn),
             QStringList({"1000000", "2000000"}));
    QCOMPARE(unfittedColumns(m_window->list(2)), QString());

    // What the buttons allow follows the exercise chosen.
    m_window->selectExercise(0, 1);
    QVERIFY(!button("upButton")->isEnabled());
    QVERIFY(button("downButton")->isEnabled());
    QVERIFY(button("playButton")->isEnabled() && button("playSlowButton")->isEnabled());
    QVERIFY(button("gapsButton")->isEnabled());
    m_window->selectExercise(0, 4);
    QVERIFY(button("upButton")->isEnabled());
    QVERIFY(!button("downButton")->isEnabled());
    QVERIFY(!button("playButton")->isEnabled() && !button("playSlowButton")->isEnabled());
    m_window->selectExercise(1, 2);
    QVERIFY(!button("synthesiseButton")->isEnabled()); // nothing to record for that line
    QVERIFY(!button("microphoneButton")->isEnabled());
    QVERIFY(!button("gapsButton")->isEnabled());
}

void TestEditorWindow::buttonsChangeTheFolder()
{
    const QString letro = m_dir->filePath(QStringLiteral("Letro"));
    makeLetro(letro, "1=t1 1.wav=w1 2=t2 2.wav=w2 4=t4 4.lento.wav=l4");
    const QString palabras = letro + QStringLiteral("/Palabras");
    m_window->setFolder(letro);
    m_window->selectExercise(0, 2);

    // A text no key gives is refused with the reason and asked again; the
    // teacher gives up.
    m_dialogs->texts = {QStringLiteral("a\tb")};
    button("addButton")->click();
    QCOMPARE(m_dialogs->titles.size(), 2);
    QCOMPARE(m_dialogs->titles.first(), QStringLiteral("Nuevo dictado de «Palabras»"));
    QCOMPARE(m_dialogs->warned,
             QStringList{"No se ha añadido el dictado: caracteres que no da ninguna tecla: "
                         "posición 2: U+0009 (tabulador)."});
    QCOMPARE(readLayout(palabras), layout("1=t1 1.wav=w1 2=t2 2.wav=w2 4=t4 4.lento.wav=l4"));

    m_dialogs->texts = {NewText};
    button("addButton")->click();
    QCOMPARE(readLayout(palabras), layout("1=t1 1.wav=w1 2=t2 2.wav=w2 4=t4 4.lento.wav=l4 5=new"));
    QCOMPARE(m_window->selectedNumber(), 5);
    QVERIFY(
        m_window->statusBar()->currentMessage().startsWith(QStringLiteral("Dictado 5 añadido.")));

    // Deleting asks first; "no" changes nothing.
    m_window->selectExercise(0, 2);
    m_dialogs->answers = {false};
    button("removeButton")->click();
    QCOMPARE(m_dialogs->questions.last(),
             QStringLiteral("¿Borrar el dictado 2, «texto 2», con sus grabaciones? Los dictados "
                            "que vienen detrás bajan un número."));
    QCOMPARE(readLayout(palabras).size(), 7);
    // A close of the window while the question is up (a Wayland compositor's
    // reaches it past the box) is refused, and the answer is acted on.
    m_window->show();
    bool closedUnderQuestion = true;
    m_dialogs->whileAsked = [&] {
        QMessageBox box(QMessageBox::Question, QStringLiteral("Editor"), QStringLiteral("?"),
                        QMessageBox::Yes, m_window.get());
        box.setWindowModality(Qt::ApplicationModal);
        box.show();
        closedUnderQuestion = m_window->close();
    };
    m_dialogs->answers = {true};
    button("removeButton")->click();
    m_dialogs->whileAsked = nullptr;
    QVERIFY(!closedUnderQuestion);
    QVERIFY(m_window->isVisible());
    QCOMPARE(readLayout(palabras), layout("1=t1 1.wav=w1 3=t4 3.lento.wav=l4 4=new"));

    // The moved exercise stays chosen.
    m_window->selectExercise(0, 3);
    button("upButton")->click();
    QCOMPARE(readLayout(palabras), layout("1=t4 1.lento.wav=l4 3=t1 3.wav=w1 4=new"));
    QCOMPARE(m_window->selectedNumber(), 1);
    button("gapsButton")->click();
    QCOMPARE(readLayout(palabras), layout("1=t4 1.lento.wav=l4 2=t1 2.wav=w1 3=new"));
    QVERIFY(!button("gapsButton")->isEnabled());

    m_window->selectExercise(0, 2);
    m_dialogs->texts = {NewText};
    button("editButton")->click();
    QCOMPARE(m_dialogs->titles.last(), QStringLiteral("Dictado 2 de «Palabras»"));
    QCOMPARE(readLayout(palabras), layout("1=t4 1.lento.wav=l4 2=new 2.wav=w1 3=new"));
    QCOMPARE(m_window->statusBar()->currentMessage(),
             QStringLiteral("Dictado 2 cambiado. Sus grabaciones son las del texto de antes y "
                            "quedan marcadas «antigua»."));
    QVERIFY(m_dialogs->warned.size() == 1);
}

void TestEditorWindow::moveToANumber()
{
    const QString letro = m_dir->filePath(QStringLiteral("Letro"));
    makeLetro(letro, "1=t1 1.wav=w1 2=t2 3=t3 3.lento.wav=l3 4=t4 4.wav=w4");
    const QString palabras = letro + QStringLiteral("/Palabras");
    const Layout before = readLayout(palabras);
    m_window->setFolder(letro);
    m_window->selectExercise(0, 1);
    QVERIFY(button("moveToButton")->isEnabled());

    // Cancelled: nothing moves.
    m_dialogs->numbers = {std::nullopt};
    button("moveToButton")->click();
    QCOMPARE(m_dialogs->titles, QStringList{"Mover el dictado 1"});
    QCOMPARE(m_dialogs->questions,
             QStringList{"¿Qué número pasa a tener el dictado 1, «texto 1»? Si ese número es de "
                         "otro dictado, los que hay desde él hasta el 1 se corren un puesto para "
                         "hacerle sitio, con sus grabaciones."});
    QCOMPARE(m_dialogs->ranges, QStringList{"1 [1, 4]"});
    QCOMPARE(readLayout(palabras), before);

    // 1 to 3 in one change: 2 and 3 come one place forward with their
    // recordings, and the moved one stays chosen.
    m_dialogs->numbers = {3};
    button("moveToButton")->click();
    QCOMPARE(readLayout(palabras), layout("1=t2 2=t3 2.lento.wav=l3 3=t1 3.wav=w1 4=t4 4.wav=w4"));
    QCOMPARE(m_window->selectedNumber(), 3);
    QCOMPARE(m_window->statusBar()->currentMessage(),
             QStringLiteral("El dictado 1 es ahora el 3."));

    // Back to the first place, from the last.
    m_window->selectExercise(0, 4);
    m_dialogs->numbers = {1};
    button("moveToButton")->click();
    QCOMPARE(m_dialogs->ranges.last(), QStringLiteral("4 [1, 4]"));
    QCOMPARE(readLayout(palabras), layout("1=t4 1.wav=w4 2=t2 3=t3 3.lento.wav=l3 4=t1 4.wav=w1"));
    QCOMPARE(m_window->selectedNumber(), 1);
    QCOMPARE(m_dialogs->warned, QStringList());
}

void TestEditorWindow::numberDialogByKeyboard()
{
    NumberDialog dialog(QStringLiteral("Mover el dictado 5"), QStringLiteral("¿Qué número?"), 5, 1,
                        9);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto *box = dialog.findChild<QSpinBox *>(QStringLiteral("numberBox"));
    QCOMPARE(box->accessibleName(), QStringLiteral("Número nuevo, del 1 al 9"));
    QCOMPARE(QApplication::focusWidget(), box);
    // The number shown is chosen: typing replaces it; Enter moves.
    QTest::keyClicks(box, QStringLiteral("7"));
    QTest::keyClick(box, Qt::Key_Return);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.value(), 7);
    QStringList captions;
    for (const QPushButton *b : dialog.findChildren<QPushButton *>())
        captions.append(b->text());
    QCOMPARE(captions, QStringList({"&Mover", "Cancelar"}));

    // A number past the last is not taken; Escape cancels.
    dialog.show();
    box->selectAll();
    QTest::keyClicks(box, QStringLiteral("12"));
    QVERIFY(box->value() <= 9);
    QTest::keyClick(box, Qt::Key_Escape);
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
}

void TestEditorWindow::dropMovesToANumber_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<int>("dragged");
    QTest::addColumn<int>("row"); // the row dropped on; -1: below the last row
    QTest::addColumn<bool>("lowerHalf");
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<QString>("after");

    const QString four = QStringLiteral("1=t1 1.wav=w1 2=t2 3=t3 3.lento.wav=l3 4=t4");
    QTest::newRow("forward, below a row")
        << four << 1 << 2 << true << false << "1=t2 2=t3 2.lento.wav=l3 3=t1 3.wav=w1 4=t4";
    QTest::newRow("backward, above a row")
        << four << 4 << 1 << false << false << "1=t1 1.wav=w1 2=t4 3=t2 4=t3 4.lento.wav=l3";
    QTest::newRow("below the last row")
        << four << 2 << -1 << false << false << "1=t1 1.wav=w1 2=t3 2.lento.wav=l3 3=t4 4=t2";
    QTest::newRow("where it was") << four << 2 << 1 << false << false << four;
    QTest::newRow("just below the one before") << four << 3 << 1 << true << false << four;
    // The numbers in use stay; lone recordings keep theirs.
    QTest::newRow("over lone recordings and a gap")
        << "1=t1 2.wav=w2 4=t4 5=t5 5.wav=w5" << 5 << 1 << false << false
        << "1=t1 2.wav=w2 4=t5 4.wav=w5 5=t4";
    QTest::newRow("a folder only shown") << four << 1 << 2 << true << true << four;
}

void TestEditorWindow::dropMovesToANumber()
{
    QFETCH(QString, before);
    QFETCH(int, dragged);
    QFETCH(int, row);
    QFETCH(bool, lowerHalf);
    QFETCH(bool, readOnly);
    QFETCH(QString, after);
    const QString letro = m_dir->filePath(QStringLiteral("Letro"));
    makeLetro(letro, before);
    const QString palabras = letro + QStringLiteral("/Palabras");
    if (readOnly) // the installed package's
        writeLayout(m_dir->path(),
                    {{QStringLiteral("letro.list"), "/.\n" + QFile::encodeName(letro) + "\n" +
                                                        QFile::encodeName(letro) + "/letro\n"}});
    m_window->setFolder(letro);
    QCOMPARE(m_window->isReadOnly(), readOnly);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    ExerciseList *list = m_window->list(0);
    m_window->selectExercise(0, dragged);

    // What a drag of the row carries, dropped at the place given.
    QAbstractItemModel *model = list->model();
    std::unique_ptr<QMimeData> data(model->mimeData({list->currentIndex()}));
    QVERIFY(data);
    const QRect rect =
        list->visualItemRect(list->topLevelItem(row < 0 ? list->topLevelItemCount() - 1 : row));
    const QPoint at = row < 0     ? QPoint(rect.center().x(), rect.bottom() + rect.height())
                      : lowerHalf ? rect.center() + QPoint(0, rect.height() / 4)
                                  : rect.center() - QPoint(0, rect.height() / 4);
    QVERIFY(list->viewport()->rect().contains(at));
    QDragEnterEvent enter(at, Qt::MoveAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(list->viewport(), &enter);
    QDragMoveEvent move(at, Qt::MoveAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(list->viewport(), &move);
    QCOMPARE(move.isAccepted(), !readOnly); // a folder only shown takes no drop
    QDropEvent drop(at, Qt::MoveAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(list->viewport(), &drop);
    QCOMPARE(drop.isAccepted(), !readOnly);
    // The move is made once the drop is over, as one change.
    QCoreApplication::processEvents();
    QCOMPARE(readLayout(palabras), layout(after));
    QCOMPARE(m_dialogs->warned, QStringList());
    if (after != before)
        QVERIFY2(m_window->statusBar()->currentMessage().startsWith(
                     QStringLiteral("El dictado %1 es ahora el ").arg(dragged)),
                 qPrintable(m_window->statusBar()->currentMessage()));
    // The rows are the folder's, moved or not.
    QCOMPARE(list->topLevelItemCount(), TypeFolder(palabras).exercises().size());
}

void TestEditorWindow::readOnlyFolderOffersACopy_data()
{
    QTest::addColumn<bool>("writableParent");
    QTest::newRow("copied into the teacher's folder") << true;
    QTest::newRow("the chosen folder cannot be written") << false;
}

void TestEditorWindow::readOnlyFolderOffersACopy()
{
    QFETCH(bool, writableParent);
    // The installed Letro: the system's, only readable.
    const QString installed = m_dir->filePath(QStringLiteral("sistema/letro"));
    makeLetro(installed, "1=t1 1.wav=w1 1.lento.wav=l1 2=t2 2.wav=w2", "1=t1 1.wav=w1");
    const QString parent = m_dir->filePath(QStringLiteral("mis cosas"));
    QVERIFY(QDir().mkpath(parent));
    makeSearchable(installed);
    for (const QString &folder : {installed, installed + QStringLiteral("/Palabras")})
        QVERIFY(::chmod(QFile::encodeName(folder).constData(), 0555) == 0);
    if (writableParent)
        QVERIFY(::chmod(QFile::encodeName(parent).constData(), 0777) == 0);
    makeSearchable(parent);

    NoFileAccessRights asNobody; // root writes everywhere; "nobody" does not
    m_window->setFolder(installed);
    QVERIFY(m_window->isReadOnly());
    QVERIFY(m_window->findChild<QLabel *>(QStringLiteral("readOnlyLabel"))
                ->isVisibleTo(m_window.get()));
    for (const char *name : {"addButton", "removeButton", "synthesiseButton", "microphoneButton"})
        QVERIFY2(!button(name)->isEnabled(), name);
    QVERIFY(button("playButton")->isEnabled()); // listening needs no writing

    m_dialogs->answers = {true};
    m_dialogs->folders = {parent};
    m_window->offerCopy();
    QCOMPARE(m_dialogs->questions.size(), 1);
    QVERIFY(m_dialogs->questions.first().contains(QStringLiteral("«Letro (mis dictados, …)»")));
    // Return takes the offer: it only copies.
    QCOMPARE(m_dialogs->preferredAnswers, QList<Dialogs::Answer>{Dialogs::Answer::Yes});

    const QString copy = parent + QStringLiteral("/Letro");
    if (!writableParent) {
        QCOMPARE(m_dialogs->warned, QStringList{QStringLiteral("No se ha hecho la copia de Letro: "
                                                               "no se puede escribir en la "
                                                               "carpeta «%1».")
                                                    .arg(parent)});
        QCOMPARE(readLayout(parent), Layout());
        QCOMPARE(m_window->folder(), installed);
        QVERIFY(!QFileInfo::exists(applications()));
        return;
    }
    QCOMPARE(m_dialogs->warned, QStringList());
    QCOMPARE(m_window->folder(), copy);
    QVERIFY(!m_window->isReadOnly());
    QVERIFY(button("addButton")->isEnabled());
    QVERIFY(m_dialogs->told.first().contains(copy));
    // Everything of Letro, and nothing half-made beside it.
    QCOMPARE(readLayout(parent).keys(), QStringList{QStringLiteral("Letro")});
    for (const QString &sub : {QString(), QStringLiteral("/gifs"), QStringLiteral("/Palabras"),
                               QStringLiteral("/Frase corta"), QStringLiteral("/Frase larga")})
        QCOMPARE(readLayout(copy + sub), readLayout(installed + sub));
    QVERIFY(QFileInfo(copy + QStringLiteral("/letro")).isExecutable());
    QCOMPARE(startFolder(QString()), copy);

    // Changing the copy is possible; the system's Letro stays as it was.
    m_dialogs->texts = {NewText};
    button("addButton")->click();
    QCOMPARE(readLayout(copy + QStringLiteral("/Palabras")).value(QStringLiteral("3")),
             QByteArray("Nuevo dictado\r\n"));
    QVERIFY(!QFileInfo::exists(installed + QStringLiteral("/Palabras/3")));

    // The menu entry starts the copy and passes validation.
    QFile entry(menuEntryPath(copy));
    QVERIFY(entry.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(entry.readAll());
    QVERIFY(text.contains(QStringLiteral("\nName=Letro (mis dictados, %1)\n").arg(copy)));
    QVERIFY2(text.contains(QStringLiteral("\nExec=\"%1/letro\"\n").arg(copy)), qPrintable(text));
    QProcess validate;
    validate.start(QStringLiteral("desktop-file-validate"), {menuEntryPath(copy)});
    QVERIFY(validate.waitForFinished(20000));
    QCOMPARE(validate.readAll(), QByteArray());
    QCOMPARE(validate.exitCode(), 0);
}

// The Letro the package installed is never changed in place, whoever runs
// the editor: an upgrade would overwrite the change. The copy is offered.
void TestEditorWindow::packageFolderIsOnlyShownEvenToRoot()
{
    const QString installed = m_dir->filePath(QStringLiteral("usr/lib/letro"));
    makeLetro(installed, "1=t1 1.wav=w1");
    writeLayout(m_dir->path(),
                {{QStringLiteral("letro.list"), "/.\n/usr\n" + QFile::encodeName(installed) + "\n" +
                                                    QFile::encodeName(installed) + "/letro\n"}});
    QVERIFY(isWritableFolder(installed)); // this user could write it

    m_window->setFolder(installed);
    QVERIFY(m_window->isReadOnly());
    auto *label = m_window->findChild<QLabel *>(QStringLiteral("readOnlyLabel"));
    QVERIFY(label->isVisibleTo(m_window.get()));
    QVERIFY2(label->text().contains(QStringLiteral("la que instaló el sistema")),
             qPrintable(label->text()));
    QVERIFY(!button("addButton")->isEnabled());
    m_dialogs->answers = {false};
    m_window->offerCopy();
    QCOMPARE(m_dialogs->questions.size(), 1);
    QVERIFY(m_dialogs->questions.first().startsWith(label->text().section(QLatin1Char('.'), 0, 0)));

    // A copy of it is the teacher's to change.
    const QString copy = m_dir->filePath(QStringLiteral("copia"));
    makeLetro(copy, "1=t1");
    m_window->setFolder(copy);
    QVERIFY(!m_window->isReadOnly());
}

// Two copies, two entries, told apart by their folders; an entry that is
// not the copy's own is replaced only when the teacher says so.
void TestEditorWindow::everyCopyKeepsItsMenuEntry()
{
    const QString installed = m_dir->filePath(QStringLiteral("sistema"));
    makeLetro(installed, "1=t1 1.wav=w1");
    const QString parent = m_dir->filePath(QStringLiteral("mis cosas"));
    QVERIFY(QDir().mkpath(parent));
    const QString first = parent + QStringLiteral("/Letro");
    const QString second = parent + QStringLiteral("/Letro 2");
    // An entry of a copy once made in the second copy's place, and removed.
    QVERIFY(QDir().mkpath(applications()));
    writeLayout(applications(),
                {{QFileInfo(menuEntryPath(second)).fileName(), "[Desktop Entry]\nName=Vieja\n"}});

    for (const QString &copy : {first, second}) {
        m_window->setFolder(installed);
        m_dialogs->folders = {parent};
        m_dialogs->answers = {false}; // keep the old entry
        button("copyButton")->click();
        QCOMPARE(m_window->folder(), copy);
    }
    QCOMPARE(m_dialogs->questions.size(), 1);
    QVERIFY2(m_dialogs->questions.first().contains(copyEntryName(second)),
             qPrintable(m_dialogs->questions.first()));
    // Return keeps the entry there is: replacing it needs the teacher's yes.
    QCOMPARE(m_dialogs->preferredAnswers, QList<Dialogs::Answer>{Dialogs::Answer::No});
    QCOMPARE(readLayout(applications()).value(QFileInfo(menuEntryPath(second)).fileName()),
             QByteArray("[Desktop Entry]\nName=Vieja\n"));
    QCOMPARE(readLayout(applications()).size(), 2);
    QVERIFY(QString::fromUtf8(
                readLayout(applications()).value(QFileInfo(menuEntryPath(first)).fileName()))
                .contains(QStringLiteral("\nName=Letro (mis dictados, %1)\n").arg(first)));
    QVERIFY(copyEntryName(first) != copyEntryName(second));

    // Asked again, the teacher lets the entry be replaced.
    m_window->setFolder(installed);
    QVERIFY(QDir(second).removeRecursively());
    m_dialogs->folders = {parent};
    m_dialogs->answers = {true};
    button("copyButton")->click();
    QCOMPARE(m_window->folder(), second);
    QCOMPARE(readLayout(applications()).value(QFileInfo(menuEntryPath(second)).fileName()),
             menuEntryText(second).toUtf8());
}

void TestEditorWindow::copyNeedsRoom_data()
{
    QTest::addColumn<qint64>("needed");
    QTest::addColumn<qint64>("available");
    QTest::addColumn<QString>("problem");
    const qint64 mb = 1024 * 1024;
    QTest::newRow("plenty") << 74 * mb << 10000 * mb << QString();
    QTest::newRow("unknown free space") << 74 * mb << qint64(-1) << QString();
    QTest::newRow("3 MB free for 74") << 74 * mb << 3 * mb
                                      << "no queda espacio en el disco: la copia necesita 76,5 MB "
                                         "y en «/media/usb» quedan 3,0 MB";
    QTest::newRow("not even the margin") << 74 * mb << 74 * mb
                                         << "no queda espacio en el disco: la copia necesita "
                                            "76,5 MB y en «/media/usb» quedan 74,0 MB";
}

void TestEditorWindow::copyNeedsRoom()
{
    QFETCH(qint64, needed);
    QFETCH(qint64, available);
    QFETCH(QString, problem);
    QCOMPARE(spaceProblem(needed, available, QStringLiteral("/media/usb")), problem);
}

// A copy that cannot fit says so before it starts, and leaves nothing.
void TestEditorWindow::fullDiskIsSaidBeforeCopying()
{
    if (::geteuid() != 0)
        QSKIP("mounting a small disk needs root");
    const QString installed = m_dir->filePath(QStringLiteral("sistema"));
    makeLetro(installed, "1=t1");
    writeLayout(installed + QStringLiteral("/Palabras"),
                {{QStringLiteral("1.wav"), QByteArray(3 * 1024 * 1024, 'w')}});
    const QString disk = m_dir->filePath(QStringLiteral("memoria"));
    QVERIFY(QDir().mkpath(disk));
    QProcess mount;
    mount.start(QStringLiteral("mount"),
                {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                 QStringLiteral("size=2m"), QStringLiteral("tmpfs"), disk});
    QVERIFY(mount.waitForFinished(10000));
    QVERIFY2(mount.exitCode() == 0, mount.readAllStandardError().constData());
    const auto unmount = qScopeGuard([&] { QProcess::execute(QStringLiteral("umount"), {disk}); });

    m_window->setFolder(installed);
    m_dialogs->folders = {disk};
    button("copyButton")->click();
    QCOMPARE(m_dialogs->warned.size(), 1);
    QVERIFY2(m_dialogs->warned.first().startsWith(
                 QStringLiteral("No se ha hecho la copia de Letro: no queda espacio en el disco: "
                                "la copia necesita 4,1 MB y en «%1» quedan 2,0 MB")
                     .arg(disk)),
             qPrintable(m_dialogs->warned.first()));
    QCOMPARE(QDir(disk).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList());
    QCOMPARE(m_window->folder(), installed);
}

void TestEditorWindow::playsAndStartsLetro()
{
    const QString letro = m_dir->filePath(QStringLiteral("Letro"));
    makeLetro(letro, "", "1=t1 1.wav=w1 1.lento.wav=l1");
    m_window->setFolder(letro);
    m_window->selectExercise(1, 1);
    button("playButton")->click();
    button("playSlowButton")->click();
    QCOMPARE(m_playback->played, QStringList({letro + QStringLiteral("/Frase corta/1.wav"),
                                              letro + QStringLiteral("/Frase corta/1.lento.wav")}));
    button("microphoneButton")->click();
    QCOMPARE(m_dialogs->recorded, QStringList{letro + QStringLiteral("/Frase corta/1.wav ") +
                                              letro + QStringLiteral("/Frase corta/1.lento.wav")});
    button("tryButton")->click();
    QCOMPARE(m_started,
             QStringList{letro + QStringLiteral("/letro --tipo|Frase corta|--numero|1|--prueba ") +
                         letro});
}

// "Probar en Letro" starts Letro on the dictation chosen, or on the type
// shown when no dictation is chosen.
void TestEditorWindow::letroStartsOnTheChoice_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("chosen");
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<QString>("said");
    QTest::newRow("a dictation of Palabras") << 0 << 12 << "--tipo|Palabras|--numero|12|--prueba"
                                             << "Letro abierto en el dictado 12 de «Palabras».";
    QTest::newRow("a dictation of Frase corta")
        << 1 << 2 << "--tipo|Frase corta|--numero|2|--prueba"
        << "Letro abierto en el dictado 2 de «Frase corta».";
    QTest::newRow("recordings without a text") << 0 << 7 << "--tipo|Palabras|--prueba"
                                               << "Letro abierto en «Palabras».";
    QTest::newRow("an empty type") << 2 << 0 << "--tipo|Frase larga|--prueba"
                                   << "Letro abierto en «Frase larga».";
}

void TestEditorWindow::letroStartsOnTheChoice()
{
    QFETCH(int, type);
    QFETCH(int, chosen);
    QFETCH(QString, arguments);
    QFETCH(QString, said);
    const QString letro = m_dir->filePath(QStringLiteral("Letro"));
    makeLetro(letro, "1=t1 7.wav=w7 12=t12", "1=t1 2=t2");
    m_window->setFolder(letro);
    m_window->selectExercise(type, chosen);
    button("tryButton")->click();
    QCOMPARE(m_started, QStringList{letro + "/letro " + arguments + ' ' + letro});
    QCOMPARE(m_window->statusBar()->currentMessage(), said);
}

void TestEditorWindow::textDialogRefusesWhatNoKeyGives()
{
    TextDialog dialog(QStringLiteral("Nuevo dictado"), QString());
    auto *edit = dialog.findChild<QLineEdit *>(QStringLiteral("textEdit"));
    auto *problem = dialog.findChild<QLabel *>(QStringLiteral("problemLabel"));
    QPushButton *save = dialog.findChild<QDialogButtonBox *>(QStringLiteral("buttons"))
                            ->button(QDialogButtonBox::Save);
    QVERIFY(!save->isEnabled());
    QCOMPARE(problem->text(), QString());

    edit->setText(QStringLiteral("Hola\tmundo"));
    QVERIFY(!save->isEnabled());
    QCOMPARE(problem->text(), QStringLiteral("No se puede guardar: caracteres que no da ninguna "
                                             "tecla: posición 5: U+0009 (tabulador)."));
    edit->setText(QStringLiteral("¿Qué tal?"));
    QVERIFY(save->isEnabled());
    QCOMPARE(problem->text(), QString());
    edit->setText(QStringLiteral("¿Qué tal? "));
    QVERIFY(save->isEnabled());
    QVERIFY(problem->text().startsWith(QStringLiteral("Ojo: el texto empieza o acaba")));
    QCOMPARE(dialog.text(), QStringLiteral("¿Qué tal? "));
}

void TestEditorWindow::staleListIsRefused_data()
{
    QTest::addColumn<QString>("buttonName");
    QTest::newRow("synthesise") << "synthesiseButton";
    QTest::newRow("record") << "microphoneButton";
    QTest::newRow("edit") << "editButton";
    QTest::newRow("remove") << "removeButton";
    QTest::newRow("up") << "upButton";
    QTest::newRow("down") << "downButton";
    QTest::newRow("close gaps") << "gapsButton";
    QTest::newRow("move to a number") << "moveToButton";
    QTest::newRow("record what is missing") << "recordMissingButton";
    QTest::newRow("add") << "addButton";
}

void TestEditorWindow::staleListIsRefused()
{
    QFETCH(QString, buttonName);
    const QString letro = m_dir->filePath(QStringLiteral("Letro"));
    makeLetro(letro, "1=t1 1.wav=w1 2=t2 3=t3 3.wav=w3 5=t5");
    const QString palabras = letro + QStringLiteral("/Palabras");
    m_window->setFolder(letro);
    m_window->selectExercise(0, 2);
    QVERIFY(button(qPrintable(buttonName))->isEnabled());

    // By hand, while the editor shows 2: it becomes 6. The list has not
    // been told yet.
    QVERIFY(QFile::rename(palabras + QStringLiteral("/2"), palabras + QStringLiteral("/6")));
    const Layout changed = readLayout(palabras);
    m_dialogs->texts = {NewText};
    m_dialogs->answers = {true};
    button(qPrintable(buttonName))->click();
    QCOMPARE(m_dialogs->warned,
             QStringList{"Los archivos de «Palabras» han cambiado fuera del editor, así que no "
                         "se ha hecho nada. La lista ya muestra la carpeta como está ahora: "
                         "compruebe el dictado elegido y vuelva a intentarlo."});
    QCOMPARE(readLayout(palabras), changed);
    QCOMPARE(m_dialogs->recorded, QStringList());
    QCOMPARE(column(m_window->list(0), EditorWindow::NumberColumn),
             QStringList({"1", "3", "5", "6"}));
}

void TestEditorWindow::listFollowsTheFolder()
{
    const QString letro = m_dir->filePath(QStringLiteral("Letro"));
    makeLetro(letro, "1=t1 1.wav=w1 2=t2");
    const QString palabras = letro + QStringLiteral("/Palabras");
    m_window->setFolder(letro);
    QVERIFY(QFile::rename(palabras + QStringLiteral("/2"), palabras + QStringLiteral("/3")));
    QVERIFY(QFile::remove(palabras + QStringLiteral("/1.wav")));
    QTRY_COMPARE(column(m_window->list(0), EditorWindow::NumberColumn), QStringList({"1", "3"}));
    QCOMPARE(column(m_window->list(0), EditorWindow::RecordingColumn),
             QStringList({"falta", "falta"}));
    // A type folder made by hand shows too.
    QVERIFY(QDir().rmdir(letro + QStringLiteral("/Frase larga")));
    writeLayout(letro + QStringLiteral("/Frase larga"), layout("1=t1"));
    QTRY_COMPARE(column(m_window->list(2), EditorWindow::TextColumn), QStringList{"texto 1"});
}

void TestEditorWindow::folderChangedWhileTyping()
{
    const QString letro = m_dir->filePath(QStringLiteral("Letro"));
    makeLetro(letro, "1=t1 2=t2");
    const QString palabras = letro + QStringLiteral("/Palabras");
    m_window->setFolder(letro);
    const QString stale =
        QStringLiteral("Los archivos de «Palabras» han cambiado fuera del editor, así que no se "
                       "ha hecho nada. La lista ya muestra la carpeta como está ahora: compruebe "
                       "el dictado elegido y vuelva a intentarlo.");

    // A new text typed while 2 became 5: asked again with the same text,
    // then added after 5.
    m_dialogs->whileTyping = [&] {
        QVERIFY(QFile::rename(palabras + QStringLiteral("/2"), palabras + QStringLiteral("/5")));
    };
    m_dialogs->texts = {NewText, NewText};
    button("addButton")->click();
    QCOMPARE(m_dialogs->warned, QStringList{stale});
    QCOMPARE(m_dialogs->offered, QStringList({QString(), NewText}));
    QCOMPARE(readLayout(palabras), layout("1=t1 5=t2 6=new"));

    // A change of text while 1 was deleted by hand is not made.
    m_window->selectExercise(0, 5);
    m_dialogs->whileTyping = [&] { QVERIFY(QFile::remove(palabras + QStringLiteral("/1"))); };
    m_dialogs->texts = {NewText};
    button("editButton")->click();
    QCOMPARE(m_dialogs->warned, QStringList({stale, stale}));
    QCOMPARE(readLayout(palabras), layout("5=t2 6=new"));
}

// While a question or a dialog is open, files are renamed by hand and the
// list follows the folder; the answer then acts on nothing the teacher did
// not confirm: the change is refused, and says which files changed.
void TestEditorWindow::changeActsOnlyOnWhatWasConfirmed_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("before");
    QTest::addColumn<int>("chosen");
    QTest::addColumn<QString>("byHand");
    QTest::addColumn<QStringList>("listed"); // the numbers listed once the folder is read again
    QTest::addColumn<QString>("said");
    const QString changed = QStringLiteral(": desde que se pidió este cambio han cambiado fuera "
                                           "del editor los archivos ");
    const QString look = QStringLiteral(". La lista ya muestra la carpeta como está ahora: "
                                        "compruebe el dictado elegido y vuelva a intentarlo.");
    const QString ten = QStringLiteral("7=t7 8=t8 8.wav=w8 9=t9 9.wav=w9 10=t10");
    const QString eight = QStringLiteral("8>800 8.wav>800.wav 9>8 9.wav>8.wav");
    QTest::newRow("Borrar 8 while 8 became 800 and 9 became 8")
        << "removeButton" << ten << 8 << eight << QStringList({"7", "8", "10", "800"})
        << "No se ha borrado el dictado 8; todo sigue como estaba" + changed +
               "«8», «8.wav», «9», «9.wav» y 2 más" + look;
    QTest::newRow("Modificar 12 while 12 became 1200 and 13 became 12")
        << "editButton" << "11=t11 12=t12 12.wav=w12 13=t13 13.wav=w13" << 12
        << "12>1200 12.wav>1200.wav 13>12 13.wav>12.wav" << QStringList({"11", "12", "1200"})
        << "No se ha cambiado el dictado 12" + changed + "«12», «12.wav»" + look;
    QTest::newRow("Añadir while a dictation was written after the last")
        << "addButton" << "1=t1 2=t2" << 1 << "3=t3" << QStringList({"1", "2", "3"})
        << "No se ha añadido el dictado" + changed + "«3»" + look;
    QTest::newRow("Mover a 1 while 2 became 20 and 3 became 2")
        << "moveToButton" << "1=t1 2=t2 3=t3 4=t4" << 4 << "2>20 3>2"
        << QStringList({"1", "2", "4", "20"})
        << "No se ha movido el dictado 4; todo sigue como estaba" + changed + "«2», «3»" + look;
    QTest::newRow("a drop while 2 became 20 and 3 became 2")
        << "drop" << "1=t1 2=t2 3=t3 4=t4" << 1 << "2>20 3>2" << QStringList({"1", "2", "4", "20"})
        << "No se ha movido el dictado 1; todo sigue como estaba" + changed + "«2»" + look;
    QTest::newRow("Grabar lo que falta while 2 became 20 and 3 became 2")
        << "recordMissingButton"
        << "1=t1 1.wav=w1 1.lento.wav=l1 2=t2 2.wav=w2 2.lento.wav=l2 3=t3 3.wav=w3 "
           "3.lento.wav=l3"
        << 1 << "2>20 2.wav>20.wav 2.lento.wav>20.lento.wav 3>2 3.wav>2.wav 3.lento.wav>2.lento.wav"
        << QStringList({"1", "2", "20"})
        << "No se ha grabado todo lo que faltaba (0 de 1 dictados de «Palabras» grabados): "
           "dictado 2" +
               changed + "«2», «2.lento.wav», «2.wav»" + look;
    QTest::newRow("the microphone while 2 became 20 and 1 became 2")
        << "microphoneButton" << "1=t1 2=t2" << 2 << "2>20 1>2" << QStringList({"2", "20"})
        << "no se puede guardar la grabación" + changed + "«2»";
}

void TestEditorWindow::changeActsOnlyOnWhatWasConfirmed()
{
    QFETCH(QString, action);
    QFETCH(QString, before);
    QFETCH(int, chosen);
    QFETCH(QString, byHand);
    QFETCH(QStringList, listed);
    QFETCH(QString, said);
    const QString letro = m_dir->filePath(QStringLiteral("Letro"));
    makeLetro(letro, before);
    const QString palabras = letro + QStringLiteral("/Palabras");
    // "Grabar lo que falta" asks first when it replaces recordings older
    // than their text: those of 2.
    if (action == QLatin1String("recordMissingButton")) {
        useVoice();
        QVERIFY(setTimes(palabras, QStringLiteral("2=5000 2.wav=0 2.lento.wav=0")));
    }
    m_window->setFolder(letro);
    m_window->selectExercise(0, chosen);
    Layout changed;
    bool done = false;
    // By hand while the question or dialog is open; the list then shows
    // the folder as it is.
    auto meanwhile = [&] {
        if (std::exchange(done, true))
            return;
        QVERIFY(changeByHand(palabras, byHand));
        changed = readLayout(palabras);
        QTRY_COMPARE(column(m_window->list(0), EditorWindow::NumberColumn), listed);
    };
    m_dialogs->whileAsked = meanwhile;
    m_dialogs->whileTyping = meanwhile;
    m_dialogs->answers = {true};
    m_dialogs->texts = {NewText};
    m_dialogs->numbers = {1};
    if (action == QLatin1String("drop")) {
        // The move a drop of row 1 below row 2 asks for, the files changed
        // while it was dragged.
        emit m_window->list(0)->dragStarted();
        meanwhile();
        m_window->moveExercise(0, chosen, 2);
    } else {
        QVERIFY(button(qPrintable(action))->isEnabled());
        button(qPrintable(action))->click();
    }
    QVERIFY(done);
    if (action == QLatin1String("microphoneButton"))
        QCOMPARE(m_dialogs->kept, QStringList{said});
    else
        QCOMPARE(m_dialogs->warned, QStringList{said});
    QCOMPARE(readLayout(palabras), changed);
    QCOMPARE(column(m_window->list(0), EditorWindow::NumberColumn), listed);
}

void TestEditorWindow::loneRecordingsStayApart()
{
    const QString letro = m_dir->filePath(QStringLiteral("Letro"));
    makeLetro(letro, "1=t1 1.wav=w1 2.wav=w2 2.lento.wav=l2 3=t3");
    const QString palabras = letro + QStringLiteral("/Palabras");
    m_window->setFolder(letro);
    QTreeWidget *list = m_window->list(0);
    QCOMPARE(column(list, EditorWindow::NumberColumn), QStringList({"1", "2", "3"}));
    QCOMPARE(column(list, EditorWindow::TextColumn),
             QStringList({"texto 1", "(sin texto)", "texto 3"}));
    QCOMPARE(column(list, EditorWindow::MarkColumn).at(1),
             QStringLiteral("grabación sin texto: no es de ningún dictado y Letro no la usa"));
    QCOMPARE(m_window->findChild<QTabWidget *>(QStringLiteral("typeTabs"))->tabText(0),
             QStringLiteral("Palabras (2) ⚠"));

    // Nothing gives them a text; they can be heard and deleted.
    m_window->selectExercise(0, 2);
    for (const char *name : {"editButton", "upButton", "downButton", "moveToButton",
                             "synthesiseButton", "microphoneButton"})
        QVERIFY2(!button(name)->isEnabled(), name);
    QVERIFY(button("playButton")->isEnabled() && button("removeButton")->isEnabled());
    m_window->selectExercise(0, 3);
    QVERIFY(button("upButton")->isEnabled()); // up to 1, over the lone recordings

    // Closing the gap would give 3 the recordings of another text.
    button("gapsButton")->click();
    QCOMPARE(m_dialogs->warned,
             QStringList{"No se han quitado los huecos; todo sigue como estaba: el número 2 "
                         "tiene grabaciones sin texto («2.wav», «2.lento.wav»), que quedarían "
                         "con el dictado 3; bórrelas antes."});
    QCOMPARE(readLayout(palabras), layout("1=t1 1.wav=w1 2.wav=w2 2.lento.wav=l2 3=t3"));

    m_window->selectExercise(0, 2);
    m_dialogs->answers = {true};
    button("removeButton")->click();
    QCOMPARE(m_dialogs->questions.last(),
             QStringLiteral("¿Borrar las grabaciones sin texto del número 2? No son de ningún "
                            "dictado."));
    QCOMPARE(readLayout(palabras), layout("1=t1 1.wav=w1 3=t3"));
    button("gapsButton")->click();
    QCOMPARE(readLayout(palabras), layout("1=t1 1.wav=w1 2=t3"));
    QCOMPARE(m_dialogs->warned.size(), 1);
}

void TestEditorWindow::cutShortChangeIsPutRight()
{
    // Deleting 1 was cut short after 2.wav had taken its hidden name and
    // every file was taken: the change is finished.
    const QString letro = m_dir->filePath(QStringLiteral("Letro"));
    makeLetro(letro, "", "1=t2 .letro-mover-2-a-1.wav=w2 .letro-borrar-1=t1 3=t3");
    writeLayout(letro + QStringLiteral("/Frase corta"),
                {{JournalName, "letro-diario 1\ncambio borrar el dictado 1\n"
                               "mover 2 .letro-mover-2-a-1 1\n"
                               "mover 2.wav .letro-mover-2-a-1.wav 1.wav\n"
                               "borrar 1 .letro-borrar-1\nfin\ntomados\n"}});
    m_window->setFolder(letro);
    QCOMPARE(m_dialogs->told,
             QStringList{"El cambio «borrar el dictado 1» en «Frase corta» quedó a medias al "
                         "cerrarse el programa de golpe y se ha terminado: la carpeta está como "
                         "después de ese cambio."});
    QCOMPARE(readLayout(letro + QStringLiteral("/Frase corta")), layout("1=t2 1.wav=w2 3=t3"));
    QCOMPARE(column(m_window->list(1), EditorWindow::NumberColumn), QStringList({"1", "3"}));
}

namespace {

// Holds the change at its first rename until the test lets it go.
class HeldStep : public StepGate
{
public:
    int before(Step step, const QString &, const QString &) override
    {
        if (step == Step::Rename && !held.exchange(true))
            while (!released)
                QThread::msleep(5);
        return 0;
    }
    std::atomic<bool> held{false};
    std::atomic<bool> released{false};
};

} // namespace

void TestEditorWindow::longChangeShowsProgressAndCancels()
{
    const QString letro = m_dir->filePath(QStringLiteral("Letro"));
    makeLetro(letro, "1=t1 1.wav=w1 2=t2 2.wav=w2 2.lento.wav=l2 3=t3 3.wav=w3");
    const QString palabras = letro + QStringLiteral("/Palabras");
    m_window->setFolder(letro);
    m_window->show();
    const Layout before = readLayout(palabras);

    // While the change is held, the window goes on answering: its timer
    // finds the progress dialog and presses "Cancelar".
    HeldStep gate;
    setStepGate(&gate);
    bool shown = false;
    QTimer watcher;
    watcher.setInterval(20);
    connect(&watcher, &QTimer::timeout, this, [&] {
        auto *dialog = m_window->findChild<QProgressDialog *>(QStringLiteral("progressDialog"));
        if (!dialog || !dialog->isVisible())
            return;
        shown = true;
        watcher.stop();
        dialog->findChild<QPushButton *>()->click();
        gate.released = true;
        QCOMPARE(dialog->labelText(), QStringLiteral("Borrando el dictado 1…"));
        QVERIFY(!button("addButton")->isEnabled()); // nothing else starts meanwhile
    });
    watcher.start();
    m_window->selectExercise(0, 1);
    m_dialogs->answers = {true};
    button("removeButton")->click();
    setStepGate(nullptr);
    gate.released = true;
    QVERIFY(shown);
    QCOMPARE(m_dialogs->warned, QStringList{"No se ha borrado el dictado 1; todo sigue como "
                                            "estaba: se ha cancelado."});
    QCOMPARE(readLayout(palabras), before);
    QVERIFY(button("addButton")->isEnabled());
}

// "Grabar lo que falta" records, off the window's thread, each dictation
// whose text can be typed and lacks a recording; nothing else is touched.
void TestEditorWindow::recordsWhatIsMissing()
{
    useVoice();
    const QString letro = m_dir->filePath(QStringLiteral("Letro"));
    // 2 lacks its slow recording, 4 both; 3 cannot be typed; 7.wav has no text.
    makeLetro(letro, "1=t1 1.wav=w1 1.lento.wav=l1 2=t2 2.wav=w2 4=t4 7.wav=w7");
    const QString palabras = letro + QStringLiteral("/Palabras");
    writeLayout(palabras, {{QStringLiteral("3"), "a\tb\r\n"}});
    m_window->setFolder(letro);
    QVERIFY(button("recordMissingButton")->isEnabled());
    Layout expected = readLayout(palabras);
    const QByteArray made(100, '0');
    for (const char *name : {"2.lento.wav", "4.wav", "4.lento.wav"})
        expected.insert(QString::fromLatin1(name), made);

    button("recordMissingButton")->click();
    QCOMPARE(m_dialogs->warned, QStringList());
    QCOMPARE(readLayout(palabras), expected);
    QCOMPARE(m_window->statusBar()->currentMessage(),
             QStringLiteral("2 de 2 dictados de «Palabras» grabados."));
    QVERIFY(!button("recordMissingButton")->isEnabled()); // nothing more to record
}

// Recordings older than their text show as "antigua", each cell read with
// its column's name, and a line under the list says which, aloud too.
// "Grabar lo que falta" records them again with the missing ones, once the
// teacher says yes, and counts them.
void TestEditorWindow::olderRecordingsAreMarked_data()
{
    QTest::addColumn<QString>("times"); // milliseconds after timeBase()
    QTest::addColumn<QStringList>("recordings");
    QTest::addColumn<QStringList>("slow");
    QTest::addColumn<QString>("note");
    QTest::addColumn<QString>("question");
    QTest::addColumn<QString>("done");

    const QString all = QStringLiteral("1=0 1.wav=0 1.lento.wav=0 3.wav=0 ");
    QTest::newRow("one older, and one missing")
        << all + "2=5000 2.wav=0 2.lento.wav=4999 3=0"
        << QStringList{"sí", "antigua", "sí", "falta"}
        << QStringList{"sí", "antigua", "falta", "falta"}
        << "El dictado 2 tiene alguna grabación anterior a su texto (se ve «antigua»): puede "
           "decir el texto de antes. «Grabar lo que falta» la graba de nuevo."
        << "Hay 3 dictados de «Palabras» por grabar; uno tiene grabaciones anteriores a su texto, "
           "que se sustituirán con la voz sintética. ¿Grabarlos?"
        << "3 de 3 dictados de «Palabras» grabados, uno de ellos porque sus grabaciones eran "
           "anteriores a su texto.";
    QTest::newRow("two older, in the same second and the second before")
        << all + "2=5600 2.wav=5100 2.lento.wav=4999 3=1000"
        << QStringList{"sí", "sí", "antigua", "falta"}
        << QStringList{"sí", "antigua", "falta", "falta"}
        << "Los dictados 2 y 3 tienen grabaciones anteriores a su texto (se ven «antigua»): "
           "pueden decir el texto de antes. «Grabar lo que falta» las graba de nuevo."
        << "Hay 3 dictados de «Palabras» por grabar; 2 tienen grabaciones anteriores a su texto, "
           "que se sustituirán con la voz sintética. ¿Grabarlos?"
        << "3 de 3 dictados de «Palabras» grabados, 2 de ellos porque sus grabaciones eran "
           "anteriores a su texto.";
}

void TestEditorWindow::olderRecordingsAreMarked()
{
    QFETCH(QString, times);
    QFETCH(QStringList, recordings);
    QFETCH(QStringList, slow);
    QFETCH(QString, note);
    QFETCH(QString, question);
    QFETCH(QString, done);

    useVoice();
    const QString letro = m_dir->filePath(QStringLiteral("Letro"));
    makeLetro(letro,
              "1=t1 1.wav=w1 1.lento.wav=l1 2=t2 2.wav=w2 2.lento.wav=l2 3=t3 3.wav=w3 4=t4");
    const QString palabras = letro + QStringLiteral("/Palabras");
    QVERIFY(setTimes(palabras, times));
    m_window->show();
    Heard heard;
    m_window->setFolder(letro);
    QTreeWidget *list = m_window->list(0);
    QCOMPARE(column(list, EditorWindow::RecordingColumn), recordings);
    QCOMPARE(column(list, EditorWindow::SlowColumn), slow);
    QCOMPARE(cellsRead(list, 1).mid(2, 2),
             QStringList({"Grabación: " + recordings.at(1), "Grabación lenta: " + slow.at(1)}));
    auto *label = m_window->findChild<QLabel *>(QStringLiteral("olderRecordingsLabel"));
    QCOMPARE(label->text(), note);
    QVERIFY(label->isVisible());
    QTRY_VERIFY(heard.texts().contains(note));

    // They may be the teacher's own voice: asked first, and Return keeps them.
    const Layout before = readLayout(palabras);
    m_dialogs->answers = {false};
    button("recordMissingButton")->click();
    QCOMPARE(m_dialogs->questions, QStringList{question});
    QCOMPARE(m_dialogs->preferredAnswers, QList<Dialogs::Answer>{Dialogs::Answer::No});
    QCOMPARE(readLayout(palabras), before);

    m_dialogs->answers = {true};
    button("recordMissingButton")->click();
    QCOMPARE(m_dialogs->warned, QStringList());
    Layout expected = before;
    for (const char *name : {"3.lento.wav", "4.wav", "4.lento.wav"})
        expected.insert(QString::fromLatin1(name), QByteArray(100, '0'));
    for (int i = 0; i < 2; ++i) {
        const QString name = i == 0 ? QStringLiteral("%1.wav") : QStringLiteral("%1.lento.wav");
        for (int n : {2, 3})
            if ((i == 0 ? recordings : slow).at(n - 1) == QLatin1String("antigua"))
                expected.insert(name.arg(n), QByteArray(100, '0'));
    }
    QCOMPARE(readLayout(palabras), expected);
    QCOMPARE(m_window->statusBar()->currentMessage(), done);
    QCOMPARE(column(list, EditorWindow::RecordingColumn), QStringList({"sí", "sí", "sí", "sí"}));
    QCOMPARE(column(list, EditorWindow::SlowColumn), QStringList({"sí", "sí", "sí", "sí"}));
    QVERIFY(!label->isVisible());
}

// Right after a text with recordings is changed, recording it again is
// offered; "later" leaves them marked. A text left as it was is not written.
void TestEditorWindow::editOffersToRecordAgain_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QList<bool>>("answers");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<QString>("after"); // x: the stand-in voice's recording
    QTest::addColumn<QString>("said");
    QTest::addColumn<QStringList>("cells"); // 2's recording and slow recording

    const QString changed = QStringLiteral("Dictado 2 cambiado. Sus grabaciones son las del texto "
                                           "de antes y quedan marcadas «antigua».");
    const QString recorded = QStringLiteral("Dictado 2 grabado con la voz «es», normal y lento.");
    QTest::newRow("recorded again at once")
        << "1=t1 2=t2 2.wav=w2 2.lento.wav=l2" << NewText << QList<bool>{true} << true
        << "1=t1 2=new 2.wav=x 2.lento.wav=x" << recorded << QStringList{"sí", "sí"};
    QTest::newRow("later") << "1=t1 2=t2 2.wav=w2 2.lento.wav=l2" << NewText << QList<bool>{false}
                           << true << "1=t1 2=new 2.wav=w2 2.lento.wav=l2" << changed
                           << QStringList{"antigua", "antigua"};
    QTest::newRow("only a slow one, recorded again")
        << "1=t1 2=t2 2.lento.wav=l2" << NewText << QList<bool>{true} << true
        << "1=t1 2=new 2.wav=x 2.lento.wav=x" << recorded << QStringList{"sí", "sí"};
    QTest::newRow("no recordings, nothing asked")
        << "1=t1 2=t2" << NewText << QList<bool>{} << false << "1=t1 2=new"
        << "Dictado 2 cambiado." << QStringList{"falta", "falta"};
    QTest::newRow("the same text is not written")
        << "1=t1 2=t2 2.wav=w2 2.lento.wav=l2" << "texto 2" << QList<bool>{} << false
        << "1=t1 2=t2 2.wav=w2 2.lento.wav=l2" << "El dictado 2 no ha cambiado."
        << QStringList{"sí", "sí"};
}

void TestEditorWindow::editOffersToRecordAgain()
{
    QFETCH(QString, before);
    QFETCH(QString, typed);
    QFETCH(QList<bool>, answers);
    QFETCH(bool, asked);
    QFETCH(QString, after);
    QFETCH(QString, said);
    QFETCH(QStringList, cells);

    useVoice();
    const QString letro = m_dir->filePath(QStringLiteral("Letro"));
    makeLetro(letro, before);
    const QString palabras = letro + QStringLiteral("/Palabras");
    // Everything was written long ago.
    QStringList times;
    for (const QString &name : layout(before).keys())
        times.append(name + QStringLiteral("=0"));
    QVERIFY(setTimes(palabras, times.join(QLatin1Char(' '))));
    m_window->setFolder(letro);
    m_window->selectExercise(0, 2);
    m_dialogs->texts = {typed};
    m_dialogs->answers = answers;
    button("editButton")->click();

    QCOMPARE(m_dialogs->warned, QStringList());
    QCOMPARE(m_dialogs->questions,
             asked ? QStringList{"Las grabaciones del dictado 2 son del texto de antes. ¿Grabarlo "
                                 "ahora con la voz sintética, normal y lento?"}
                   : QStringList());
    QCOMPARE(m_dialogs->preferredAnswers,
             asked ? QList<Dialogs::Answer>{Dialogs::Answer::No} : QList<Dialogs::Answer>{});
    Layout expected = layout(after);
    for (auto made = expected.begin(); made != expected.end(); ++made)
        if (made.value() == tokenBytes(QStringLiteral("x")))
            made.value() = QByteArray(100, '0');
    QCOMPARE(readLayout(palabras), expected);
    QCOMPARE(m_window->statusBar()->currentMessage(), said);
    QCOMPARE(m_window->list(0)->topLevelItem(1)->text(EditorWindow::RecordingColumn), cells.at(0));
    QCOMPARE(m_window->list(0)->topLevelItem(1)->text(EditorWindow::SlowColumn), cells.at(1));
    // Still known when the folder is opened again.
    EditorWindow again(m_services);
    again.setFolder(letro);
    QCOMPARE(again.list(0)->topLevelItem(1)->text(EditorWindow::RecordingColumn), cells.at(0));
    QCOMPARE(again.list(0)->topLevelItem(1)->text(EditorWindow::SlowColumn), cells.at(1));
}

// Cancelled while the voice speaks, the recording stops at once and leaves
// neither a half-made file nor a changed folder.
void TestEditorWindow::cancelledRecordingLeavesNothing()
{
    useVoice("printf RIFF > \"$part\"; exec sleep 60");
    const QString letro = m_dir->filePath(QStringLiteral("Letro"));
    makeLetro(letro, "1=t1 1.wav=w1 2=t2");
    const QString palabras = letro + QStringLiteral("/Palabras");
    m_window->setFolder(letro);
    m_window->show();
    const Layout before = readLayout(palabras);

    QTimer watcher;
    watcher.setInterval(20);
    connect(&watcher, &QTimer::timeout, this, [&] {
        auto *dialog = m_window->findChild<QProgressDialog *>(QStringLiteral("progressDialog"));
        if (!dialog || !dialog->isVisible() ||
            !readLayout(palabras).keys().join(' ').contains(".letro-parte-"))
            return;
        watcher.stop();
        dialog->findChild<QPushButton *>()->click();
    });
    watcher.start();
    QElapsedTimer clock;
    clock.start();
    button("recordMissingButton")->click();
    QVERIFY(clock.elapsed() < 30000); // the voice's 60 s were cut short
    QCOMPARE(m_dialogs->warned, QStringList());
    QCOMPARE(m_dialogs->told, QStringList{"Grabación cancelada: 0 de 2 dictados de «Palabras» "
                                          "grabados."});
    QCOMPARE(readLayout(palabras), before); // hidden files included
}

// From the keyboard alone: Return presses the focused button, Delete in the
// list deletes the chosen dictation once the teacher says yes. The result is
// spoken as well as shown, and the focus comes back to the control that had
// it, or to the list when that control has nothing more to do.
void TestEditorWindow::keysPressButtonsAndDelete_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<int>("chosen");
    QTest::addColumn<QString>("focused");
    QTest::addColumn<int>("key");
    QTest::addColumn<QList<bool>>("answers");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QString>("said");
    QTest::addColumn<QString>("focusAfter");

    const QString list = QStringLiteral("exerciseList(0)");
    const QList<bool> none;
    QTest::newRow("Return on Grabar lo que falta")
        << "1=t1 1.wav=w1 1.lento.wav=l1 2=t2" << 2 << "recordMissingButton" << int(Qt::Key_Return)
        << none << "1=t1 1.wav=w1 1.lento.wav=l1 2=t2 2.wav=x 2.lento.wav=x"
        << "1 de 1 dictados de «Palabras» grabados." << list;
    QTest::newRow("Return on Bajar")
        << "1=t1 2=t2 3=t3" << 1 << "downButton" << int(Qt::Key_Return) << none << "1=t2 2=t1 3=t3"
        << "El dictado 1 es ahora el 2." << "downButton";
    QTest::newRow("Enter on Subir, to the top")
        << "1=t1 2=t2 3=t3" << 2 << "upButton" << int(Qt::Key_Enter) << none << "1=t2 2=t1 3=t3"
        << "El dictado 2 es ahora el 1." << list;
    QTest::newRow("Delete in the list, yes")
        << "1=t1 2=t2 2.wav=w2 3=t3" << 2 << list << int(Qt::Key_Delete) << QList<bool>{true}
        << "1=t1 2=t3" << "Dictado 2 borrado." << list;
    QTest::newRow("Delete in the list, no")
        << "1=t1 2=t2 2.wav=w2 3=t3" << 2 << list << int(Qt::Key_Delete) << QList<bool>{false}
        << "1=t1 2=t2 2.wav=w2 3=t3" << "" << list;
    QTest::newRow("Delete on a button")
        << "1=t1 2=t2 3=t3" << 2 << "downButton" << int(Qt::Key_Delete) << QList<bool>{true}
        << "1=t1 2=t2 3=t3" << "" << "downButton";
}

void TestEditorWindow::keysPressButtonsAndDelete()
{
    QFETCH(QString, before);
    QFETCH(int, chosen);
    QFETCH(QString, focused);
    QFETCH(int, key);
    QFETCH(QList<bool>, answers);
    QFETCH(QString, after);
    QFETCH(QString, said);
    QFETCH(QString, focusAfter);

    useVoice();
    const QString letro = m_dir->filePath(QStringLiteral("Letro"));
    makeLetro(letro, before);
    const QString palabras = letro + QStringLiteral("/Palabras");
    m_window->setFolder(letro);
    m_window->show();
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    m_window->selectExercise(0, chosen);
    auto *start = m_window->findChild<QWidget *>(focused);
    start->setFocus();
    QCOMPARE(QApplication::focusWidget(), start);
    m_dialogs->answers = answers;

    Heard heard;
    QTest::keyClick(start, Qt::Key(key),
                    key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
    Layout expected = layout(after);
    for (auto made = expected.begin(); made != expected.end(); ++made)
        if (made.value() == tokenBytes(QStringLiteral("x")))
            made.value() = QByteArray(100, '0'); // x: the stand-in voice's recording
    QCOMPARE(readLayout(palabras), expected);
    QCOMPARE(m_dialogs->warned, QStringList());
    // Deleting asks first, whichever way it is asked for, and Return keeps
    // the dictation.
    const bool asked = key == Qt::Key_Delete && focused == QLatin1String("exerciseList(0)");
    QCOMPARE(m_dialogs->preferredAnswers,
             asked ? QList<Dialogs::Answer>{Dialogs::Answer::No} : QList<Dialogs::Answer>{});
    QCOMPARE(m_window->statusBar()->currentMessage(), said);
    QTRY_COMPARE(heard.texts(), said.isEmpty() ? QStringList() : QStringList{said});
    // While the focus moves (and on a busy machine, while the window is
    // activated again) no widget may have it for a moment.
    const auto focusName = [] {
        const QWidget *focus = QApplication::focusWidget();
        return focus ? focus->objectName() : QStringLiteral("(ninguno)");
    };
    QTRY_COMPARE(focusName(), focusAfter);
}

// The real question box: Escape gives the answer that leaves things as they
// are, Return the one preferred (that same one before deleting or
// replacing), the first answer's letter the first.
void TestEditorWindow::questionsDefaultToLeavingThingsAsTheyAre_data()
{
    QTest::addColumn<int>("preferred");
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("yes");
    const int no = int(Dialogs::Answer::No), yes = int(Dialogs::Answer::Yes);
    QTest::newRow("deleting, Return") << no << int(Qt::Key_Return) << false;
    QTest::newRow("deleting, Escape") << no << int(Qt::Key_Escape) << false;
    QTest::newRow("deleting, Alt+B") << no << int(Qt::Key_B) << true;
    QTest::newRow("offering a copy, Return") << yes << int(Qt::Key_Return) << true;
    QTest::newRow("offering a copy, Escape") << yes << int(Qt::Key_Escape) << false;
}

void TestEditorWindow::questionsDefaultToLeavingThingsAsTheyAre()
{
    QFETCH(int, preferred);
    QFETCH(int, key);
    QFETCH(bool, yes);
    const EditorServices desktop = desktopServices();
    m_window->show();
    QString defaultAnswer, escapeAnswer;
    QTimer watcher;
    watcher.setInterval(20);
    connect(&watcher, &QTimer::timeout, this, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        watcher.stop();
        defaultAnswer = box->defaultButton()->text();
        escapeAnswer = qobject_cast<QPushButton *>(box->escapeButton())->text();
        QTest::keyClick(box, Qt::Key(key), key == Qt::Key_B ? Qt::AltModifier : Qt::NoModifier);
    });
    watcher.start();
    const bool answer = desktop.dialogs->ask(
        m_window.get(), QStringLiteral("¿Borrar el dictado 2?"), QStringLiteral("&Borrar"),
        QStringLiteral("No borrar"), Dialogs::Answer(preferred));
    QCOMPARE(defaultAnswer, preferred == int(Dialogs::Answer::No) ? QStringLiteral("No borrar")
                                                                  : QStringLiteral("&Borrar"));
    QCOMPARE(escapeAnswer, QStringLiteral("No borrar"));
    QCOMPARE(answer, yes);
}

QTEST_MAIN(TestEditorWindow)
#include "tst_editorwindow.moc"
