#include "classresults.h"

#include "editor/classlistdialog.h"
#include "progress/exchange.h"
#include "progressview/chartmodule.h"
#include "ui/accessibility.h"

#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSplitter>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace letro::editor {

using progress::AttemptRecord;
using progress::Outcome;
using progress::ProgressDatabase;
using progress::ProgressStore;

namespace {

// What one reading of the class table brings back.
struct ClassLoad
{
    QList<ClassRow> rows;
    Outcome outcome;
};

struct HistoryLoad
{
    QList<AttemptRecord> attempts;
    Outcome outcome;
};

// What a change of the store (an import, a deletion) or a file written says.
struct Done
{
    QString message;
    QString problem;
};

QString outcomeProblem(const Outcome &outcome)
{
    return outcome.ok() ? QString() : progress::problemMessage(outcome);
}

void fillTable(QTableWidget *table, const QStringList &headings, const QList<QStringList> &rows,
               int textColumns)
{
    table->setSortingEnabled(false);
    table->clear();
    table->setColumnCount(int(headings.size()));
    table->setHorizontalHeaderLabels(headings);
    table->setRowCount(int(rows.size()));
    for (int row = 0; row < rows.size(); ++row) {
        const QStringList &texts = rows.at(row);
        for (int column = 0; column < texts.size(); ++column) {
            auto *item = new QTableWidgetItem(texts.at(column));
            item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
            if (column >= textColumns)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            table->setItem(row, column, item);
        }
    }
    table->resizeColumnsToContents();
}

QTableWidget *newTable(QWidget *parent, const QString &name, const QString &accessibleName)
{
    auto *table = new QTableWidget(parent);
    table->setObjectName(name);
    table->setAccessibleName(accessibleName);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setTabKeyNavigation(false); // Tab leaves the table, the arrows move in it
    table->setAlternatingRowColors(true);
    table->verticalHeader()->hide();
    return table;
}

} // namespace

ClassResultsWindow::ClassResultsWindow(const progress::StoreSettings &settings,
                                       const QString &classListPath,
                                       std::shared_ptr<Dialogs> dialogs, QWidget *parent)
    : QDialog(parent), m_settings(settings), m_classListPath(classListPath),
      m_dialogs(std::move(dialogs)),
      m_recorder(std::make_unique<progress::ProgressRecorder>(settings, 0))
{
    setObjectName(QStringLiteral("ClassResultsWindow"));
    setWindowTitle(QStringLiteral("Resultados de la clase"));
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    createWidgets();
    resize(1000, 700);
    const QDate today = QDate::currentDate();
    setSpan(defaultSpanStart(today), today);
}

// The store's thread ends (after the job under way) before the widgets go.
ClassResultsWindow::~ClassResultsWindow()
{
    m_recorder.reset();
}

QPushButton *ClassResultsWindow::addButton(const char *name, const QString &caption,
                                           const QString &tip)
{
    auto *button = new QPushButton(caption, this);
    button->setObjectName(QLatin1String(name));
    button->setToolTip(tip);
    button->setAutoDefault(false); // Return presses the focused button, not another
    return button;
}

