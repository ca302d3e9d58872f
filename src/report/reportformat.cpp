#include "report/reportformat.h"

#include "data/dates.h"
#include "report/quitarcaracter.h"
#include "report/reportsections.h"
#include "report/statsexport.h"
#include "report/windows1252.h"

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

// The fixed bytes of one section of the day block, encoded once: what comes before the field's
// text and what comes after it.
struct SectionBytes {
    Box box;
    dayfields::Section section;
    QByteArray heading;
    QByteArray end;
};

struct DayBlockBytes {
    std::array<SectionBytes, dayfields::BoxCount> sections;
    QByteArray arrow = windows1252::encode(u" --> ");
    QByteArray diaryUnderline = QByteArray(55, '-') + lineEnd;

    DayBlockBytes() {
        using dayfields::Section;
        const auto order = dayfields::reportOrder();
        for (std::size_t i = 0; i < order.size(); ++i) {
            const dayfields::DayField &field = dayfields::fields[order[i]];
            SectionBytes &bytes = sections[i];
            bytes.box = order[i];
            bytes.section = field.section;
            const reportsections::Words &words = reportsections::words[order[i]];
            const QString heading = QString::fromUtf16(words.heading);
            bytes.heading = field.section == Section::DiaryText ? windows1252::encode(heading)
                                                                : headingBytes(heading);
            if (field.section == Section::Value)
                bytes.end = windows1252::encode(QString::fromUtf16(words.unit));
            bytes.end += lineEnd;
            // Dates and values are followed by an empty line.
            if (field.section == Section::DateLine || field.section == Section::Value)
                bytes.end += lineEnd;
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
    using dayfields::Section;
    const DayBlockBytes &fixed = dayBlockBytes();
    QByteArray longDate;
    if (const auto asDate = dates::readDate(day[dayfields::Fh]))
        appendLongDate(longDate, *asDate);

    for (const SectionBytes &section : fixed.sections) {
        const QString &text = day[section.box];
        out.append(section.heading);
        switch (section.section) {
        case Section::DateLine:
            windows1252::append(out, text);
            out.append(fixed.arrow);
            out.append(longDate);
            break;
        case Section::Value:
            windows1252::append(out, text);
            break;
        case Section::Pieces:
            appendPieces(out, text);
            break;
        case Section::DiaryText:
            out.append(longDate);
            appendLineEnd(out);
            out.append(fixed.diaryUnderline);
            appendPieces(out, text);
            break;
        }
        out.append(section.end);
    }
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
