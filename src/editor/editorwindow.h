// The editor's window: one Letro folder, its three exercise types as tabs,
// each a list of the exercises with their text, their recordings and why
// Letro could never reach or finish them. The buttons beside the list add,
// change, delete and reorder exercises (TypeFolder does the file work), make
// the recordings (synthetic voice or microphone), play them, and start Letro
// on the folder. A folder that cannot be written is only shown; the teacher
// is offered a copy of Letro of their own to work on instead.
//
// The lists are the folder: it is watched and re-read, and a change is
// refused when the folder is no longer what the list shows. A change cut
// short by a crash is put right when the folder is opened, and the teacher
// told how. Changes run on a worker thread with a progress dialog that can
// cancel them.
#pragma once

#include "editor/exerciselist.h"
#include "editor/services.h"
#include "folder/exercisefolder.h"
#include "folder/recordings.h"

#include <QMainWindow>
#include <QPointer>

#include <functional>

class QComboBox;
class QLayout;
class QFileSystemWatcher;
class QTimer;
class QLabel;
class QPushButton;
class QSpinBox;
class QTabWidget;
class QTreeWidget;

namespace letro::editor {

class ClassResultsWindow;

class EditorWindow : public QMainWindow
{
    Q_OBJECT

public:
    enum Column { NumberColumn, TextColumn, RecordingColumn, SlowColumn, MarkColumn };
    // The columns as wide as what they show.
    static inline const QList<int> FittedColumns = {NumberColumn, RecordingColumn, SlowColumn};

    explicit EditorWindow(EditorServices services, QWidget *parent = nullptr);

    // Works on the Letro of `folder` from now on.
    void setFolder(const QString &folder);
    QString folder() const { return m_folder; }
    bool isReadOnly() const { return m_readOnly; }
    // When the folder cannot be written, offers to make the teacher's copy.
    void offerCopy();

    // The type shown (0 to 2) and the selected exercise's number (0: none).
    int currentType() const;
    int selectedNumber() const;
    void selectExercise(int type, int number);
    ExerciseList *list(int type) const { return m_lists[type]; }

    // The buttons' actions.
    void addExercise();
    void editExercise();
    void removeExercise();
    void moveUp();
    void moveDown();
    // Asks the number the chosen exercise goes to, then moves it there.
    void moveToNumber();
    // Gives exercise `number` of `type` the number `target`, as one change
    // (the ones in between make room); for "Mover a…" and for a row dropped
    // elsewhere in its list.
    void moveExercise(int type, int number, int target);
    void closeGaps();
    void synthesise();
    void recordMissing();
    void recordVoice();
    void play();
    void playSlow();
    void tryInLetro();
    void makeCopy();
    void openFolder();
    // Shows the class's results ("Resultados de la clase", F3), made the
    // first time and kept, with its store's thread, until the editor closes.
    void showClassResults();
    ClassResultsWindow *classResults() const { return m_results; }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void createWidgets();
    QLayout *createFolderBar();
    QWidget *createReadOnlyNote();
    QWidget *createOlderRecordingsNote();
    QWidget *createLists();
    ExerciseList *createList(int type);
    QLayout *createButtons();
    QWidget *createChangeButtons();
    QWidget *createRecordingButtons();
    QLayout *createVoiceForm();
    void createShortcuts();
    void createWatcher();
    QPushButton *addButton(const char *name, const QString &caption, const QString &tip,
                           void (EditorWindow::*action)());
    void refresh(int type, int select = 0);
    // Reads the three lists again off the window's thread and shows them.
    void refreshAll();
    void updateButtons();
    // The line under the list that says which of its recordings are older
    // than their text; hidden when none is.
    void showOlderRecordings();
    // Says that line when it has changed from `before` (what it said before
    // the folder was read again).
    void sayOlderRecordings(const QString &before);
    TypeFolder typeFolder(int type) const;
    const Exercise *selected() const;
    // Shows the result of a change: `problem` as a warning, else `done` in
    // the status bar and spoken; the focus first goes back where it was.
    bool report(const QString &problem, const QString &failed, const QString &done);
    // `done` in the status bar, and spoken.
    void say(const QString &done);
    // Gives the focus back to the control that had it when the last job
    // started, or to the list when that control is now disabled.
    void returnFocus();
    // True when the folder of `type` still is what its list shows; else
    // tells the teacher, shows the folder as it is now and returns false.
    // False too, silently, while a job runs.
    bool listIsCurrent(int type);
    // What the list of `type` shows of the numbers `first` to `last`: the
    // files a change of them acts on, as the teacher saw them.
    Identity shown(int type, int first, int last = 0) const;

