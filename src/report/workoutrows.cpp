#include "report/workoutrows.h"

#include "data/dates.h"

#include <QRegularExpression>
#include <cmath>

using namespace Qt::Literals::StringLiterals;

namespace workoutrows {
namespace {

constexpr double poundInKilos = 0.45359237;
constexpr double mileInKm = 1.609344;
constexpr double heaviest = 1000;  // kilograms: no lift weighs more, and the reader doubts it
constexpr double longest = 1e6;    // seconds, about eleven days
constexpr double farthest = 10000; // kilometres
constexpr int mostReps = 100;      // the most the reader counts

struct Format {
    const char *app;
    std::pair<const char *, Role> columns[13];
    Role required[4];
};

// The columns of each app, and those without which a file is not its export (beside a weight).
const Format formats[] = {
    {"Strong",
     {{"Date", Date},
      {"Exercise Name", Exercise},
      {"Set Order", SetOrder},
      {"Weight", Weight},
      {"Weight Unit", WeightUnit},
      {"Reps", Reps},
      {"Distance", Distance},
      {"Distance Unit", DistanceUnit},
      {"Seconds", Seconds}},
     {Date, Exercise, SetOrder, Reps}},
    {"Hevy",
     {{"start_time", Date},
      {"exercise_title", Exercise},
      {"set_type", SetType},
      {"weight_kg", WeightKg},
      {"weight_lbs", WeightLbs},
      {"reps", Reps},
      {"distance_km", DistanceKm},
      {"distance_miles", DistanceMiles},
      {"duration_seconds", Seconds}},
     {Date, Exercise, SetType, Reps}},
    {"FitNotes",
     {{"Date", Date},
      {"Exercise", Exercise},
      {"Category", Category},
      {"Weight (kgs)", WeightKg},
      {"Weight (kg)", WeightKg},
      {"Weight (lbs)", WeightLbs},
      {"Weight", Weight},
      {"Weight Unit", WeightUnit},
      {"Reps", Reps},
      {"Distance", Distance},
      {"Distance Unit", DistanceUnit},
      {"Time", Time},
      {"Is Warmup", WarmUp}},
     {Date, Exercise, Category, Reps}},
};

bool complete(const Format &format, const Columns &columns) {
    for (const Role role : format.required)
        if (columns.at[role] < 0)
            return false;
    return columns.at[Weight] >= 0 || columns.at[WeightKg] >= 0 || columns.at[WeightLbs] >= 0;
}

// The month of an English or Spanish name, by its first three letters; 0 for none.
int monthNamed(const QString &name) {
    static const QStringList english = {u"jan"_s, u"feb"_s, u"mar"_s, u"apr"_s, u"may"_s, u"jun"_s,
                                        u"jul"_s, u"aug"_s, u"sep"_s, u"oct"_s, u"nov"_s, u"dec"_s};
    static const QStringList spanish = {u"ene"_s, u"feb"_s, u"mar"_s, u"abr"_s, u"may"_s, u"jun"_s,
                                        u"jul"_s, u"ago"_s, u"sep"_s, u"oct"_s, u"nov"_s, u"dic"_s};
    const QString start = name.left(3).toLower();
    const qsizetype month = std::max(english.indexOf(start), spanish.indexOf(start));
    return int(month) + 1;
}

// "2023-01-15 10:30:00", "2023-01-15T10:30:00Z", "2023-01-15", "15 Jan 2023, 10:30": the day
// and the minute of the day (-1 without a time).
std::optional<std::pair<QDate, int>> readWhen(const QString &text) {
    static const QRegularExpression iso(
        uR"(^(\d{4})-(\d{1,2})-(\d{1,2})(?:[ T](\d{1,2}):(\d{2})(?::\d{2}(?:\.\d+)?)?)?)"
        uR"((?:Z|[+-]\d{2}:?\d{2})?$)"_s);
    static const QRegularExpression named(
        uR"(^(\d{1,2}) ([^\W\d_]{3,10})\.?,? (\d{4})(?:,? (\d{1,2}):(\d{2})(?::\d{2})?)?$)"_s);
    QRegularExpressionMatch match = iso.match(text);
    QDate date;
    if (match.hasMatch()) {
        date =
            QDate(match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt());
    } else if (match = named.match(text); match.hasMatch()) {
        date = QDate(match.captured(3).toInt(), monthNamed(match.captured(2)),
                     match.captured(1).toInt());
    }
    if (!date.isValid())
        return std::nullopt;
    if (match.captured(4).isEmpty())
        return std::pair{date, -1};
    const int hour = match.captured(4).toInt(), minute = match.captured(5).toInt();
    if (hour > 23 || minute > 59)
        return std::nullopt;
    return std::pair{date, hour * 60 + minute};
}

// "1:30:00", "30:00" or "1800": seconds.
std::optional<double> readDuration(const QString &text) {
    if (!text.contains(u':'))
        return dates::readNumber(text);
    double seconds = 0;
    const QStringList parts = text.split(u':');
    if (parts.size() > 3)
        return std::nullopt;
    for (const QString &part : parts) {
        bool whole = false;
        const int value = part.trimmed().toInt(&whole);
        if (!whole || value < 0)
            return std::nullopt;
        seconds = seconds * 60 + value;
    }
    return seconds;
}

// Reads one row's fields by the roles of its columns; the first fault makes it rejected.
class RowReader {
public:
    RowReader(const Columns &columns, const QStringList &header, const QStringList &fields)
        : m_columns(columns)
        , m_header(header)
        , m_fields(fields) {}

