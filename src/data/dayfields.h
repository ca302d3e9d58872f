#pragma once

#include <QString>
#include <array>

// The one description of a diary day. Everything that lists the day's fields is derived from the
// table below: the day table's columns and their collations, the indexes and the statements that
// order the days, the bindings of the diary window's boxes and the sections of the reports.
// A new field is one row here (and one row in the diary window's design table).
namespace dayfields {

inline const QString tableName = QStringLiteral("El Día A Día En El Gimnasio");
// The hidden integer key that both tables carry; no box shows it.
inline const QString keyColumn = QStringLiteral("Id");

// How a field's text is read: a date (day/month/year), a number typed as text, or free text.
enum class Kind { Date, Number, Text };

// How a field appears in a day's report block.
enum class Section {
    DateLine,  // "Fecha" heading, then the date as typed, " --> " and its long form
    Value,     // heading, then the text and its unit on one line
    Pieces,    // heading, then the text in slices of 78 characters
    DiaryText, // "Diario De " and the long date, a rule, then the text in slices
};

struct DayField {
    const char *box; // object name of the diary window's box
    QString column;  // column of the day table
    Kind kind;
    const char *collation; // the column's collation in the engine; nullptr for plain text order
    int reportSlot;        // position of the field's section in a day's report block
    Section section;
};

// The 23 boxes in the fixed order in which the diary walks them; DayTexts follows it.
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

namespace detail {
inline const char *const calendarDate = "calendar_date";
inline const char *const spanishNumber = "spanish_number";
inline const char *const naturalText = "natural_text";

inline DayField girth(const char *box, const char *column, int slot) {
    return {box, QString::fromUtf8(column), Kind::Number, spanishNumber, slot, Section::Value};
}
} // namespace detail

inline const std::array<DayField, BoxCount> fields = {{
    {"fh", QStringLiteral("Fecha Del Día"), Kind::Date, detail::calendarDate, 0, Section::DateLine},
    {"hgim", QStringLiteral("Horas En El Gimnasio"), Kind::Number, detail::spanishNumber, 1,
     Section::Value},
    {"desa", QStringLiteral("Desayuno"), Kind::Text, nullptr, 2, Section::Pieces},
    {"comi", QStringLiteral("Comida"), Kind::Text, nullptr, 3, Section::Pieces},
    {"cena", QStringLiteral("Cena"), Kind::Text, nullptr, 4, Section::Pieces},
    {"qhash", QStringLiteral("Que Has Hecho"), Kind::Text, nullptr, 5, Section::Pieces},
    {"haspi", QStringLiteral("Has Picado Algo Hoy"), Kind::Text, nullptr, 6, Section::Pieces},
    detail::girth("dcue", "Diametro Cuello", 7),
    detail::girth("dad", "Diametro Antebrazo Der", 9),
    detail::girth("dbd", "Diametro Biceps Der", 11),
    detail::girth("dc", "Diametro Cintura", 13),
    detail::girth("dpi", "Diametro Pierna Izq", 15),
    detail::girth("dgi", "Diametro Gemelo Izq", 17),
    detail::girth("dp", "Diametro Pecho", 8),
    detail::girth("dai", "Diametro Antebrazo Izq", 10),
    detail::girth("dbi", "Diametro Biceps Izq", 12),
    detail::girth("dpd", "Diametro Pierna Der", 14),
    detail::girth("dgd", "Diametro Gemelo Der", 16),
    detail::girth("dculo", "Diametro Culo", 18),
    {"peski", QStringLiteral("Peso En Kg"), Kind::Number, detail::spanishNumber, 19,
     Section::Value},
    {"horahoy", QStringLiteral("Horario De Hoy"), Kind::Text, detail::naturalText, 20,
     Section::Value},
    {"lagua", QStringLiteral("Litros De Agua"), Kind::Number, detail::spanishNumber, 21,
     Section::Value},
    {"eldiario", QStringLiteral("Diario"), Kind::Text, nullptr, 22, Section::DiaryText},
}};

// The day texts of one record, in walk order.
using DayTexts = std::array<QString, BoxCount>;

// The boxes in the order of their report sections.
std::array<Box, BoxCount> reportOrder();

// The orders of the menu. Each sorts by one field, or by the sum of a pair of girths (those of
// the two that read as numbers; a day where neither does comes last), and has an index of its own
// on exactly the expression it sorts by.
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

struct OrderKey {
    Box first;
    Box second; // the pair's other girth; BoxCount for a single field
    bool descending;
    QString indexName;
};

inline const std::array<OrderKey, OrderCount> orderKeys = {{
    {Fh, BoxCount, false, QStringLiteral("Días Por Fecha")},
    {Hgim, BoxCount, true, QStringLiteral("Días Por Horas")},
    {Lagua, BoxCount, true, QStringLiteral("Días Por Litros")},
    {Peski, BoxCount, true, QStringLiteral("Días Por Peso")},
    {Dculo, BoxCount, true, QStringLiteral("Días Por Culo")},
    {Dp, BoxCount, true, QStringLiteral("Días Por Pecho")},
    {Dbd, Dbi, true, QStringLiteral("Días Por Biceps")},
    {Dad, Dai, true, QStringLiteral("Días Por Antebrazo")},
    {Dpd, Dpi, true, QStringLiteral("Días Por Pierna")},
    {Dgd, Dgi, true, QStringLiteral("Días Por Gemelo")},
    {Horahoy, BoxCount, false, QStringLiteral("Días Por Horario")},
}};

// The expression an order sorts by: [column], or pair_sum([right], [left]).
QString sortExpression(Order order);
// "select * FROM [El Día A Día En El Gimnasio] ORDER BY <expression> ASC|DESC".
QString orderStatement(Order order);

} // namespace dayfields

// The profile record: the first row of its table.
namespace profilefields {

inline const QString tableName = QStringLiteral("Datos Del Usuario");
inline const QString name = QStringLiteral("Nombre Usuario");
inline const QString birth = QStringLiteral("Fecha De Nacimiento");
inline const QString height = QStringLiteral("Altura Del Usuario Cm");
inline const QString gymStart = QStringLiteral("Fecha De Comienzo En El Gimnasio");
inline const QString password = QStringLiteral("Clave");
inline const QString photo = QStringLiteral("Foto Del Usuario");
// Since version 5: the goal weight of the progress charts, as typed.
inline const QString goalWeight = QStringLiteral("Peso Objetivo");

// The text columns in table order; the photo and the goal weight come after them.
inline const std::array<QString, 5> textColumns = {name, birth, height, gymStart, password};

} // namespace profilefields
