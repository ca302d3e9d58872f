#include "reportformat.h"

#include "dates.h"
#include "quitarcaracter.h"
#include "statsexport.h"
#include "windows1252.h"

#include <array>

namespace reportformat {
namespace {

using dayfields::Box;

constexpr char lineEnd[] = "\r\n";

void appendLineEnd(QByteArray &out) {
    out.append(lineEnd, 2);
}

void appendLine(QByteArray &out, QStringView text) {
    windows1252::append(out, text);
    appendLineEnd(out);
}

// A heading, then a row of dashes as long as the heading.
QByteArray headingBytes(QStringView heading) {
    QByteArray bytes;
    appendLine(bytes, heading);
    bytes.append(heading.size(), '-');
    appendLineEnd(bytes);
    return bytes;
}

struct TextSection {
    const char16_t *heading;
    Box box;
};

// The sections whose box is written in pieces of 78.
constexpr std::array<TextSection, 5> textSections = {{
    {u"Desayuno", dayfields::Desa},
    {u"Comida", dayfields::Comi},
    {u"Cena", dayfields::Cena},
    {u"¿ Qúe Has Hecho ?", dayfields::Qhash},
    {u"¿ Has Picado Algo ?", dayfields::Haspi},
}};

struct ValueSection {
    const char16_t *heading;
    Box box;
    const char16_t *unit;
};

// The sections whose box is written on one line, followed by its unit.
constexpr std::array<ValueSection, 15> valueSections = {{
    {u"Diametro En Cm De Cuello", dayfields::Dcue, u" Cm"},
    {u"Diametro En Cm De Pecho", dayfields::Dp, u" Cm"},
    {u"Diametro En Cm De Antebrazo Derecho", dayfields::Dad, u" Cm"},
    {u"Diametro En Cm De Antebrazo Izquierdo", dayfields::Dai, u" Cm"},
    {u"Diametro En Cm De Biceps Derecho", dayfields::Dbd, u" Cm"},
    {u"Diametro En Cm De Biceps Izquierdo", dayfields::Dbi, u" Cm"},
    {u"Diametro En Cm De Cintura", dayfields::Dc, u" Cm"},
    {u"Diametro En Cm De Pierna Derecha", dayfields::Dpd, u" Cm"},
    {u"Diametro En Cm De Pierna Izquierda", dayfields::Dpi, u" Cm"},
    {u"Diametro En Cm De Gemelo Derecho", dayfields::Dgd, u" Cm"},
    {u"Diametro En Cm De Gemelo Izquierdo", dayfields::Dgi, u" Cm"},
    {u"Diametro En Cm De Culo", dayfields::Dculo, u" Cm"},
    {u"Peso En Kilogramos", dayfields::Peski, u" Kilos"},
    {u"Horario De Este Día", dayfields::Horahoy, u""},
    {u"Litros De Agua Bebidos Este Día", dayfields::Lagua, u" Litros"},
}};

// The fixed parts of the day block, encoded once.
struct DayBlockBytes {
    QByteArray dateHeading = headingBytes(u"Fecha");
    QByteArray arrow = windows1252::encode(u" --> ");
    QByteArray hoursHeading = []() {
        QByteArray bytes(lineEnd); // the empty line after the date
        bytes += headingBytes(u"Horas En El Gimnasio");
        return bytes;
    }();
    QByteArray hoursUnit = windows1252::encode(u" Horas\r\n\r\n");
    std::array<QByteArray, textSections.size()> textHeadings;
    std::array<QByteArray, valueSections.size()> valueHeadings;
    std::array<QByteArray, valueSections.size()> valueEnds; // unit, line end, empty line
    QByteArray diaryHeading = windows1252::encode(u"Diario De ");
    QByteArray diaryUnderline = QByteArray(55, '-') + lineEnd;

