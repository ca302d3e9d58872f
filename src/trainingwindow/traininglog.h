#pragma once

#include "data/trainingcorrections.h"
#include "training/figures.h"
#include "trainingwindow/exercisedays.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <optional>

// What the window "Entrenamiento" shows, worked out from the diary without widgets: every day's
// "Que Has Hecho" read with the user's corrections, the day's body weight beside it, the texts
// the reader could not read alone, and the records a saved day beats.
namespace traininglog {

// One record of the diary as the training log needs it.
struct DiaryEntry {
    qint64 id = 0;
    std::optional<QDate> date;    // none when the date box reads as no date
    std::optional<double> weight; // "Peso En Kg", when it reads as a number
    QString text;                 // "Que Has Hecho", as typed
};
// Every stored record in the order typed; none when the engine refuses.
std::optional<QList<DiaryEntry>> readEntries(const QSqlDatabase &db);

// The corrections kept in the diary, as the reader takes them.
training::Corrections correctionsFrom(const QList<TrainingCorrections::Entry> &entries);

// A text the reader could not read alone: nothing in it read as an exercise, a name it does not
// know, or a reading it is unsure of. Equal texts (folded) are one, with all their days.
struct Unread {
    QString text; // as typed the first time
    QString key;  // folded: what a correction is kept under
    QList<QDate> dates;
    int undated = 0;
    bool doubtful = false;
    QStringList candidates; // the exercises a doubtful name may be
};

struct Log {
    exercisedays::Exercises exercises; // each exercise read surely, its dated days in date order
    exercisedays::Totals totals;       // each exercise's summary and the weekly volume
    QList<Unread> unread;              // the most frequent first
};

// The body weight of each date: the nearest weight on that day or before it, within 14 days.
inline constexpr int bodyWeightDays = 14;

// Reads every text with the corrections; the record `leaveOut`, when given, is left out.
Log build(const QList<DiaryEntry> &entries, const training::Corrections &corrections,
          qint64 leaveOut = -1);

// An exercise's name as the windows show it: "Press De Banca".
QString displayName(const QString &exercise);
// Kilograms as the program writes them: "62,5".
QString kilos(double kg);
// Sets as read, equal neighbours together: "4 × 8 Con 80 Kg, 1 × 6 Con 85 Kg",
// "3 × Máx Con Peso Corporal + 10 Kg", "2 × 45 s".
QString setsText(const QList<training::Set> &sets);
// The set with the best estimated maximum, as "5 × 100 Kg"; empty when none has one.
QString topSet(const QList<training::Set> &sets, std::optional<double> bodyWeightKg);
// Kilograms moved: repetitions × load, both hands of a per-hand load.
double volume(const QList<training::Set> &sets, std::optional<double> bodyWeightKg);

// What a day beats: for each exercise, its heaviest set that lifts more than the record of its
// repetitions held by the other days, told as "¡Nuevo Récord! Sentadilla: 5 × 100 Kg, Antes 5 ×
// 95 Kg El 03/11/2026". A first time is no record.
QStringList newRecords(const QList<training::TrainingDay> &others,
                       const training::TrainingDay &day);

// What a day just stored (its date and text, found among the entries) beats of the other days.
QStringList newRecordsOfStored(const QList<DiaryEntry> &entries,
                               const training::Corrections &corrections, QDate date,
                               const QString &text);

} // namespace traininglog
