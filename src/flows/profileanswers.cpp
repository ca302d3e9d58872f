#include "flows/profileanswers.h"

#include "data/dates.h"
#include "flows/profilestartup.h"

namespace profileanswers {

std::optional<QString> heightProblem(QStringView answer) {
    const std::optional<int> height = readHeight(answer);
    if (!height)
        return QStringLiteral("ERROR. Introduce Tu Altura En Centimetros, Solo Números.");
    if (*height < lowestHeight || *height > highestHeight)
        return QStringLiteral("ERROR. Tu Altura Tiene Que Estar Entre %1 Y %2 Cm: Si Mides 1,80 "
                              "M, Escribe 180.")
            .arg(lowestHeight)
            .arg(highestHeight);
    return std::nullopt;
}

std::optional<QString> birthDateProblem(QStringView answer, QDate today) {
    const std::optional<QDate> born = dates::readDate(answer);
    if (!born)
        return dateError;
    if (*born > today)
        return QStringLiteral("ERROR. Esa Fecha Todavía No Ha Llegado: Introduce El Día En Que "
                              "Naciste.");
    return std::nullopt;
}

std::optional<QString> gymStartProblem(QStringView answer, QStringView birthDate) {
    const std::optional<QDate> start = dates::readDate(answer);
    if (!start)
        return dateError;
    const std::optional<QDate> born = dates::readDate(birthDate);
    if (born && *start < *born)
        return QStringLiteral("ERROR. Esa Fecha Es Anterior A Tu Nacimiento: Introduce El Día En "
                              "Que Empezaste A Ir Al Gimnasio.");
    return std::nullopt;
}

std::optional<QString> profileProblem(const StoredProfile &profile, QDate today) {
    if (profile.name.trimmed().isEmpty())
        return QStringLiteral("ERROR. Introduce Tu Nombre.");
    if (auto problem = birthDateProblem(profile.birthDate, today))
        return problem;
    if (auto problem = heightProblem(profile.height))
        return problem;
    return gymStartProblem(profile.gymStart, profile.birthDate);
}

} // namespace profileanswers
