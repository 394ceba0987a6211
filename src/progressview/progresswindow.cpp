#include "progresswindow.h"

#include "progress/progresssession.h"
#include "progressview/chartmodule.h"
#include "progressview/texttable.h"
#include "ui/accessibility.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QShortcut>
#include <QTableView>
#include <QVBoxLayout>

namespace letro::progressview {

namespace {

constexpr int TypeRole = Qt::UserRole;

// The list's name while there is no suggestion; with one, the suggestion.
QString practiceListName()
{
    return QStringLiteral("Dictados para practicar");
}

constexpr int NumberRole = Qt::UserRole + 1;

QTableView *tableView(TextTable *model, const QString &objectName, const QString &name,
                      const QString &description, QWidget *parent)
{
    auto *view = new QTableView(parent);
    view->setObjectName(objectName);
    view->setAccessibleName(name);
    view->setAccessibleDescription(description);
    view->setModel(model);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    // Tab leaves the table for the next control; the arrows move inside it.
    view->setTabKeyNavigation(false);
    view->verticalHeader()->hide();
    view->horizontalHeader()->setStretchLastSection(true);
    view->setWordWrap(false);
    return view;
}

QLabel *heading(const QString &text, QWidget *buddy, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    label->setBuddy(buddy);
    return label;
}

// A place for a chart, filled once the results are read.
QWidget *chartSlot(const QString &objectName, QWidget *parent)
{
    auto *slot = new QWidget(parent);
    slot->setObjectName(objectName);
    auto *layout = new QVBoxLayout(slot);
    layout->setContentsMargins(0, 0, 0, 0);
    return slot;
}

void fillSlot(QWidget *slot, QWidget *chart, const QString &name, const QString &description)
{
    for (QWidget *old : slot->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly))
        delete old;
    slot->setVisible(chart);
    if (!chart)
        return;
    chart->setObjectName(slot->objectName() + QStringLiteral("Vista"));
    chart->setAccessibleName(name);
    chart->setAccessibleDescription(description);
    slot->layout()->addWidget(chart);
}

void fitColumns(QTableView *view)
{
    view->resizeColumnsToContents();
    view->horizontalHeader()->setStretchLastSection(true);
}

} // namespace

ProgressWindow::ProgressWindow(QWidget *mainWindow, Source source)
    : QWidget(mainWindow, Qt::Window), m_source(std::move(source)), m_name(new QLabel(this)),
      m_status(new QLabel(this)), m_content(new QWidget(this)),
      m_attempts(new TextTable(
          {QStringLiteral("Fecha"), QStringLiteral("Dictado"), QStringLiteral("Errores")}, this)),
      m_kinds(new TextTable({QStringLiteral("Tipo de error"), QStringLiteral("Veces")}, this)),
      m_words(new TextTable({QStringLiteral("Palabra"), QStringLiteral("Veces")}, this)),
      m_attemptsView(tableView(
          m_attempts, QStringLiteral("TablaDictados"), QStringLiteral("Errores de cada dictado"),
          QStringLiteral("Tabla con la fecha, el dictado y sus errores, el más reciente "
                         "primero. Es lo mismo que dibuja el gráfico de al lado."),
          m_content)),
      m_kindsView(tableView(m_kinds, QStringLiteral("TablaTipos"),
                            QStringLiteral("Errores de cada tipo"),
                            QStringLiteral("Tabla con cada tipo de error y las veces que lo has "
                                           "hecho, el más repetido primero. Es lo mismo que "
                                           "dibuja el gráfico de al lado."),
                            m_content)),
      m_wordsView(tableView(m_words, QStringLiteral("TablaPalabras"),
                            QStringLiteral("Palabras que más fallas"),
                            QStringLiteral("Tabla con las palabras en las que más te has "
                                           "equivocado y las veces."),
                            m_content)),
      m_lineSlot(chartSlot(QStringLiteral("GraficoDictados"), m_content)),
      m_barSlot(chartSlot(QStringLiteral("GraficoTipos"), m_content)),
      m_suggestion(new QLabel(m_content)), m_practice(new QListWidget(m_content)),
      m_close(new QPushButton(QStringLiteral("Cerrar"), this))
{
    setObjectName(QStringLiteral("MiProgreso"));
    setWindowTitle(QStringLiteral("Mi progreso"));
    resize(900, 680);

    m_name->setObjectName(QStringLiteral("NombreAlumno"));
    QFont big = m_name->font();
    big.setPointSizeF(big.pointSizeF() * 1.4);
    big.setBold(true);
    m_name->setFont(big);
    m_status->setObjectName(QStringLiteral("Estado"));
    m_status->setWordWrap(true);
    m_content->setObjectName(QStringLiteral("Contenido"));
    m_suggestion->setObjectName(QStringLiteral("Sugerencia"));
    m_suggestion->setFont(big);
    m_suggestion->setBuddy(m_practice);
    m_practice->setObjectName(QStringLiteral("ListaPractica"));
    m_practice->setAccessibleName(practiceListName());
    m_practice->setAccessibleDescription(
        QStringLiteral("Dictados para practicarlo: elige uno y pulsa Intro para hacerlo."));
    m_close->setObjectName(QStringLiteral("BotonCerrar"));
    connect(m_close, &QPushButton::clicked, this, &QWidget::close);
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this,
            &QWidget::close);
    connect(m_practice, &QListWidget::itemActivated, this, &ProgressWindow::choose);

    auto *grid = new QGridLayout(m_content);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(heading(QStringLiteral("Errores de cada dictado"), m_attemptsView, m_content),
                    0, 0, 1, 2);
    grid->addWidget(m_lineSlot, 1, 0);
    grid->addWidget(m_attemptsView, 1, 1);
    grid->addWidget(heading(QStringLiteral("Errores de cada tipo"), m_kindsView, m_content), 2, 0,
                    1, 2);
    grid->addWidget(m_barSlot, 3, 0);
    grid->addWidget(m_kindsView, 3, 1);
    grid->addWidget(heading(QStringLiteral("Palabras que más fallas"), m_wordsView, m_content), 4,
                    0);
    grid->addWidget(m_suggestion, 4, 1);
    grid->addWidget(m_wordsView, 5, 0);
    grid->addWidget(m_practice, 5, 1);
    grid->setColumnStretch(0, 3);
    grid->setColumnStretch(1, 2);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_name);
    layout->addWidget(m_status);
    layout->addWidget(m_content, 1);
    layout->addLayout(buttons);

    setTabOrder(m_attemptsView, m_kindsView);
    setTabOrder(m_kindsView, m_wordsView);
    setTabOrder(m_wordsView, m_practice);
    setTabOrder(m_practice, m_close);

    const QString pupil = m_source.session ? m_source.session->pupil() : QString();
    m_name->setText(pupil.isEmpty() ? windowTitle() : QStringLiteral("Progreso de %1").arg(pupil));
    m_content->hide();
    m_close->setFocus();
}

