// What the teacher's view of the class results shows and writes, as pure
// functions of the results read from the store: the rows of the class table,
// a pupil's history, the span of dates, the CSV and the pages of the PDF, and
// the messages said about them. The window (classresults.h) only shows them.
#pragma once

#include "progress/attemptrecord.h"
#include "progress/database.h"
#include "progress/storesettings.h"

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

namespace letro::editor {

// How many attempts a pupil made in the span, and their mistakes as the
// summary line counted them.
struct PupilTotals
{
    QString pupil;
    qint64 attempts = 0;
    qint64 mistakes = 0;
};

// One row of the class table.
struct ClassRow
{
    QString pupil;
    qint64 attempts = 0;
    qint64 mistakes = 0;
    QList<qint64> byKind; // one count per kind, in progress::mistakeKinds()'s order
};

// Each pupil's attempts and mistakes in `attempts`.
QList<PupilTotals> pupilTotals(const QList<progress::AttemptRecord> &attempts);

// One row per pupil who made an attempt or a mistake in the span, in the
// alphabetical order of Spanish (capitals and accents aside), with a count
// for every kind, 0 for those never made.
QList<ClassRow> classRows(const QList<progress::ClassCell> &cells,
                          const QList<PupilTotals> &totals);

// The class table's headings: the pupil, the attempts, the mistakes and the
// short name of each kind; and the texts of a row's cells under them.
QStringList classHeadings();
QStringList classRowTexts(const ClassRow &row);

// The history of one pupil: the headings, and the cells of one attempt
// (its date and time in the local time).
QStringList historyHeadings();
QStringList historyRowTexts(const progress::AttemptRecord &attempt);

// The first day shown when the view opens: the last 30 days, today included.
QDate defaultSpanStart(const QDate &today);
// The days `from` to `to`, both whole, in the local time.
progress::DateSpan spanOfDates(const QDate &from, const QDate &to);
// "del 9 de noviembre de 2026 al 8 de diciembre de 2026" ("el 8 de ..." for one day).
QString spanText(const QDate &from, const QDate &to);

// One field of a CSV line: as it is, or between double quotes (those inside
// doubled) when it holds the separator, a quote, a line break or blanks at
// its ends. A text a spreadsheet would take for a formula (starting with
// =, +, - or @) is kept as text by a leading apostrophe.
QString csvField(const QString &field);
// The class table as CSV: a header row, then one line per pupil, fields
// split by ';' and lines ended by CR LF.
QString classCsvText(const QList<ClassRow> &rows);
// The bytes of the file: UTF-8 with its byte-order mark, so that every
// spreadsheet program reads the accents right.
QByteArray classCsv(const QList<ClassRow> &rows);

// The pages of the PDF, as the HTML a QTextDocument lays out: the class
// table, or one pupil's row and history.
QString classReportHtml(const QString &span, const QList<ClassRow> &rows);
QString pupilReportHtml(const QString &span, const ClassRow &row,
                        const QList<progress::AttemptRecord> &history);

// Writes `html` as an A4 PDF to `path`, whole or not at all (landscape for
// the wide class table). Returns why it could not, in Spanish, or "".
QString writePdf(const QString &path, const QString &title, const QString &html, bool landscape);
// Writes `data` to `path` whole or not at all; why it could not, or "".
QString writeWhole(const QString &path, const QByteArray &data);

// Where the results shown come from, in a sentence.
QString sourceText(const progress::StoreSettings &settings);

// What the teacher is told about the results brought from another computer:
// `added` of the `total` in the file were new, the rest were already there.
QString importMessage(qint64 added, qint64 total);
// The question before deleting a pupil's results, and what is said after.
QString removeQuestion(const QString &pupil, qint64 attempts);
QString removedMessage(const QString &pupil, qint64 removed);
// The file a pupil's results are exported to, by default.
QString pupilFileName(const QString &pupil);
// "1 intento", "3 intentos".
QString attemptsText(qint64 count);

} // namespace letro::editor