    Read read() {
        Row row;
        double kg = 0, reps = 0;
        bool warmUp = false;
        if (!readDate(row) || !readExercise(row) || !readSetKind(&warmUp, &row.set.toFailure) ||
            !readWeight(&kg) || !readReps(&reps) || !readTime(&row.seconds) ||
            !readDistance(&row.km))
            return m_out;
        if (kg > 0)
            row.set.kg = kg;
        row.set.reps = int(reps);
        row.kind = warmUp                                   ? Row::WarmUp
                   : reps > 0                               ? Row::Set
                   : kg == 0 && (row.seconds || row.km > 0) ? Row::Cardio
                                                            : Row::NoSet;
        m_out.row = row;
        return m_out;
    }

private:
    QString text(Role role) const {
        const int at = m_columns.at[role];
        return at >= 0 && at < m_fields.size() ? m_fields[at].trimmed() : QString();
    }

    bool fault(Role role, const QString &reason) {
        const int at = m_columns.at[role];
        m_out.column = at >= 0 ? m_header.value(at).trimmed() : QString();
        m_out.value = text(role).left(60);
        m_out.reason = reason;
        return false;
    }

    bool readDate(Row &row) {
        const QString date = text(Date);
        const auto when = readWhen(date);
        if (!when)
            return fault(Date, date.isEmpty() ? u"Falta La Fecha."_s : u"No Es Una Fecha."_s);
        row.date = when->first;
        row.minute = when->second;
        return true;
    }

    bool readExercise(Row &row) {
        row.exercise = text(Exercise);
        return !row.exercise.isEmpty() || fault(Exercise, u"Falta El Ejercicio."_s);
    }

    // Whether the set is a warm-up or one to failure, as each app writes it.
    bool readSetKind(bool *warmUp, bool *failure) {
        if (m_columns.at[SetOrder] >= 0)
            return readSetOrder(warmUp, failure);
        if (m_columns.at[SetType] >= 0)
            return readSetType(warmUp, failure);
        const QString warm = text(WarmUp).toLower();
        *warmUp = warm == u"true" || warm == u"1";
        return *warmUp || warm.isEmpty() || warm == u"false" || warm == u"0" ||
               fault(WarmUp, u"No Es Verdadero Ni Falso."_s);
    }

    // Strong: the set's number, W for a warm-up, D for a drop set, F for a set to failure.
    bool readSetOrder(bool *warmUp, bool *failure) {
        const QString order = text(SetOrder).toUpper();
        *warmUp = order == u"W";
        *failure = order == u"F";
        const bool number =
            order.size() < 10 && !order.isEmpty() &&
            std::all_of(order.begin(), order.end(), [](QChar c) { return c.isDigit(); });
        return number || *warmUp || *failure || order == u"D" ||
               fault(SetOrder, u"No Es Una Serie: Un Número, W, D O F."_s);
    }

