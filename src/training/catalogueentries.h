#pragma once

#include "training/catalogue.h"

#include <span>

// The catalogue's table as written: one row an exercise. The look-ups are built from it once, in
// catalogue.cpp.
namespace training {
namespace internal {

struct CatalogueRow {
    const char16_t *name;
    // Other names people write, '|' between them. A name given to two exercises ("pm", "press",
    // "extensiones") makes the reading of it doubtful.
    const char16_t *aliases;
    unsigned primary;   // muscle groups as bits: 1 << Muscle
    unsigned secondary; // muscle groups as bits
    BodyWeight bodyWeight;
};

std::span<const CatalogueRow> catalogueRows();

} // namespace internal
} // namespace training
