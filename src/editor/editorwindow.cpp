#include "editor/editorwindow.h"

#include "editor/classresults.h"

#include "editor/letrofolder.h"
#include "folder/journal.h"
#include "folder/recordings.h"
#include "progress/classlist.h"
#include "progress/storesettings.h"
#include "ui/accessibility.h"
#include "ui/buttonkeys.h"
#include "ui/platform.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMap>
#include <QPointer>
#include <QProgressDialog>
#include <QPushButton>
#include <QShortcut>
#include <QSpinBox>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QThread>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace letro::editor {

namespace {

QString quoted(const QString &text)
{
    return QStringLiteral("«") + text + QStringLiteral("»");
}

// Each column's heading, and the name a screen reader says before a cell's
// text, so that "falta" is heard as the recording it is.
struct ColumnName
{
    QString heading;
    QString spoken;
};

QList<ColumnName> columnNames()
{
    return {{QStringLiteral("Nº"), QStringLiteral("Número")},
            {QStringLiteral("Texto"), QStringLiteral("Texto")},
            {QStringLiteral("Grabación"), QStringLiteral("Grabación")},
            {QStringLiteral("Lenta"), QStringLiteral("Grabación lenta")},
            {QStringLiteral("Aviso"), QStringLiteral("Aviso")}};
}

// What a screen reader reads for a cell of `column` showing `text`.
QString cellReading(int column, const QString &text)
{
    static const QList<ColumnName> names = columnNames();
    return names.at(column).spoken + QStringLiteral(": ") +
           (text.isEmpty() ? QStringLiteral("ninguno") : text);
}

// What a recording's cell shows.
QString recordingCell(RecordingState state)
{
    switch (state) {
    case RecordingState::Missing:
        return QStringLiteral("falta");
    case RecordingState::Older:
        return QStringLiteral("antigua");
    case RecordingState::Present:
        break;
    }
    return QStringLiteral("sí");
}

// What "Grabar lo que falta" asks before it replaces the recordings of
// `older` of the `asked` dictations of `type`, older than their text.
QString replaceOlderQuestion(int asked, int older, const QString &type)
{
    if (asked == 1)
        return QStringLiteral("El dictado de «%1» por grabar tiene grabaciones anteriores a su "
                              "texto, que se sustituirán con la voz sintética. ¿Grabarlo?")
            .arg(type);
    return QStringLiteral("Hay %1 dictados de «%2» por grabar; %3 grabaciones anteriores a su "
                          "texto, que se sustituirán con la voz sintética. ¿Grabarlos?")
        .arg(asked)
        .arg(type)
        .arg(older == 1 ? QStringLiteral("uno tiene") : QStringLiteral("%1 tienen").arg(older));
}

// What "Grabar lo que falta" says it did: `made` of `asked` dictations of
// `type` recorded, `renewed` of them because their recordings were older
// than their text.
QString recordedSummary(int made, int asked, int renewed, const QString &type)
{
    QString summary =
        QStringLiteral("%1 de %2 dictados de «%3» grabados").arg(made).arg(asked).arg(type);
    if (renewed == 1)
        summary += QStringLiteral(", uno de ellos porque sus grabaciones eran anteriores a su "
                                  "texto");
    else if (renewed > 1)
        summary += QStringLiteral(", %1 de ellos porque sus grabaciones eran anteriores a su "
                                  "texto")
                       .arg(renewed);
    return summary;
}

// The line under the list when some of its recordings are older than their
// text; empty when none is.
QString olderRecordingsNote(const QList<int> &numbers)
{
    if (numbers.isEmpty())
        return QString();
    constexpr qsizetype Named = 5;
    QStringList named;
    for (const int number : numbers.mid(0, Named))
        named.append(QString::number(number));
    // "2", "2 y 3", "2, 3 y 4", "2, 3, 4, 5, 6 y 7 más".
    QString last = numbers.size() > Named ? QStringLiteral("%1 más").arg(numbers.size() - Named)
                                          : named.takeLast();
    const QString which =
        named.isEmpty() ? last : named.join(QStringLiteral(", ")) + QStringLiteral(" y ") + last;
    if (numbers.size() == 1)
        return QStringLiteral("El dictado %1 tiene alguna grabación anterior a su texto (se ve "
                              "«antigua»): puede decir el texto de antes. «Grabar lo que falta» "
                              "la graba de nuevo.")
            .arg(which);
    return QStringLiteral("Los dictados %1 tienen grabaciones anteriores a su texto (se ven "
                          "«antigua»): pueden decir el texto de antes. «Grabar lo que falta» las "
                          "graba de nuevo.")
        .arg(which);
}

// What each column of the row of `e` shows, from the number to the notice.
QStringList cellTexts(const Exercise &e)
{
    return {QString::number(e.number), e.hasText ? e.text : QStringLiteral("(sin texto)"),
            recordingCell(e.recording), recordingCell(e.slowRecording), e.mark};
}

} // namespace

EditorWindow::EditorWindow(EditorServices services, QWidget *parent)
    : QMainWindow(parent), m_services(std::move(services))
{
    setObjectName(QStringLiteral("EditorWindow"));
    setWindowTitle(QStringLiteral("Editor de dictados de Letro"));
    letReturnPressButtons(); // the focused button, from the keyboard as in Letro
    createWidgets();
    resize(980, 620);
}

QPushButton *EditorWindow::addButton(const char *name, const QString &caption, const QString &tip,
                                     void (EditorWindow::*action)())
{
    auto *button = new QPushButton(caption, this);
    button->setObjectName(QLatin1String(name));
    button->setToolTip(tip);
    connect(button, &QPushButton::clicked, this, action);
    return button;
}

void EditorWindow::createWidgets()
{
    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    setCentralWidget(central);
    layout->addLayout(createFolderBar());
    layout->addWidget(createReadOnlyNote());
    auto *middle = new QHBoxLayout;
    middle->addWidget(createLists(), 1);
    middle->addLayout(createButtons());
    layout->addLayout(middle, 1);
    layout->addWidget(createOlderRecordingsNote());
    createShortcuts();
    statusBar()->setObjectName(QStringLiteral("statusBar"));
    createWatcher();
}

