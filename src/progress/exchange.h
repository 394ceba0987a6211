// A pupil's results carried from one machine to another: a JSON file the
// teacher exports where the results are and brings in where the class is
// seen. Each attempt keeps its id, so bringing the same file in twice, or
// results the store already has, counts nothing twice (see
// ProgressDatabase::writeAll).
//
//   {"formato": "letro-resultados", "version": 1, "intentos": [
//     {"id": "…", "alumno": "ana", "fecha": "2025-03-03T09:00:01.000Z",
//      "tipo": "Palabras", "numero": 1, "texto": "…", "terminado": true,
//      "segundos": 41, "pulsaciones_por_minuto": 219, "aciertos": 150,
//      "errores": 1,
//      "fallos": [{"posicion": 0, "esperado": "V", "escrito": "B", "clase": "b-v"}]}]}
//
// The kinds of mistake are written by their stored names (mistakeKindCode),
// the time in UTC to the millisecond.
#pragma once

#include "attemptrecord.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace letro::progress {

// The file's format name and the newest version this program writes and reads.
QString exchangeFormat();
int exchangeVersion();

QByteArray exportAttempts(const QList<AttemptRecord> &attempts);

struct ImportResult
{
    QList<AttemptRecord> attempts;
    // Empty when the file was read whole; otherwise what is wrong with it, in
    // Spanish (to follow "No se pueden traer los resultados: "), and no
    // attempts at all.
    QString problem;
};

// Reads a file exportAttempts() wrote. Nothing is taken from a file with
// anything wrong in it: another format, a newer version, a field missing or
// of the wrong type, an invalid id or time, an unknown kind of mistake.
ImportResult importAttempts(const QByteArray &data);

} // namespace letro::progress
