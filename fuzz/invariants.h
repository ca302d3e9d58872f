#pragma once

// Properties that the date and number readers and the statistics report formatter keep for any
// input whatever. The fuzz targets run them on generated inputs; tests/test_fuzzfinds.cpp runs
// them on the seed corpora and on every input a fuzz run has found. No libFuzzer here.
//
// Every check returns an empty text when all its properties hold, else a description of the first
// one broken, with the offending input escaped.

#include "dates.h"
#include "dayfields.h"
#include "quitarcaracter.h"
#include "reportformat.h"
#include "statsexport.h"
#include "windows1252.h"

#include <QBuffer>
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringDecoder>
#include <QStringList>
#include <QStringView>
#include <cmath>
#include <cstring>
#include <optional>
#include <vector>

namespace fuzzchecks {

// ---------------------------------------------------------------------------------------------
// Helpers

// The text in double quotes, with everything outside printable ASCII as \uXXXX.
inline QString quoted(QStringView text) {
    QString out = QStringLiteral("\"");
    for (const QChar c : text) {
        if (c.unicode() >= 0x20 && c.unicode() < 0x7F && c != u'\\' && c != u'"')
            out += c;
        else
            out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
    }
    return out + u'"';
}

inline QString quoted(const QByteArray &bytes) {
    QString out = QStringLiteral("\"");
    for (const char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if (u >= 0x20 && u < 0x7F && c != '\\' && c != '"')
            out += QChar(u);
        else
            out += QStringLiteral("\\x%1").arg(u, 2, 16, QLatin1Char('0'));
    }
    return out + u'"';
}

constexpr bool isAsciiDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

inline bool allAsciiDigits(QStringView text) {
    for (const QChar c : text) {
        if (!isAsciiDigit(c))
            return false;
    }
    return true;
}

// Code units of the character at i: a surrogate pair is one character of two.
inline qsizetype characterLength(QStringView text, qsizetype i) {
    return text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate() ? 2 : 1;
}

inline QList<QStringView> characters(QStringView text) {
    QList<QStringView> list;
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype length = characterLength(text, i);
        list.append(text.mid(i, length));
        i += length;
    }
    return list;
}

inline QStringView withoutBlanksAround(QStringView text) {
    while (!text.isEmpty() && (text.front() == u' ' || text.front() == u'\t'))
        text = text.mid(1);
    while (!text.isEmpty() && (text.back() == u' ' || text.back() == u'\t'))
        text.chop(1);
    return text;
}

inline bool isValidUtf8(const QByteArray &bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder(bytes);
    return !decoder.hasError();
}

inline QString fromUtf16Bytes(const char *data, size_t size) {
    QString text(qsizetype(size / 2), Qt::Uninitialized);
    std::memcpy(text.data(), data, (size / 2) * 2);
    return text;
}

// ---------------------------------------------------------------------------------------------
// Dates

// The date a text names, read straight from the header's description: blanks around, then day,
// month and year (one or two digits, one or two, four or two read 1930-2029) joined by one of
// '/', '-' or '.' used twice; a real calendar day only.
inline std::optional<QDate> describedDate(QStringView text) {
    const QStringView t = withoutBlanksAround(text);
    for (const QChar separator : {u'/', u'-', u'.'}) {
        const QList<QStringView> parts = t.split(separator);
        if (parts.size() != 3)
            continue;
        const QStringView day = parts[0], month = parts[1], year = parts[2];
        if (day.isEmpty() || day.size() > 2 || month.isEmpty() || month.size() > 2 ||
            (year.size() != 2 && year.size() != 4) || !allAsciiDigits(day) ||
            !allAsciiDigits(month) || !allAsciiDigits(year))
            return std::nullopt;
        int y = year.toInt();
        if (year.size() == 2)
            y += y < 30 ? 2000 : 1900;
        if (y == 0 || !QDate::isValid(y, month.toInt(), day.toInt()))
            return std::nullopt;
        return QDate(y, month.toInt(), day.toInt());
    }
    return std::nullopt;
}