void ProgressWindow::setStatus(const QString &text)
{
    m_status->setText(text);
    m_status->setVisible(!text.isEmpty());
}

void ProgressWindow::reload()
{
    const int generation = ++m_generation;
    if (!m_source.session) {
        m_loading = false;
        setStatus(nothingKeptLine());
        announce(this, nothingKeptLine());
        return;
    }
    m_loading = true;
    setStatus(loadingLine());
    const QString pupil = m_source.session->pupil();
    const auto dictations = m_source.dictations;
    QPointer<ProgressWindow> window(this);
    m_source.session->recorder()->run<ProgressReport>(
        [pupil, dictations](progress::ProgressStore &store) {
            ProgressReport report = readReport(store, pupil, dictations);
            // The module is loaded here too, out of the window's way.
            chartModule();
            return report;
        },
        [window, generation](ProgressReport report) {
            if (window && generation == window->m_generation)
                window->showReport(report);
        });
}

void ProgressWindow::showReport(const ProgressReport &report)
{
    m_loading = false;
    m_report = report;
    const bool history = hasHistory(report);
    QStringList status;
    if (!report.problem.isEmpty())
        status.append(report.problem);
    if (!history && report.problem.isEmpty())
        status.append(noHistoryLine());
    setStatus(status.join(QLatin1Char('\n')));

    m_attempts->setRows(history ? attemptRows(report.points) : QList<QStringList>());
    m_kinds->setRows(history ? kindRows(report.kinds) : QList<QStringList>());
    m_words->setRows(history ? wordRows(report.words) : QList<QStringList>());
    for (QTableView *view : {m_attemptsView, m_kindsView, m_wordsView})
        fitColumns(view);

    const QString suggestion = history ? suggestionText(report.rule) : QString();
    m_suggestion->setText(suggestion);
    m_practice->clear();
    if (history) {
        for (const Dictation &dictation : report.practice) {
            auto *item = new QListWidgetItem(dictationName(dictation.typeName, dictation.number),
                                             m_practice);
            item->setData(TypeRole, dictation.type);
            item->setData(NumberRole, dictation.number);
        }
    }
    m_practice->setAccessibleName(suggestion.isEmpty() ? practiceListName() : suggestion);
    m_suggestion->setVisible(!suggestion.isEmpty());
    m_practice->setVisible(!suggestion.isEmpty());
    if (m_practice->count() > 0)
        m_practice->setCurrentRow(0);

    m_content->setVisible(history);
    if (history)
        showCharts();
    if (m_practice->isVisible() && m_practice->count() > 0)
        m_practice->setFocus();
    else if (history)
        m_attemptsView->setFocus();
    else
        m_close->setFocus();
    announce(this, openingAnnouncement(report));
    emit loaded();
}

void ProgressWindow::showCharts()
{
    const ChartModule &module = chartModule();
    QWidget *line = nullptr;
    QWidget *bar = nullptr;
    if (module.loaded()) {
        QList<QPointF> points;
        const qsizetype first = std::max<qsizetype>(0, m_report.points.size() - ShownAttempts);
        for (qsizetype i = first; i < m_report.points.size(); ++i) {
            const progress::MistakesPoint &point = m_report.points.at(i);
            points.append(QPointF(qreal(point.when.toMSecsSinceEpoch()), qreal(point.mistakes)));
        }
        line = module.lineChart(points, nullptr);
        const QList<progress::KindCount> made = madeKinds(m_report.kinds);
        if (!made.isEmpty()) {
            QStringList names;
            QList<qreal> counts;
            for (const progress::KindCount &count : made) {
                names.append(progress::mistakeKindName(count.kind));
                counts.append(qreal(count.count));
            }
            bar = module.barChart(names, counts, nullptr);
        }
    }
    fillSlot(m_lineSlot, line, QStringLiteral("Gráfico de errores de cada dictado"),
             QStringLiteral("Los mismos datos están en la tabla «Errores de cada dictado»."));
    fillSlot(m_barSlot, bar, QStringLiteral("Gráfico de errores de cada tipo"),
             QStringLiteral("Los mismos datos están en la tabla «Errores de cada tipo»."));
}

void ProgressWindow::choose(QListWidgetItem *item)
{
    if (item)
        emit dictationChosen(item->data(TypeRole).toInt(), item->data(NumberRole).toInt());
}

} // namespace letro::progressview
