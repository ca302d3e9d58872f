#pragma once

// Properties that the date and number readers, the statistics report formatter, the sealed
// diary file and the training reader keep for any input whatever. The fuzz targets check them on
// generated inputs; tests/test_logic.cpp checks them on every seed input of fuzz/corpus. Each check
// returns an empty text when every property holds, else what broke and on which input.

#include "data/dates.h"
#include "data/dayfields.h"
#include "data/sealedfile.h"
#include "report/quitarcaracter.h"
#include "report/reportformat.h"
#include "report/statsexport.h"
#include "report/windows1252.h"
#include "training/readinglines.h"

#include <QBuffer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace fuzzchecks {

// What broke, and on which input (percent-encoded UTF-8).
inline QString broken(const char *what, QStringView input) {
    return QString::fromLatin1(QByteArray(what) + " for " + input.toUtf8().toPercentEncoding(" "));
}

// The date a text names as dates.h describes it: blanks around, day and month of one or two
// digits and a year of four (or two, 1930-2029), joined by one of '/', '-', '.' used twice.
inline std::optional<QDate> describedDate(const QString &text) {
    static const QRegularExpression form(
        QStringLiteral("^[ \t]*([0-9]{1,2})([-/.])([0-9]{1,2})\\2([0-9]{4}|[0-9]{2})[ \t]*\\z"));
    const QRegularExpressionMatch m = form.match(text);
    const int year = m.captured(4).toInt();
    const QDate date(year + (m.capturedLength(4) == 2 ? year < 30 ? 2000 : 1900 : 0),
                     m.captured(3).toInt(), m.captured(1).toInt());
    // "00" is 2000; only a four-digit year 0000 names no date.
    return m.hasMatch() && (year != 0 || m.capturedLength(4) == 2) && date.isValid()
               ? std::optional(date)
               : std::nullopt;
}

inline QString checkDateText(const QString &text) {
    const auto date = dates::readDate(text);
    if (date != describedDate(text))
        return broken("readDate differs from the described reading", text);
    const QByteArray utf8 = text.toUtf8();
    if (dates::readDateUtf8(utf8.constData(), utf8.size()) != date)
        return broken("readDateUtf8 and readDate disagree", text);
    const QString longForm = dates::longDateOf(text);
    if (!date)
        return longForm.isEmpty() ? QString() : broken("longDateOf gives a text for no date", text);
    QByteArray reportBytes;
    reportformat::appendLongDate(reportBytes, *date);
    if (dates::readDate(dates::shortDate(*date)) != date || longForm != dates::longDate(*date) ||
        reportBytes != windows1252::encode(longForm))
        return broken("the short, long and report forms of the date disagree", text);
    return {};
}

inline QString checkDateInput(const char *data, size_t size) {
    const QString text = QString::fromUtf8(data, qsizetype(size));
    const auto fromBytes = dates::readDateUtf8(data, qsizetype(size));
    if (fromBytes && fromBytes != describedDate(text))
        return broken("readDateUtf8 reads a date that the text does not name", text);
    return checkDateText(text);
}

// The number a text names as dates.h describes it, as "sign digits . digits" for a C reader:
// blanks around, an optional sign, digits and at most one ',' or '.' with digits beside it.
inline std::optional<QByteArray> describedNumber(const QString &text) {
    static const QRegularExpression form(
        QStringLiteral("^[ \t]*([-+]?)([0-9]*)(?:[.,]([0-9]*))?[ \t]*\\z"));
    const QRegularExpressionMatch m = form.match(text);
    if (!m.hasMatch() || (m.capturedLength(2) == 0 && m.capturedLength(3) == 0))
        return std::nullopt;
    const QByteArray sign = m.captured(1) == u"-" ? "-" : "";
    return sign + '0' + m.captured(2).toLatin1() + '.' + m.captured(3).toLatin1() + '0';
}

// generalNumber: no grouping, a decimal comma, no leading or trailing zero, at most 15
// significant digits, no "-0", and it reads back close to the value.
inline QString checkGeneralNumber(double value) {
    const QString text = dates::generalNumber(value);
    if (!std::isfinite(value))
        return text.isEmpty() ? QString() : broken("generalNumber of no finite value", text);
    static const QRegularExpression form(
        QStringLiteral("^-?(0|[1-9][0-9]*)(,[0-9]*[1-9])?(E[+-][0-9]{2,})?$"));
    const QString digits = QString(text)
                               .remove(QRegularExpression(QStringLiteral("E.*|[-,]")))
                               .remove(QRegularExpression(QStringLiteral("^0+|0+$")));
    if (!form.match(text).hasMatch() || digits.size() > 15 || text == QStringLiteral("-0"))
        return broken("generalNumber is out of form", text);
    // Near the largest double the 15-digit form rounds past it and cannot read back.
    bool ok = false;
    const double back = text.toLatin1().replace(',', '.').toDouble(&ok);
    if ((!ok || std::fabs(back - value) > 1e-14 * std::fabs(value) + 1e-300) &&
        std::fabs(value) <= 1.797693134862315e308)
        return broken("generalNumber does not read back", text);
    return {};
}

