#include "csvimport.h"

#include "csvexport.h"
#include "dates.h"
#include "sqlfunctions.h"
#include "windows1252.h"

#include <QHash>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringDecoder>
#include <array>

namespace csvimport {
namespace {

struct Record {
    int line = 0;
    QStringList fields;
};

// UTF-8 when the bytes are valid UTF-8 (a byte order mark dropped), Windows-1252 otherwise.
QString decoded(const QByteArray &bytes) {
    QByteArrayView view(bytes);
    if (view.startsWith("\xEF\xBB\xBF"))
        view = view.sliced(3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(view);
    return utf8.hasError() ? windows1252::decode(view) : text;
}

// The separator the header line uses most, outside quotes: semicolon, comma or tab.
QChar separatorOf(const QString &text) {
    std::array<int, 3> counts{};
    const QChar candidates[] = {u';', u',', u'\t'};
    bool quoted = false;
    for (const QChar c : text) {
        if (c == u'"')
            quoted = !quoted;
        else if (!quoted && (c == u'\n' || c == u'\r'))
            break;
        for (std::size_t i = 0; i < counts.size(); ++i)
            if (!quoted && c == candidates[i])
                ++counts[i];
    }
    return candidates[std::max_element(counts.begin(), counts.end()) - counts.begin()];
}

// RFC 4180 records with the line each starts on; quoted fields keep their line breaks and double
// quotes stand for one. Empty lines give no record.
std::vector<Record> records(const QString &text, QChar separator) {
    std::vector<Record> found;
    Record current{1, {}};
    QString field;
    bool quoted = false;
    bool fieldStarted = false;
    int line = 1;
    const auto endField = [&] {
        current.fields += field;
        field.clear();
        fieldStarted = false;
    };
    const auto endRecord = [&] {
        endField();
        if (current.fields.size() > 1 || !current.fields.first().isEmpty())
            found.push_back(current);
        current = Record{line, {}};
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text[i + 1] == u'"') {
                field += u'"';
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                line += c == u'\n';
                field += c;
            }
        } else if (c == u'"' && !fieldStarted) {
            quoted = fieldStarted = true;
        } else if (c == separator) {
            endField();
        } else if (c == u'\n' || c == u'\r') {
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            ++line;
            endRecord();
        } else {
            field += c;
            fieldStarted = true;
        }
    }
    if (fieldStarted || !field.isEmpty() || !current.fields.isEmpty())
        endRecord();
    return found;
}

// The box a header names, by its ASCII name or the diary's own column name; BoxCount for none.
dayfields::Box boxNamed(QString name) {
    name = name.trimmed();
    for (int box = 0; box < dayfields::BoxCount; ++box)
        if (name.compare(QLatin1String(csvexport::columnNames[std::size_t(box)]),
                         Qt::CaseInsensitive) == 0 ||
            name.compare(dayfields::fields[std::size_t(box)].column, Qt::CaseInsensitive) == 0)
            return dayfields::Box(box);
    return dayfields::BoxCount;
}

// The date a spreadsheet gave back: kept as typed when the program reads it, an ISO date written
// dd/MM/yyyy.
std::optional<std::pair<QString, QDate>> importedDate(const QString &text) {
    if (const std::optional<QDate> date = dates::readDate(text))
        return std::pair{text, *date};
    const QDate iso = QDate::fromString(text.trimmed(), QStringLiteral("yyyy-MM-dd"));
    if (iso.isValid())
        return std::pair{iso.toString(QStringLiteral("dd/MM/yyyy")), iso};
    return std::nullopt;
}

QString columnList(const QString &format, bool fillEmpty) {
    QStringList parts;
    for (const dayfields::DayField &field : dayfields::fields) {
        const QString column = quotedIdentifier(field.column);
        parts += fillEmpty ? QStringLiteral("%1 = CASE WHEN ifnull(%1, '') = '' THEN ? ELSE %1 END")
                                 .arg(column)
                           : format.arg(column);
    }
    return parts.join(u", ");
}

} // namespace