inline QString checkDateText(QStringView text) {
    const auto date = dates::readDate(text);
    const QString what = quoted(text);
    const auto expected = describedDate(text);
    if (date != expected)
        return QStringLiteral("readDate(%1) gives %2, the described reading %3")
            .arg(what, date ? date->toString(Qt::ISODate) : QStringLiteral("nothing"),
                 expected ? expected->toString(Qt::ISODate) : QStringLiteral("nothing"));
    const QByteArray utf8 = text.toUtf8();
    if (dates::readDateUtf8(utf8.constData(), utf8.size()) != date)
        return QStringLiteral("readDateUtf8 and readDate disagree on %1").arg(what);
    const QString longForm = dates::longDateOf(text);
    if (!date) {
        if (!longForm.isEmpty())
            return QStringLiteral("longDateOf(%1) is %2 for no date").arg(what, quoted(longForm));
        return {};
    }
    if (!date->isValid())
        return QStringLiteral("readDate(%1) gives an invalid date").arg(what);
    const QString shortForm = dates::shortDate(*date);
    if (shortForm.size() != 10 || dates::readDate(shortForm) != date)
        return QStringLiteral("shortDate %1 of %2 does not read back as the same date")
            .arg(quoted(shortForm), what);
    if (longForm.isEmpty() || longForm != dates::longDate(*date))
        return QStringLiteral("longDateOf(%1) is %2, longDate gives %3")
            .arg(what, quoted(longForm), quoted(dates::longDate(*date)));
    if (!longForm.endsWith(QStringLiteral(" de ") +
                           QString::number(date->year()).rightJustified(4, u'0')))
        return QStringLiteral("long date %1 does not end in its year").arg(quoted(longForm));
    QByteArray reportBytes;
    reportformat::appendLongDate(reportBytes, *date);
    if (reportBytes != windows1252::encode(longForm))
        return QStringLiteral("the report's long date of %1 is %2, not %3")
            .arg(what, quoted(reportBytes), quoted(windows1252::encode(longForm)));
    return {};
}

// Raw input read as UTF-8 and as UTF-16.
inline QString checkDateInput(const char *data, size_t size) {
    const QByteArray bytes = QByteArray::fromRawData(data, qsizetype(size));
    const QString text = QString::fromUtf8(bytes);
    const auto fromBytes = dates::readDateUtf8(data, qsizetype(size));
    if (isValidUtf8(bytes) && fromBytes != dates::readDate(text))
        return QStringLiteral("readDateUtf8 and readDate disagree on %1").arg(quoted(bytes));
    if (fromBytes && !describedDate(text))
        return QStringLiteral("readDateUtf8 reads %1 as a date").arg(quoted(bytes));
    QString failure = checkDateText(text);
    if (failure.isEmpty())
        failure = checkDateText(fromUtf16Bytes(data, size));
    return failure;
}

// ---------------------------------------------------------------------------------------------
// Numbers

// The canonical "sign digits . digits" form of a text that the header describes as a number:
// blanks around, an optional sign, digits and at most one ',' or '.' with digits on at least one
// side; nothing otherwise.
inline std::optional<QByteArray> describedNumber(QStringView text) {
    QStringView t = withoutBlanksAround(text);
    QByteArray canonical;
    if (!t.isEmpty() && (t.front() == u'+' || t.front() == u'-')) {
        if (t.front() == u'-')
            canonical += '-';
        t = t.mid(1);
    }
    qsizetype separator = -1;
    for (qsizetype i = 0; i < t.size(); ++i) {
        if (t[i] == u',' || t[i] == u'.') {
            if (separator >= 0)
                return std::nullopt;
            separator = i;
        }
    }
    const QStringView whole = separator < 0 ? t : t.left(separator);
    const QStringView fraction = separator < 0 ? QStringView() : t.mid(separator + 1);
    if ((whole.isEmpty() && fraction.isEmpty()) || !allAsciiDigits(whole) ||
        !allAsciiDigits(fraction))
        return std::nullopt;
    canonical += whole.isEmpty() ? QByteArray("0") : whole.toLatin1();
    canonical += '.';
    canonical += fraction.isEmpty() ? QByteArray("0") : fraction.toLatin1();
    return canonical;
}

// Close enough for a value written with 15 significant digits and read again.
inline bool closeTo(double a, double b) {
    return std::fabs(a - b) <= 1e-14 * std::max(std::fabs(a), std::fabs(b)) + 1e-300;
}

