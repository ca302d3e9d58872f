#pragma once

#include "data/dayfields.h"

#include <QRandomGenerator>
#include <QString>
#include <vector>

// Realistic diaries for the benchmark: every box filled, dates one day apart from 2000 on.
namespace diarygenerator {

std::vector<dayfields::DayTexts> days(int count);
// A day's "Que Has Hecho" as people write it: a few exercises in the forms they use, now and then
// a heading, a slip, a doubtful name or a note.
QString trainingText(QRandomGenerator &random);
// The password of the diaries written.
inline const QString password = QStringLiteral("secreto");
// Creates a sealed diary file with a profile and the given days, and, when a path is given, a
// plain copy of it for tools that read SQLite files; false on failure.
bool writeDiary(const QString &path, int count, const QString &plainCopy = {});

} // namespace diarygenerator