QLayout *EditorWindow::createFolderBar()
{
    // Which Letro, and the way to a copy of one's own.
    auto *bar = new QHBoxLayout;
    m_folderLabel = new QLabel(this);
    m_folderLabel->setObjectName(QStringLiteral("folderLabel"));
    m_folderLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    bar->addWidget(m_folderLabel, 1);
    m_copyButton = addButton("copyButton", QStringLiteral("Hacer mi &copia de Letro…"),
                             QStringLiteral("Copia Letro con todos sus dictados y grabaciones en "
                                            "una carpeta suya, con su propia entrada en el menú"),
                             &EditorWindow::makeCopy);
    bar->addWidget(m_copyButton);
    bar->addWidget(addButton("openButton", QStringLiteral("A&brir otra carpeta…"),
                             QStringLiteral("Trabajar con otra copia de Letro"),
                             &EditorWindow::openFolder));
    return bar;
}

QWidget *EditorWindow::createReadOnlyNote()
{
    m_readOnlyLabel = new QLabel(this);
    m_readOnlyLabel->setObjectName(QStringLiteral("readOnlyLabel"));
    m_readOnlyLabel->setWordWrap(true);
    m_readOnlyLabel->setStyleSheet(
        QStringLiteral("background: #fff3c4; color: #5a4300; padding: 6px; border-radius: 3px"));
    return m_readOnlyLabel;
}

QWidget *EditorWindow::createOlderRecordingsNote()
{
    m_olderLabel = new QLabel(this);
    m_olderLabel->setObjectName(QStringLiteral("olderRecordingsLabel"));
    m_olderLabel->setWordWrap(true);
    m_olderLabel->setStyleSheet(m_readOnlyLabel->styleSheet());
    m_olderLabel->hide();
    return m_olderLabel;
}

QWidget *EditorWindow::createLists()
{
    // The lists, one tab per type.
    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("typeTabs"));
    const QStringList types = typeNames();
    for (int type = 0; type < 3; ++type) {
        m_lists[type] = createList(type);
        m_tabs->addTab(m_lists[type], types.at(type));
        m_tabs->setTabToolTip(type, QStringLiteral("Ctrl+%1").arg(type + 1));
    }
    connect(m_tabs, &QTabWidget::currentChanged, this, &EditorWindow::updateButtons);
    return m_tabs;
}

ExerciseList *EditorWindow::createList(int type)
{
    auto *list = new ExerciseList(this);
    list->setObjectName(QStringLiteral("exerciseList(%1)").arg(type));
    list->setAccessibleName(typeNames().at(type));
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setAlternatingRowColors(true);
    QStringList headings;
    for (const ColumnName &c : columnNames())
        headings.append(c.heading);
    list->setHeaderLabels(headings);
    // The short columns are fitted to what they show each time the list is
    // made (showPicture); the text gets the room left, the notice the rest.
    list->header()->setSectionResizeMode(QHeaderView::Interactive);
    list->header()->setStretchLastSection(true);
    list->setColumnWidth(TextColumn, 360);
    list->fitColumns(FittedColumns);
    connect(list, &QTreeWidget::currentItemChanged, this, &EditorWindow::updateButtons);
    connect(list, &QTreeWidget::itemActivated, this, [this] {
        if (!m_readOnly)
            editExercise();
    });
    list->setAccessibleDescription(QStringLiteral("Para cambiar un dictado de número, "
                                                  "arrástrelo a su nuevo sitio o pulse "
                                                  "«Mover a…»"));
    connect(list, &ExerciseList::dragStarted, this, [this, type] { m_dragged = m_states[type]; });
    connect(list, &ExerciseList::moveRequested, this,
            [this, type](int number, int target) { moveExercise(type, number, target); });
    return list;
}

QLayout *EditorWindow::createButtons()
{
    // The buttons beside the list.
    auto *side = new QVBoxLayout;
    side->addWidget(createChangeButtons());
    side->addWidget(createRecordingButtons());
    QPushButton *tryButton =
        addButton("tryButton", QStringLiteral("&Probar en Letro"),
                  QStringLiteral("Abrir Letro con estos dictados, para hacerlos como un alumno"),
                  &EditorWindow::tryInLetro);
    tryButton->setIcon(QIcon(QStringLiteral(":/icons/pluma.svg")));
    side->addWidget(tryButton);
    QPushButton *results = addButton(
        "classResultsButton", QStringLiteral("Resulta&dos de la clase…"),
        QStringLiteral("Los fallos de cada alumno por tipo, su historial, y la lista de la "
                       "clase (F3)"),
        &EditorWindow::showClassResults);
    results->setAccessibleName(QStringLiteral("Resultados de la clase"));
    side->addWidget(results);
    side->addStretch(1);
    return side;
}

QWidget *EditorWindow::createChangeButtons()
{
    auto *box = new QGroupBox(QStringLiteral("Dictados"), this);
    auto *layout = new QVBoxLayout(box);
    QPushButton *add =
        addButton("addButton", QStringLiteral("&Añadir…"),
                  QStringLiteral("Un dictado nuevo detrás del último"), &EditorWindow::addExercise);
    m_edit = addButton("editButton", QStringLiteral("&Modificar…"),
                       QStringLiteral("Cambiar el texto del dictado elegido"),
                       &EditorWindow::editExercise);
    m_remove = addButton("removeButton", QStringLiteral("B&orrar"),
                         QStringLiteral("Borrar el dictado elegido con sus grabaciones; los de "
                                        "detrás se renumeran"),
                         &EditorWindow::removeExercise);
    m_up = addButton("upButton", QStringLiteral("&Subir"),
                     QStringLiteral("Cambiar el dictado elegido por el de delante"),
                     &EditorWindow::moveUp);
    m_down = addButton("downButton", QStringLiteral("Ba&jar"),
                       QStringLiteral("Cambiar el dictado elegido por el de detrás"),
                       &EditorWindow::moveDown);
    m_moveTo = addButton("moveToButton", QStringLiteral("Move&r a…"),
                         QStringLiteral("Llevar el dictado elegido al número que escriba; los "
                                        "de en medio se corren un puesto"),
                         &EditorWindow::moveToNumber);
    m_gaps = addButton("gapsButton", QStringLiteral("&Quitar huecos"),
                       QStringLiteral("Renumerar los dictados 1, 2, 3… sin huecos"),
                       &EditorWindow::closeGaps);
    for (QPushButton *b : {add, m_edit, m_remove, m_up, m_down, m_moveTo, m_gaps}) {
        layout->addWidget(b);
        m_writeButtons.append(b);
    }
    return box;
}

