#include "classreport.h"

#include <QCollator>
#include <QHash>
#include <QLocale>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextDocument>

#include <algorithm>

namespace letro::editor {

using progress::AttemptRecord;
using progress::ClassCell;
using progress::mistakeKinds;

namespace {

QLocale spanish()
{
    return QLocale(QLocale::Spanish, QLocale::Spain);
}

QString longDate(const QDate &date)
{
    return spanish().toString(date, QStringLiteral("d 'de' MMMM 'de' yyyy"));
}

QString escaped(const QString &text)
{
    return text.toHtmlEscaped().replace(QLatin1Char('\n'), QStringLiteral("<br>"));
}

// A table of HTML: the headings, then the rows; numbers to the right.
QString htmlTable(const QStringList &headings, const QList<QStringList> &rows, int textColumns)
{
    QString html = QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"4\" "
                                  "width=\"100%\"><thead><tr>");
    for (const QString &heading : headings)
        html += QStringLiteral("<th bgcolor=\"#e8e8e8\">%1</th>").arg(escaped(heading));
    html += QStringLiteral("</tr></thead>");
    for (const QStringList &row : rows) {
        html += QStringLiteral("<tr>");
        for (int column = 0; column < row.size(); ++column)
            html += QStringLiteral("<td%1>%2</td>")
                        .arg(column < textColumns ? QString() : QStringLiteral(" align=\"right\""),
                             escaped(row.at(column)));
        html += QStringLiteral("</tr>");
    }
    return html + QStringLiteral("</table>");
}

QString page(const QString &title, const QString &subtitle, const QString &body)
{
    return QStringLiteral("<html><body><h1>%1</h1><p>%2</p>%3</body></html>")
        .arg(escaped(title), escaped(subtitle), body);
}

} // namespace

QList<PupilTotals> pupilTotals(const QList<AttemptRecord> &attempts)
{
    QList<PupilTotals> totals;
    QHash<QString, qsizetype> index;
    for (const AttemptRecord &attempt : attempts) {
        auto found = index.constFind(attempt.pupil);
        if (found == index.constEnd()) {
            found = index.insert(attempt.pupil, totals.size());
            totals.append({attempt.pupil, 0, 0});
        }
        PupilTotals &pupil = totals[*found];
        ++pupil.attempts;
        pupil.mistakes += attempt.mistakes;
    }
    return totals;
}

QList<ClassRow> classRows(const QList<ClassCell> &cells, const QList<PupilTotals> &totals)
{
    const QList<Mistake> kinds = mistakeKinds();
    QList<ClassRow> rows;
    QHash<QString, qsizetype> index;
    auto rowOf = [&](const QString &pupil) -> ClassRow & {
        auto found = index.constFind(pupil);
        if (found == index.constEnd()) {
            found = index.insert(pupil, rows.size());
            rows.append({pupil, 0, 0, QList<qint64>(kinds.size(), 0)});
        }
        return rows[*found];
    };
    for (const PupilTotals &pupil : totals) {
        ClassRow &row = rowOf(pupil.pupil);
        row.attempts += pupil.attempts;
        row.mistakes += pupil.mistakes;
    }
    for (const ClassCell &cell : cells) {
        const qsizetype kind = kinds.indexOf(cell.kind);
        if (kind >= 0)
            rowOf(cell.pupil).byKind[kind] += cell.count;
    }
    QCollator collator(spanish());
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::sort(rows.begin(), rows.end(), [&](const ClassRow &a, const ClassRow &b) {
        const int order = collator.compare(a.pupil, b.pupil);
        return order != 0 ? order < 0 : a.pupil < b.pupil;
    });
    return rows;
}

QStringList classHeadings()
{
    QStringList headings = {QStringLiteral("Alumno"), QStringLiteral("Intentos"),
                            QStringLiteral("Fallos")};
    for (Mistake kind : mistakeKinds())
        headings.append(progress::mistakeKindName(kind));
    return headings;
}

QStringList classRowTexts(const ClassRow &row)
{
    QStringList texts = {row.pupil, QString::number(row.attempts), QString::number(row.mistakes)};
    for (qint64 count : row.byKind)
        texts.append(QString::number(count));
    return texts;
}

QStringList historyHeadings()
{
    return {QStringLiteral("Fecha"),
            QStringLiteral("Ejercicio"),
            QStringLiteral("Terminado"),
            QStringLiteral("Segundos"),
            QStringLiteral("Pulsaciones por minuto"),
            QStringLiteral("Aciertos"),
            QStringLiteral("Fallos")};
}

QStringList historyRowTexts(const AttemptRecord &attempt)
{
    return {attempt.when.toLocalTime().toString(QStringLiteral("dd/MM/yyyy HH:mm")),
            QStringLiteral("%1 %2").arg(attempt.exerciseType).arg(attempt.exerciseNumber),
            attempt.finished ? QStringLiteral("Sí") : QStringLiteral("No"),
            QString::number(attempt.seconds),
            QString::number(attempt.keysPerMinute),
            QString::number(attempt.hits),
            QString::number(attempt.mistakes)};
}

QDate defaultSpanStart(const QDate &today)
{
    return today.addDays(-29);
}

progress::DateSpan spanOfDates(const QDate &from, const QDate &to)
{
    return {from.startOfDay(), to.addDays(1).startOfDay()};
}

QString spanText(const QDate &from, const QDate &to)
{
    if (from == to)
        return QStringLiteral("el %1").arg(longDate(from));
    return QStringLiteral("del %1 al %2").arg(longDate(from), longDate(to));
}

