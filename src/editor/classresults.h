// The teacher's view of the class's results ("Resultados de la clase"): over
// a span of dates, a table of the class (pupils × kinds of mistake, with
// their attempts and mistakes), and the history and chart of the pupil chosen
// in it. From here the teacher exports the table (CSV, PDF), exports or
// deletes one pupil's results, brings in results exported on another
// computer, and keeps the class list.
//
// The results are those of the store the pupil's program writes to: the
// school's server when the system-wide file names one, or else this account's
// own file (a class sharing the account). Every read and write runs on the
// store's own thread (ProgressRecorder::run); the window says "Cargando…"
// meanwhile and keeps answering.
#pragma once

#include "editor/classreport.h"
#include "editor/services.h"
#include "progress/progressrecorder.h"

#include <QDialog>

#include <memory>

class QDateEdit;
class QLabel;
class QPushButton;
class QTableWidget;
class QTimer;

namespace letro::editor {

class ClassResultsWindow : public QDialog
{
    Q_OBJECT

public:
    ClassResultsWindow(const progress::StoreSettings &settings, const QString &classListPath,
                       std::shared_ptr<Dialogs> dialogs, QWidget *parent = nullptr);
    ~ClassResultsWindow() override;

    // The dates shown, both included.
    void setSpan(const QDate &from, const QDate &to);
    // Reads the class table (and the chosen pupil's history) again.
    void reload();
    // True while the store is read or written.
    bool isBusy() const { return m_pending > 0; }
    // What the line beside the dates says of the reading now ("Cargando…",
    // how many pupils, or why the results cannot be read).
    QString status() const;
    // What the last action (an export, an import, a deletion) said.
    QString notice() const;
    QList<ClassRow> rows() const { return m_rows; }
    // The pupil chosen in the table, or "".
    QString selectedPupil() const;
    void selectPupil(const QString &pupil);

    // The buttons' actions, once the file is chosen.
    void exportCsv(const QString &path);
    void exportPdf(const QString &path);
    void exportPupilPdf(const QString &path);
    void exportPupil(const QString &path);
    void importFrom(const QString &path);
    // Asks, naming the pupil and how many attempts go, then deletes them.
    void removePupil();
    void editClassList();

signals:
    // A read or write has ended and what it says is shown.
    void settled();

private:
    void createWidgets();
    QPushButton *addButton(const char *name, const QString &caption, const QString &tip);
    void scheduleReload();
    void loadHistory();
    // Shows `rows`, the pupil chosen before still chosen when in them.
    void showRows(const QList<ClassRow> &rows);
    void showHistory();
    void updateButtons();
    // Runs `job` on the store's thread; `done` gets its result here.
    template <typename Result>
    void run(std::function<Result(progress::ProgressStore &)> job,
             std::function<void(Result)> done);
    // Says the outcome of an action under the dates and to the screen reader.
    void say(const QString &text);
    void showReading(const QString &text);
    QString chooseSaveFile(const QString &title, const QString &name, const QString &filter);
    QDate from() const;
    QDate to() const;

    progress::StoreSettings m_settings;
    QString m_classListPath;
    std::shared_ptr<Dialogs> m_dialogs;
    std::unique_ptr<progress::ProgressRecorder> m_recorder;
    int m_pending = 0;    // jobs handed to the store's thread, not yet answered
    int m_generation = 0; // which reading of the class table is the newest
    int m_historyGeneration = 0;
    QList<ClassRow> m_rows;
    QString m_historyPupil;
    QList<progress::AttemptRecord> m_history;
    QString m_message; // what the last reading said, shown when nothing is loading

    QTimer *m_reloadTimer = nullptr;
    QDateEdit *m_from = nullptr;
    QDateEdit *m_to = nullptr;
    QLabel *m_source = nullptr;
    QLabel *m_status = nullptr;
    QLabel *m_notice = nullptr;
    QTableWidget *m_table = nullptr;
    QLabel *m_pupilLabel = nullptr;
    QTableWidget *m_historyTable = nullptr;
    QWidget *m_chartPane = nullptr;
    QWidget *m_chart = nullptr; // the history's chart, when the charts' module is there
    QPushButton *m_csv = nullptr, *m_pdf = nullptr, *m_pupilPdf = nullptr, *m_exportPupil = nullptr,
                *m_removePupil = nullptr, *m_import = nullptr, *m_classList = nullptr,
                *m_close = nullptr;
};

} // namespace letro::editor