QWidget *EditorWindow::createRecordingButtons()
{
    auto *box = new QGroupBox(QStringLiteral("Grabaciones"), this);
    auto *layout = new QVBoxLayout(box);
    m_synthesise = addButton("synthesiseButton", QStringLiteral("Sin&tetizar"),
                             QStringLiteral("Grabar el dictado elegido con la voz sintética, "
                                            "normal y lento"),
                             &EditorWindow::synthesise);
    m_microphone = addButton("microphoneButton", QStringLiteral("&Grabar con micrófono…"),
                             QStringLiteral("Grabar el dictado elegido con su propia voz"),
                             &EditorWindow::recordVoice);
    m_play =
        addButton("playButton", QStringLiteral("&Escuchar"),
                  QStringLiteral("Escuchar la grabación del dictado elegido"), &EditorWindow::play);
    m_playSlow = addButton("playSlowButton", QStringLiteral("Escuchar &lenta"),
                           QStringLiteral("Escuchar la grabación lenta del dictado elegido"),
                           &EditorWindow::playSlow);
    m_recordMissing = addButton("recordMissingButton", QStringLiteral("Grabar lo que &falta"),
                                QStringLiteral("Grabar con la voz sintética todos los dictados "
                                               "de esta lista que no tienen sus dos grabaciones "
                                               "o las tienen anteriores a su texto"),
                                &EditorWindow::recordMissing);
    for (QPushButton *b : {m_synthesise, m_recordMissing, m_microphone, m_play, m_playSlow})
        layout->addWidget(b);
    m_writeButtons << m_synthesise << m_recordMissing << m_microphone;
    layout->addLayout(createVoiceForm());
    return box;
}

QLayout *EditorWindow::createVoiceForm()
{
    auto *form = new QFormLayout;
    m_voice = new QComboBox(this);
    m_voice->setObjectName(QStringLiteral("voiceBox"));
    m_voice->setEditable(true);
    m_voice->addItem(QStringLiteral("es"));
    m_voice->addItem(QStringLiteral("es-419"));
    m_voice->setItemData(0, QStringLiteral("Español de España"), Qt::ToolTipRole);
    m_voice->setItemData(1, QStringLiteral("Español de América Latina"), Qt::ToolTipRole);
    m_voice->setToolTip(QStringLiteral("Voz de espeak-ng: «es» de España, «es-419» de América "
                                       "Latina; «+f3» y parecidos cambian la persona que habla"));
    form->addRow(QStringLiteral("&Voz:"), m_voice);
    m_speed = new QSpinBox(this);
    m_speed->setObjectName(QStringLiteral("speedBox"));
    m_speed->setRange(MinWordsPerMinute, MaxWordsPerMinute);
    m_speed->setValue(SpeechOptions().wordsPerMinute);
    m_speed->setSuffix(QStringLiteral(" pal./min"));
    m_speed->setToolTip(QStringLiteral("Palabras por minuto de la voz sintética"));
    form->addRow(QStringLiteral("Velo&cidad:"), m_speed);
    return form;
}

void EditorWindow::createShortcuts()
{
    // F3 shows the class's results, as it shows a pupil's own in Letro.
    auto *results = new QShortcut(QKeySequence(Qt::Key_F3), this);
    connect(results, &QShortcut::activated, this, &EditorWindow::showClassResults);
    for (int type = 0; type < 3; ++type) {
        // Ctrl+1 to Ctrl+3 go to a type's list.
        auto *go = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key(Qt::Key_1 + type)), this);
        connect(go, &QShortcut::activated, this, [this, type] {
            m_tabs->setCurrentIndex(type);
            m_lists[type]->setFocus();
        });
        // Delete in a list deletes its chosen dictation, with the question.
        auto *remove = new QShortcut(QKeySequence::Delete, m_lists[type], nullptr, nullptr,
                                     Qt::WidgetShortcut);
        connect(remove, &QShortcut::activated, this, [this] {
            if (m_remove->isEnabled() && !m_busy)
                removeExercise();
        });
    }
}

void EditorWindow::createWatcher()
{
    // Files changed by hand or by another program show in the lists soon
    // after; a burst of changes is read once.
    m_watcher = new QFileSystemWatcher(this);
    m_rescan = new QTimer(this);
    m_rescan->setSingleShot(true);
    m_rescan->setInterval(200);
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, m_rescan,
            qOverload<>(&QTimer::start));
    connect(m_rescan, &QTimer::timeout, this, &EditorWindow::folderChanged);
}

void EditorWindow::closeEvent(QCloseEvent *event)
{
    // A change on its way finishes (or is cancelled) first; a question, a
    // dialog or a folder chooser holds one of this window's actions until the
    // teacher answers it.
    if (m_busy)
        event->ignore();
    else if (!refuseCloseUnderModalWindow(event))
        QMainWindow::closeEvent(event);
}

void EditorWindow::showClassResults()
{
    if (!m_results) {
        m_results =
            new ClassResultsWindow(progress::readStoreSettings(progress::systemSettingsFile(),
                                                               progress::defaultLocalPath()),
                                   progress::defaultClassListPath(), m_services.dialogs, this);
    } else if (m_results->isHidden()) {
        m_results->reload(); // what the pupils did meanwhile
    }
    m_results->show();
    m_results->raise();
    m_results->activateWindow();
}

void EditorWindow::watchFolders()
{
    if (!m_watcher->directories().isEmpty())
        m_watcher->removePaths(m_watcher->directories());
    QStringList folders = {m_folder};
    for (int type = 0; type < 3; ++type)
        if (QFileInfo(typeFolder(type).path()).isDir())
            folders.append(typeFolder(type).path());
    m_watcher->addPaths(folders);
}

void EditorWindow::folderChanged()
{
    if (m_folder.isEmpty())
        return;
    if (m_busy) {
        // A change shows the folder when it ends; anything else is looked
        // at once the window is free again.
        m_rescan->start();
        return;
    }
    watchFolders(); // a type folder made or removed
    // Which folders changed, and what they hold now, is read off the
    // window's thread.
    QList<int> changed;
    QList<Picture> pictures;
    const QStringList states[3] = {m_states[0], m_states[1], m_states[2]};
    const TypeFolder folders[3] = {typeFolder(0), typeFolder(1), typeFolder(2)};
    offThread([&] {
        for (int type = 0; type < 3; ++type) {
            if (folders[type].state() == states[type])
                continue;
            changed.append(type);
            pictures.append(picture(folders[type]));
        }
    });
    const QString before = m_olderLabel->text();
    for (qsizetype i = 0; i < changed.size(); ++i)
        showPicture(changed.at(i), pictures.at(i), 0);
    sayOlderRecordings(before);
}

