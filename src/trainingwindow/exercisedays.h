#pragma once

#include "training/figures.h"

#include <QDate>
#include <QList>
#include <QMap>
#include <QString>
#include <optional>

// The days of each exercise as the training log keeps them between drawings: a diary of years
// holds tens of thousands of sets, kept in a third of the room of the reader's own form and
// turned back into it (daysOf) one exercise at a time.
namespace exercisedays {

// A set in little room: NaN for no load, -1 for no count or no time.
struct KeptSet {
    double kg = 0;
    double addedKg = 0;
    qint32 reps = -1;
    qint32 seconds = -1;
    quint8 flags = 0; // body weight, to failure, per hand
};

struct ExerciseDay {
    QDate date;
    std::optional<double> bodyWeightKg;
    QList<KeptSet> sets;
};

// One exercise over the days: what it is (name, muscles, body weight; no sets) and its days in
// date order.
struct ExerciseLog {
    training::Exercise exercise;
    QList<ExerciseDay> days;
};
// By name.
using Exercises = QMap<QString, ExerciseLog>;

// Adds the exercises of a day read surely (the figures leave the others out).
void add(Exercises &exercises, const training::TrainingDay &day);

// The days of one exercise as the figures take them: that exercise alone on each.
QList<training::TrainingDay> daysOf(const ExerciseLog &exercise);

// training::exerciseSummaries() and training::weeklyVolume() of all the days, added up a few
// days at a time so that the readings of all of them are never held at once. The days come in
// date order, and the days of one date together.
struct Totals {
    QMap<QString, training::ExerciseSummary> exercises;
    QMap<QDate, QMap<QString, training::Volume>> weeks;
    void add(const QList<training::TrainingDay> &days);
};

} // namespace exercisedays
