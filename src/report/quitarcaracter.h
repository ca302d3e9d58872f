#pragma once

#include <QString>
#include <optional>

// sValor with every character of the set sCaracter removed (by default ".,:/ ": full stop,
// comma, colon, slash and blank). Characters are compared by exact code, case and accents
// included; the rest keep their order and nothing else changes. A character outside the basic
// plane (a surrogate pair) counts as one character, both in the text and in the set.
QString QuitarCaracter(const QString &sValor, const std::optional<QString> &sCaracter = {});