bool EditorWindow::listIsCurrent(int type)
{
    if (m_busy)
        return false;
    // Hundreds of files are looked at: off the window's thread, as is the
    // folder read again when it has changed.
    const TypeFolder folder = typeFolder(type);
    const QStringList shown = m_states[type];
    std::optional<Picture> now;
    offThread([&] {
        if (folder.state() != shown)
            now = picture(folder);
    });
    if (!now)
        return true;
    showPicture(type, *now, 0);
    m_services.dialogs->warn(
        this, QStringLiteral("Los archivos de «%1» han cambiado fuera del editor, así que no se "
                             "ha hecho nada. La lista ya muestra la carpeta como está ahora: "
                             "compruebe el dictado elegido y vuelva a intentarlo.")
                  .arg(typeNames().at(type)));
    return false;
}

Identity EditorWindow::shown(int type, int first, int last) const
{
    return identityIn(m_states[type], first, last == 0 ? first : last);
}

QString EditorWindow::makeChange(const Change &change)
{
    const TypeFolder folder = typeFolder(change.type);
    Picture after;
    bool stale = false;
    const QString problem = runJob(change.label, [&](Progress &progress) {
        TypeFolder changing = folder;
        changing.setProgress(&progress);
        changing.expect(change.seen);
        const QString problem = change.job(changing, progress);
        stale = !problem.isEmpty() && !changing.unexpected().isEmpty();
        // The folder as it is now, read here rather than on the window's
        // thread.
        after = picture(folder);
        return problem;
    });
    showPicture(change.type, after, change.select ? change.select(problem.isEmpty()) : 0);
    if (!change.cancelled.isEmpty() && problem == cancelledRecording())
        m_services.dialogs->tell(this, change.cancelled + change.done());
    else
        report(stale ? problem + QStringLiteral(". La lista ya muestra la carpeta como está "
                                                "ahora: compruebe el dictado elegido y vuelva a "
                                                "intentarlo")
                     : problem,
               change.failed(), problem.isEmpty() ? change.done() : QString());
    return problem;
}

QString EditorWindow::runJob(const QString &label, const std::function<QString(Progress &)> &job)
{
    Progress progress;
    QString result;
    // The keyboard focus comes back where it was once the lists show the
    // outcome (returnFocus).
    m_returnFocus = QApplication::focusWidget();
    centralWidget()->setEnabled(false);
    QProgressDialog dialog(label, QStringLiteral("Cancelar"), 0, 0, this);
    dialog.setObjectName(QStringLiteral("progressDialog"));
    dialog.setWindowTitle(windowTitle());
    dialog.setAccessibleName(label);
    dialog.setWindowModality(Qt::WindowModal);
    dialog.setAutoReset(false);
    dialog.setAutoClose(false);
    dialog.setMinimumDuration(300);
    connect(&dialog, &QProgressDialog::canceled, this, [&progress] { progress.cancelled = true; });
    QTimer ticker;
    ticker.setInterval(50);
    connect(&ticker, &QTimer::timeout, &dialog, [&] {
        dialog.setMaximum(progress.total);
        dialog.setValue(std::min(progress.done.load(), progress.total.load()));
    });
    ticker.start();
    offThread([&] { result = job(progress); });
    centralWidget()->setEnabled(true);
    // For a job whose outcome is not reported (report() does it first).
    QTimer::singleShot(0, this, &EditorWindow::returnFocus);
    return result;
}

void EditorWindow::offThread(const std::function<void()> &work)
{
    std::unique_ptr<QThread> worker(QThread::create(work));
    // Nothing else is started meanwhile; the window keeps answering.
    const bool wasBusy = std::exchange(m_busy, true);
    QEventLoop loop;
    connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit);
    worker->start();
    loop.exec();
    worker->wait();
    m_busy = wasBusy;
}

void EditorWindow::setFolder(const QString &folder)
{
    m_folder = QDir(folder).absolutePath();
    // All that reads or writes the disk is done off the window's thread: a
    // change cut short by a crash is finished or undone before anything is
    // shown, then the folders are read.
    QStringList told;
    bool failed = false;
    QString why;
    const QString letro = m_folder;
    const QString packageFileList = m_services.packageFileList;
    const TypeFolder folders[3] = {typeFolder(0), typeFolder(1), typeFolder(2)};
    offThread([&] {
        for (int type = 0; type < 3; ++type) {
            const Recovery recovery = recoverFolder(folders[type].path());
            failed = failed || recovery.outcome == Recovery::Failed;
            if (recovery.outcome != Recovery::Nothing)
                told.append(recoveryMessage(recovery, typeNames().at(type)));
        }
        why = whyOnlyShown(letro, packageFileList);
        if (why.isEmpty())
            rememberFolder(letro);
    });
    m_whyOnlyShown = why;
    m_readOnly = !m_whyOnlyShown.isEmpty();
    m_folderLabel->setText(QStringLiteral("Carpeta de Letro: ") +
                           QDir::toNativeSeparators(m_folder));
    m_readOnlyLabel->setText(m_whyOnlyShown + QStringLiteral(" Para escribir y grabar sus propios "
                                                             "dictados, pulse «Hacer mi copia de "
                                                             "Letro»."));
    m_readOnlyLabel->setVisible(m_readOnly);
    refreshAll();
    watchFolders();
    sayOlderRecordings(QString());
    if (failed)
        m_services.dialogs->warn(this, told.join(QStringLiteral("\n\n")));
    else if (!told.isEmpty())
        m_services.dialogs->tell(this, told.join(QStringLiteral("\n\n")));
}

void EditorWindow::offerCopy()
{
    if (!m_readOnly)
        return;
    const bool copy = m_services.dialogs->ask(
        this,
        QStringLiteral("%1 Sus dictados no se cambian desde aquí (%2).\n\n¿Quiere hacer su "
                       "propia copia de Letro, con todos los dictados y grabaciones, en una "
                       "carpeta suya? Tendrá su propia entrada en el menú: «%3».")
            .arg(m_whyOnlyShown, QDir::toNativeSeparators(m_folder), copyEntryName(QString())),
        QStringLiteral("Hacer mi copia…"), QStringLiteral("Solo mirar"), Dialogs::Answer::Yes);
    if (copy)
        makeCopy();
}

TypeFolder EditorWindow::typeFolder(int type) const
{
    return TypeFolder(QDir(m_folder).filePath(typeNames().at(type)));
}

int EditorWindow::currentType() const
{
    return m_tabs->currentIndex();
}

int EditorWindow::selectedNumber() const
{
    const QTreeWidgetItem *item = m_lists[currentType()]->currentItem();
    return item ? item->data(NumberColumn, Qt::UserRole).toInt() : 0;
}

const Exercise *EditorWindow::selected() const
{
    const int number = selectedNumber();
    for (const Exercise &e : m_exercises[currentType()])
        if (e.number == number)
            return &e;
    return nullptr;
}