// generalNumber(value): "-"?, digits, optionally "," and digits with no trailing zero, optionally
// "E", a sign and digits; at most 15 significant digits; no "-0"; reads back to a close value
// (by readNumber, when it has no exponent).
inline QString checkGeneralNumber(double value) {
    const QString text = dates::generalNumber(value);
    const QString what =
        QStringLiteral("generalNumber(%1) = %2").arg(QString::number(value, 'g', 17), quoted(text));
    if (!std::isfinite(value))
        return text.isEmpty() ? QString() : what + QStringLiteral(" for no finite value");
    QStringView mantissa = text;
    QStringView exponent;
    if (const qsizetype e = text.indexOf(u'E'); e >= 0) {
        mantissa = QStringView(text).left(e);
        exponent = QStringView(text).mid(e + 1);
        if (exponent.size() < 2 || (exponent[0] != u'+' && exponent[0] != u'-') ||
            !allAsciiDigits(exponent.mid(1)))
            return what + QStringLiteral(": bad exponent");
    }
    if (mantissa.startsWith(u'-'))
        mantissa = mantissa.mid(1);
    const qsizetype comma = mantissa.indexOf(u',');
    const QStringView whole = comma < 0 ? mantissa : mantissa.left(comma);
    const QStringView fraction = comma < 0 ? QStringView() : mantissa.mid(comma + 1);
    if (whole.isEmpty() || !allAsciiDigits(whole) || !allAsciiDigits(fraction) ||
        (comma >= 0 && fraction.isEmpty()))
        return what + QStringLiteral(": not digits with one decimal comma");
    if (fraction.endsWith(u'0'))
        return what + QStringLiteral(": trailing zero");
    if (whole.size() > 1 && whole.startsWith(u'0'))
        return what + QStringLiteral(": leading zero");
    QString digits = whole.toString() + fraction.toString();
    while (digits.startsWith(u'0'))
        digits.remove(0, 1);
    while (digits.endsWith(u'0'))
        digits.chop(1);
    if (digits.size() > 15)
        return what + QStringLiteral(": more than 15 significant digits");
    if (text == u"-0" || (text.startsWith(u'-') && digits.isEmpty()))
        return what + QStringLiteral(": negative zero");
    bool ok = false;
    QByteArray cForm = text.toLatin1().replace(',', '.');
    const double back = cForm.toDouble(&ok);
    // Near the largest double the 15-digit form rounds up past it and cannot read back.
    const bool roundsPastLargest = std::fabs(value) > 1.797693134862315e308;
    if (!roundsPastLargest && (!ok || !closeTo(back, value)))
        return what + QStringLiteral(": reads back as %1").arg(QString::number(back, 'g', 17));
    if (exponent.isEmpty() && !roundsPastLargest) {
        const auto read = dates::readNumber(text);
        if (!read || !closeTo(*read, value))
            return what + QStringLiteral(": readNumber does not read it back");
    }
    return {};
}

inline QString checkNumberText(QStringView text) {
    const QString what = quoted(text);
    const auto number = dates::readNumber(text);
    const QByteArray utf8 = text.toUtf8();
    const auto fromBytes = dates::readNumberUtf8(utf8.constData(), utf8.size());
    if (fromBytes.has_value() != number.has_value() ||
        (number && (*fromBytes != *number || std::signbit(*fromBytes) != std::signbit(*number))))
        return QStringLiteral("readNumberUtf8 and readNumber disagree on %1").arg(what);
    const auto canonical = describedNumber(text);
    if (!canonical) {
        if (number)
            return QStringLiteral("readNumber reads %1, which is no number, as %2")
                .arg(what, QString::number(*number, 'g', 17));
        return {};
    }
    bool ok = false;
    const double expected = canonical->toDouble(&ok);
    if (ok && std::isfinite(expected)) {
        if (!number || *number != expected)
            return QStringLiteral("readNumber(%1) gives %2, not %3")
                .arg(what, number ? QString::number(*number, 'g', 17) : QStringLiteral("no number"),
                     QString::number(expected, 'g', 17));
    } else if (number && !(std::fabs(*number) <= 2.3e-308)) {
        // Beyond the range of a double: no number, or zero for a value too small.
        return QStringLiteral("readNumber(%1) gives %2 for a value out of range")
            .arg(what, QString::number(*number, 'g', 17));
    }
    if (number) {
        if (!std::isfinite(*number))
            return QStringLiteral("readNumber(%1) is not finite").arg(what);
        if (*number == 0 && std::signbit(*number))
            return QStringLiteral("readNumber(%1) is negative zero").arg(what);
        return checkGeneralNumber(*number);
    }
    return {};
}