    DayBlockBytes() {
        for (std::size_t i = 0; i < textSections.size(); ++i)
            textHeadings[i] = headingBytes(textSections[i].heading);
        for (std::size_t i = 0; i < valueSections.size(); ++i) {
            valueHeadings[i] = headingBytes(valueSections[i].heading);
            valueEnds[i] = windows1252::encode(valueSections[i].unit) + lineEnd + lineEnd;
        }
    }
};

const DayBlockBytes &dayBlockBytes() {
    static const DayBlockBytes bytes;
    return bytes;
}

void appendNumber(QByteArray &out, double value) {
    windows1252::append(out, dates::generalNumber(value));
}

void appendSpanPart(QByteArray &out, const Span &span, QStringView unit) {
    if (span.start && span.last) {
        if (const auto value = dates::perendat(*span.start, *span.last, unit))
            out.append(QByteArray::number(*value));
    }
}

// The long date form straight in bytes, from the Spanish day and month names encoded once. It
// gives what dates::longDate() gives, and leaves the work to it when the Spanish long form is not
// the one built here.
class LongDateBytes {
public:
    LongDateBytes() {
        const QLocale &spanish = dates::spanish();
        m_built = spanish.dateFormat(QLocale::LongFormat) == u"dddd, d 'de' MMMM 'de' yyyy";
        for (int day = 1; day <= 7; ++day)
            m_dayNames[day - 1] = windows1252::encode(spanish.dayName(day, QLocale::LongFormat));
        for (int month = 1; month <= 12; ++month)
            m_monthNames[month - 1] =
                windows1252::encode(spanish.monthName(month, QLocale::LongFormat));
    }

