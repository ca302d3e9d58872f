#include "trainingwindow/traininglog.h"

#include "data/dates.h"
#include "data/dayfields.h"
#include "data/sqlfunctions.h"

#include <QMap>
#include <QSqlQuery>
#include <algorithm>
#include <cmath>

namespace traininglog {
namespace {

using training::Set;

// "8 × 80 Kg", "Máx", "45 s", "8 Con Peso Corporal + 10 Kg": one set.
QString oneSet(const Set &set) {
    QString text = set.seconds ? QStringLiteral("%1 s").arg(*set.seconds)
                   : set.reps  ? QString::number(*set.reps)
                               : QStringLiteral("Máx");
    if (set.bodyWeight) {
        text += QStringLiteral(" Con Peso Corporal");
        if (set.addedKg != 0)
            text += QStringLiteral(" + %1 Kg").arg(kilos(set.addedKg));
    } else if (set.kg) {
        text += QStringLiteral(" Con %1 Kg").arg(kilos(*set.kg));
    }
    if (set.perHand && (set.kg || set.addedKg != 0))
        text += QStringLiteral(" C/U");
    if (set.toFailure && set.reps)
        text += QStringLiteral(" Al Fallo");
    return text;
}

bool isUnread(const training::Reading &reading, const QString &text,
              const training::Corrections &corrections) {
    if (corrections.isNoTraining(text))
        return false;
    if (reading.doubtful)
        return true;
    if (!corrections.texts.isEmpty() && corrections.textExercise(text))
        return false;
    return reading.exercises.isEmpty() ||
           std::any_of(reading.exercises.begin(), reading.exercises.end(),
                       [](const training::Exercise &exercise) { return exercise.own; });
}

// The days whose readings are held at once while the totals are added up.
constexpr qsizetype pendingDays = 256;

// The nearest weight on each date or before it, within bodyWeightDays.
std::optional<double> weightOn(const QMap<QDate, double> &weights, QDate date) {
    auto after = weights.upperBound(date);
    if (after == weights.begin())
        return std::nullopt;
    --after;
    if (after.key().daysTo(date) > bodyWeightDays)
        return std::nullopt;
    return after.value();
}

void noteUnread(QList<Unread> &unread, QHash<QString, qsizetype> &where, const QString &text,
                const training::Reading &reading, std::optional<QDate> date) {
    const QString key = training::fold(text);
    auto found = where.constFind(key);
    if (found == where.cend()) {
        Unread entry{text, key, {}, 0, reading.doubtful, {}};
        for (const training::Exercise &exercise : reading.exercises)
            for (const QString &candidate : exercise.candidates)
                if (!entry.candidates.contains(candidate))
                    entry.candidates += candidate;
        found = where.insert(key, unread.size());
        unread += entry;
    }
    Unread &entry = unread[*found];
    if (date)
        entry.dates += *date;
    else
        ++entry.undated;
}

} // namespace

std::optional<QList<DiaryEntry>> readEntries(const QSqlDatabase &db) {
    using namespace dayfields;
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT %1, %2, %3, %4 FROM %5 ORDER BY %1")
                        .arg(quotedIdentifier(keyColumn), quotedIdentifier(fields[Fh].column),
                             quotedIdentifier(fields[Peski].column),
                             quotedIdentifier(fields[Qhash].column), quotedIdentifier(tableName))))
        return std::nullopt;
    QList<DiaryEntry> entries;
    while (query.next())
        entries +=
            DiaryEntry{query.value(0).toLongLong(), dates::readDate(query.value(1).toString()),
                       dates::readNumber(query.value(2).toString()), query.value(3).toString()};
    return entries;
}

training::Corrections correctionsFrom(const QList<TrainingCorrections::Entry> &entries) {
    training::Corrections corrections;
    for (const TrainingCorrections::Entry &entry : entries) {
        if (entry.kind == TrainingCorrections::Kind::NoTraining)
            corrections.notTraining.insert(entry.key);
        else
            corrections.texts.insert(entry.key, entry.exercise);
    }
    return corrections;
}

Log build(const QList<DiaryEntry> &entries, const training::Corrections &corrections,
          qint64 leaveOut) {
    QMap<QDate, double> weights;
    QList<const DiaryEntry *> dated;
    for (const DiaryEntry &entry : entries) {
        if (entry.date && entry.weight && *entry.weight > 0)
            weights.insert(*entry.date, *entry.weight);
        if (entry.date && entry.id != leaveOut && !entry.text.trimmed().isEmpty())
            dated += &entry;
    }
    std::stable_sort(dated.begin(), dated.end(),
                     [](const DiaryEntry *a, const DiaryEntry *b) { return *a->date < *b->date; });
    Log log;
    // Many days share a text ("descanso"): whether it is unread is worked out once.
    QHash<QString, bool> unreadTexts;
    QHash<QString, qsizetype> unreadAt;
    QList<training::TrainingDay> pending;
    for (const DiaryEntry *entry : dated) {
        const training::Reading reading = training::read(entry->text, corrections);
        auto unread = unreadTexts.constFind(entry->text);
        if (unread == unreadTexts.cend())
            unread = unreadTexts.insert(entry->text, isUnread(reading, entry->text, corrections));
        if (*unread)
            noteUnread(log.unread, unreadAt, entry->text, reading, entry->date);
        // A few days at a time, a date never split, go into the totals.
        if (pending.size() >= pendingDays && pending.last().date != *entry->date) {
            log.totals.add(pending);
            pending.clear();
        }
        pending += {*entry->date, reading, weightOn(weights, *entry->date)};
        exercisedays::add(log.exercises, pending.last());
    }
    log.totals.add(pending);
    for (const DiaryEntry &entry : entries) {
        if (entry.date || entry.text.trimmed().isEmpty())
            continue;
        const training::Reading reading = training::read(entry.text, corrections);
        if (isUnread(reading, entry.text, corrections))
            noteUnread(log.unread, unreadAt, entry.text, reading, std::nullopt);
    }
    std::stable_sort(log.unread.begin(), log.unread.end(), [](const Unread &a, const Unread &b) {
        return a.dates.size() + a.undated > b.dates.size() + b.undated;
    });
    return log;
}