void ClassResultsWindow::createWidgets()
{
    auto *layout = new QVBoxLayout(this);

    m_source = new QLabel(sourceText(m_settings), this);
    m_source->setObjectName(QStringLiteral("sourceLabel"));
    m_source->setWordWrap(true);
    m_source->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(m_source);

    auto *dates = new QHBoxLayout;
    auto dateEdit = [this](const char *name, const QString &accessible) {
        auto *edit = new QDateEdit(this);
        edit->setObjectName(QLatin1String(name));
        edit->setAccessibleName(accessible);
        edit->setCalendarPopup(true);
        edit->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
        connect(edit, &QDateEdit::dateChanged, this, &ClassResultsWindow::scheduleReload);
        return edit;
    };
    m_from = dateEdit("fromDate", QStringLiteral("Desde el día"));
    m_to = dateEdit("toDate", QStringLiteral("Hasta el día, incluido"));
    auto *fromLabel = new QLabel(QStringLiteral("&Desde:"), this);
    fromLabel->setObjectName(QStringLiteral("fromLabel"));
    fromLabel->setBuddy(m_from);
    auto *toLabel = new QLabel(QStringLiteral("&Hasta:"), this);
    toLabel->setObjectName(QStringLiteral("toLabel"));
    toLabel->setBuddy(m_to);
    dates->addWidget(fromLabel);
    dates->addWidget(m_from);
    dates->addSpacing(12);
    dates->addWidget(toLabel);
    dates->addWidget(m_to);
    dates->addSpacing(12);
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("statusLabel"));
    m_status->setWordWrap(true);
    dates->addWidget(m_status, 1);
    layout->addLayout(dates);
    m_notice = new QLabel(this);
    m_notice->setObjectName(QStringLiteral("noticeLabel"));
    m_notice->setWordWrap(true);
    m_notice->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_notice->setStyleSheet(
        QStringLiteral("background: #fff3c4; color: #5a4300; padding: 6px; border-radius: 3px"));
    m_notice->hide();
    layout->addWidget(m_notice);

    // Dates typed a digit at a time are read once the typing stops.
    m_reloadTimer = new QTimer(this);
    m_reloadTimer->setSingleShot(true);
    m_reloadTimer->setInterval(400);
    connect(m_reloadTimer, &QTimer::timeout, this, &ClassResultsWindow::reload);

    auto *splitter = new QSplitter(Qt::Vertical, this);
    splitter->setObjectName(QStringLiteral("resultsSplitter"));
    splitter->setChildrenCollapsible(false);
    m_table = newTable(splitter, QStringLiteral("classTable"),
                       QStringLiteral("Fallos de cada alumno por tipo"));
    m_table->setAccessibleDescription(
        QStringLiteral("Una fila por alumno: sus intentos, sus fallos y cuántos de cada tipo. "
                       "Elija un alumno para ver su historial."));
    connect(m_table, &QTableWidget::currentCellChanged, this, [this] {
        updateButtons();
        loadHistory();
    });
    splitter->addWidget(m_table);

    auto *pupilPane = new QWidget(splitter);
    pupilPane->setObjectName(QStringLiteral("pupilPane"));
    auto *pupilLayout = new QVBoxLayout(pupilPane);
    pupilLayout->setContentsMargins(0, 0, 0, 0);
    m_pupilLabel = new QLabel(pupilPane);
    m_pupilLabel->setObjectName(QStringLiteral("pupilLabel"));
    pupilLayout->addWidget(m_pupilLabel);
    auto *history = new QHBoxLayout;
    m_historyTable =
        newTable(pupilPane, QStringLiteral("historyTable"), QStringLiteral("Historial del alumno"));
    history->addWidget(m_historyTable, 3);
    // The chart of the history is drawn again for each pupil, in this pane.
    m_chartPane = new QWidget(pupilPane);
    m_chartPane->setObjectName(QStringLiteral("historyChartPane"));
    m_chartPane->setMinimumWidth(320);
    (new QVBoxLayout(m_chartPane))->setContentsMargins(0, 0, 0, 0);
    history->addWidget(m_chartPane, 2);
    pupilLayout->addLayout(history, 1);
    splitter->addWidget(pupilPane);
    layout->addWidget(splitter, 1);

    auto *buttons = new QGridLayout;
    m_csv = addButton("csvButton", QStringLiteral("Exportar &CSV…"),
                      QStringLiteral("Guardar la tabla de la clase para una hoja de cálculo"));
    m_pdf = addButton("pdfButton", QStringLiteral("Exportar &PDF…"),
                      QStringLiteral("Guardar la tabla de la clase en PDF para imprimirla"));
    m_pupilPdf = addButton("pupilPdfButton", QStringLiteral("PDF de &este alumno…"),
                           QStringLiteral("Guardar en PDF los resultados y el historial del "
                                          "alumno elegido, por ejemplo para su familia"));
    m_exportPupil =
        addButton("exportPupilButton", QStringLiteral("E&xportar los datos de este alumno…"),
                  QStringLiteral("Guardar todos los resultados del alumno elegido en un archivo "
                                 "que se puede traer a otro ordenador"));
    m_removePupil =
        addButton("removePupilButton", QStringLiteral("&Borrar los datos de este alumno…"),
                  QStringLiteral("Borrar todos los resultados del alumno elegido, de todas las "
                                 "fechas"));
    m_import = addButton("importButton", QStringLiteral("&Traer resultados de otro equipo…"),
                         QStringLiteral("Añadir los resultados exportados en otro ordenador; los "
                                        "que ya estaban no se cuentan dos veces"));
    m_classList = addButton("classListButton", QStringLiteral("&Lista de la clase…"),
                            QStringLiteral("Los nombres entre los que elige el alumno al "
                                           "empezar, si la clase comparte una cuenta"));
    m_close = addButton("closeButton", QStringLiteral("Cerrar"),
                        QStringLiteral("Cerrar esta ventana (Escape)"));
    buttons->addWidget(m_csv, 0, 0);
    buttons->addWidget(m_pdf, 0, 1);
    buttons->addWidget(m_pupilPdf, 0, 2);
    buttons->addWidget(m_import, 0, 3);
    buttons->addWidget(m_exportPupil, 1, 0);
    buttons->addWidget(m_removePupil, 1, 1);
    buttons->addWidget(m_classList, 1, 2);
    buttons->addWidget(m_close, 1, 3);
    layout->addLayout(buttons);
    for (QPushButton *button :
         {m_csv, m_pdf, m_pupilPdf, m_exportPupil, m_removePupil, m_import, m_classList, m_close})
        button->setAccessibleName(button->text().remove(QLatin1Char('&')).remove(QChar(0x2026)));

    connect(m_csv, &QPushButton::clicked, this, [this] {
        const QString path = chooseSaveFile(QStringLiteral("Exportar la tabla de la clase"),
                                            QStringLiteral("resultados de la clase.csv"),
                                            QStringLiteral("Hoja de cálculo CSV (*.csv)"));
        if (!path.isEmpty())
            exportCsv(path);
    });
    connect(m_pdf, &QPushButton::clicked, this, [this] {
        const QString path = chooseSaveFile(QStringLiteral("Exportar la tabla de la clase"),
                                            QStringLiteral("resultados de la clase.pdf"),
                                            QStringLiteral("PDF (*.pdf)"));
        if (!path.isEmpty())
            exportPdf(path);
    });
    connect(m_pupilPdf, &QPushButton::clicked, this, [this] {
        const QString path =
            chooseSaveFile(QStringLiteral("Exportar los resultados de %1").arg(selectedPupil()),
                           QStringLiteral("resultados de %1.pdf").arg(selectedPupil()),
                           QStringLiteral("PDF (*.pdf)"));
        if (!path.isEmpty())
            exportPupilPdf(path);
    });
    connect(m_exportPupil, &QPushButton::clicked, this, [this] {
        const QString path = chooseSaveFile(
            QStringLiteral("Exportar los datos de %1").arg(selectedPupil()),
            pupilFileName(selectedPupil()), QStringLiteral("Resultados de Letro (*.json)"));
        if (!path.isEmpty())
            exportPupil(path);
    });
    connect(m_removePupil, &QPushButton::clicked, this, &ClassResultsWindow::removePupil);
    connect(m_import, &QPushButton::clicked, this, [this] {
        const QString path = QFileDialog::getOpenFileName(
            this, QStringLiteral("Traer resultados de otro equipo"),
            QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation),
            QStringLiteral("Resultados de Letro (*.json);;Todos los archivos (*)"));
        if (!path.isEmpty())
            importFrom(path);
    });
    connect(m_classList, &QPushButton::clicked, this, &ClassResultsWindow::editClassList);
    connect(m_close, &QPushButton::clicked, this, &ClassResultsWindow::close);
    updateButtons();
}