    void append(QByteArray &out, QDate date) const {
        if (!date.isValid())
            return;
        if (!m_built || date.year() < 1 || date.year() > 9999) {
            windows1252::append(out, dates::longDate(date));
            return;
        }
        out.append(m_dayNames[date.dayOfWeek() - 1]);
        out.append(", ", 2);
        if (date.day() >= 10)
            out.append(char('0' + date.day() / 10));
        out.append(char('0' + date.day() % 10));
        out.append(" de ", 4);
        out.append(m_monthNames[date.month() - 1]);
        out.append(" de ", 4);
        const int year = date.year();
        const char digits[4] = {char('0' + year / 1000), char('0' + year / 100 % 10),
                                char('0' + year / 10 % 10), char('0' + year % 10)};
        out.append(digits, 4);
    }

private:
    bool m_built = false;
    std::array<QByteArray, 7> m_dayNames;
    std::array<QByteArray, 12> m_monthNames;
};

} // namespace

void appendLongDate(QByteArray &out, QDate date) {
    static const LongDateBytes longDates;
    longDates.append(out, date);
}

Span spanOf(const ReportProfile &profile, std::optional<QDate> lastDate) {
    return Span{dates::readDate(profile.gymStartTyped), lastDate};
}

void appendProfileBlock(QByteArray &out, const ReportProfile &profile, const Span &span) {
    const QByteArray stars(100, '*');
    out.append(stars);
    appendLineEnd(out);
    appendLine(out, profile.name.toUpper());
    windows1252::append(out, u"Fecha De Nacimiento ");
    appendLine(out, profile.birthLong);
    windows1252::append(out, u"Fecha Primer Día En Gimnasio ");
    appendLine(out, profile.gymStartLong);
    windows1252::append(out, u"Altura En Cm.       ");
    appendLine(out, profile.height);
    windows1252::append(out, u"Edad De Usuario     ");
    appendLine(out, profile.age);
    windows1252::append(out, u"Días Metidos En B.D ");
    appendLine(out, profile.dayCount);
    windows1252::append(out, u"Estadísticas En Formato Txt Desde ");
    if (span.start)
        windows1252::append(out, dates::shortDate(*span.start));
    windows1252::append(out, u" Hasta: ");
    if (span.last)
        windows1252::append(out, dates::shortDate(*span.last));
    appendLineEnd(out);
    windows1252::append(out, u"Tiempo En Gimnasio  ");
    appendSpanPart(out, span, u"a");
    windows1252::append(out, u" Años, ");
    appendSpanPart(out, span, u"m");
    windows1252::append(out, u" Meses Y ");
    appendSpanPart(out, span, u"d");
    appendLine(out, u" Días");
    out.append(stars);
    appendLineEnd(out);
    appendLineEnd(out);
}

void appendPieces(QByteArray &out, QStringView text) {
    windows1252::appendSlices(out, text, 78);
}

void appendDayBlock(QByteArray &out, const dayfields::DayTexts &day) {
    const DayBlockBytes &fixed = dayBlockBytes();
    const QString &date = day[dayfields::Fh];
    QByteArray longDate;
    if (const auto asDate = dates::readDate(date))
        appendLongDate(longDate, *asDate);

    out.append(fixed.dateHeading);
    windows1252::append(out, date);
    out.append(fixed.arrow);
    out.append(longDate);
    appendLineEnd(out);
    out.append(fixed.hoursHeading);
    windows1252::append(out, day[dayfields::Hgim]);
    out.append(fixed.hoursUnit);
    for (std::size_t i = 0; i < textSections.size(); ++i) {
        out.append(fixed.textHeadings[i]);
        appendPieces(out, day[textSections[i].box]);
        appendLineEnd(out);
    }
    for (std::size_t i = 0; i < valueSections.size(); ++i) {
        out.append(fixed.valueHeadings[i]);
        windows1252::append(out, day[valueSections[i].box]);
        out.append(fixed.valueEnds[i]);
    }
    out.append(fixed.diaryHeading);
    out.append(longDate);
    appendLineEnd(out);
    out.append(fixed.diaryUnderline);
    appendPieces(out, day[dayfields::Eldiario]);
    appendLineEnd(out);
}

double amountOf(QStringView boxText) {
    return dates::readNumber(boxText).value_or(0.0);
}

double countOf(QStringView dayCountCaption) {
    qsizetype i = 0;
    while (i < dayCountCaption.size() &&
           (dayCountCaption[i] == u' ' || dayCountCaption[i] == u'\t'))
        ++i;
    double count = 0;
    for (; i < dayCountCaption.size() && dayCountCaption[i] >= u'0' && dayCountCaption[i] <= u'9';
         ++i)
        count = count * 10 + (dayCountCaption[i].unicode() - u'0');
    return count;
}

void appendTotalsLines(QByteArray &out, double totalHours, double totalLitres, double count) {
    const auto average = [count](double total) { return count > 0 ? total / count : 0.0; };
    windows1252::append(out,
                        u"Litros De Agua Totales Bebidos En Lo Que Llevas Yendo Al Gimnasio : ");
    appendNumber(out, totalLitres);
    windows1252::append(out, u" Media: ");
    appendNumber(out, average(totalLitres));
    appendLineEnd(out);
    windows1252::append(out,
                        u"Número De Horas Metidas En El Gimnasio Desde Que Te Apuntaste     : ");
    appendNumber(out, totalHours);
    windows1252::append(out, u" Media : ");
    appendNumber(out, average(totalHours));
    appendLineEnd(out);
}

QString dayFileName(const dayfields::DayTexts &day) {
    const QString &date = day[dayfields::Fh];
    const auto asDate = dates::readDate(date);
    QString name = QuitarCaracter(asDate ? dates::longDate(*asDate) : date);
    name.removeIf([](QChar c) { return c.category() == QChar::Other_Control; });
    // A file name holds at most 255 bytes, and the export's part file adds six to this name.
    constexpr qsizetype maxStemBytes = 255 - 6 - 4;
    qsizetype bytes = 0;
    qsizetype kept = 0;
    while (kept < name.size()) {
        const bool pair = name[kept].isHighSurrogate() && kept + 1 < name.size() &&
                          name[kept + 1].isLowSurrogate();
        const char32_t c = pair ? QChar::surrogateToUcs4(name[kept], name[kept + 1])
                                : char32_t(name[kept].unicode());
        const qsizetype size = c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
        if (bytes + size > maxStemBytes)
            break;
        bytes += size;
        kept += pair ? 2 : 1;
    }
    name.truncate(kept);
    if (name.isEmpty())
        name = QStringLiteral("SinFecha");
    return name + QStringLiteral(".TxT");
}

} // namespace reportformat
