#include "diarygenerator.h"

#include "dates.h"
#include "diarydatabase.h"
#include "password.h"

#include <QRandomGenerator>
#include <QSqlQuery>

namespace diarygenerator {

std::vector<dayfields::DayTexts> days(int count) {
    QRandomGenerator random(42);
    const QStringList meals = {QStringLiteral("Tostadas con aceite y café con leche"),
                               QStringLiteral("Lentejas, pechuga a la plancha y ensalada"),
                               QStringLiteral("Tortilla francesa, yogur y fruta"),
                               QStringLiteral("Arroz con pollo y verduras al vapor")};
    const auto number = [&random](int low, int high) {
        return QString::number(low + random.bounded(high - low)) + u',' +
               QString::number(random.bounded(10));
    };
    std::vector<dayfields::DayTexts> result;
    result.reserve(std::size_t(count));
    const QDate first(2000, 1, 1);
    for (int i = 0; i < count; ++i) {
        dayfields::DayTexts day;
        day[dayfields::Fh] = dates::shortDate(first.addDays(i));
        day[dayfields::Hgim] = number(1, 4);
        day[dayfields::Desa] = meals[i % 4];
        day[dayfields::Comi] = meals[(i + 1) % 4];
        day[dayfields::Cena] = meals[(i + 2) % 4];
        day[dayfields::Qhash] = QStringLiteral("Pecho y tríceps: press de banca 4x10, fondos 3x12, "
                                               "aperturas 3x15 y 20 minutos de cinta.");
        day[dayfields::Haspi] = QStringLiteral("Un puñado de almendras");
        for (int box = dayfields::Dcue; box <= dayfields::Dculo; ++box)
            day[box] = number(25, 110);
        day[dayfields::Peski] = number(70, 95);
        day[dayfields::Horahoy] = QStringLiteral("%1:00 a %2:30").arg(9 + i % 10).arg(10 + i % 10);
        day[dayfields::Lagua] = number(1, 4);
        day[dayfields::Eldiario] =
            QStringLiteral("Hoy me he sentido con fuerza. ").repeated(1 + random.bounded(12));
        result.push_back(day);
    }
    return result;
}

bool writeDiary(const QString &path, int count, const QString &plainCopy) {
    DiaryDatabase database;
    if (database.open(path) != DiaryDatabase::Status::Ready)
        return false;
    QSqlDatabase db = database.connection();
    QSqlQuery query(db);
    if (!query.prepare(QStringLiteral("INSERT INTO \"Datos Del Usuario\" (\"Nombre Usuario\", "
                                      "\"Fecha De Nacimiento\", \"Altura Del Usuario Cm\", "
                                      "\"Fecha De Comienzo En El Gimnasio\", \"Clave\") VALUES "
                                      "(?, ?, ?, ?, ?)")))
        return false;
    query.addBindValue(QStringLiteral("Zorvend"));
    query.addBindValue(QStringLiteral("20/05/1990"));
    query.addBindValue(QStringLiteral("180"));
    query.addBindValue(QStringLiteral("01/01/2000"));
    query.addBindValue(password::hash(password));
    if (!query.exec())
        return false;
    QStringList columns;
    QStringList marks;
    for (const auto &field : dayfields::fields) {
        columns += u'"' + field.column + u'"';
        marks += QStringLiteral("?");
    }
    if (!db.transaction() ||
        !query.prepare(QStringLiteral("INSERT INTO \"%1\" (%2) VALUES (%3)")
                           .arg(dayfields::tableName, columns.join(u','), marks.join(u','))))
        return false;
    for (const auto &day : days(count)) {
        for (int i = 0; i < dayfields::BoxCount; ++i)
            query.bindValue(i, day[i]);
        if (!query.exec())
            return false;
    }
    query.finish();
    if (!db.commit())
        return false;
    if (!plainCopy.isEmpty() &&
        !query.exec(
            QStringLiteral("VACUUM INTO '%1'").arg(QString(plainCopy).replace(u'\'', "''"))))
        return false;
    return database.seal(password) == DiaryDatabase::Status::Ready;
}

} // namespace diarygenerator
