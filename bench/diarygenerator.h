#pragma once

#include "dayfields.h"

#include <QString>
#include <vector>

// Realistic diaries for the benchmark: every box filled, dates one day apart from 2000 on.
namespace diarygenerator {

std::vector<dayfields::DayTexts> days(int count);
// The password of the diaries written.
inline const QString password = QStringLiteral("secreto");
// Creates a sealed diary file with a profile and the given days, and, when a path is given, a
// plain copy of it for tools that read SQLite files; false on failure.
bool writeDiary(const QString &path, int count, const QString &plainCopy = {});

} // namespace diarygenerator
