// The pupil's progress window "Mi progreso" (F3 in the main window, and a
// button of the help window): the pupil's name, the mistakes of each
// dictation over time and of each kind (each a chart with a table beside it
// that a screen reader reads), the words most often missed and one
// suggestion, "Para practicar: b/v", with the dictations of the pupil's
// folder that practise it; choosing one (Return or a double click) asks the
// main window for it. What the window shows is read on the store's thread
// (ProgressRecorder::run) each time it is opened: "Cargando…" meanwhile, and
// what went wrong, if anything, once it has been read. The charts come from
// a module loaded the first time (chartmodule.h).
#pragma once

#include "progressview/progressfacts.h"

#include <QWidget>

#include <functional>
#include <memory>

class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QTableView;
class QVBoxLayout;

namespace letro::progress {
class ProgressSession;
}

namespace letro::progressview {

class TextTable;

class ProgressWindow : public QWidget
{
    Q_OBJECT

public:
    struct Source
    {
        // Whose results, and the store they are in; empty: nothing is kept.
        std::shared_ptr<progress::ProgressSession> session;
        // The dictations of the pupil's folder, listed off the window's thread.
        std::function<QList<Dictation>()> dictations;
    };

    ProgressWindow(QWidget *mainWindow, Source source);

    static QString loadingLine() { return QStringLiteral("Cargando…"); }
    static QString nothingKeptLine()
    {
        return QStringLiteral("Letro no guarda los resultados en este ordenador.");
    }

    // Reads the results again and shows them when they come.
    void reload();
    bool isLoading() const { return m_loading; }
    // What the window shows, once loaded.
    const ProgressReport &report() const { return m_report; }

signals:
    // The pupil chose a dictation of the suggestion.
    void dictationChosen(int type, int number);
    // The report read has been shown.
    void loaded();

private:
    void showReport(const ProgressReport &report);
    void showCharts();
    void setStatus(const QString &text);
    void choose(QListWidgetItem *item);

    Source m_source;
    ProgressReport m_report;
    bool m_loading = false;
    int m_generation = 0; // a newer reading replaces an older one still under way

    QLabel *m_name;
    QLabel *m_status;
    QWidget *m_content;
    TextTable *m_attempts;
    TextTable *m_kinds;
    TextTable *m_words;
    QTableView *m_attemptsView;
    QTableView *m_kindsView;
    QTableView *m_wordsView;
    QWidget *m_lineSlot;
    QWidget *m_barSlot;
    QLabel *m_suggestion;
    QListWidget *m_practice;
    QPushButton *m_close;
};

} // namespace letro::progressview