Read read(const QByteArray &bytes) {
    Read result;
    const QString text = decoded(bytes);
    const std::vector<Record> found = records(text, separatorOf(text));
    if (found.empty()) {
        result.error = QStringLiteral("El Archivo Está Vacío.");
        return result;
    }
    std::vector<dayfields::Box> boxes;
    for (const QString &name : found.front().fields)
        boxes.push_back(boxNamed(name));
    if (std::find(boxes.begin(), boxes.end(), dayfields::Fh) == boxes.end()) {
        result.error = QStringLiteral("El Archivo No Tiene La Columna \"fecha\" En Su Primera "
                                      "Línea.");
        return result;
    }
    for (std::size_t r = 1; r < found.size(); ++r) {
        const Record &record = found[r];
        if (record.fields.size() > qsizetype(boxes.size())) {
            result.rejected.push_back({record.line,
                                       {},
                                       record.fields.join(u' ').left(60),
                                       QStringLiteral("Tiene %1 Campos Y La Cabecera %2.")
                                           .arg(record.fields.size())
                                           .arg(boxes.size())});
            continue;
        }
        dayfields::DayTexts day;
        day.fill(QLatin1String(""));
        for (qsizetype i = 0; i < record.fields.size(); ++i)
            if (boxes[std::size_t(i)] != dayfields::BoxCount)
                day[boxes[std::size_t(i)]] = record.fields[i];
        const std::optional<std::pair<QString, QDate>> date = importedDate(day[dayfields::Fh]);
        if (!date) {
            result.rejected.push_back(
                {record.line, QLatin1String(csvexport::columnNames[0]), day[dayfields::Fh],
                 day[dayfields::Fh].trimmed().isEmpty() ? QStringLiteral("Falta La Fecha.")
                                                        : QStringLiteral("No Es Una Fecha.")});
            continue;
        }
        day[dayfields::Fh] = date->first;
        result.days.push_back(day);
        result.dates.push_back(date->second);
    }
    return result;
}

Plan plan(const Read &read, const QSet<qint64> &storedJulianDays) {
    Plan counted;
    for (const QDate &date : read.dates)
        ++(storedJulianDays.contains(date.toJulianDay()) ? counted.existingDays : counted.newDays);
    return counted;
}

QString rejectedText(const std::vector<Rejected> &rejected, int shown) {
    QStringList lines;
    for (const Rejected &row : rejected) {
        if (lines.size() == shown) {
            lines += QStringLiteral("Y %1 Más.").arg(rejected.size() - std::size_t(shown));
            break;
        }
        lines += QStringLiteral("Línea %1%2: \"%3\": %4")
                     .arg(row.line)
                     .arg(row.column.isEmpty() ? QString() : QStringLiteral(", ") + row.column,
                          row.value, row.reason);
    }
    return lines.join(u'\n');
}

bool apply(const QSqlDatabase &db, const Read &read, Existing existing, QString *error) {
    QSqlDatabase connection = db;
    const QString table = quotedIdentifier(dayfields::tableName);
    const QString key = quotedIdentifier(dayfields::keyColumn);
    const auto fail = [&](const QSqlQuery &query) {
        *error = query.lastError().text();
        connection.rollback();
        return false;
    };
    if (!connection.transaction()) {
        *error = connection.lastError().text();
        return false;
    }
    // The stored days of each date, by the calendar: "5/12/2026" is "05/12/2026".
    QHash<qint64, QList<qint64>> storedByDate;
    QSqlQuery stored(connection);
    if (!stored.exec(
            QStringLiteral("SELECT %1, %2 FROM %3")
                .arg(key, quotedIdentifier(dayfields::fields[dayfields::Fh].column), table)))
        return fail(stored);
    while (stored.next())
        if (const std::optional<QDate> date = dates::readDate(stored.value(1).toString()))
            storedByDate[date->toJulianDay()] += stored.value(0).toLongLong();
    stored.finish();

    QStringList marks;
    for (std::size_t i = 0; i < dayfields::fields.size(); ++i)
        marks += QStringLiteral("?");
    QSqlQuery insert(connection);
    QSqlQuery update(connection);
    if (!insert.prepare(
            QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                .arg(table, columnList(QStringLiteral("%1"), false), marks.join(u", "))))
        return fail(insert);
    if (existing != Existing::Skip &&
        !update.prepare(
            QStringLiteral("UPDATE %1 SET %2 WHERE %3 = ?")
                .arg(table, columnList(QStringLiteral("%1 = ?"), existing == Existing::FillEmpty),
                     key)))
        return fail(update);
    for (std::size_t d = 0; d < read.days.size(); ++d) {
        const QList<qint64> ids = storedByDate.value(read.dates[d].toJulianDay());
        if (ids.isEmpty()) {
            for (const QString &text : read.days[d])
                insert.addBindValue(text);
            if (!insert.exec())
                return fail(insert);
            continue;
        }
        for (const qint64 id : existing == Existing::Skip ? QList<qint64>() : ids) {
            for (const QString &text : read.days[d])
                update.addBindValue(text);
            update.addBindValue(id);
            if (!update.exec())
                return fail(update);
        }
    }
    insert.finish();
    update.finish();
    if (!connection.commit()) {
        *error = connection.lastError().text();
        connection.rollback();
        return false;
    }
    return true;
}

} // namespace csvimport
