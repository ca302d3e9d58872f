#pragma once

#include <QLatin1StringView>
#include <QString>
#include <array>

// The day record: its table, its 23 columns in the fixed order in which the diary window walks its
// boxes, and the record sources that order the days.
namespace dayfields {

inline const QString tableName = QStringLiteral("El Día A Día En El Gimnasio");
inline const QString profileTableName = QStringLiteral("Datos Del Usuario");
// The hidden integer key that both tables carry; no box shows it.
inline const QString keyColumn = QStringLiteral("Id");

struct DayField {
    const char *box; // object name of the diary window's text box
    QString column;  // column of the day table
};

// Walk order of the 23 day boxes.
enum Box {
    Fh,
    Hgim,
    Desa,
    Comi,
    Cena,
    Qhash,
    Haspi,
    Dcue,
    Dad,
    Dbd,
    Dc,
    Dpi,
    Dgi,
    Dp,
    Dai,
    Dbi,
    Dpd,
    Dgd,
    Dculo,
    Peski,
    Horahoy,
    Lagua,
    Eldiario,
    BoxCount
};

inline const std::array<DayField, BoxCount> fields = {{
    {"fh", QStringLiteral("Fecha Del Día")},
    {"hgim", QStringLiteral("Horas En El Gimnasio")},
    {"desa", QStringLiteral("Desayuno")},
    {"comi", QStringLiteral("Comida")},
    {"cena", QStringLiteral("Cena")},
    {"qhash", QStringLiteral("Que Has Hecho")},
    {"haspi", QStringLiteral("Has Picado Algo Hoy")},
    {"dcue", QStringLiteral("Diametro Cuello")},
    {"dad", QStringLiteral("Diametro Antebrazo Der")},
    {"dbd", QStringLiteral("Diametro Biceps Der")},
    {"dc", QStringLiteral("Diametro Cintura")},
    {"dpi", QStringLiteral("Diametro Pierna Izq")},
    {"dgi", QStringLiteral("Diametro Gemelo Izq")},
    {"dp", QStringLiteral("Diametro Pecho")},
    {"dai", QStringLiteral("Diametro Antebrazo Izq")},
    {"dbi", QStringLiteral("Diametro Biceps Izq")},
    {"dpd", QStringLiteral("Diametro Pierna Der")},
    {"dgd", QStringLiteral("Diametro Gemelo Der")},
    {"dculo", QStringLiteral("Diametro Culo")},
    {"peski", QStringLiteral("Peso En Kg")},
    {"horahoy", QStringLiteral("Horario De Hoy")},
    {"lagua", QStringLiteral("Litros De Agua")},
    {"eldiario", QStringLiteral("Diario")},
}};

// The day texts of one record, in walk order.
using DayTexts = std::array<QString, BoxCount>;

// The record sources that order the days; each runs on the engine exactly as written.
enum Order {
    ByDate,
    ByHours,
    ByWater,
    ByWeight,
    ByBottom,
    ByChest,
    ByBiceps,
    ByForearm,
    ByLeg,
    ByCalf,
    ByTimetable,
    OrderCount
};

inline const std::array<QString, OrderCount> orderStatements = {{
    QStringLiteral("select * FROM [El Día A Día En El Gimnasio] ORDER BY [Fecha Del Día] ASC"),
    QStringLiteral(
        "select * FROM [El Día A Día En El Gimnasio] ORDER BY [Horas En El Gimnasio] DESC"),
    QStringLiteral("select * FROM [El Día A Día En El Gimnasio] ORDER BY [Litros De Agua] DESC"),
    QStringLiteral("select * FROM [El Día A Día En El Gimnasio] ORDER BY [Peso En Kg] DESC"),
    QStringLiteral("select * FROM [El Día A Día En El Gimnasio] ORDER BY [Diametro Culo] DESC"),
    QStringLiteral("select * FROM [El Día A Día En El Gimnasio] ORDER BY [Diametro Pecho] DESC"),
    QStringLiteral("select * FROM [El Día A Día En El Gimnasio] ORDER BY val([Diametro Biceps "
                   "Der]+[Diametro Biceps Izq]) DESC"),
    QStringLiteral("select * FROM [El Día A Día En El Gimnasio] ORDER BY val([Diametro Antebrazo "
                   "Der]+[Diametro Antebrazo Izq]) DESC"),
    QStringLiteral("select * FROM [El Día A Día En El Gimnasio] ORDER BY val([Diametro Pierna "
                   "Der]+[Diametro Pierna Izq]) DESC"),
    QStringLiteral("select * FROM [El Día A Día En El Gimnasio] ORDER BY val([Diametro Gemelo "
                   "Der]+[Diametro Gemelo Izq]) DESC"),
    QStringLiteral("select * FROM [El Día A Día En El Gimnasio] ORDER BY [Horario De Hoy] ASC"),
}};

// Profile columns.
inline const QString nameColumn = QStringLiteral("Nombre Usuario");
inline const QString birthColumn = QStringLiteral("Fecha De Nacimiento");
inline const QString heightColumn = QStringLiteral("Altura Del Usuario Cm");
inline const QString gymStartColumn = QStringLiteral("Fecha De Comienzo En El Gimnasio");
inline const QString passwordColumn = QStringLiteral("Clave");
inline const QString photoColumn = QStringLiteral("Foto Del Usuario");

} // namespace dayfields