QString ClassResultsWindow::chooseSaveFile(const QString &title, const QString &name,
                                           const QString &filter)
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QFileDialog::getSaveFileName(this, title, QDir(folder).filePath(name), filter);
}

QDate ClassResultsWindow::from() const
{
    return m_from->date();
}

QDate ClassResultsWindow::to() const
{
    return m_to->date();
}

void ClassResultsWindow::setSpan(const QDate &from, const QDate &to)
{
    {
        const QSignalBlocker blockFrom(m_from), blockTo(m_to);
        m_from->setDate(from);
        m_to->setDate(to);
    }
    m_reloadTimer->stop();
    reload();
}

void ClassResultsWindow::scheduleReload()
{
    m_reloadTimer->start();
}

QString ClassResultsWindow::notice() const
{
    return m_notice->text();
}

QString ClassResultsWindow::status() const
{
    return m_pending > 0 ? QStringLiteral("Cargando…") : m_message;
}

template <typename Result>
void ClassResultsWindow::run(std::function<Result(ProgressStore &)> job,
                             std::function<void(Result)> done)
{
    ++m_pending;
    m_status->setText(status());
    updateButtons();
    m_recorder->run<Result>(std::move(job), [this, done = std::move(done)](Result result) {
        --m_pending;
        done(std::move(result));
        m_status->setText(status());
        updateButtons();
        emit settled();
    });
}