QString displayName(const QString &exercise) {
    QString shown = exercise;
    for (qsizetype i = 0; i < shown.size(); ++i)
        if (i == 0 || shown[i - 1] == u' ' || shown[i - 1] == u'-' || shown[i - 1] == u'(')
            shown[i] = shown[i].toUpper();
    return shown;
}

QString kilos(double kg) {
    return dates::generalNumber(std::round(kg * 100) / 100);
}

QString setsText(const QList<Set> &sets) {
    QStringList groups;
    for (qsizetype i = 0; i < sets.size();) {
        qsizetype same = 1;
        while (i + same < sets.size() && sets[i + same] == sets[i])
            ++same;
        groups += QStringLiteral("%1 × %2").arg(same).arg(oneSet(sets[i]));
        i += same;
    }
    return groups.join(QStringLiteral(", "));
}

QString topSet(const QList<Set> &sets, std::optional<double> bodyWeightKg) {
    const Set *top = nullptr;
    double best = 0;
    for (const Set &set : sets)
        if (const auto max = training::estimatedMax(set, bodyWeightKg); max && *max > best) {
            best = *max;
            top = &set;
        }
    if (!top)
        return {};
    return QStringLiteral("%1 × %2 Kg")
        .arg(*top->reps)
        .arg(kilos(*training::setLoad(*top, bodyWeightKg)));
}

double volume(const QList<Set> &sets, std::optional<double> bodyWeightKg) {
    double kg = 0;
    for (const Set &set : sets)
        if (const auto load = training::setLoad(set, bodyWeightKg); load && set.reps)
            kg += *load * *set.reps * (set.perHand ? 2 : 1);
    return kg;
}

QStringList newRecords(const QList<training::TrainingDay> &others,
                       const training::TrainingDay &day) {
    QStringList told;
    for (const training::Exercise &exercise : day.reading.exercises) {
        if (exercise.doubtful)
            continue;
        const auto held = training::records(others, exercise.name);
        const Set *beating = nullptr;
        double load = 0;
        for (const Set &set : exercise.sets) {
            const auto lifted = training::setLoad(set, day.bodyWeightKg);
            if (!lifted || !set.reps || set.seconds || *set.reps < 1 || *set.reps > 12)
                continue;
            const auto &record = held[std::size_t(*set.reps - 1)];
            if (record && *lifted > record->kg && (!beating || *lifted > load)) {
                beating = &set;
                load = *lifted;
            }
        }
        if (!beating)
            continue;
        const training::Record &before = *held[std::size_t(*beating->reps - 1)];
        told += QStringLiteral("¡Nuevo Récord! %1: %2 × %3 Kg, Antes %2 × %4 Kg El %5")
                    .arg(displayName(exercise.name))
                    .arg(*beating->reps)
                    .arg(kilos(load), kilos(before.kg), dates::shortDate(before.date));
        if (told.size() > 20) // a whole day of records is told by its first ones
            break;
    }
    return told;
}

QStringList newRecordsOfStored(const QList<DiaryEntry> &entries,
                               const training::Corrections &corrections, QDate date,
                               const QString &text) {
    // Nothing read surely, nothing to beat: the other days are not read at all.
    const training::Reading reading = training::read(text, corrections);
    if (std::none_of(reading.exercises.begin(), reading.exercises.end(),
                     [](const training::Exercise &exercise) { return !exercise.doubtful; }))
        return {};
    qint64 stored = -1;
    QMap<QDate, double> weights;
    for (const DiaryEntry &entry : entries) {
        if (entry.date == date && entry.text == text)
            stored = entry.id; // the last one typed: the day just stored
        if (entry.date && entry.weight && *entry.weight > 0)
            weights.insert(*entry.date, *entry.weight);
    }
    if (stored < 0 || !date.isValid())
        return {};
    const Log others = build(entries, corrections, stored);
    const training::TrainingDay day{date, reading, weightOn(weights, date)};
    QList<training::TrainingDay> before;
    for (const training::Exercise &exercise : day.reading.exercises)
        if (const auto found = others.exercises.constFind(exercise.name);
            found != others.exercises.cend())
            before += exercisedays::daysOf(*found);
    return newRecords(before, day);
}

} // namespace traininglog
