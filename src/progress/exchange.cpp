#include "exchange.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>

#include <limits>

namespace letro::progress {

namespace {

// The names of the fields, written and read from here only.
namespace field {
const QLatin1String format("formato");
const QLatin1String version("version");
const QLatin1String attempts("intentos");
const QLatin1String id("id");
const QLatin1String pupil("alumno");
const QLatin1String when("fecha");
const QLatin1String exerciseType("tipo");
const QLatin1String exerciseNumber("numero");
const QLatin1String text("texto");
const QLatin1String finished("terminado");
const QLatin1String seconds("segundos");
const QLatin1String keysPerMinute("pulsaciones_por_minuto");
const QLatin1String hits("aciertos");
const QLatin1String mistakes("errores");
const QLatin1String mistakeList("fallos");
const QLatin1String position("posicion");
const QLatin1String expected("esperado");
const QLatin1String typed("escrito");
const QLatin1String kind("clase");
} // namespace field

QString timeText(const QDateTime &when)
{
    return when.toUTC().toString(Qt::ISODateWithMs);
}

// Reads the fields of one object, and on the first thing wrong keeps what it
// is, said with where it was ("intento 3, fallo 2: ...").
class Reader
{
public:
    Reader(const QJsonObject &object, const QString &where) : m_object(object), m_where(where) {}

    QString problem() const { return m_problem; }

    bool text(QLatin1String name, QString *value)
    {
        const QJsonValue found = take(name);
        if (found.isUndefined()) {
            return false;
        }
        if (!found.isString()) {
            return wrongType(name, QStringLiteral("un texto"));
        }
        *value = found.toString();
        return true;
    }

    // A whole number from 0 to `largest`.
    bool number(QLatin1String name, qint64 *value,
                qint64 largest = std::numeric_limits<qint64>::max())
    {
        const QJsonValue found = take(name);
        if (found.isUndefined()) {
            return false;
        }
        const qint64 number = found.isDouble() ? found.toInteger(-1) : -1;
        if (number < 0 || number > largest) {
            return wrongType(name, QStringLiteral("un número entero desde 0"));
        }
        *value = number;
        return true;
    }

    bool number(QLatin1String name, int *value)
    {
        qint64 wide = 0;
        if (!number(name, &wide, std::numeric_limits<int>::max())) {
            return false;
        }
        *value = int(wide);
        return true;
    }

    bool yesNo(QLatin1String name, bool *value)
    {
        const QJsonValue found = take(name);
        if (found.isUndefined()) {
            return false;
        }
        if (!found.isBool()) {
            return wrongType(name, QStringLiteral("sí o no (true o false)"));
        }
        *value = found.toBool();
        return true;
    }

    bool list(QLatin1String name, QJsonArray *value)
    {
        const QJsonValue found = take(name);
        if (found.isUndefined()) {
            return false;
        }
        if (!found.isArray()) {
            return wrongType(name, QStringLiteral("una lista"));
        }
        *value = found.toArray();
        return true;
    }

    bool id(QUuid *value)
    {
        QString text;
        if (!this->text(field::id, &text)) {
            return false;
        }
        *value = QUuid::fromString(text);
        if (value->isNull()) {
            return fail(QStringLiteral("el identificador «%1» no es válido").arg(text));
        }
        return true;
    }

    bool time(QDateTime *value)
    {
        QString text;
        if (!this->text(field::when, &text)) {
            return false;
        }
        // With its offset from UTC ("Z" or "+01:00"): a time without one
        // would be read in this machine's zone.
        const QDateTime read = QDateTime::fromString(text, Qt::ISODateWithMs);
        if (!read.isValid() || read.timeSpec() == Qt::LocalTime) {
            return fail(QStringLiteral("la fecha «%1» no es válida").arg(text));
        }
        *value = QDateTime::fromMSecsSinceEpoch(read.toMSecsSinceEpoch(), Qt::UTC);
        return true;
    }

    bool kind(Mistake *value)
    {
        QString code;
        if (!text(field::kind, &code)) {
            return false;
        }
        *value = mistakeKindFromCode(code);
        if (*value == Mistake::None) {
            return fail(QStringLiteral("la clase de fallo «%1» no existe").arg(code));
        }
        return true;
    }

    bool fail(const QString &what)
    {
        m_problem = m_where.isEmpty() ? what : m_where + QStringLiteral(": ") + what;
        return false;
    }

private:
    // The value of `name`; undefined, with the problem kept, when missing.
    QJsonValue take(QLatin1String name)
    {
        const QJsonValue found = m_object.value(name);
        if (found.isUndefined()) {
            fail(QStringLiteral("falta «%1»").arg(name));
        }
        return found;
    }

    bool wrongType(QLatin1String name, const QString &expected)
    {
        return fail(QStringLiteral("«%1» no es %2").arg(name, expected));
    }