void EditorWindow::selectExercise(int type, int number)
{
    m_tabs->setCurrentIndex(type);
    QTreeWidget *list = m_lists[type];
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        if (list->topLevelItem(i)->data(NumberColumn, Qt::UserRole).toInt() == number) {
            list->setCurrentItem(list->topLevelItem(i));
            list->scrollToItem(list->topLevelItem(i));
        }
    }
}

EditorWindow::Picture EditorWindow::picture(const TypeFolder &folder)
{
    // The state first: a change made while the exercises are read shows as
    // a difference, and the list is read again.
    Picture picture;
    picture.state = folder.state();
    picture.exercises = folder.exercises();
    return picture;
}

void EditorWindow::refresh(int type, int select)
{
    Picture read;
    const TypeFolder folder = typeFolder(type);
    offThread([&] { read = picture(folder); });
    showPicture(type, read, select);
}

void EditorWindow::refreshAll()
{
    const int type = currentType();
    const TypeFolder folders[3] = {typeFolder(0), typeFolder(1), typeFolder(2)};
    offThread([&] {
        // Each list is shown as soon as it is read, while the next one is
        // read: the window's thread never makes more than one at a time.
        // (The calls come before the end of the thread is known.)
        for (int t = 0; t < 3; ++t)
            QMetaObject::invokeMethod(
                this, [this, t, read = picture(folders[t])] { showPicture(t, read, 0); },
                Qt::QueuedConnection);
    });
    m_tabs->setCurrentIndex(type);
}

void EditorWindow::showPicture(int type, const Picture &picture, int select)
{
    ExerciseList *list = m_lists[type];
    if (select == 0 && list->currentItem())
        select = list->currentItem()->data(NumberColumn, Qt::UserRole).toInt();
    m_states[type] = picture.state;
    m_exercises[type] = picture.exercises;
    list->setUpdatesEnabled(false);
    list->clear();
    int marked = 0;
    int texts = 0;
    const QIcon warning = style()->standardIcon(QStyle::SP_MessageBoxWarning);
    const QColor alarm(0xa0, 0x00, 0x00);
    // The rows are made apart and put in the list at once.
    QList<QTreeWidgetItem *> items;
    items.reserve(m_exercises[type].size());
    for (const Exercise &e : std::as_const(m_exercises[type])) {
        auto *item = new QTreeWidgetItem;
        items.append(item);
        item->setData(NumberColumn, ExerciseList::NumberRole, e.number);
        item->setData(NumberColumn, ExerciseList::HasTextRole, e.hasText);
        // Rows are dragged, never dropped on: a drop goes between them.
        item->setFlags(e.hasText ? Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsDragEnabled
                                 : Qt::ItemIsSelectable | Qt::ItemIsEnabled);
        const QStringList cells = cellTexts(e);
        for (int c = 0; c <= MarkColumn; ++c) {
            item->setText(c, cells.at(c));
            item->setData(c, Qt::AccessibleTextRole, cellReading(c, cells.at(c)));
        }
        item->setTextAlignment(NumberColumn, Qt::AlignRight | Qt::AlignVCenter);
        texts += e.hasText ? 1 : 0;
        item->setToolTip(MarkColumn, e.mark);
        item->setToolTip(TextColumn, e.text);
        if (!e.mark.isEmpty()) {
            ++marked;
            item->setIcon(MarkColumn, warning);
            for (int c = 0; c <= MarkColumn; ++c)
                item->setForeground(c, alarm);
        }
        if (e.recording != RecordingState::Present)
            item->setForeground(RecordingColumn, alarm);
        if (e.slowRecording != RecordingState::Present)
            item->setForeground(SlowColumn, alarm);
    }
    list->addTopLevelItems(items);
    list->fitColumns(FittedColumns);
    list->setUpdatesEnabled(true);
    QString title = QStringLiteral("%1 (%2)").arg(typeNames().at(type)).arg(texts);
    if (marked > 0)
        title += QStringLiteral(" ⚠");
    m_tabs->setTabText(type, title);
    if (select != 0)
        selectExercise(type, select);
    if (!list->currentItem() && list->topLevelItemCount() > 0)
        list->setCurrentItem(list->topLevelItem(0));
    updateButtons();
}

void EditorWindow::updateButtons()
{
    const int type = currentType();
    if (type < 0)
        return;
    const Exercise *e = selected();
    QList<int> texts; // the numbers of the exercises, without lone recordings
    for (const Exercise &x : std::as_const(m_exercises[type]))
        if (x.hasText)
            texts.append(x.number);
    const bool gaps = !texts.isEmpty() && texts.last() != texts.size();
    const bool text = e && e->hasText;
    for (QPushButton *b : std::as_const(m_writeButtons))
        b->setEnabled(!m_readOnly);
    if (!m_readOnly) {
        m_edit->setEnabled(text);
        m_remove->setEnabled(e);
        m_up->setEnabled(text && e->number != texts.first());
        m_down->setEnabled(text && e->number != texts.last());
        m_moveTo->setEnabled(text && texts.size() > 1);
        m_gaps->setEnabled(gaps);
        m_synthesise->setEnabled(text && textProblem(e->text).isEmpty());
        m_microphone->setEnabled(text && textProblem(e->text).isEmpty());
        m_recordMissing->setEnabled(!unrecorded(m_exercises[type]).isEmpty());
    }
    m_lists[type]->setMovable(!m_readOnly);
    m_play->setEnabled(e && e->hasRecording());
    m_playSlow->setEnabled(e && e->hasSlowRecording());
    m_copyButton->setDefault(m_readOnly);
    showOlderRecordings();
}

void EditorWindow::showOlderRecordings()
{
    const QString note = olderRecordingsNote(withOlderRecordings(m_exercises[currentType()]));
    m_olderLabel->setText(note);
    m_olderLabel->setAccessibleName(note);
    m_olderLabel->setVisible(!note.isEmpty());
}

void EditorWindow::sayOlderRecordings(const QString &before)
{
    if (const QString note = m_olderLabel->text(); !note.isEmpty() && note != before)
        announce(this, note);
}

void EditorWindow::returnFocus()
{
    // A button the outcome disabled (nothing more to record, no exercise
    // above) gives the focus to the list, where the work goes on, rather
    // than to whatever control follows it.
    QWidget *focus = std::exchange(m_returnFocus, nullptr);
    if (!focus)
        return;
    if (!focus->isEnabled() || !focus->isVisible())
        focus = m_lists[currentType()];
    focus->setFocus(Qt::OtherFocusReason);
}

bool EditorWindow::report(const QString &problem, const QString &failed, const QString &done)
{
    // The focus first: a screen reader reading the focused control would
    // cut short what is said.
    returnFocus();
    if (!problem.isEmpty()) {
        m_services.dialogs->warn(this, failed + QStringLiteral(": ") + problem + QLatin1Char('.'));
        return false;
    }
    say(done);
    return true;
}

