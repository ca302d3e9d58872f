#include "calendar/yeargrid.h"

#include "calendar/streaks.h"
#include "data/dates.h"
#include "ui/datewords.h"

#include <array>

namespace calendar {

namespace {

// A measure's unit, singular and plural, and the upper bounds of levels 1 to 3.
struct Measure {
    const char16_t *one;
    const char16_t *many;
    const char16_t *none; // a record without it
    std::array<double, 3> bounds;
};

Measure measureOf(Shading shading) {
    switch (shading) {
    case Shading::Hours:
        return {u"Hora", u"Horas", u"Sin Horas", {1, 1.5, 2}};
    case Shading::Water:
        return {u"Litro", u"Litros", u"Sin Agua", {1, 2, 3}};
    case Shading::Training:
        return {u"Ejercicio", u"Ejercicios", u"Sin Entrenamiento", {3, 5, 7}};
    }
    return measureOf(Shading::Hours);
}

QString withUnit(double value, const Measure &measure) {
    return dates::generalNumber(value) + u' ' +
           QString::fromUtf16(value == 1 ? measure.one : measure.many);
}

} // namespace

Shade shadeOf(const DayTotals *day, Shading shading) {
    const Measure measure = measureOf(shading);
    if (!day)
        return {-1, {}, QStringLiteral("Sin Registro")};
    std::optional<double> value;
    switch (shading) {
    case Shading::Hours:
        value = day->hours;
        break;
    case Shading::Water:
        value = day->water;
        break;
    case Shading::Training:
        if (const int exercises = exercisesIn(day->training); exercises > 0)
            value = exercises;
        break;
    }
    if (!value || *value <= 0)
        return {0, value ? dates::generalNumber(*value) : QString(),
                value ? withUnit(*value, measure) : QString::fromUtf16(measure.none)};
    int level = 1;
    while (level < topLevel && *value >= measure.bounds[std::size_t(level - 1)])
        ++level;
    return {level, dates::generalNumber(*value), withUnit(*value, measure)};
}

QStringList legend(Shading shading) {
    const Measure measure = measureOf(shading);
    const auto [low, middle, high] = measure.bounds;
    const QString many = QString::fromUtf16(measure.many);
    if (shading == Shading::Training)
        return {QStringLiteral("1 O 2 ") + many, QStringLiteral("3 O 4 ") + many,
                QStringLiteral("5 O 6 ") + many,
                QStringLiteral("7 ") + many + QStringLiteral(" O Más")};
    const auto number = dates::generalNumber;
    return {QStringLiteral("Menos De ") + withUnit(low, measure),
            QStringLiteral("De %1 A %2 ").arg(number(low), number(middle)) + many,
            QStringLiteral("De %1 A %2 ").arg(number(middle), number(high)) + many,
            withUnit(high, measure) + QStringLiteral(" O Más")};
}

QString cellName(QDate date, const Shade &shade, bool paused, bool today) {
    QString name = datewords::spokenDate(date) + QStringLiteral(": ") + shade.spoken;
    if (paused)
        name += QStringLiteral(", Semana En Pausa");
    if (today)
        name += QStringLiteral(", Hoy");
    return name;
}

int YearWeeks::weekOf(QDate date) const {
    return date.year() == year ? int(firstMonday.daysTo(date) / 7) : -1;
}

QString YearWeeks::monthsBeginning(int week) const {
    QStringList names;
    for (int day = 0; day < 7; ++day)
        if (const QDate date = dateAt(week, day); date.day() == 1 && date.year() == year)
            names += datewords::monthName(date.month());
    return names.join(u", ");
}

YearWeeks yearWeeks(int year) {
    const QDate first = mondayOf(QDate(year, 1, 1));
    const QDate last = mondayOf(QDate(year, 12, 31));
    return {year, first, int(first.daysTo(last) / 7) + 1};
}

} // namespace calendar