QString csvField(const QString &field)
{
    QString text = field;
    static const QString formulaStarts = QStringLiteral("=+-@");
    if (!text.isEmpty() && formulaStarts.contains(text.front()))
        text.prepend(QLatin1Char('\''));
    const bool quoted = text.contains(QLatin1Char(';')) || text.contains(QLatin1Char('"')) ||
                        text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r')) ||
                        text.startsWith(QLatin1Char(' ')) || text.endsWith(QLatin1Char(' '));
    if (!quoted)
        return text;
    text.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + text + QLatin1Char('"');
}

QString classCsvText(const QList<ClassRow> &rows)
{
    auto line = [](const QStringList &fields) {
        QStringList quoted;
        for (const QString &field : fields)
            quoted.append(csvField(field));
        return quoted.join(QLatin1Char(';')) + QStringLiteral("\r\n");
    };
    QString text = line(classHeadings());
    for (const ClassRow &row : rows)
        text += line(classRowTexts(row));
    return text;
}

QByteArray classCsv(const QList<ClassRow> &rows)
{
    return QByteArrayLiteral("\xEF\xBB\xBF") + classCsvText(rows).toUtf8();
}

QString classReportHtml(const QString &span, const QList<ClassRow> &rows)
{
    QList<QStringList> cells;
    for (const ClassRow &row : rows)
        cells.append(classRowTexts(row));
    const QString body =
        rows.isEmpty() ? QStringLiteral("<p>Ningún alumno hizo ejercicios en estas fechas.</p>")
                       : htmlTable(classHeadings(), cells, 1);
    return page(QStringLiteral("Resultados de la clase"),
                QStringLiteral("Fallos por tipo, %1.").arg(span), body);
}

QString pupilReportHtml(const QString &span, const ClassRow &row,
                        const QList<AttemptRecord> &history)
{
    QList<QStringList> attempts;
    for (const AttemptRecord &attempt : history)
        attempts.append(historyRowTexts(attempt));
    QStringList headings = classHeadings();
    headings.removeFirst();
    QStringList totals = classRowTexts(row);
    totals.removeFirst();
    const QString body = htmlTable(headings, {totals}, 0) + QStringLiteral("<h2>Ejercicios</h2>") +
                         htmlTable(historyHeadings(), attempts, 3);
    return page(QStringLiteral("Resultados de %1").arg(row.pupil),
                QStringLiteral("Fallos por tipo, %1.").arg(span), body);
}

QString writePdf(const QString &path, const QString &title, const QString &html, bool landscape)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QStringLiteral("No se puede escribir «%1»: %2.").arg(path, file.errorString());
    {
        QPdfWriter writer(&file);
        writer.setTitle(title);
        writer.setCreator(QStringLiteral("Editor de dictados de Letro"));
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4),
                                         landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                                         QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter));
        QTextDocument document;
        QFont font = document.defaultFont();
        font.setPointSize(11); // readable when printed and passed round a table
        document.setDefaultFont(font);
        document.setHtml(html);
        document.print(&writer);
    }
    if (!file.commit())
        return QStringLiteral("No se puede escribir «%1»: %2.").arg(path, file.errorString());
    return QString();
}

QString writeWhole(const QString &path, const QByteArray &data)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit())
        return QStringLiteral("No se puede escribir «%1»: %2.").arg(path, file.errorString());
    return QString();
}

QString sourceText(const progress::StoreSettings &settings)
{
    if (settings.backend == progress::Backend::PostgreSQL) {
        const QString where = !settings.service.isEmpty() ? settings.service
                              : !settings.host.isEmpty()  ? settings.host
                                                          : QStringLiteral("este equipo");
        return QStringLiteral("Resultados del servidor del colegio (base «%1» en %2).")
            .arg(settings.database, where);
    }
    return QStringLiteral("Resultados guardados en este equipo por esta cuenta (%1).")
        .arg(settings.localPath);
}

QString attemptsText(qint64 count)
{
    return count == 1 ? QStringLiteral("1 intento") : QStringLiteral("%1 intentos").arg(count);
}

QString importMessage(qint64 added, qint64 total)
{
    if (total == 0)
        return QStringLiteral("El archivo no tiene ningún intento.");
    const qint64 there = total - added;
    const QString news = added == 1 ? QStringLiteral("1 intento nuevo")
                                    : QStringLiteral("%1 intentos nuevos").arg(added);
    return QStringLiteral("Traídos %1; %2 ya %3.")
        .arg(news, attemptsText(there),
             there == 1 ? QStringLiteral("estaba") : QStringLiteral("estaban"));
}

QString removeQuestion(const QString &pupil, qint64 attempts)
{
    return QStringLiteral("¿Borrar todos los resultados de «%1»? Son %2, de todas las fechas, "
                          "y no se pueden recuperar.")
        .arg(pupil, attemptsText(attempts));
}

QString removedMessage(const QString &pupil, qint64 removed)
{
    return QStringLiteral("Borrados los resultados de «%1»: %2.").arg(pupil, attemptsText(removed));
}

QString pupilFileName(const QString &pupil)
{
    QString name = pupil;
    static const QString unsafe = QStringLiteral("/\\:*?\"<>|");
    for (QChar &c : name)
        if (unsafe.contains(c) || c.category() == QChar::Other_Control)
            c = QLatin1Char('_');
    return QStringLiteral("resultados de %1.json").arg(name);
}

} // namespace letro::editor