    // Hevy: normal, warmup, failure or dropset.
    bool readSetType(bool *warmUp, bool *failure) {
        const QString type = text(SetType).toLower();
        *warmUp = type == u"warmup";
        *failure = type == u"failure";
        return type.isEmpty() || type == u"normal" || type == u"dropset" || *warmUp || *failure ||
               fault(SetType, u"No Es Un Tipo De Serie."_s);
    }

    // A number from 0 to `most` in the unit `scale`, rounded to hundredths; an empty field leaves
    // *value as it is. `tooMuch` says why a larger one is refused.
    bool readAmount(Role role, double scale, double most, const QString &tooMuch, double *value) {
        const QString written = text(role);
        if (m_columns.at[role] < 0 || written.isEmpty())
            return true;
        const std::optional<double> number = dates::readNumber(written);
        if (!number || !std::isfinite(*number))
            return fault(role, u"No Es Un Número."_s);
        if (*number < 0)
            return fault(role, u"Es Negativo."_s);
        if (*number * scale > most)
            return fault(role, tooMuch);
        *value = training::asRead(*number * scale);
        return true;
    }

    bool readWeight(double *kg) {
        const QString unit = text(WeightUnit).toLower();
        const bool pounds = unit == u"lbs" || unit == u"lb";
        if (!pounds && !unit.isEmpty() && unit != u"kg" && unit != u"kgs")
            return fault(WeightUnit, u"No Es Una Unidad De Peso."_s);
        const QString tooMuch = u"Pesa Más De 1000 Kg."_s;
        return readAmount(Weight, pounds ? poundInKilos : 1, heaviest, tooMuch, kg) &&
               readAmount(WeightKg, 1, heaviest, tooMuch, kg) &&
               readAmount(WeightLbs, poundInKilos, heaviest, tooMuch, kg);
    }

    bool readReps(double *reps) {
        if (!readAmount(Reps, 1, mostReps, u"Son Más De 100 Repeticiones."_s, reps))
            return false;
        const double written = dates::readNumber(text(Reps)).value_or(0);
        return written == std::floor(written) ||
               fault(Reps, u"Las Repeticiones No Son Un Número Entero."_s);
    }

    bool readTime(qint64 *seconds) {
        double value = 0;
        if (!readAmount(Seconds, 1, longest, u"Dura Más De Once Días."_s, &value))
            return false;
        const QString time = text(Time);
        if (m_columns.at[Time] >= 0 && !time.isEmpty()) {
            const std::optional<double> duration = readDuration(time);
            if (!duration || *duration > longest)
                return fault(Time, u"No Es Una Duración."_s);
            value = *duration;
        }
        *seconds = qint64(std::llround(value));
        return true;
    }

    bool readDistance(double *km) {
        const QString unit = text(DistanceUnit).toLower();
        const double scale = unit.isEmpty() || unit.startsWith(u"km")    ? 1
                             : unit.startsWith(u"mi")                    ? mileInKm
                             : unit == u"m" || unit.startsWith(u"met")   ? 0.001
                             : unit == u"ft" || unit == u"feet"          ? 0.0003048
                             : unit == u"yd" || unit.startsWith(u"yard") ? 0.0009144
                                                                         : -1;
        if (scale < 0)
            return fault(DistanceUnit, u"No Es Una Unidad De Distancia."_s);
        const QString tooMuch = u"Son Más De 10000 Km."_s;
        return readAmount(Distance, scale, farthest, tooMuch, km) &&
               readAmount(DistanceKm, 1, farthest, tooMuch, km) &&
               readAmount(DistanceMiles, mileInKm, farthest, tooMuch, km);
    }

    const Columns &m_columns;
    const QStringList &m_header;
    const QStringList &m_fields;
    Read m_out;
};

} // namespace

std::optional<Columns> columnsOf(const QStringList &header) {
    for (const Format &format : formats) {
        Columns columns;
        columns.app = QLatin1String(format.app);
        columns.at.fill(-1);
        // The first of two columns of one name counts.
        for (qsizetype i = header.size() - 1; i >= 0; --i)
            for (const auto &[name, role] : format.columns)
                if (name &&
                    header[i].trimmed().compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
                    columns.at[role] = int(i);
        if (complete(format, columns))
            return columns;
    }
    return std::nullopt;
}

Read readRow(const Columns &columns, const QStringList &header, const QStringList &fields) {
    return RowReader(columns, header, fields).read();
}

} // namespace workoutrows