inline QString checkNumberText(const QString &text) {
    const auto number = dates::readNumber(text);
    const QByteArray utf8 = text.toUtf8();
    const auto fromBytes = dates::readNumberUtf8(utf8.constData(), utf8.size());
    if (fromBytes != number ||
        (number && *number == 0 && (std::signbit(*number) || std::signbit(*fromBytes))))
        return broken("readNumberUtf8 and readNumber disagree, or give -0", text);
    const auto described = describedNumber(text);
    bool ok = false;
    const double expected = described ? described->toDouble(&ok) : 0.0;
    // Beyond the range of a double a number is no number, or zero when too small.
    const bool wrong = !described                      ? number.has_value()
                       : ok && std::isfinite(expected) ? number != expected
                                                       : number && std::fabs(*number) > 2.3e-308;
    if (wrong)
        return broken("readNumber differs from the described reading", text);
    return number ? checkGeneralNumber(*number) : QString();
}

// Raw input read as UTF-8; its first eight bytes also as a double.
inline QString checkNumberInput(const char *data, size_t size) {
    const QString text = QString::fromUtf8(data, qsizetype(size));
    if (dates::readNumberUtf8(data, qsizetype(size)) && !describedNumber(text))
        return broken("readNumberUtf8 reads a number that the text does not name", text);
    QString failure = checkNumberText(text);
    if (failure.isEmpty() && size >= sizeof(double)) {
        double value = 0;
        std::memcpy(&value, data, sizeof value);
        failure = checkGeneralNumber(value);
    }
    return failure;
}

