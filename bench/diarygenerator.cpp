#include "diarygenerator.h"

#include "data/dates.h"
#include "data/diarydatabase.h"
#include "data/password.h"

#include <QRandomGenerator>
#include <QSqlQuery>

namespace diarygenerator {

QString trainingText(QRandomGenerator &random) {
    // Exercises as people name them, and whether the body is their load.
    static const std::vector<std::pair<QString, bool>> exercises = {
        {QStringLiteral("Sentadilla"), false},
        {QStringLiteral("press banca"), false},
        {QStringLiteral("Peso muerto"), false},
        {QStringLiteral("press militar"), false},
        {QStringLiteral("remo con barra"), false},
        {QStringLiteral("jalón al pecho"), false},
        {QStringLiteral("prensa"), false},
        {QStringLiteral("curl femoral"), false},
        {QStringLiteral("hip thrust"), false},
        {QStringLiteral("press inclinado"), false},
        {QStringLiteral("elevaciones laterales"), false},
        {QStringLiteral("curl"), false},
        {QStringLiteral("press francés"), false},
        {QStringLiteral("gemelos"), false},
        {QStringLiteral("remo mancuerna"), false},
        {QStringLiteral("face pull"), false},
        {QStringLiteral("dominadas"), true},
        {QStringLiteral("fondos"), true},
        {QStringLiteral("flexiones"), true},
        {QStringLiteral("abdominales"), true},
        {QStringLiteral("sentadila"), false},
        {QStringLiteral("PM"), false},
        {QStringLiteral("máquina nueva"), false},
        {QStringLiteral("zancadas"), false}};
    static const QStringList headings = {QString(), QStringLiteral("Pierna: "),
                                         QStringLiteral("Pecho y tríceps\n"),
                                         QStringLiteral("Hoy espalda. ")};
    static const QStringList joints = {QStringLiteral(", "), QStringLiteral("; "),
                                       QStringLiteral(" y "), QStringLiteral("\n"),
                                       QStringLiteral("\n- ")};
    const auto between = [&random](int low, int high) { return low + random.bounded(high - low); };
    QString text = headings[random.bounded(headings.size())];
    const int count = between(2, 7);
    for (int e = 0; e < count; ++e) {
        const auto &[name, bodyWeight] =
            exercises[std::size_t(random.bounded(int(exercises.size())))];
        const int sets = between(3, 6), reps = between(5, 13), load = 5 * between(4, 30);
        QString sets_;
        switch (bodyWeight ? 5 + random.bounded(3) : random.bounded(6)) {
        case 0:
            sets_ = QStringLiteral("%1x%2 %3").arg(sets).arg(reps).arg(load);
            break;
        case 1:
            sets_ = QStringLiteral("%1x%2 %3kg").arg(sets).arg(reps).arg(load);
            break;
        case 2:
            sets_ = QStringLiteral(": %1x%2, %3x%4, %5x%6")
                        .arg(load)
                        .arg(reps + 2)
                        .arg(load + 10)
                        .arg(reps)
                        .arg(load + 20)
                        .arg(reps - 2);
            break;
        case 3:
            sets_ = QStringLiteral("%1 series de %2 con %3 kilos").arg(sets).arg(reps).arg(load);
            break;
        case 4:
            sets_ = QStringLiteral("%1x%2 %3,5 c/u").arg(sets).arg(reps).arg(load / 5);
            break;
        case 5:
            sets_ = QStringLiteral("%1x%2").arg(sets).arg(reps);
            break;
        case 6:
            sets_ = QStringLiteral("%1x max").arg(sets);
            break;
        default:
            sets_ = QStringLiteral("%1x%2 +%3").arg(sets).arg(reps).arg(load / 4);
            break;
        }
        text += (e > 0 ? joints[random.bounded(joints.size())] : QString()) + name +
                (sets_.startsWith(u':') ? QString() : QStringLiteral(" ")) + sets_;
    }
    if (random.bounded(3) == 0)
        text += QStringLiteral(", cardio %1 min").arg(between(10, 40));
    return text;
}

std::vector<dayfields::DayTexts> days(int count) {
    QRandomGenerator random(42);
    QRandomGenerator training(7); // apart, so that the other boxes stay as they were
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
        day[dayfields::Qhash] = trainingText(training);
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
