#include "data/dates.h"

#include <QVarLengthArray>
#include <algorithm>
#include <charconv>
#include <cmath>

namespace dates {
namespace {

template <typename Ch> constexpr bool isBlank(Ch c) {
    return c == ' ' || c == '\t';
}
template <typename Ch> constexpr bool isDigit(Ch c) {
    return c >= '0' && c <= '9';
}

template <typename Ch> void trim(const Ch *&begin, const Ch *&end) {
    while (begin < end && isBlank(*begin))
        ++begin;
    while (end > begin && isBlank(end[-1]))
        --end;
}

// Reads one to maxDigits digits; returns how many it read.
template <typename Ch> int readDigits(const Ch *&p, const Ch *end, int maxDigits, int &value) {
    int count = 0;
    value = 0;
    while (p < end && isDigit(*p) && count < maxDigits) {
        value = value * 10 + int(*p - '0');
        ++p;
        ++count;
    }
    return count;
}

template <typename Ch> std::optional<QDate> parseDate(const Ch *begin, const Ch *end) {
    trim(begin, end);
    const Ch *p = begin;
    int day = 0;
    int month = 0;
    int year = 0;
    if (readDigits(p, end, 2, day) == 0 || p == end)
        return std::nullopt;
    const Ch separator = *p;
    if (separator != '/' && separator != '-' && separator != '.')
        return std::nullopt;
    ++p;
    if (readDigits(p, end, 2, month) == 0 || p == end || *p != separator)
        return std::nullopt;
    ++p;
    const int yearDigits = readDigits(p, end, 4, year);
    if (p != end)
        return std::nullopt;
    if (yearDigits == 2)
        year += year < 30 ? 2000 : 1900;
    else if (yearDigits != 4 || year == 0)
        return std::nullopt;
    if (!QDate::isValid(year, month, day))
        return std::nullopt;
    return QDate(year, month, day);
}

template <typename Ch> std::optional<double> parseNumber(const Ch *begin, const Ch *end) {
    trim(begin, end);
    // Copied into plain ASCII with a decimal point for from_chars, on the stack unless it is long.
    QVarLengthArray<char, 128> buffer(end - begin);
    qsizetype length = 0;
    const Ch *p = begin;
    if (p < end && (*p == '+' || *p == '-')) {
        if (*p == '-')
            buffer[length++] = '-';
        ++p;
    }
    int digits = 0;
    bool separatorSeen = false;
    for (; p < end; ++p) {
        if (isDigit(*p)) {
            buffer[length++] = char(*p);
            ++digits;
        } else if ((*p == ',' || *p == '.') && !separatorSeen) {
            buffer[length++] = '.';
            separatorSeen = true;
        } else {
            return std::nullopt;
        }
    }
    if (digits == 0)
        return std::nullopt;
    double value = 0;
    const auto [ptr, ec] = std::from_chars(buffer.data(), buffer.data() + length, value);
    if (ec != std::errc() || !std::isfinite(value))
        return std::nullopt;
    return value == 0 ? 0.0 : value;
}

QString twoDigits(int value) {
    return QString(QChar(u'0' + value / 10)) + QChar(u'0' + value % 10);
}

} // namespace

const QLocale &spanish() {
    static const QLocale locale(QLocale::Spanish, QLocale::Spain);
    return locale;
}

std::optional<QDate> readDate(QStringView text) {
    const char16_t *begin = text.utf16();
    return parseDate(begin, begin + text.size());
}

std::optional<QDate> readDateUtf8(const char *text, qsizetype length) {
    return parseDate(text, text + length);
}

QString shortDate(QDate date) {
    if (!date.isValid())
        return {};
    return twoDigits(date.day()) + u'/' + twoDigits(date.month()) + u'/' +
           QString::number(date.year()).rightJustified(4, u'0');
}

QString longDate(QDate date) {
    if (!date.isValid())
        return {};
    static const QString format = spanish().dateFormat(QLocale::LongFormat);
    return spanish().toString(date, format);
}

QString timeOfDay(QTime time) {
    if (!time.isValid())
        return {};
    return twoDigits(time.hour()) + u':' + twoDigits(time.minute()) + u':' +
           twoDigits(time.second());
}

QString longDateOf(QStringView typed) {
    const auto date = readDate(typed);
    return date ? longDate(*date) : QString();
}

std::optional<double> readNumber(QStringView text) {
    const char16_t *begin = text.utf16();
    return parseNumber(begin, begin + text.size());
}

std::optional<double> readNumberUtf8(const char *text, qsizetype length) {
    return parseNumber(text, text + length);
}

QString generalNumber(double value) {
    if (!std::isfinite(value))
        return {};
    if (value == 0)
        value = 0; // no "-0"
    char buffer[40];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    QString text = QString::fromLatin1(buffer, result.ptr - buffer);
    text.replace(u'.', u',');
    text.replace(u'e', u'E');
    return text;
}

std::optional<int> perendat(QDate fecha1, QDate fecha2, QStringView tipo) {
    return perendat(fecha1.startOfDay(), fecha2.startOfDay(), tipo);
}

std::optional<int> perendat(const QDateTime &fecha1, const QDateTime &fecha2, QStringView tipo) {
    if (!fecha1.isValid() || !fecha2.isValid())
        return std::nullopt;
    const bool inOrder = fecha1 < fecha2;
    const QDate lo = (inOrder ? fecha1 : fecha2).date();
    const QDate hi = (inOrder ? fecha2 : fecha1).date();

    int years = hi.year() - lo.year();
    if (hi.month() * 100 + hi.day() < lo.month() * 100 + lo.day())
        --years;
    int months = (12 * hi.year() + hi.month()) - (12 * lo.year() + lo.month()) - 12 * years;
    int days = hi.day() - lo.day();
    if (days < 0) {
        --months;
        // Counted from lo's day of the month in the month before hi's month; a day that month
        // lacks runs on into the next one, and where that passes hi no days are left over.
        const QDate monthBefore = QDate(hi.year(), hi.month(), 1).addMonths(-1);
        const QDate borrowed = monthBefore.addDays(lo.day() - 1);
        days = std::max(0, int(borrowed.daysTo(hi)));
    }

    if (tipo == u"d")
        return days;
    if (tipo == u"m")
        return months;
    if (tipo == u"a")
        return years;
    return std::nullopt;
}

} // namespace dates
