#pragma once

#include "training/reader.h"

#include <QByteArray>
#include <QIODevice>

// Readings written as JSON, one object a line: what `gimnasio --leer-entrenamiento` prints.
namespace training {

// {"texto": ..., "ejercicios": [{"ejercicio": ..., "propio": ..., "musculos": [...],
//  "musculos_secundarios": [...], "dudoso": ..., "posibles": [...], "series": [{"repeticiones":
//  8, "kg": 80, "peso_corporal": false, "lastre_kg": 0, "al_fallo": false, "por_mano": false,
//  "segundos": null}]}], "notas": [...], "dudoso": false}, without a line break. One element of
// "series" per set done; null "kg" where no load was written, null "repeticiones" for a set to
// failure without a count or a held one.
QByteArray jsonLine(QStringView text, const Reading &reading);

// Reads texts from in, one a line (UTF-8; a literal "\n" inside a line stands for a line break)
// and writes the JSON line of each to out. Returns the number of texts read.
qint64 readLines(QIODevice &in, QIODevice &out, const Corrections &corrections = {});

} // namespace training
