#pragma once

#include "training/catalogue.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <optional>

// Workouts that other apps recorded, written as a day's "Que Has Hecho" in a form the reader
// reads back to the very same sets: one exercise a line, its name first and its sets after in
// groups of equal sets, "sets x repetitions load" ("Sentadilla 2x5 80, 1x3 85 al fallo"). A load
// of a body-weight exercise is written as added ("Dominadas 3x8 +10"); loads in pounds are
// written in kilograms, rounded to hundredths as the reader rounds pounds.
namespace training {

// A set done, as the apps record it.
struct DoneSet {
    int reps = 0;             // 1 to 100: what the reader keeps as a count
    std::optional<double> kg; // the load in hundredths (asRead()); none when nothing was lifted
    bool toFailure = false;
    bool operator==(const DoneSet &) const = default;
};

// The catalogue's name of an exercise as Strong, Hevy or FitNotes name it ("Squat (Barbell)" is
// "sentadilla"), or none for a name the table does not hold.
std::optional<QString> catalogueNameOf(QStringView appName);
// Every app name that catalogueNameOf() knows, folded and without signs or brackets.
QStringList knownAppNames();

// An app's exercise name as written: the catalogue's name (capitalised) for the common ones, else
// the app's own words but for whatever the reader would take for sets, a separator or a note
// (digits, signs, brackets, "x", "y", "kg", "cardio"...). Never empty.
QString writtenName(QStringView appName);

// A number rounded to hundredths as the reader reads it written: the whole part plus the
// hundredths / 100, which may differ from the nearest double of the number by its last bit.
double asRead(double value);

// A number, two decimals at most, as the reader reads it to the same value (whole + fraction /
// 10^digits): no trailing zeros, a decimal comma before one digit, 25 or 75 ("62,5", "61,25"),
// and a decimal point before other two ("61.23"), which the reader would take for two numbers
// after a comma.
QString writtenNumber(double value);

// A line that the reader keeps as a note: time and distance without sets ("Cardio Cinta 30 min
// 5,2 km"); empty when there are neither.
QString cardioLine(QStringView appName, qint64 seconds, double km);

// Writes the lines of the sets of exercises, knowing which names are of body-weight exercises.
class WorkoutWriter {
public:
    // The line of one exercise's sets, name (as writtenName() gives it) first, or lines of 200
    // sets each when there are more; empty without sets.
    QString exerciseLine(const QString &name, const QList<DoneSet> &sets);

private:
    // How the reader takes the exercise this name stands for.
    BodyWeight kindOf(const QString &name);

    QHash<QString, BodyWeight> m_kinds;
};

} // namespace training
