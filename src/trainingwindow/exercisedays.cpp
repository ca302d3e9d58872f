#include "trainingwindow/exercisedays.h"

#include <cmath>
#include <limits>

namespace exercisedays {
namespace {

enum Flag : quint8 { BodyWeightFlag = 1, ToFailureFlag = 2, PerHandFlag = 4 };

KeptSet keep(const training::Set &set) {
    KeptSet kept;
    kept.kg = set.kg.value_or(std::numeric_limits<double>::quiet_NaN());
    kept.addedKg = set.addedKg;
    kept.reps = set.reps.value_or(-1);
    kept.seconds = set.seconds.value_or(-1);
    kept.flags = quint8((set.bodyWeight ? BodyWeightFlag : 0) |
                        (set.toFailure ? ToFailureFlag : 0) | (set.perHand ? PerHandFlag : 0));
    return kept;
}

training::Set unkeep(const KeptSet &kept) {
    training::Set set;
    if (kept.reps >= 0)
        set.reps = kept.reps;
    if (!std::isnan(kept.kg))
        set.kg = kept.kg;
    set.bodyWeight = kept.flags & BodyWeightFlag;
    set.addedKg = kept.addedKg;
    set.toFailure = kept.flags & ToFailureFlag;
    set.perHand = kept.flags & PerHandFlag;
    if (kept.seconds >= 0)
        set.seconds = kept.seconds;
    return set;
}

} // namespace

void add(Exercises &exercises, const training::TrainingDay &day) {
    for (const training::Exercise &done : day.reading.exercises) {
        if (done.doubtful)
            continue;
        ExerciseLog &log = exercises[done.name];
        if (log.days.isEmpty()) {
            log.exercise = done;
            log.exercise.sets.clear();
            log.exercise.typedKey.clear();
            log.exercise.candidates.clear();
        }
        QList<KeptSet> sets;
        sets.reserve(done.sets.size());
        for (const training::Set &set : done.sets)
            sets += keep(set);
        log.days += ExerciseDay{day.date, day.bodyWeightKg, std::move(sets)};
    }
}

QList<training::TrainingDay> daysOf(const ExerciseLog &exercise) {
    QList<training::TrainingDay> days;
    days.reserve(exercise.days.size());
    for (const ExerciseDay &day : exercise.days) {
        training::Exercise done = exercise.exercise;
        done.sets.reserve(day.sets.size());
        for (const KeptSet &set : day.sets)
            done.sets += unkeep(set);
        training::TrainingDay &made = days.emplace_back();
        made.date = day.date;
        made.bodyWeightKg = day.bodyWeightKg;
        made.reading.exercises += std::move(done);
    }
    return days;
}

void Totals::add(const QList<training::TrainingDay> &days) {
    for (const training::ExerciseSummary &more : training::exerciseSummaries(days)) {
        training::ExerciseSummary &sum = exercises[more.name];
        if (sum.name.isEmpty()) {
            sum = more;
            continue;
        }
        sum.days += more.days;
        sum.lastDay = std::max(sum.lastDay, more.lastDay);
        if (more.bestMax && (!sum.bestMax || *more.bestMax > *sum.bestMax)) {
            sum.bestMax = more.bestMax;
            sum.bestMaxDay = more.bestMaxDay;
        }
    }
    const auto more = training::weeklyVolume(days);
    for (auto week = more.cbegin(); week != more.cend(); ++week) {
        QMap<QString, training::Volume> &sum = weeks[week.key()];
        for (auto muscle = week->cbegin(); muscle != week->cend(); ++muscle) {
            sum[muscle.key()].kg += muscle->kg;
            sum[muscle.key()].hardSets += muscle->hardSets;
        }
    }
}

} // namespace exercisedays
