#pragma once

#include "dayfields.h"

#include <QString>
#include <vector>

// Realistic diaries for the benchmark: every box filled, dates one day apart from 2000 on.
namespace diarygenerator {

std::vector<dayfields::DayTexts> days(int count);
// Creates a diary file with a profile and the given days; false on failure.
bool writeDiary(const QString &path, int count);

} // namespace diarygenerator