void ClassResultsWindow::say(const QString &text)
{
    m_notice->setText(text);
    m_notice->setVisible(!text.isEmpty());
    announce(this, text);
}

void ClassResultsWindow::showReading(const QString &text)
{
    m_message = text;
    m_status->setText(status());
}

void ClassResultsWindow::reload()
{
    const int generation = ++m_generation;
    const QDate first = from(), last = to();
    if (first > last) {
        showRows({});
        showReading(
            QStringLiteral("La fecha «Desde» es posterior a «Hasta»: no hay nada que mostrar."));
        return;
    }
    const progress::DateSpan span = spanOfDates(first, last);
    run<ClassLoad>(
        [span](ProgressStore &store) {
            ClassLoad load;
            ProgressDatabase *database = store.reader(&load.outcome);
            if (!database)
                return load;
            const QList<progress::ClassCell> cells = database->classTable(span, &load.outcome);
            if (!load.outcome.ok())
                return load;
            const QList<AttemptRecord> attempts =
                database->attempts(QString(), span, &load.outcome);
            if (load.outcome.ok())
                load.rows = classRows(cells, pupilTotals(attempts));
            return load;
        },
        [this, generation](ClassLoad load) {
            if (generation != m_generation)
                return; // the dates changed meanwhile: a newer reading follows
            showRows(load.rows);
            if (!load.outcome.ok()) {
                showReading(outcomeProblem(load.outcome));
                announce(this, m_message);
                return;
            }
            qint64 attempts = 0;
            for (const ClassRow &row : m_rows)
                attempts += row.attempts;
            showReading(m_rows.isEmpty()
                            ? QStringLiteral("Ningún alumno hizo ejercicios en estas fechas.")
                            : QStringLiteral("%1, %2.").arg(
                                  m_rows.size() == 1
                                      ? QStringLiteral("1 alumno")
                                      : QStringLiteral("%1 alumnos").arg(m_rows.size()),
                                  attemptsText(attempts)));
        });
}

void ClassResultsWindow::showRows(const QList<ClassRow> &rows)
{
    // The pupil chosen stays chosen when the table is read again.
    const QString chosen = selectedPupil();
    m_rows = rows;
    QList<QStringList> texts;
    for (const ClassRow &row : m_rows)
        texts.append(classRowTexts(row));
    {
        const QSignalBlocker block(m_table);
        fillTable(m_table, classHeadings(), texts, 1);
        const QList<Mistake> kinds = progress::mistakeKinds();
        for (int kind = 0; kind < kinds.size(); ++kind)
            m_table->horizontalHeaderItem(3 + kind)->setToolTip(
                QStringLiteral("Lo que ve el alumno: «%1»").arg(mistakeMessage(kinds.at(kind))));
    }
    selectPupil(chosen);
    loadHistory();
}

QString ClassResultsWindow::selectedPupil() const
{
    const int row = m_table->currentRow();
    return row >= 0 && row < m_rows.size() ? m_rows.at(row).pupil : QString();
}

void ClassResultsWindow::selectPupil(const QString &pupil)
{
    for (int row = 0; row < m_rows.size(); ++row) {
        if (m_rows.at(row).pupil == pupil) {
            m_table->setCurrentCell(row, 0);
            return;
        }
    }
    const QSignalBlocker block(m_table);
    m_table->setCurrentCell(-1, -1);
    updateButtons();
}

