#pragma once

#include "training/reader.h"

#include <QDate>
#include <QMap>
#include <array>

// What the readings of many days add up to: the figures of the training window, without widgets.
// Exercises read doubtful are left out until the user says what they are.
namespace training {

// The load a set lifted: its kilograms, or the day's body weight plus the added load for a
// body-weight set; none when unknown. A per-hand load is the load of one hand.
std::optional<double> setLoad(const Set &set, std::optional<double> bodyWeightKg);

// The heaviest single repetition a set suggests: the load itself for one repetition, Epley's
// load × (1 + repetitions / 30) from two to twelve (the formula is surest up to ten), none above
// twelve, nor for a set without a count (to failure, held) or without a known load.
std::optional<double> estimatedMax(const Set &set, std::optional<double> bodyWeightKg);

// A day of the diary as the figures need it.
struct TrainingDay {
    QDate date;
    Reading reading;
    std::optional<double> bodyWeightKg; // the day's weight, for body-weight sets
};

// One exercise over all the days: a line of the window's list.
struct ExerciseSummary {
    QString name;
    bool own = false;
    int days = 0;
    QDate lastDay;
    std::optional<double> bestMax; // the best estimatedMax() of its sets
    QDate bestMaxDay;
};
// Every exercise done, by name.
QList<ExerciseSummary> exerciseSummaries(const QList<TrainingDay> &days);

// One exercise day by day, in the order of the days.
struct HistoryEntry {
    QDate date;
    QList<Set> sets;
    std::optional<double> bestMax;
};
QList<HistoryEntry> history(const QList<TrainingDay> &days, const QString &exercise);

// The heaviest load lifted for at least n repetitions, for n from 1 to 12, with its first day.
struct Record {
    double kg = 0;
    QDate date;
    bool operator==(const Record &) const = default;
};
std::array<std::optional<Record>, 12> records(const QList<TrainingDay> &days,
                                              const QString &exercise);

// The work of a week for one muscle group: kilograms moved (repetitions × load, both hands of a
// per-hand load) and hard sets (each set counts one for its main muscles, half for the others).
struct Volume {
    double kg = 0;
    double hardSets = 0;
    bool operator==(const Volume &) const = default;
};
// By the Monday of each week, then by muscle group.
QMap<QDate, QMap<QString, Volume>> weeklyVolume(const QList<TrainingDay> &days);

} // namespace training
