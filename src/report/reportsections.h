#pragma once

#include "data/dayfields.h"

#include <array>

// The words of each field's section in a day's report block, in the diary's walk order.
namespace reportsections {

struct Words {
    const char16_t *heading; // "Fecha", "Peso En Kilogramos", ...
    const char16_t *unit;    // after a value's text (" Kilos"), else empty
};

inline constexpr std::array<Words, dayfields::BoxCount> words = {{
    {u"Fecha", u""},                                    // Fh
    {u"Horas En El Gimnasio", u" Horas"},               // Hgim
    {u"Desayuno", u""},                                 // Desa
    {u"Comida", u""},                                   // Comi
    {u"Cena", u""},                                     // Cena
    {u"¿ Qúe Has Hecho ?", u""},                        // Qhash
    {u"¿ Has Picado Algo ?", u""},                      // Haspi
    {u"Diametro En Cm De Cuello", u" Cm"},              // Dcue
    {u"Diametro En Cm De Antebrazo Derecho", u" Cm"},   // Dad
    {u"Diametro En Cm De Biceps Derecho", u" Cm"},      // Dbd
    {u"Diametro En Cm De Cintura", u" Cm"},             // Dc
    {u"Diametro En Cm De Pierna Izquierda", u" Cm"},    // Dpi
    {u"Diametro En Cm De Gemelo Izquierdo", u" Cm"},    // Dgi
    {u"Diametro En Cm De Pecho", u" Cm"},               // Dp
    {u"Diametro En Cm De Antebrazo Izquierdo", u" Cm"}, // Dai
    {u"Diametro En Cm De Biceps Izquierdo", u" Cm"},    // Dbi
    {u"Diametro En Cm De Pierna Derecha", u" Cm"},      // Dpd
    {u"Diametro En Cm De Gemelo Derecho", u" Cm"},      // Dgd
    {u"Diametro En Cm De Culo", u" Cm"},                // Dculo
    {u"Peso En Kilogramos", u" Kilos"},                 // Peski
    {u"Horario De Este Día", u""},                      // Horahoy
    {u"Litros De Agua Bebidos Este Día", u" Litros"},   // Lagua
    {u"Diario De ", u""},                               // Eldiario
}};

} // namespace reportsections