void ClassResultsWindow::loadHistory()
{
    const QString pupil = selectedPupil();
    const int generation = ++m_historyGeneration;
    if (pupil.isEmpty() || from() > to()) {
        m_historyPupil.clear();
        m_history.clear();
        showHistory();
        return;
    }
    const progress::DateSpan span = spanOfDates(from(), to());
    run<HistoryLoad>(
        [pupil, span](ProgressStore &store) {
            HistoryLoad load;
            if (ProgressDatabase *database = store.reader(&load.outcome))
                load.attempts = database->attempts(pupil, span, &load.outcome);
            return load;
        },
        [this, pupil, generation](HistoryLoad load) {
            if (generation != m_historyGeneration)
                return;
            m_historyPupil = pupil;
            m_history = load.attempts;
            showHistory();
            if (!load.outcome.ok()) {
                showReading(outcomeProblem(load.outcome));
                announce(this, m_message);
            }
        });
}

void ClassResultsWindow::showHistory()
{
    m_pupilLabel->setText(m_historyPupil.isEmpty()
                              ? QStringLiteral("Elija un alumno en la tabla para ver su historial.")
                              : QStringLiteral("Historial de %1: %2.")
                                    .arg(m_historyPupil, attemptsText(m_history.size())));
    QList<QStringList> texts;
    for (const AttemptRecord &attempt : m_history)
        texts.append(historyRowTexts(attempt));
    fillTable(m_historyTable, historyHeadings(), texts, 3);
    m_historyTable->setAccessibleName(m_historyPupil.isEmpty()
                                          ? QStringLiteral("Historial del alumno")
                                          : QStringLiteral("Historial de %1").arg(m_historyPupil));

    // The same chart as the pupil's "Mi progreso" draws, from the same module.
    delete m_chart;
    m_chart = nullptr;
    const progressview::ChartModule &charts = progressview::chartModule();
    if (m_history.isEmpty() || !charts.loaded())
        return;
    QList<QPointF> points;
    for (const AttemptRecord &attempt : m_history)
        points.append({double(attempt.when.toMSecsSinceEpoch()), double(attempt.mistakes)});
    m_chart = charts.lineChart(points, m_chartPane);
    m_chart->setObjectName(QStringLiteral("historyChart"));
    m_chart->setAccessibleName(QStringLiteral("Gráfico de los fallos en cada ejercicio"));
    m_chart->setAccessibleDescription(
        QStringLiteral("Los mismos datos que el historial, en la tabla de al lado"));
    m_chartPane->layout()->addWidget(m_chart);
}

void ClassResultsWindow::updateButtons()
{
    const bool pupil = !selectedPupil().isEmpty();
    const bool idle = m_pending == 0;
    m_csv->setEnabled(!m_rows.isEmpty());
    m_pdf->setEnabled(!m_rows.isEmpty());
    m_pupilPdf->setEnabled(pupil && idle && m_historyPupil == selectedPupil());
    m_exportPupil->setEnabled(pupil && idle);
    m_removePupil->setEnabled(pupil && idle);
    m_import->setEnabled(idle);
}

void ClassResultsWindow::exportCsv(const QString &path)
{
    const QByteArray data = classCsv(m_rows);
    run<QString>([path, data](ProgressStore &) { return writeWhole(path, data); },
                 [this, path](QString problem) {
                     say(problem.isEmpty() ? QStringLiteral("Tabla guardada en «%1».").arg(path)
                                           : problem);
                 });
}

void ClassResultsWindow::exportPdf(const QString &path)
{
    const QString html = classReportHtml(spanText(from(), to()), m_rows);
    run<QString>(
        [path, html](ProgressStore &) {
            return writePdf(path, QStringLiteral("Resultados de la clase"), html, true);
        },
        [this, path](QString problem) {
            say(problem.isEmpty() ? QStringLiteral("PDF guardado en «%1».").arg(path) : problem);
        });
}

