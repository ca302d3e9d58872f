#pragma once

#include "data/dayfields.h"
#include "data/daywalk.h"
#include "data/failure.h"

#include <QByteArray>
#include <QString>
#include <array>

// The diary as a CSV file, every stored text exactly, in one of two forms: "Hoja de cálculo"
// (semicolon, UTF-8 with BOM, CR LF: what a Spanish spreadsheet opens as it is) and "Estándar"
// (RFC 4180: comma, UTF-8 without BOM, CR LF). A field is quoted when it holds the separator, a
// quote or a line break, its quotes doubled.
namespace csvexport {

enum class Preset { Spreadsheet, Standard };

// The header: fixed ASCII names, one per box in the diary's walk order.
inline constexpr std::array<const char *, dayfields::BoxCount> columnNames = {"fecha",
                                                                              "horas_gimnasio",
                                                                              "desayuno",
                                                                              "comida",
                                                                              "cena",
                                                                              "que_has_hecho",
                                                                              "has_picado",
                                                                              "cuello",
                                                                              "antebrazo_derecho",
                                                                              "biceps_derecho",
                                                                              "cintura",
                                                                              "pierna_izquierda",
                                                                              "gemelo_izquierdo",
                                                                              "pecho",
                                                                              "antebrazo_izquierdo",
                                                                              "biceps_izquierdo",
                                                                              "pierna_derecha",
                                                                              "gemelo_derecho",
                                                                              "culo",
                                                                              "peso",
                                                                              "horario",
                                                                              "agua",
                                                                              "diario"};

char separatorOf(Preset preset);

// Appends one field as the preset writes it.
void appendField(QByteArray &out, const QString &text, char separator);

// The whole file for the days: header, then a line a day.
struct Written {
    bool written = false;
    Failure failure; // why not: the system's error, or the days could not be read
};
// Replaces the file only once it is whole, and for its owner's eyes alone (see privatefile.h).
Written writeFile(const QString &path, Preset preset, const DayWalk &days);

} // namespace csvexport
