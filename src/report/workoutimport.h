#pragma once

#include "report/csvimport.h"

#include <QByteArray>
#include <QString>

class QIODevice;

// Workouts read from the CSV export of Strong, Hevy or FitNotes, told apart by their header
// (workoutrows.h): comma or semicolon, UTF-8 with or without a byte order mark (Windows-1252
// otherwise), quoted fields. Each day read is a date, as the diary writes dates (dd/MM/yyyy), and
// its "Que Has Hecho": every exercise of the day's workouts on a line of its own, in the order
// done, its sets as training/workouttext.h writes them, so that the reader reads back exactly
// the sets of the file. The other boxes are empty: DayStore::importDays() writes that box alone.
//
// Warm-up sets are left out, as are sets without repetitions, and counted. Time and distance
// without weight and repetitions (cardio) become a note ("Cardio Cinta 30 min 5 km"), one per
// exercise and day. A row that cannot be a set (no date, a weight that is no number, repetitions
// that are not whole) is rejected with its line, column, value and reason.
namespace workoutimport {

struct Read : csvimport::Read {
    QString app;            // the app that wrote the file: "Strong", "Hevy" or "FitNotes"
    qint64 sets = 0;        // sets written
    qint64 warmUps = 0;     // warm-up sets left out
    qint64 withoutReps = 0; // sets without repetitions (nor time or distance alone) left out
    qint64 cardio = 0;      // rows of time or distance, written as notes
};

// Reads the device a megabyte at a time, telling progress the bytes read of its size. A file of
// more than 64 MB is no export of a workout app, and is refused.
Read read(QIODevice &device, const csvimport::Progress &progress = {});
Read read(const QByteArray &bytes);

} // namespace workoutimport