void EditorWindow::say(const QString &done)
{
    statusBar()->showMessage(done, 15000);
    announce(this, done);
}

void EditorWindow::addExercise()
{
    const int type = currentType();
    QString text;
    while (listIsCurrent(type)) {
        // After the last text, on which nothing may land meanwhile.
        int last = 1;
        for (const Exercise &e : std::as_const(m_exercises[type]))
            if (e.hasText)
                last = e.number;
        const Identity seen = shown(type, last, Identity::AndAfter);
        const std::optional<QString> answer = m_services.dialogs->askText(
            this, QStringLiteral("Nuevo dictado de «%1»").arg(typeNames().at(type)), text);
        if (!answer)
            return;
        text = *answer;
        if (!listIsCurrent(type))
            continue; // the same text again, on the list as it is now
        int number = 0;
        Change change;
        change.type = type;
        change.seen = {seen};
        change.label = QStringLiteral("Añadiendo el dictado…");
        change.job = [&](TypeFolder &folder, Progress &) { return folder.add(text, &number); };
        change.failed = [=] { return QStringLiteral("No se ha añadido el dictado"); };
        change.done = [&] {
            return QStringLiteral("Dictado %1 añadido. Le falta la grabación: pulse «Sintetizar» "
                                  "o «Grabar con micrófono».")
                .arg(number);
        };
        change.select = [&](bool) { return number; };
        const QString problem = makeChange(change);
        // A text to be mended, or one to put on the folder as it is now, is
        // asked for again.
        if (problem.isEmpty() ||
            (textProblem(text).isEmpty() && identityChange(seen, m_states[type]).isEmpty()))
            return;
    }
}

void EditorWindow::editExercise()
{
    const int type = currentType();
    if (!listIsCurrent(type))
        return;
    const Exercise *e = selected();
    if (!e || !e->hasText)
        return;
    const int number = e->number;
    const bool recorded = e->hasRecording() || e->hasSlowRecording();
    const std::optional<QString> before =
        e->status == ReadStatus::Ok ? std::optional<QString>(e->text) : std::nullopt;
    const Identity seen = shown(type, number);
    const std::optional<QString> answer = m_services.dialogs->askText(
        this, QStringLiteral("Dictado %1 de «%2»").arg(number).arg(typeNames().at(type)),
        before.value_or(QString()));
    if (!answer || !listIsCurrent(type))
        return;
    // The same text is not written again: its recordings stay as new as
    // they were.
    if (answer == before) {
        say(QStringLiteral("El dictado %1 no ha cambiado.").arg(number));
        return;
    }
    Change change;
    change.type = type;
    change.seen = {seen};
    change.label = QStringLiteral("Guardando el dictado %1…").arg(number);
    change.job = [&](TypeFolder &folder, Progress &) { return folder.edit(number, *answer); };
    change.failed = [=] { return QStringLiteral("No se ha cambiado el dictado %1").arg(number); };
    change.done = [&] {
        return recorded ? QStringLiteral("Dictado %1 cambiado. Sus grabaciones son las del texto "
                                         "de antes y quedan marcadas «antigua».")
                              .arg(number)
                        : QStringLiteral("Dictado %1 cambiado.").arg(number);
    };
    change.select = [number](bool) { return number; };
    if (!makeChange(change).isEmpty() || !recorded)
        return;
    // Pupils would hear the text of before: recording it again is offered
    // at once. Return, like Escape, keeps the recordings there are (a
    // teacher's own voice, perhaps) for now.
    if (m_services.dialogs->ask(
            this,
            QStringLiteral("Las grabaciones del dictado %1 son del texto de antes. ¿Grabarlo ahora "
                           "con la voz sintética, normal y lento?")
                .arg(number),
            QStringLiteral("Grabar ahora"), QStringLiteral("Más tarde"), Dialogs::Answer::No) &&
        selectedNumber() == number)
        synthesise();
}

void EditorWindow::removeExercise()
{
    const int type = currentType();
    if (!listIsCurrent(type))
        return;
    const Exercise *e = selected();
    if (!e)
        return;
    const int number = e->number;
    const bool lone = !e->hasText;
    // The ones after it move down a number.
    const Identity seen = shown(type, number, Identity::AndAfter);
    const QString question =
        lone ? QStringLiteral("¿Borrar las grabaciones sin texto del número %1? No son de ningún "
                              "dictado.")
                   .arg(number)
             : QStringLiteral("¿Borrar el dictado %1, %2, con sus grabaciones? Los dictados que "
                              "vienen detrás bajan un número.")
                   .arg(number)
                   .arg(quoted(e->text));
    // Return, like Escape, keeps the dictation: a key pressed a moment too
    // soon never deletes one.
    if (!m_services.dialogs->ask(this, question, QStringLiteral("Borrar"),
                                 QStringLiteral("No borrar"), Dialogs::Answer::No) ||
        !listIsCurrent(type))
        return;
    Change change;
    change.type = type;
    change.seen = {seen};
    change.label = QStringLiteral("Borrando el dictado %1…").arg(number);
    change.job = [number](TypeFolder &folder, Progress &) { return folder.remove(number); };
    change.failed = [=] {
        return QStringLiteral("No se ha borrado %1 %2; todo sigue como estaba")
            .arg(lone ? QStringLiteral("lo grabado del número") : QStringLiteral("el dictado"))
            .arg(number);
    };
    change.done = [number, lone] {
        return lone ? QStringLiteral("Grabaciones sin texto del número %1 borradas.").arg(number)
                    : QStringLiteral("Dictado %1 borrado.").arg(number);
    };
    change.select = [number](bool) { return number; };
    makeChange(change);
}

// The exercise before (step -1) or after (step 1) `number` in the list of
// `type`, lone recordings left out; 0 when there is none.
static int neighbour(const QList<Exercise> &all, int number, int step)
{
    QList<int> texts;
    for (const Exercise &e : all)
        if (e.hasText)
            texts.append(e.number);
    const qsizetype at = texts.indexOf(number);
    return at < 0 ? 0 : texts.value(at + step, 0);
}

void EditorWindow::moveUp()
{
    const Exercise *e = selected();
    const int type = currentType();
    const int other = e && e->hasText ? neighbour(m_exercises[type], e->number, -1) : 0;
    if (other != 0 && listIsCurrent(type))
        moveExercise(type, e->number, other, m_states[type]);
}