    QJsonObject m_object;
    QString m_where;
    QString m_problem;
};

bool readMistake(const QJsonValue &value, const QString &where, MistakeRecord *mistake,
                 QString *problem)
{
    Reader reader(value.toObject(), where);
    const bool read = (value.isObject() || reader.fail(QStringLiteral("no es un objeto"))) &&
                      reader.number(field::position, &mistake->position) &&
                      reader.text(field::expected, &mistake->expected) &&
                      reader.text(field::typed, &mistake->typed) && reader.kind(&mistake->kind);
    *problem = reader.problem();
    return read;
}

bool readAttempt(const QJsonValue &value, const QString &where, AttemptRecord *attempt,
                 QString *problem)
{
    Reader reader(value.toObject(), where);
    QJsonArray mistakes;
    const bool read = (value.isObject() || reader.fail(QStringLiteral("no es un objeto"))) &&
                      reader.id(&attempt->id) && reader.text(field::pupil, &attempt->pupil) &&
                      (!attempt->pupil.trimmed().isEmpty() ||
                       reader.fail(QStringLiteral("«%1» está vacío").arg(field::pupil))) &&
                      reader.time(&attempt->when) &&
                      reader.text(field::exerciseType, &attempt->exerciseType) &&
                      reader.number(field::exerciseNumber, &attempt->exerciseNumber) &&
                      reader.text(field::text, &attempt->text) &&
                      reader.yesNo(field::finished, &attempt->finished) &&
                      reader.number(field::seconds, &attempt->seconds) &&
                      reader.number(field::keysPerMinute, &attempt->keysPerMinute) &&
                      reader.number(field::hits, &attempt->hits) &&
                      reader.number(field::mistakes, &attempt->mistakes) &&
                      reader.list(field::mistakeList, &mistakes);
    if (!read) {
        *problem = reader.problem();
        return false;
    }
    for (qsizetype i = 0; i < mistakes.size(); ++i) {
        MistakeRecord mistake;
        if (!readMistake(mistakes.at(i), where + QStringLiteral(", fallo %1").arg(i + 1), &mistake,
                         problem)) {
            return false;
        }
        attempt->mistakeList.append(mistake);
    }
    return true;
}

} // namespace

QString exchangeFormat()
{
    return QStringLiteral("letro-resultados");
}

int exchangeVersion()
{
    return 1;
}

QByteArray exportAttempts(const QList<AttemptRecord> &attempts)
{
    QJsonArray list;
    for (const AttemptRecord &attempt : attempts) {
        QJsonArray mistakes;
        for (const MistakeRecord &mistake : attempt.mistakeList) {
            mistakes.append(QJsonObject{{field::position, mistake.position},
                                        {field::expected, mistake.expected},
                                        {field::typed, mistake.typed},
                                        {field::kind, mistakeKindCode(mistake.kind)}});
        }
        list.append(QJsonObject{{field::id, attempt.id.toString(QUuid::WithoutBraces)},
                                {field::pupil, attempt.pupil},
                                {field::when, timeText(attempt.when)},
                                {field::exerciseType, attempt.exerciseType},
                                {field::exerciseNumber, attempt.exerciseNumber},
                                {field::text, attempt.text},
                                {field::finished, attempt.finished},
                                {field::seconds, attempt.seconds},
                                {field::keysPerMinute, attempt.keysPerMinute},
                                {field::hits, attempt.hits},
                                {field::mistakes, attempt.mistakes},
                                {field::mistakeList, mistakes}});
    }
    const QJsonObject document{{field::format, exchangeFormat()},
                               {field::version, exchangeVersion()},
                               {field::attempts, list}};
    return QJsonDocument(document).toJson(QJsonDocument::Indented);
}

ImportResult importAttempts(const QByteArray &data)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(data, &error);
    const QJsonObject top = document.object();
    if (error.error != QJsonParseError::NoError || !document.isObject() ||
        top.value(field::format) != QJsonValue(exchangeFormat())) {
        return {{}, QStringLiteral("el archivo no es de resultados de Letro")};
    }
    Reader reader(top, QString());
    int version = 0;
    QJsonArray list;
    if (!reader.number(field::version, &version)) {
        return {{}, reader.problem()};
    }
    if (version > exchangeVersion()) {
        return {{},
                QStringLiteral("el archivo es de una versión más nueva de Letro (formato %1)")
                    .arg(version)};
    }
    if (version < 1) {
        return {{}, QStringLiteral("la versión %1 del archivo no existe").arg(version)};
    }
    if (!reader.list(field::attempts, &list)) {
        return {{}, reader.problem()};
    }
    ImportResult result;
    for (qsizetype i = 0; i < list.size(); ++i) {
        AttemptRecord attempt;
        QString problem;
        if (!readAttempt(list.at(i), QStringLiteral("intento %1").arg(i + 1), &attempt, &problem)) {
            return {{}, problem};
        }
        result.attempts.append(attempt);
    }
    return result;
}

} // namespace letro::progress
