#pragma once

#include "training/workouttext.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

// The rows of a workout app's CSV export: which app wrote it, told by its header, and what each
// row says (workoutimport.h puts the rows together into days).
namespace workoutrows {

// What a column holds. The weight is in the unit of `WeightUnit`, or kilograms without one.
enum Role {
    Date,
    Exercise,
    SetOrder, // Strong: a number, or W (warm-up), D (drop set), F (to failure)
    SetType,  // Hevy: normal, warmup, failure, dropset
    WarmUp,   // FitNotes: true/false, 1/0
    Category, // FitNotes' own column, which tells its files apart
    Weight,
    WeightKg,
    WeightLbs,
    WeightUnit,
    Reps,
    Distance, // in the unit of `DistanceUnit`, or kilometres without one
    DistanceKm,
    DistanceMiles,
    DistanceUnit,
    Seconds,
    Time, // h:mm:ss, mm:ss or seconds
    RoleCount
};

// The columns of a header: where each role is (-1 when absent) and the app that writes them.
struct Columns {
    QString app;
    std::array<int, RoleCount> at{};
};

// The columns of the first line, when they are those of Strong, Hevy or FitNotes (names in any
// order and case, other columns ignored); none otherwise.
std::optional<Columns> columnsOf(const QStringList &header);

// What one row says.
struct Row {
    enum Kind { Set, WarmUp, Cardio, NoSet } kind = NoSet;
    QDate date;
    int minute = -1; // of the day, when the date has a time
    QString exercise;
    training::DoneSet set;
    qint64 seconds = 0; // Cardio
    double km = 0;      // Cardio
};

// A row read, or why it is rejected: the column and value at fault, and the reason.
struct Read {
    std::optional<Row> row;
    QString column;
    QString value;
    QString reason;
};

Read readRow(const Columns &columns, const QStringList &header, const QStringList &fields);

} // namespace workoutrows
