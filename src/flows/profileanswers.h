#pragma once

#include "data/profilestore.h"

#include <QDate>
#include <QString>
#include <QStringView>
#include <optional>

// Answers about the user that read but cannot be meant: a height of "1,80" (2 cm), a birth date
// still to come, a gym start before the birth. Each check gives the reason to show before the
// question is asked again, or nothing when the answer can be taken.
namespace profileanswers {

inline constexpr int lowestHeight = 50;
inline constexpr int highestHeight = 272;

inline const QString dateError =
    QStringLiteral("ERROR. Introduce Una Fecha Válida En Formato DD/MM/AAAA");

// Whole centimetres between the lowest and the highest height.
std::optional<QString> heightProblem(QStringView answer);
// A date, and not later than today.
std::optional<QString> birthDateProblem(QStringView answer, QDate today);
// A date, and not earlier than the birth date (when that reads as one).
std::optional<QString> gymStartProblem(QStringView answer, QStringView birthDate);
// The first problem of a whole profile, in the order its questions are asked; an edited profile
// must have a name too.
std::optional<QString> profileProblem(const StoredProfile &profile, QDate today);

} // namespace profileanswers