// Raw input read as UTF-8 and as UTF-16; its first eight bytes also as a double.
inline QString checkNumberInput(const char *data, size_t size) {
    const QByteArray bytes = QByteArray::fromRawData(data, qsizetype(size));
    const QString text = QString::fromUtf8(bytes);
    const auto fromBytes = dates::readNumberUtf8(data, qsizetype(size));
    if (isValidUtf8(bytes)) {
        const auto fromText = dates::readNumber(text);
        if (fromBytes.has_value() != fromText.has_value() || (fromBytes && *fromBytes != *fromText))
            return QStringLiteral("readNumberUtf8 and readNumber disagree on %1")
                .arg(quoted(bytes));
    }
    QString failure = checkNumberText(text);
    if (failure.isEmpty())
        failure = checkNumberText(fromUtf16Bytes(data, size));
    if (failure.isEmpty() && size >= sizeof(double)) {
        double value = 0;
        std::memcpy(&value, data, sizeof value);
        failure = checkGeneralNumber(value);
    }
    return failure;
}

// ---------------------------------------------------------------------------------------------
// Reports

// QuitarCaracter(text, set): text less every character of the set, compared by exact code with a
// surrogate pair as one character; the default set is ".,:/ ".
inline QString checkQuitarCaracter(const QString &text, const std::optional<QString> &set) {
    const QString result = QuitarCaracter(text, set);
    const QString used = set ? *set : QStringLiteral(".,:/ ");
    const QList<QStringView> setCharacters = characters(used);
    QString expected;
    for (const QStringView character : characters(text)) {
        if (!setCharacters.contains(character))
            expected += character;
    }
    if (result != expected)
        return QStringLiteral("QuitarCaracter(%1, %2) is %3, not %4")
            .arg(quoted(text), set ? quoted(*set) : QStringLiteral("default"), quoted(result),
                 quoted(expected));
    return {};
}

inline bool hasLineBreak(QStringView text) {
    return text.contains(u'\r') || text.contains(u'\n');
}