    // One change the teacher asked for, of the folder of `type`.
    struct Change
    {
        int type = 0;
        QList<Identity> seen; // what it acts on, as the teacher saw it
        QString label;        // what the progress dialog says meanwhile
        // The change itself, off the window's thread; refused when the
        // folder no longer holds what `seen` says.
        std::function<QString(TypeFolder &, Progress &)> job;
        std::function<QString()> failed; // how the warning starts when it is not made
        std::function<QString()> done;   // what the status bar says when it is
        // When set, a cancelled recording is told so, followed by done().
        QString cancelled;
        // The exercise chosen afterwards, given whether it was made.
        std::function<int(bool)> select;
    };
    // The one way the buttons change the folder: runs the change off the
    // window's thread, reads the folder again there, shows it and reports.
    // Returns the reason it was not made, or "".
    QString makeChange(const Change &change);
    // Runs any long job so: `job` gets the progress to count and to check
    // for a cancel, the window keeps answering, and a progress dialog shows
    // how far it has got and can cancel it.
    QString runJob(const QString &label, const std::function<QString(Progress &)> &job);
    // Runs `work` on a worker thread while the window goes on answering
    // (none of its actions starts meanwhile); returns when it is done.
    void offThread(const std::function<void()> &work);
    // A type folder as its list shows it: what it held entry by entry when
    // its exercises were read.
    struct Picture
    {
        QStringList state;
        QList<Exercise> exercises;
    };
    static Picture picture(const TypeFolder &folder);
    void showPicture(int type, const Picture &picture, int select);
    // Gives exercise `number` the number `target`, refused when the numbers
    // in between no longer are what `seen` (a state()) shows.
    void moveExercise(int type, int number, int target, const QStringList &seen);
    // The voice and speed chosen, for a recording cancelled through `progress`.
    SpeechOptions speechOptions(const Progress &progress) const;
    // Records what exercise `number` of `folder` lacks (or, with `both`,
    // both recordings again) and puts them in place in one change.
    static QString recordExercise(TypeFolder &folder, int number, const QString &text,
                                  const SpeechOptions &options, bool both);
    void watchFolders();
    void folderChanged();

    EditorServices m_services;
    QString m_folder;
    bool m_readOnly = true;
    QString m_whyOnlyShown; // why the folder is only shown, or ""
    QList<Exercise> m_exercises[3];
    QStringList m_states[3]; // what each folder held when its list was made
    QStringList m_dragged;   // the state of the list a row is dragged from
    QFileSystemWatcher *m_watcher = nullptr;
    QTimer *m_rescan = nullptr;
    bool m_busy = false;             // a change is running
    QPointer<QWidget> m_returnFocus; // where the focus goes back after a job
    ClassResultsWindow *m_results = nullptr;

    QLabel *m_folderLabel = nullptr;
    QLabel *m_readOnlyLabel = nullptr;
    QLabel *m_olderLabel = nullptr;
    QPushButton *m_copyButton = nullptr;
    QTabWidget *m_tabs = nullptr;
    ExerciseList *m_lists[3] = {};
    QComboBox *m_voice = nullptr;
    QSpinBox *m_speed = nullptr;
    QList<QPushButton *> m_writeButtons;
    QPushButton *m_edit = nullptr, *m_remove = nullptr, *m_up = nullptr, *m_down = nullptr,
                *m_moveTo = nullptr, *m_gaps = nullptr, *m_synthesise = nullptr,
                *m_microphone = nullptr, *m_play = nullptr, *m_playSlow = nullptr,
                *m_recordMissing = nullptr;
};

} // namespace letro::editor