void EditorWindow::moveDown()
{
    const Exercise *e = selected();
    const int type = currentType();
    const int other = e && e->hasText ? neighbour(m_exercises[type], e->number, 1) : 0;
    if (other != 0 && listIsCurrent(type))
        moveExercise(type, e->number, other, m_states[type]);
}

void EditorWindow::moveToNumber()
{
    const int type = currentType();
    if (!listIsCurrent(type))
        return;
    const Exercise *e = selected();
    if (!e || !e->hasText)
        return;
    int last = 0;
    for (const Exercise &x : std::as_const(m_exercises[type]))
        if (x.hasText)
            last = x.number;
    const int number = e->number;
    const QStringList seen = m_states[type];
    const std::optional<int> target = m_services.dialogs->askNumber(
        this, QStringLiteral("Mover el dictado %1").arg(number),
        QStringLiteral("¿Qué número pasa a tener el dictado %1, %2? Si ese número es de otro "
                       "dictado, los que hay desde él hasta el %1 se corren un puesto para "
                       "hacerle sitio, con sus grabaciones.")
            .arg(number)
            .arg(quoted(e->text)),
        number, 1, last);
    if (target && *target != number && listIsCurrent(type))
        moveExercise(type, number, *target, seen);
}

void EditorWindow::moveExercise(int type, int number, int target)
{
    // A row dropped: the list as it was when the drag began.
    const QStringList seen = m_dragged.isEmpty() ? m_states[type] : m_dragged;
    m_dragged.clear();
    if (!m_readOnly && listIsCurrent(type))
        moveExercise(type, number, target, seen);
}

void EditorWindow::moveExercise(int type, int number, int target, const QStringList &seen)
{
    // Up and down swap with the neighbour; otherwise the ones in between
    // make room. Either way the numbers from one to the other are touched.
    const bool neighbours =
        neighbour(m_exercises[type], number, target < number ? -1 : 1) == target;
    Change change;
    change.type = type;
    change.seen = {identityIn(seen, std::min(number, target), std::max(number, target))};
    change.label = QStringLiteral("Moviendo el dictado %1…").arg(number);
    change.job = [number, target, neighbours](TypeFolder &folder, Progress &) {
        if (!neighbours)
            return folder.moveTo(number, target);
        return target < number ? folder.moveUp(number) : folder.moveDown(number);
    };
    change.failed = [=] {
        return QStringLiteral("No se ha movido el dictado %1; todo sigue como estaba").arg(number);
    };
    change.done = [number, target] {
        return QStringLiteral("El dictado %1 es ahora el %2.").arg(number).arg(target);
    };
    change.select = [number, target](bool made) { return made ? target : number; };
    makeChange(change);
}

void EditorWindow::closeGaps()
{
    const int type = currentType();
    if (!listIsCurrent(type))
        return;
    Change change;
    change.type = type;
    change.seen = {shown(type, 1, Identity::AndAfter)};
    change.label = QStringLiteral("Renumerando los dictados…");
    change.job = [](TypeFolder &folder, Progress &) { return folder.closeGaps(); };
    change.failed = [=] {
        return QStringLiteral("No se han quitado los huecos; todo sigue como estaba");
    };
    change.done = [type] {
        return QStringLiteral("Los dictados de «%1» van ahora sin huecos.")
            .arg(typeNames().at(type));
    };
    change.select = [](bool) { return 1; };
    makeChange(change);
}

void EditorWindow::synthesise()
{
    const Exercise *e = selected();
    const int type = currentType();
    if (!e || !e->hasText || !listIsCurrent(type))
        return;
    const int number = e->number;
    const QString text = e->text;
    QString voice;
    Change change;
    change.type = type;
    change.seen = {shown(type, number)};
    change.label = QStringLiteral("Grabando el dictado %1…").arg(number);
    change.job = [&](TypeFolder &folder, Progress &progress) {
        const SpeechOptions options = speechOptions(progress);
        voice = options.voice;
        progress.total = 1;
        return recordExercise(folder, number, text, options, true);
    };
    change.failed = [=] {
        return QStringLiteral("No se ha podido grabar el dictado %1").arg(number);
    };
    change.done = [&] {
        return QStringLiteral("Dictado %1 grabado con la voz «%2», normal y lento.")
            .arg(number)
            .arg(voice);
    };
    change.select = [number](bool) { return number; };
    makeChange(change);
}

SpeechOptions EditorWindow::speechOptions(const Progress &progress) const
{
    SpeechOptions options;
    options.voice = m_voice->currentText().trimmed();
    options.wordsPerMinute = m_speed->value();
    options.program = m_services.speechProgram;
    options.cancelled = &progress.cancelled;
    return options;
}

QString EditorWindow::recordExercise(TypeFolder &folder, int number, const QString &text,
                                     const SpeechOptions &options, bool both)
{
    // Nothing is recorded for a text that is no longer the one asked for.
    if (const QString changed = folder.unexpected(); !changed.isEmpty())
        return changed;
    // The recordings are made under hidden names, then put in place of the
    // old ones together, in one change.
    const QString normal = folder.newRecordingPath(number);
    const QString slow = folder.newSlowRecordingPath(number);
    auto wanted = [&](const QString &recording) {
        return both ||
               recordingStateOf(recording, folder.textPath(number)) != RecordingState::Present;
    };
    QString problem;
    if (wanted(folder.recordingPath(number)))
        problem = letro::folder::synthesise(options, text, normal);
    if (problem.isEmpty() && wanted(folder.slowRecordingPath(number)))
        problem = synthesiseSlow(options, text, slow);
    if (problem.isEmpty())
        problem = folder.replaceRecordings(number);
    QFile::remove(normal);
    QFile::remove(slow);
    return problem;
}