void ClassResultsWindow::exportPupilPdf(const QString &path)
{
    ClassRow row;
    for (const ClassRow &r : m_rows)
        if (r.pupil == m_historyPupil)
            row = r;
    if (row.pupil.isEmpty())
        return;
    const QString html = pupilReportHtml(spanText(from(), to()), row, m_history);
    const QString title = QStringLiteral("Resultados de %1").arg(row.pupil);
    run<QString>(
        [path, html, title](ProgressStore &) { return writePdf(path, title, html, false); },
        [this, path](QString problem) {
            say(problem.isEmpty() ? QStringLiteral("PDF guardado en «%1».").arg(path) : problem);
        });
}

void ClassResultsWindow::exportPupil(const QString &path)
{
    const QString pupil = selectedPupil();
    if (pupil.isEmpty())
        return;
    // Every date: the file carries all that is kept of the pupil.
    run<Done>(
        [pupil, path](ProgressStore &store) {
            Outcome outcome;
            ProgressDatabase *database = store.reader(&outcome);
            QList<AttemptRecord> attempts;
            if (database)
                attempts = database->attempts(pupil, {}, &outcome);
            if (!outcome.ok())
                return Done{QString(), outcomeProblem(outcome)};
            if (QString problem = writeWhole(path, progress::exportAttempts(attempts));
                !problem.isEmpty())
                return Done{QString(), problem};
            return Done{QStringLiteral("Guardados los resultados de «%1» (%2) en «%3».")
                            .arg(pupil, attemptsText(attempts.size()), path),
                        QString()};
        },
        [this](Done done) { say(done.problem.isEmpty() ? done.message : done.problem); });
}

void ClassResultsWindow::importFrom(const QString &path)
{
    run<Done>(
        [path](ProgressStore &store) {
            QFile file(path);
            if (!file.open(QIODevice::ReadOnly))
                return Done{
                    QString(),
                    QStringLiteral("No se puede leer «%1»: %2.").arg(path, file.errorString())};
            const progress::ImportResult read = progress::importAttempts(file.readAll());
            if (!read.problem.isEmpty())
                return Done{QString(),
                            QStringLiteral("No se pueden traer los resultados: ") + read.problem};
            Outcome outcome;
            qint64 added = 0;
            if (ProgressDatabase *database = store.reader(&outcome))
                outcome = database->writeAll(read.attempts, &added);
            if (!outcome.ok())
                return Done{QString(), outcomeProblem(outcome)};
            return Done{importMessage(added, read.attempts.size()), QString()};
        },
        [this](Done done) {
            say(done.problem.isEmpty() ? done.message : done.problem);
            reload();
        });
}

void ClassResultsWindow::removePupil()
{
    const QString pupil = selectedPupil();
    if (pupil.isEmpty() || isBusy())
        return;
    // How many attempts go, of every date, asked of the store first.
    run<HistoryLoad>(
        [pupil](ProgressStore &store) {
            HistoryLoad load;
            if (ProgressDatabase *database = store.reader(&load.outcome))
                load.attempts = database->attempts(pupil, {}, &load.outcome);
            return load;
        },
        [this, pupil](HistoryLoad load) {
            if (!load.outcome.ok()) {
                say(outcomeProblem(load.outcome));
                return;
            }
            const bool yes = m_dialogs->ask(this, removeQuestion(pupil, load.attempts.size()),
                                            QStringLiteral("Borrar"), QStringLiteral("No borrar"),
                                            Dialogs::Answer::No);
            if (!yes)
                return;
            run<Done>(
                [pupil](ProgressStore &store) {
                    Outcome outcome;
                    qint64 removed = 0;
                    if (ProgressDatabase *database = store.reader(&outcome))
                        outcome = database->removePupil(pupil, &removed);
                    if (!outcome.ok())
                        return Done{QString(), outcomeProblem(outcome)};
                    return Done{removedMessage(pupil, removed), QString()};
                },
                [this](Done done) {
                    say(done.problem.isEmpty() ? done.message : done.problem);
                    reload();
                });
        });
}

void ClassResultsWindow::editClassList()
{
    ClassListDialog dialog(m_classListPath, this);
    if (dialog.exec() == QDialog::Accepted)
        say(dialog.savedMessage());
}

} // namespace letro::editor
