#include "training/figures.h"

namespace training {
namespace {

// Calls f(day, exercise) for every exercise read surely.
template <typename F> void forEachExercise(const QList<TrainingDay> &days, F &&f) {
    for (const TrainingDay &day : days)
        for (const Exercise &exercise : day.reading.exercises)
            if (!exercise.doubtful)
                f(day, exercise);
}

std::optional<double> bestOf(const QList<Set> &sets, std::optional<double> bodyWeightKg) {
    std::optional<double> best;
    for (const Set &set : sets)
        if (const auto max = estimatedMax(set, bodyWeightKg); max && (!best || *max > *best))
            best = max;
    return best;
}

} // namespace

std::optional<double> setLoad(const Set &set, std::optional<double> bodyWeightKg) {
    if (set.bodyWeight)
        return bodyWeightKg ? std::optional(*bodyWeightKg + set.addedKg) : std::nullopt;
    return set.kg;
}

std::optional<double> estimatedMax(const Set &set, std::optional<double> bodyWeightKg) {
    const std::optional<double> load = setLoad(set, bodyWeightKg);
    if (!load || !set.reps || set.seconds || *set.reps < 1 || *set.reps > 12)
        return std::nullopt;
    return *set.reps == 1 ? *load : *load * (1 + *set.reps / 30.0);
}

QList<ExerciseSummary> exerciseSummaries(const QList<TrainingDay> &days) {
    QMap<QString, ExerciseSummary> byName;
    QMap<QString, QDate> counted; // the last day counted for each exercise
    forEachExercise(days, [&](const TrainingDay &day, const Exercise &exercise) {
        ExerciseSummary &summary = byName[exercise.name];
        summary.name = exercise.name;
        summary.own = exercise.own;
        if (counted.value(exercise.name) != day.date || !day.date.isValid())
            ++summary.days;
        counted[exercise.name] = day.date;
        if (!summary.lastDay.isValid() || day.date > summary.lastDay)
            summary.lastDay = day.date;
        const auto best = bestOf(exercise.sets, day.bodyWeightKg);
        if (best && (!summary.bestMax || *best > *summary.bestMax)) {
            summary.bestMax = best;
            summary.bestMaxDay = day.date;
        }
    });
    return byName.values();
}

QList<HistoryEntry> history(const QList<TrainingDay> &days, const QString &exercise) {
    QList<HistoryEntry> entries;
    forEachExercise(days, [&](const TrainingDay &day, const Exercise &done) {
        if (done.name != exercise)
            return;
        if (entries.isEmpty() || entries.last().date != day.date)
            entries += HistoryEntry{day.date, {}, {}};
        entries.last().sets += done.sets;
        entries.last().bestMax = bestOf(entries.last().sets, day.bodyWeightKg);
    });
    return entries;
}

std::array<std::optional<Record>, 12> records(const QList<TrainingDay> &days,
                                              const QString &exercise) {
    std::array<std::optional<Record>, 12> best;
    forEachExercise(days, [&](const TrainingDay &day, const Exercise &done) {
        if (done.name != exercise)
            return;
        for (const Set &set : done.sets) {
            const auto load = setLoad(set, day.bodyWeightKg);
            if (!load || !set.reps || set.seconds)
                continue;
            for (int n = 1; n <= std::min(*set.reps, 12); ++n) {
                std::optional<Record> &record = best[std::size_t(n - 1)];
                if (!record || *load > record->kg ||
                    (*load == record->kg && day.date < record->date))
                    record = Record{*load, day.date};
            }
        }
    });
    return best;
}

QMap<QDate, QMap<QString, Volume>> weeklyVolume(const QList<TrainingDay> &days) {
    QMap<QDate, QMap<QString, Volume>> weeks;
    forEachExercise(days, [&](const TrainingDay &day, const Exercise &exercise) {
        if (!day.date.isValid() || exercise.sets.isEmpty())
            return;
        QMap<QString, Volume> &week = weeks[day.date.addDays(1 - day.date.dayOfWeek())];
        double kg = 0;
        for (const Set &set : exercise.sets)
            if (const auto load = setLoad(set, day.bodyWeightKg); load && set.reps)
                kg += *load * *set.reps * (set.perHand ? 2 : 1);
        const auto sets = double(exercise.sets.size());
        for (const QString &muscle : exercise.muscles) {
            week[muscle].kg += kg;
            week[muscle].hardSets += sets;
        }
        for (const QString &muscle : exercise.secondaryMuscles)
            week[muscle].hardSets += sets / 2;
    });
    return weeks;
}

} // namespace training