// The position of the first CR or LF of bytes outside a CR LF pair, or -1.
inline qsizetype loneLineBreak(const QByteArray &bytes) {
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if ((bytes[i] == '\r') != (i + 1 < bytes.size() && bytes[i + 1] == '\n') ||
            (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r')))
            return i;
    }
    return -1;
}

// dayFileName: the cleaned long date of a date, else a cleaned non-empty text, + ".TxT"; no
// full stop, comma, colon, slash, blank or control character; room for the part file's suffix.
inline QString checkDayFileName(const dayfields::DayTexts &day) {
    const QString name = reportformat::dayFileName(day);
    const QStringView stem = QStringView(name).chopped(std::min<qsizetype>(4, name.size()));
    const auto date = dates::readDate(day[dayfields::Fh]);
    const bool bad = std::any_of(stem.begin(), stem.end(), [](QChar c) {
        return QStringView(u".,:/ ").contains(c) || c.category() == QChar::Other_Control;
    });
    if (statsexport::dayFileName(day) != name || !name.endsWith(QStringLiteral(".TxT")) ||
        stem.isEmpty() || bad || name.toUtf8().size() + 6 > 255 ||
        (date && stem != QuitarCaracter(dates::longDate(*date))))
        return broken("dayFileName is wrong", name);
    return {};
}

// The report formatter on one input, read as UTF-8 lines: the first seven the profile (name,
// birth long date, gym start long date, height, age, day count caption, typed gym start date),
// then the day boxes 23 by 23, at least one day. The single report is Windows-1252 (none of its
// five unassigned bytes) with no NUL and CR LF line ends only, whatever the texts, and every
// day's file name is sound.
inline QString checkReportInput(const char *data, size_t size) {
    const QStringList lines = QString::fromUtf8(data, qsizetype(size)).split(u'\n');
    const ReportProfile profile{lines.value(0), lines.value(1), lines.value(2), lines.value(3),
                                lines.value(4), lines.value(5), lines.value(6)};
    std::vector<dayfields::DayTexts> days(size_t(std::max<qsizetype>(1, (lines.size() + 15) / 23)));
    for (qsizetype i = 7; i < lines.size(); ++i)
        days[size_t(i - 7) / 23][size_t(i - 7) % 23] = lines[i];
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    if (!statsexport::writeSingleReport(buffer, profile, days) || !out.endsWith("\r\n") ||
        loneLineBreak(out) >= 0 || out.contains('\0') ||
        std::any_of(out.begin(), out.end(),
                    [](char c) { return QByteArray("\x81\x8D\x8F\x90\x9D").contains(c); }))
        return broken("the report is no Windows-1252 text with CR LF line ends", profile.name);
    QString failure;
    for (const auto &day : days)
        failure = failure.isEmpty() ? checkDayFileName(day) : failure;
    return failure;
}

// The input as a diary image sealed with a key: the file opens again to the very image, and the
// file with one bit changed anywhere, or cut anywhere, never opens. The input read as a file of
// its own is read within its bytes whatever it holds.
inline QString checkSealedInput(const char *data, size_t size) {
    // Made once: the limits of a diary's header are only those the program writes.
    static const auto key =
        sealedfile::Key::derive(QStringLiteral("secreto1"), sealedfile::KeyRecipe::fresh());
    const QByteArray input(data, qsizetype(size));
    const auto opens = [](const QByteArray &file, QByteArray *image) {
        const std::optional<std::size_t> imageSize =
            sealedfile::Sealer::imageSize(std::size_t(file.size()));
        if (sealedfile::readHeader(file).state != sealedfile::Header::State::Intact ||
            !sealedfile::Sealer::fits(*key, file) || !imageSize)
            return false;
        image->resize(qsizetype(*imageSize));
        return sealedfile::Sealer::open(*key, file,
                                        reinterpret_cast<unsigned char *>(image->data()));
    };
    QByteArray image;
    (void)opens(input, &image);
    if (size == 0)
        return {};
    const QByteArray sealed =
        sealedfile::Sealer::seal(*key, reinterpret_cast<const unsigned char *>(data), size);
    const QString shown = QString::fromLatin1(input.left(40).toHex());
    if (!opens(sealed, &image) || image != input)
        return broken("a sealed image does not open to itself", shown);
    const qsizetype at = qsizetype(qHash(input, 0) % std::size_t(sealed.size()));
    QByteArray changed = sealed;
    changed[at] = char(changed[at] ^ (1 << (at % 8)));
    if (opens(changed, &image) || opens(sealed.left(at), &image))
        return broken("a sealed file changed or cut opens", shown);
    return {};
}

// The training reader on a text: every note is a piece of the text as typed; every exercise has
// a name, from the catalogue unless it is the user's own or doubtful; a set has a count in 1-100 or
// none, a load in 0-1000 kg or none, a load only when the body is not the load; the same text reads
// the same again, not at all once marked as no training, and its JSON line is one valid object
// whose "texto" is the text.
inline QString checkTrainingText(const QString &text) {
    using namespace training;
    const Reading reading = read(text);
    for (const QString &note : reading.notes)
        if (note.isEmpty() || !text.contains(note))
            return broken("a note is not a piece of the text", text);
    for (const Exercise &exercise : reading.exercises) {
        if (exercise.name.isEmpty() ||
            (!exercise.own && !exercise.doubtful && catalogue::indexOf(exercise.name) < 0) ||
            (exercise.doubtful && !reading.doubtful))
            return broken("an exercise has no name of the catalogue or of its own", text);
        for (const Set &set : exercise.sets)
            if ((set.reps && (*set.reps < 0 || *set.reps > 100)) ||
                (set.kg && !(*set.kg >= 0 && *set.kg <= 1000) && !exercise.doubtful) ||
                (set.kg && set.bodyWeight) || !std::isfinite(set.addedKg))
                return broken("a set is out of bounds", text);
    }
    Corrections none;
    none.setNoTraining(text);
    if (!(read(text) == reading) || !read(text, none).exercises.isEmpty())
        return broken("the reading changes, or a text of no training has exercises", text);
    const QByteArray line = jsonLine(text, reading);
    QJsonParseError error;
    const QJsonDocument json = QJsonDocument::fromJson(line, &error);
    const QString typed = QString::fromUtf8(text.toUtf8()); // unpaired surrogates replaced
    if (error.error != QJsonParseError::NoError || !json.isObject() || line.contains('\n') ||
        json[QLatin1String("texto")].toString() != typed ||
        json[QLatin1String("ejercicios")].toArray().size() != reading.exercises.size())
        return broken("the JSON line is not the reading", text);
    return {};
}

inline QString checkTrainingInput(const char *data, size_t size) {
    return checkTrainingText(QString::fromUtf8(data, qsizetype(size)));
}

} // namespace fuzzchecks