// The position of the first CR or LF of bytes that is not part of a CR LF pair, or -1.
inline qsizetype loneLineBreak(const QByteArray &bytes) {
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if ((bytes[i] == '\r') != (i + 1 < bytes.size() && bytes[i + 1] == '\n') ||
            (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r')))
            return i;
    }
    return -1;
}

// appendPieces(text): slices of 78 characters (a surrogate pair one character, one byte), each
// followed by CR LF, the last one shorter; nothing for an empty text.
inline QString checkPieces(QStringView text) {
    QByteArray pieces;
    reportformat::appendPieces(pieces, text);
    const qsizetype count = characters(text).size();
    const qsizetype slices = (count + 77) / 78;
    const QByteArray encoded = windows1252::encode(text);
    const QString what = QStringLiteral("pieces of %1").arg(quoted(text));
    if (const qsizetype at = loneLineBreak(pieces); at >= 0)
        return what + QStringLiteral(" have a lone CR or LF at byte %1").arg(at);
    if (pieces.contains('\0'))
        return what + QStringLiteral(" hold a NUL");
    // A line break counts as the two characters of CR LF: the slices no longer line up with the
    // characters of the text.
    if (hasLineBreak(text))
        return {};
    if (encoded.size() != count)
        return QStringLiteral("%1 take %2 bytes for %3 characters")
            .arg(quoted(text))
            .arg(encoded.size())
            .arg(count);
    if (pieces.size() != count + 2 * slices)
        return what + QStringLiteral(" have %1 bytes").arg(pieces.size());
    for (qsizetype i = 0; i < slices; ++i) {
        const qsizetype length = std::min<qsizetype>(78, count - 78 * i);
        const qsizetype at = 80 * i;
        if (pieces.mid(at, length) != encoded.mid(78 * i, length) ||
            pieces.mid(at + length, 2) != "\r\n")
            return what + QStringLiteral(": slice %1 is wrong").arg(i);
    }
    return {};
}

// dayFileName(day): ends in ".TxT"; before it a non-empty name with no full stop, comma, colon,
// slash, blank or control character (so never "." or ".."), short enough for a file name with
// the six bytes of the part file's dot and suffix; the long date so cleaned for a date box that
// reads as a date.
inline QString checkDayFileName(const dayfields::DayTexts &day) {
    const QString name = reportformat::dayFileName(day);
    const QString what =
        QStringLiteral("dayFileName for %1 is %2").arg(quoted(day[dayfields::Fh]), quoted(name));
    if (statsexport::dayFileName(day) != name)
        return what + QStringLiteral(", the export's differs");
    if (!name.endsWith(QStringLiteral(".TxT")))
        return what + QStringLiteral(": no .TxT");
    const QStringView stem = QStringView(name).chopped(4);
    if (stem.isEmpty() || name == u"." || name == u"..")
        return what + QStringLiteral(": empty name");
    if (name.toUtf8().size() + 6 > 255)
        return what + QStringLiteral(": too long for a file name with its part suffix");
    for (const QChar c : stem) {
        if (QStringView(u".,:/ ").contains(c) || c == QChar(0) ||
            c.category() == QChar::Other_Control)
            return what + QStringLiteral(": has %1").arg(quoted(QStringView(&c, 1)));
    }
    if (const auto date = dates::readDate(day[dayfields::Fh])) {
        if (stem != QuitarCaracter(dates::longDate(*date)))
            return what + QStringLiteral(": not its long date");
    }
    return {};
}

// The report's inputs from raw bytes: UTF-8 lines, the first seven the profile (name, birth long
// date, gym start long date, height, age, day count caption, typed gym start date), then the
// day boxes 23 by 23 in walk order; always at least one day, the last filled up with empty boxes.
struct ReportInput {
    ReportProfile profile;
    std::vector<dayfields::DayTexts> days;
};

inline ReportInput reportInputOf(const char *data, size_t size) {
    const QStringList lines = QString::fromUtf8(data, qsizetype(size)).split(u'\n');
    const auto line = [&lines](qsizetype i) { return i < lines.size() ? lines[i] : QString(); };
    ReportInput input;
    input.profile = {line(0), line(1), line(2), line(3), line(4), line(5), line(6)};
    qsizetype next = 7;
    do {
        dayfields::DayTexts day;
        for (auto &box : day)
            box = line(next++);
        input.days.push_back(day);
    } while (next < lines.size());
    return input;
}

// The bytes of writeSingleReport for these inputs, checked against what the format promises:
// Windows-1252 (none of its five unassigned bytes), no NUL, CR LF line ends only, ending in
// CR LF; when no input text holds a line break, the eleven lines of the profile block, each day's
// date line, and the two totals lines at the end.
inline QString checkReportBytes(const ReportInput &input, const QByteArray &out) {
    if (out.isEmpty() || !out.endsWith("\r\n"))
        return QStringLiteral("the report does not end in CR LF");
    for (const char c : out) {
        const auto u = static_cast<unsigned char>(c);
        if (u == 0x81 || u == 0x8D || u == 0x8F || u == 0x90 || u == 0x9D)
            return QStringLiteral("the report has byte %1, unassigned in Windows-1252")
                .arg(u, 2, 16);
    }
    if (out.contains('\0'))
        return QStringLiteral("the report holds a NUL");
    if (const qsizetype at = loneLineBreak(out); at >= 0)
        return QStringLiteral("the report has a lone CR or LF at byte %1").arg(at);
    const ReportProfile &p = input.profile;
    for (const QString *text : {&p.name, &p.birthLong, &p.gymStartLong, &p.height, &p.age,
                                &p.dayCount, &p.gymStartTyped}) {
        if (hasLineBreak(*text))
            return {};
    }
    for (const auto &day : input.days) {
        for (const QString &box : day) {
            if (hasLineBreak(box))
                return {};
        }
    }
    const QList<QByteArray> lines = out.chopped(2).split('\n');
    if (lines.size() < 13)
        return QStringLiteral("the report has only %1 lines").arg(lines.size());
    // Line i without its CR; a negative i counts from the end.
    const auto line = [&lines](qsizetype i) {
        QByteArray text = lines[i < 0 ? lines.size() + i : i];
        if (text.endsWith('\r'))
            text.chop(1);
        return text;
    };
    const auto w = [](const QString &text) { return windows1252::encode(text); };

    std::optional<QDate> last;
    for (auto day = input.days.rbegin(); day != input.days.rend() && !last; ++day)
        last = dates::readDate((*day)[dayfields::Fh]);
    const auto start = dates::readDate(p.gymStartTyped);
    const auto shortOf = [](const std::optional<QDate> &date) {
        return date ? dates::shortDate(*date) : QString();
    };
    const QByteArray stars(100, '*');
    const QByteArray profileLines[] = {
        stars,
        w(p.name.toUpper()),
        w(QStringLiteral("Fecha De Nacimiento ") + p.birthLong),
        w(QStringLiteral("Fecha Primer Día En Gimnasio ") + p.gymStartLong),
        w(QStringLiteral("Altura En Cm.       ") + p.height),
        w(QStringLiteral("Edad De Usuario     ") + p.age),
        w(QStringLiteral("Días Metidos En B.D ") + p.dayCount),
        w(QStringLiteral("Estadísticas En Formato Txt Desde ") + shortOf(start) +
          QStringLiteral(" Hasta: ") + shortOf(last)),
    };
    for (qsizetype i = 0; i < qsizetype(std::size(profileLines)); ++i) {
        if (line(i) != profileLines[i])
            return QStringLiteral("profile line %1 is %2, not %3")
                .arg(i + 1)
                .arg(quoted(line(i)), quoted(profileLines[i]));
    }
    // "Tiempo En Gimnasio  " Y " Años, " M " Meses Y " D " Días": three whole numbers when both
    // dates of the span are there, else three empty places.
    QByteArray span = line(8);
    const QByteArray spanParts[] = {w(QStringLiteral("Tiempo En Gimnasio  ")),
                                    w(QStringLiteral(" Años, ")), w(QStringLiteral(" Meses Y ")),
                                    w(QStringLiteral(" Días"))};
    for (int part = 0; part < 4; ++part) {
        if (!span.startsWith(spanParts[part]))
            return QStringLiteral("span line %1 is out of form").arg(quoted(line(8)));
        span = span.mid(spanParts[part].size());
        if (part == 3)
            break;
        qsizetype digits = 0;
        while (digits < span.size() && span[digits] >= '0' && span[digits] <= '9')
            ++digits;
        if ((digits > 0) != (start && last))
            return QStringLiteral("span line %1 does not fit the dates").arg(quoted(line(8)));
        span = span.mid(digits);
    }
    if (!span.isEmpty() || line(9) != stars || !line(10).isEmpty())
        return QStringLiteral("the profile block does not close with stars and an empty line");

    for (const auto &day : input.days) {
        const QString &date = day[dayfields::Fh];
        const QByteArray dateLine = "Fecha\r\n-----\r\n" + w(date) + " --> " +
                                    w(dates::longDateOf(date)) + "\r\n\r\nHoras En El Gimnasio";
        if (!out.contains(dateLine))
            return QStringLiteral("no date line for %1").arg(quoted(date));
        for (const auto box : {dayfields::Desa, dayfields::Comi, dayfields::Cena, dayfields::Qhash,
                               dayfields::Haspi, dayfields::Eldiario}) {
            QByteArray pieces;
            reportformat::appendPieces(pieces, day[box]);
            if (!out.contains(pieces))
                return QStringLiteral("the pieces of %1 are missing").arg(quoted(day[box]));
        }
    }

    double hours = 0;
    double litres = 0;
    for (const auto &day : input.days) {
        hours += dates::readNumber(day[dayfields::Hgim]).value_or(0.0);
        litres += dates::readNumber(day[dayfields::Lagua]).value_or(0.0);
    }
    const double count = reportformat::countOf(p.dayCount);
    const auto average = [count](double total) { return count > 0 ? total / count : 0.0; };
    const QByteArray litresLine =
        w(QStringLiteral("Litros De Agua Totales Bebidos En Lo Que Llevas Yendo Al Gimnasio : ") +
          dates::generalNumber(litres) + QStringLiteral(" Media: ") +
          dates::generalNumber(average(litres)));
    const QByteArray hoursLine =
        w(QStringLiteral("Número De Horas Metidas En El Gimnasio Desde Que Te Apuntaste     : ") +
          dates::generalNumber(hours) + QStringLiteral(" Media : ") +
          dates::generalNumber(average(hours)));
    if (line(-2) != litresLine || line(-1) != hoursLine)
        return QStringLiteral("the last totals lines are %1 and %2, not %3 and %4")
            .arg(quoted(line(-2)), quoted(line(-1)), quoted(litresLine), quoted(hoursLine));
    return {};
}

// Every check of the report formatter on one input: the single report, every day's file name,
// the pieces of every text box and QuitarCaracter on every box, with the default set and with the
// age caption as the set.
inline QString checkReportInput(const char *data, size_t size) {
    const ReportInput input = reportInputOf(data, size);
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    if (!statsexport::writeSingleReport(buffer, input.profile, input.days))
        return QStringLiteral("writeSingleReport failed on a buffer");
    buffer.close();
    QString failure = checkReportBytes(input, out);
    for (const auto &day : input.days) {
        if (failure.isEmpty())
            failure = checkDayFileName(day);
        for (const QString &box : day) {
            if (failure.isEmpty())
                failure = checkPieces(box);
            if (failure.isEmpty())
                failure = checkQuitarCaracter(box, std::nullopt);
            if (failure.isEmpty())
                failure = checkQuitarCaracter(box, input.profile.age);
        }
    }
    return failure;
}

} // namespace fuzzchecks