void EditorWindow::recordMissing()
{
    const int type = currentType();
    if (!listIsCurrent(type))
        return;
    const QList<int> numbers = unrecorded(m_exercises[type]);
    if (numbers.isEmpty()) {
        m_services.dialogs->tell(this, QStringLiteral("Todos los dictados de «%1» tienen ya sus "
                                                      "dos grabaciones.")
                                           .arg(typeNames().at(type)));
        return;
    }
    // Each one is recorded for the text it had when the teacher asked, and
    // only while its files are still the ones the list showed then, even if
    // the list follows the folder under the question.
    QMap<int, QString> texts;
    QMap<int, Identity> seen;
    for (const Exercise &e : std::as_const(m_exercises[type])) {
        texts.insert(e.number, e.text);
        seen.insert(e.number, shown(type, e.number));
    }
    // Recordings older than their text are replaced, and they may be the
    // teacher's own voice: that is asked first, and Return, like Escape,
    // keeps them.
    QList<int> older;
    for (const int number : withOlderRecordings(m_exercises[type]))
        if (numbers.contains(number))
            older.append(number);
    if (!older.isEmpty() &&
        (!m_services.dialogs->ask(
             this,
             replaceOlderQuestion(int(numbers.size()), int(older.size()), typeNames().at(type)),
             QStringLiteral("Grabar"), QStringLiteral("No grabar"), Dialogs::Answer::No) ||
         !listIsCurrent(type)))
        return;
    int made = 0;
    int renewed = 0; // of them, those that had recordings older than their text
    Change change;
    change.type = type;
    change.label = QStringLiteral("Grabando lo que falta en «%1»…").arg(typeNames().at(type));
    change.job = [&](TypeFolder &folder, Progress &progress) {
        const SpeechOptions options = speechOptions(progress);
        progress.total = int(numbers.size());
        for (const int number : numbers) {
            if (progress.cancelled)
                return cancelledRecording();
            folder.expect({seen.value(number)});
            const QString problem =
                recordExercise(folder, number, texts.value(number), options, false);
            if (problem == cancelledRecording())
                return problem;
            if (!problem.isEmpty())
                return QStringLiteral("dictado %1: %2").arg(number).arg(problem);
            renewed += older.contains(number) ? 1 : 0;
            progress.done = ++made;
        }
        return QString();
    };
    auto doneText = [&] {
        return recordedSummary(made, int(numbers.size()), renewed, typeNames().at(type));
    };
    change.failed = [&] {
        return QStringLiteral("No se ha grabado todo lo que faltaba (%1)").arg(doneText());
    };
    change.done = [&] { return doneText() + QLatin1Char('.'); };
    change.cancelled = QStringLiteral("Grabación cancelada: ");
    const int chosen = selectedNumber();
    change.select = [chosen](bool) { return chosen; };
    makeChange(change);
}

void EditorWindow::recordVoice()
{
    const Exercise *e = selected();
    const int type = currentType();
    if (!e || !e->hasText || !listIsCurrent(type))
        return;
    const TypeFolder folder = typeFolder(type);
    RecordingTarget target;
    target.number = e->number;
    target.text = e->text;
    target.wavPath = folder.recordingPath(e->number);
    target.slowWavPath = folder.slowRecordingPath(e->number);
    target.seen = shown(type, e->number);
    const bool kept = m_services.dialogs->recordVoice(this, target);
    refresh(type, target.number);
    if (kept)
        say(QStringLiteral("Dictado %1 grabado con su voz, normal y lento.").arg(target.number));
}

void EditorWindow::play()
{
    if (const Exercise *e = selected(); e && e->hasRecording())
        m_services.playback->play(typeFolder(currentType()).recordingPath(e->number));
}

void EditorWindow::playSlow()
{
    if (const Exercise *e = selected(); e && e->hasSlowRecording())
        m_services.playback->play(typeFolder(currentType()).slowRecordingPath(e->number));
}

void EditorWindow::tryInLetro()
{
    // Letro starts on the dictation chosen, or on the type shown.
    const QString type = typeNames().at(currentType());
    QStringList arguments = {QStringLiteral("--tipo"), type};
    const Exercise *e = selected();
    if (e && e->hasText)
        arguments << QStringLiteral("--numero") << QString::number(e->number);
    // The teacher's trial is not a pupil's attempt: nothing is kept.
    arguments << QStringLiteral("--prueba");
    const QString problem =
        m_services.start(QDir(m_folder).filePath(QStringLiteral("letro")), arguments, m_folder);
    report(problem, QStringLiteral("No se puede abrir Letro"),
           e && e->hasText
               ? QStringLiteral("Letro abierto en el dictado %1 de «%2».").arg(e->number).arg(type)
               : QStringLiteral("Letro abierto en «%1».").arg(type));
}

void EditorWindow::makeCopy()
{
    if (m_busy)
        return;
    const QString parent = m_services.dialogs->chooseFolder(
        this,
        QStringLiteral("Elija dónde poner su copia de Letro (dentro se crea la carpeta «Letro»)"),
        QDir::homePath());
    if (parent.isEmpty())
        return;
    if (const QString told = removeUnfinishedCopies(parent); !told.isEmpty())
        m_services.dialogs->tell(this, told);
    QString made;
    QString putRight;
    const QString source = m_folder;
    QString problem = runJob(QStringLiteral("Copiando Letro…"), [&](Progress &progress) {
        return copyLetro(source, parent, &made, &progress, &putRight);
    });
    if (!report(problem, QStringLiteral("No se ha hecho la copia de Letro"), QString()))
        return;
    if (!putRight.isEmpty())
        m_services.dialogs->tell(this, putRight);
    setFolder(made);
    if (menuEntryWouldReplace(made) &&
        !m_services.dialogs->ask(
            this,
            QStringLiteral("Ya hay en el menú una entrada «%1» distinta. ¿La sustituye por la de "
                           "esta copia?")
                .arg(copyEntryName(made)),
            QStringLiteral("Sustituir"), QStringLiteral("Dejarla como está"),
            Dialogs::Answer::No)) {
        m_services.dialogs->tell(
            this, QStringLiteral("Su copia de Letro está en %1. La entrada del menú se ha "
                                 "dejado como estaba.")
                      .arg(quoted(QDir::toNativeSeparators(made))));
        return;
    }
    problem = writeMenuEntry(made);
    if (!problem.isEmpty()) {
        m_services.dialogs->warn(
            this, QStringLiteral("Su copia de Letro está en %1, pero no se ha podido crear su "
                                 "entrada en el menú: %2.")
                      .arg(quoted(QDir::toNativeSeparators(made)), problem));
        return;
    }
    m_services.dialogs->tell(
        this, QStringLiteral("Su copia de Letro está en %1. En el menú de programas aparece como "
                             "«%2». Los dictados que escriba y grabe aquí son para esa copia.")
                  .arg(quoted(QDir::toNativeSeparators(made)), copyEntryName(made)));
}

void EditorWindow::openFolder()
{
    if (m_busy)
        return;
    const QString folder = m_services.dialogs->chooseFolder(
        this, QStringLiteral("Elija la carpeta de una copia de Letro"), m_folder);
    if (folder.isEmpty())
        return;
    if (!isLetroFolder(folder)) {
        m_services.dialogs->warn(this,
                                 QStringLiteral("En %1 no está el programa Letro: elija la carpeta "
                                                "que tiene «letro» y las carpetas de dictados.")
                                     .arg(quoted(QDir::toNativeSeparators(folder))));
        return;
    }
    setFolder(folder);
}

} // namespace letro::editor
