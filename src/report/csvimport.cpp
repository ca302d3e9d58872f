#include "report/csvimport.h"

#include "data/dates.h"
#include "data/sqlfunctions.h"
#include "report/csvexport.h"
#include "report/windows1252.h"

#include <QBuffer>
#include <QHash>
#include <QSqlError>
#include <QSqlQuery>
#include <algorithm>
#include <array>

namespace csvimport {
namespace {

constexpr qint64 chunkSize = 1024 * 1024;
// A header longer than this is no header of a diary: the file is refused without reading on.
constexpr qsizetype longestHeader = 1024 * 1024;
// A row longer than this is rejected; a diary text of ten million characters still fits.
constexpr qsizetype longestRow = 64 * 1024 * 1024;

// The bytes but a UTF-8 sequence that their end cuts short.
qsizetype wholeUtf8(QByteArrayView bytes) {
    for (qsizetype i = bytes.size() - 1; i >= 0 && i >= bytes.size() - 3; --i) {
        const auto byte = uchar(bytes[i]);
        if (byte >= 0xC0)
            return i + (byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : 2) > bytes.size() ? i : bytes.size();
        if (byte < 0x80)
            break;
    }
    return bytes.size();
}

// A text of the file: UTF-8 when its bytes are, Windows-1252 otherwise.
QString decodedField(QByteArrayView bytes) {
    return bytes.isValidUtf8() ? QString::fromUtf8(bytes) : windows1252::decode(bytes);
}

// The beginning of a text of the file, to show a rejected row by: its first 60 characters.
QString beginning(QByteArrayView bytes) {
    if (bytes.size() > 240) {
        bytes = bytes.first(240);
        if (const QByteArrayView whole = bytes.first(wholeUtf8(bytes)); whole.isValidUtf8())
            bytes = whole;
    }
    return decodedField(bytes).left(60);
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

// The date a spreadsheet gave back: kept as typed when the diary reads it the same, written
// dd/MM/yyyy when it is an ISO date or has a two-digit year. The diary itself reads two digits as
// 1930-2029, which would put a day of 2030 a century back; a spreadsheet writes the days of the
// diary, which lie around the present, so the year nearest to today's is taken (the earlier on
// a tie), and the day is stored with its four digits so that the diary reads it the same.
std::optional<std::pair<QByteArray, QDate>> importedDate(const QByteArray &text, QDate today) {
    if (const std::optional<QDate> date = dates::readDateUtf8(text.constData(), text.size())) {
        const QByteArray trimmed = text.trimmed();
        const qsizetype yearDigits = trimmed.size() - 1 -
                                     std::max({trimmed.lastIndexOf('/'), trimmed.lastIndexOf('-'),
                                               trimmed.lastIndexOf('.')});
        if (yearDigits != 2)
            return std::pair{text, *date};
        int year = today.year() - today.year() % 100 + date->year() % 100;
        if (year >= today.year() + 50)
            year -= 100;
        else if (year < today.year() - 50)
            year += 100;
        const QDate nearest(year, date->month(), date->day());
        if (!nearest.isValid())
            return std::nullopt;
        return std::pair{nearest.toString(u"dd/MM/yyyy").toLatin1(), nearest};
    }
    const QDate iso = QDate::fromString(QString::fromLatin1(text.trimmed()), u"yyyy-MM-dd");
    if (iso.isValid())
        return std::pair{iso.toString(u"dd/MM/yyyy").toLatin1(), iso};
    return std::nullopt;
}

void appendLength(QByteArray &out, qsizetype length) {
    for (; length >= 0x80; length >>= 7)
        out += char(0x80 | (length & 0x7F));
    out += char(length);
}

// The texts of a packed day, as bytes.
std::array<QByteArrayView, dayfields::BoxCount> unpacked(const QByteArray &packed) {
    std::array<QByteArrayView, dayfields::BoxCount> texts;
    qsizetype at = 0;
    for (QByteArrayView &text : texts) {
        qsizetype length = 0;
        for (int shift = 0; at < packed.size(); shift += 7) {
            const auto byte = uchar(packed[at++]);
            length |= qsizetype(byte & 0x7F) << shift;
            if (!(byte & 0x80))
                break;
        }
        text = QByteArrayView(packed).sliced(at, length);
        at += length;
    }
    return texts;
}

// Reads records from a device a chunk at a time. Quotes follow RFC 4180: a quoted field keeps its
// separators and line breaks, and two quotes stand for one; a quote elsewhere is a character.
//
// A quoted field may hold line breaks, as spreadsheets write multi-line texts. It is taken as
// left open, its closing quote missing, when what it takes in of a later line (the whole line, or
// the line up to the quote that closes it) reads on its own as the beginning of a row of this file
// (a date in the date column, and as many fields as the header, or no more with the last open in
// quotes), or when the file ends inside it. Its row is then rejected on the line it starts on, and
// reading starts again at the next line; the lines that the field had taken in are read again as
// rows of one line each. So a quote left open never takes in the rest of the file, and no line is
// read more than twice. A multi-line text is taken for a quote left open only when one of its
// lines is itself written as a whole row of the file would be.
class Reader {
public:
    Reader(QIODevice &device, QDate today, const Progress &progress, Read &out)
        : m_device(device)
        , m_today(today)
        , m_progress(progress)
        , m_out(out) {}

    void run() {
        have(3);
        if (m_buffer.startsWith("\xEF\xBB\xBF"))
            m_pos = 3;
        m_separator = separatorOfFirstLine();
        while (!m_stopped && readRecord()) {
        }
        if (m_stopped)
            return;
        if (m_boxes.empty()) {
            m_out.error = QStringLiteral("El Archivo Está Vacío.");
            return;
        }
        if (m_utf8 && m_utf8Carry.isEmpty())
            return;
        for (QByteArray &day : m_out.packed) {
            QByteArray utf8;
            for (const QByteArrayView text : unpacked(day)) {
                const QByteArray converted = windows1252::decode(text).toUtf8();
                appendLength(utf8, converted.size());
                utf8 += converted;
            }
            day = utf8;
        }
    }

private:
    // The record being read: its fields one after the other, and where each ends.
    struct Record {
        int line = 0;
        qint64 secondLine = -1; // where its second line starts, once it has one
        QByteArray bytes;
        std::vector<qsizetype> ends;
        qsizetype size = 0;
        bool quoted = false;
        bool started = false; // the field has begun: a quote is a character now
        bool tooLong = false;

        qsizetype fieldCount() const { return qsizetype(ends.size()); }
        QByteArrayView field(qsizetype i) const {
            const qsizetype from = i ? ends[std::size_t(i - 1)] : 0;
            return QByteArrayView(bytes).sliced(from, ends[std::size_t(i)] - from);
        }
    };

    // A line after a record's first, read as a row of its own would be.
    struct Alone {
        int field = 0;
        bool quoted = false;
        bool started = false;
        bool skip = false; // the second quote of a pair
        QByteArray date;
    };

    // Whether n bytes from the place of reading are at hand, reading on when needed; false at the
    // end of the device, or once the progress stopped the reading.
    bool have(qsizetype n) {
        while (m_pos + n > m_buffer.size()) {
            if (m_stopped)
                return false;
            m_buffer.remove(0, m_pos);
            m_bufferOffset += m_pos;
            m_pos = 0;
            const QByteArray chunk = m_device.read(chunkSize);
            if (chunk.isEmpty())
                return false;
            checkUtf8(chunk, m_bufferOffset + m_buffer.size());
            m_buffer += chunk;
            if (m_progress && !m_progress(m_bufferOffset + m_buffer.size(), m_device.size())) {
                m_out.cancelled = m_stopped = true;
                return false;
            }
        }
        return true;
    }

    // Whether every byte read is UTF-8, each checked once however often it is read; a sequence
    // cut by the end of a chunk waits for the next.
    void checkUtf8(const QByteArray &chunk, qint64 offset) {
        const qint64 end = offset + chunk.size();
        if (end <= m_checkedUpTo || !m_utf8)
            return;
        const QByteArray piece =
            m_utf8Carry + chunk.sliced(qsizetype(std::max<qint64>(0, m_checkedUpTo - offset)));
        const qsizetype cut = wholeUtf8(piece);
        m_utf8 = QByteArrayView(piece).first(cut).isValidUtf8();
        m_utf8Carry = piece.mid(cut);
        m_checkedUpTo = end;
    }

    // Goes back to the start of a line already read.
    void seekTo(qint64 offset, int line) {
        m_line = line;
        if (offset >= m_bufferOffset && offset <= m_bufferOffset + m_buffer.size()) {
            m_pos = offset - m_bufferOffset;
            return;
        }
        m_device.seek(offset);
        m_bufferOffset = offset;
        m_buffer.clear();
        m_pos = 0;
    }

    // The separator the first line uses most, outside quotes: semicolon, comma or tab.
    char separatorOfFirstLine() const {
        std::array<int, 3> counts{};
        const std::array<char, 3> candidates = {';', ',', '\t'};
        bool quoted = false;
        qsizetype i = m_pos;
        while (i < m_buffer.size() && (m_buffer[i] == '\n' || m_buffer[i] == '\r'))
            ++i;
        for (; i < m_buffer.size(); ++i) {
            const char c = m_buffer[i];
            if (c == '"')
                quoted = !quoted;
            else if (!quoted && (c == '\n' || c == '\r'))
                break;
            for (std::size_t k = 0; k < counts.size(); ++k)
                counts[k] += !quoted && c == candidates[k];
        }
        return candidates[std::size_t(std::max_element(counts.begin(), counts.end()) -
                                      counts.begin())];
    }

    void step(Alone &alone, char c, char next) const {
        if (alone.skip) {
            alone.skip = false;
        } else if (alone.quoted && c == '"') {
            alone.skip = next == '"';
            alone.quoted = alone.skip;
        } else if (!alone.quoted && c == '"' && !alone.started) {
            alone.quoted = alone.started = true;
        } else if (!alone.quoted && c == m_separator) {
            ++alone.field;
            alone.started = false;
        } else {
            alone.started = true;
            if (alone.field == m_dateColumn && alone.date.size() < 64)
                alone.date += c;
        }
    }

    bool looksLikeRow(const Alone &alone) const {
        const int fields = alone.field + 1;
        const int columns = int(m_boxes.size());
        return !m_boxes.empty() && fields > m_dateColumn &&
               (alone.quoted ? fields <= columns : fields == columns) &&
               importedDate(alone.date, m_today).has_value();
    }

    // Takes n bytes, which are at hand, into the record's field (when `kept`) and the line read
    // alone.
    void take(Record &record, std::optional<Alone> &alone, qsizetype n, bool kept) {
        if (alone)
            for (qsizetype i = 0; i < n; ++i)
                step(*alone, m_buffer[m_pos + i],
                     m_pos + i + 1 < m_buffer.size() ? m_buffer[m_pos + i + 1] : '\0');
        if (kept) {
            record.size += n;
            record.tooLong = record.tooLong || record.size > longestRow;
            if (!record.tooLong)
                record.bytes += QByteArrayView(m_buffer).sliced(m_pos, n);
            if (m_boxes.empty() && record.size > longestHeader)
                refuse(); // no header of a diary is so long: the rest is not read
        }
        m_pos += n;
    }

    void endField(Record &record) {
        record.ends.push_back(record.bytes.size());
        record.started = false;
    }

    // How many ordinary bytes follow in the buffer: none is a quote or a line break, nor,
    // outside quotes, the separator.
    qsizetype plainRun(bool quoted) const {
        const char *data = m_buffer.constData();
        qsizetype i = m_pos;
        for (; i < m_buffer.size(); ++i) {
            const char c = data[i];
            if (c == '"' || c == '\n' || c == '\r' || (!quoted && c == m_separator))
                break;
        }
        return i - m_pos;
    }

    // Reads one record and hands it on; false once the file is read or the reading stopped.
    bool readRecord() {
        Record &record = m_record;
        record.line = m_line;
        record.secondLine = -1;
        record.bytes.clear();
        record.ends.clear();
        record.size = 0;
        record.quoted = record.started = record.tooLong = false;
        std::optional<Alone> alone;
        for (;;) {
            if (m_stopped)
                return false;
            if (!have(1)) {
                if (m_stopped)
                    return false;
                // The end of the file ends the last line.
                if (m_boxes.empty())
                    record.quoted = false;
                if ((alone && looksLikeRow(*alone)) || record.quoted)
                    return leftOpen(record, alone && looksLikeRow(*alone) ? m_line : m_line + 1);
                if (record.started || record.size > 0 || !record.ends.empty())
                    finish(record);
                return false;
            }
            const char c = m_buffer[m_pos];
            if (c == '\n' || c == '\r') {
                if (alone && looksLikeRow(*alone))
                    return leftOpen(record, m_line);
                const qsizetype length =
                    c == '\r' && have(2) && m_buffer[m_pos + 1] == '\n' ? 2 : 1;
                if (m_stopped)
                    return false;
                // The header, and a line taken in by a quote left open, stand alone.
                if (record.quoted && m_boxes.empty())
                    record.quoted = false;
                if (!record.quoted || m_line < m_readAlone) {
                    take(record, alone, length, false);
                    ++m_line;
                    return record.quoted ? leftOpen(record, m_line) : finish(record);
                }
                take(record, alone, length, true);
                ++m_line;
                if (record.secondLine < 0)
                    record.secondLine = m_bufferOffset + m_pos;
                alone = Alone();
            } else if (c == '"' && record.quoted) {
                const bool pair = have(2) && m_buffer[m_pos + 1] == '"';
                if (m_stopped)
                    return false;
                if (pair) {
                    take(record, alone, 1, true);
                    take(record, alone, 1, false);
                } else {
                    take(record, alone, 1, false);
                    record.quoted = false;
                    // The field has taken in this line up to here: was that a row's beginning?
                    if (alone && looksLikeRow(*alone))
                        return leftOpen(record, m_line);
                    alone.reset();
                }
            } else if (c == '"' && !record.started) {
                take(record, alone, 1, false);
                record.quoted = record.started = true;
            } else if (c == m_separator && !record.quoted) {
                take(record, alone, 1, false);
                endField(record);
            } else {
                take(record, alone, std::max<qsizetype>(1, plainRun(record.quoted)), true);
                record.started = true;
            }
        }
    }

    // The record's quote was left open, as the end of line `upTo` showed: the record is rejected
    // on the line where it starts, and reading starts again at its second line, the lines before
    // upTo read alone.
    bool leftOpen(Record &record, int upTo) {
        reject(record, QStringLiteral("Abre Unas Comillas Que No Se Cierran."));
        m_readAlone = std::max(m_readAlone, upTo);
        if (record.secondLine >= 0)
            seekTo(record.secondLine, record.line + 1);
        return true;
    }

    void keep(Rejected rejected) {
        ++m_out.rejectedCount;
        if (m_out.rejected.size() < std::size_t(keptRejected))
            m_out.rejected.push_back(std::move(rejected));
    }

    // A rejected record, shown by the start of its first line.
    bool reject(const Record &record, const QString &reason) {
        QByteArray start;
        qsizetype from = 0;
        for (const qsizetype end : record.ends) {
            start += QByteArrayView(record.bytes).sliced(from, std::min<qsizetype>(end - from, 60));
            start += ' ';
            from = end;
        }
        start += QByteArrayView(record.bytes)
                     .sliced(from)
                     .first(std::min<qsizetype>(record.bytes.size() - from, 240));
        const qsizetype lineBreak = start.indexOf('\n');
        keep({record.line,
              {},
              beginning(start.left(lineBreak < 0 ? start.size() : lineBreak)).remove(u'\r'),
              reason});
        return true;
    }

    // A whole record: the header, or a row.
    bool finish(Record &record) {
        endField(record);
        if (record.fieldCount() == 1 && record.bytes.isEmpty() && !record.tooLong)
            return true; // an empty line
        if (m_boxes.empty())
            return header(record);
        if (record.tooLong)
            return reject(record, QStringLiteral("Es Demasiado Larga."));
        if (record.fieldCount() > qsizetype(m_boxes.size())) {
            QStringList shown;
            for (qsizetype i = 0; i < record.fieldCount(); ++i)
                shown += beginning(record.field(i));
            keep({record.line,
                  {},
                  shown.join(u' ').left(60),
                  QStringLiteral("Tiene %1 Campos Y La Cabecera %2.")
                      .arg(record.fieldCount())
                      .arg(m_boxes.size())});
            return true;
        }
        std::array<QByteArrayView, dayfields::BoxCount> texts;
        for (qsizetype i = 0; i < record.fieldCount(); ++i)
            if (m_boxes[std::size_t(i)] != dayfields::BoxCount)
                texts[std::size_t(m_boxes[std::size_t(i)])] = record.field(i);
        const QByteArray dateText = texts[dayfields::Fh].toByteArray();
        const std::optional<std::pair<QByteArray, QDate>> date = importedDate(dateText, m_today);
        if (!date) {
            const QString shown = beginning(dateText);
            keep({record.line, QLatin1String(csvexport::columnNames[0]), shown,
                  shown.trimmed().isEmpty() ? QStringLiteral("Falta La Fecha.")
                                            : QStringLiteral("No Es Una Fecha.")});
            return true;
        }
        texts[dayfields::Fh] = date->first;
        QByteArray packed;
        packed.reserve(record.bytes.size() + 2 * dayfields::BoxCount);
        for (const QByteArrayView text : texts) {
            appendLength(packed, text.size());
            packed += text;
        }
        m_out.packed.push_back(packed);
        m_out.dates.push_back(date->second);
        return true;
    }

    // The first line: without a date column the file is refused at once.
    bool header(const Record &record) {
        for (qsizetype i = 0; i < record.fieldCount(); ++i)
            m_boxes.push_back(boxNamed(decodedField(record.field(i))));
        const auto date = std::find(m_boxes.begin(), m_boxes.end(), dayfields::Fh);
        if (date == m_boxes.end())
            return refuse();
        m_dateColumn = int(date - m_boxes.begin());
        return true;
    }

    bool refuse() {
        m_out.error =
            QStringLiteral("El Archivo No Tiene La Columna \"fecha\" En Su Primera Línea.");
        m_stopped = true;
        return false;
    }

    QIODevice &m_device;
    const QDate m_today;
    const Progress &m_progress;
    Read &m_out;
    QByteArray m_buffer;
    qint64 m_bufferOffset = 0; // where the buffer starts in the device
    qsizetype m_pos = 0;       // the place of reading in the buffer
    int m_line = 1;
    int m_readAlone = 0; // the lines before this one are read as rows of one line each
    char m_separator = ';';
    std::vector<dayfields::Box> m_boxes;
    int m_dateColumn = -1;
    bool m_stopped = false;
    bool m_utf8 = true;
    QByteArray m_utf8Carry;
    qint64 m_checkedUpTo = 0;
    Record m_record;
};

// The UPDATE of a stored day by the texts of an imported one, its date text left as stored. It
// changes the day only where the texts would change it, so that its count of rows tells whether
// they did. Bound: the texts but the date, the day's key, the same texts again.
QString updateStatement(Existing existing) {
    QStringList set;
    QStringList changes;
    for (const dayfields::DayField &field : dayfields::fields) {
        if (&field == &dayfields::fields[dayfields::Fh])
            continue;
        const QString column = quotedIdentifier(field.column);
        const bool fill = existing == Existing::FillEmpty;
        set += fill ? QStringLiteral("%1 = CASE WHEN ifnull(%1, '') = '' THEN ? ELSE %1 END")
                          .arg(column)
                    : QStringLiteral("%1 = ?").arg(column);
        changes += fill ? QStringLiteral("(ifnull(%1, '') = '' AND ? <> '')").arg(column)
                        : QStringLiteral("%1 IS NOT ?").arg(column);
    }
    return QStringLiteral("UPDATE %1 SET %2 WHERE %3 = ? AND (%4)")
        .arg(quotedIdentifier(dayfields::tableName), set.join(u", "),
             quotedIdentifier(dayfields::keyColumn), changes.join(QStringLiteral(" OR ")));
}

} // namespace

dayfields::DayTexts Read::day(std::size_t index) const {
    dayfields::DayTexts texts;
    const auto bytes = unpacked(packed[index]);
    for (std::size_t box = 0; box < texts.size(); ++box)
        texts[box] = QString::fromUtf8(bytes[box]);
    return texts;
}

Read read(QIODevice &device, QDate today, const Progress &progress) {
    Read result;
    Reader(device, today, progress, result).run();
    return result;
}

Read read(const QByteArray &bytes, QDate today) {
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    return read(buffer, today);
}

Plan plan(const Read &read, const QSet<qint64> &storedJulianDays) {
    Plan counted;
    for (const QDate &date : read.dates)
        ++(storedJulianDays.contains(date.toJulianDay()) ? counted.existingDays : counted.newDays);
    return counted;
}

QString rejectedText(const Read &read, int shown) {
    QStringList lines;
    for (const Rejected &row : read.rejected) {
        if (lines.size() == shown)
            break;
        lines += QStringLiteral("Línea %1%2: \"%3\": %4")
                     .arg(row.line)
                     .arg(row.column.isEmpty() ? QString() : QStringLiteral(", ") + row.column,
                          row.value, row.reason);
    }
    if (read.rejectedCount > lines.size())
        lines += QStringLiteral("Y %1 Más.").arg(read.rejectedCount - lines.size());
    return lines.join(u'\n');
}

Applied apply(const QSqlDatabase &db, const Read &read, Existing existing,
              const Progress &progress) {
    Applied applied;
    QSqlDatabase connection = db;
    const QString table = quotedIdentifier(dayfields::tableName);
    const QString key = quotedIdentifier(dayfields::keyColumn);
    const auto fail = [&](const QSqlQuery &query) {
        applied.error = query.lastError().text();
        connection.rollback();
        return Applied{false, false, applied.error};
    };
    if (!connection.transaction())
        return Applied{false, false, connection.lastError().text()};
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

    QStringList columns;
    QStringList marks;
    for (const dayfields::DayField &field : dayfields::fields) {
        columns += quotedIdentifier(field.column);
        marks += QStringLiteral("?");
    }
    QSqlQuery insert(connection);
    QSqlQuery update(connection);
    if (!insert.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                            .arg(table, columns.join(u", "), marks.join(u", "))))
        return fail(insert);
    if (existing != Existing::Skip && !update.prepare(updateStatement(existing)))
        return fail(update);
    const qint64 total = qint64(read.dayCount());
    for (std::size_t d = 0; d < read.dayCount(); ++d) {
        if (progress && d % 1000 == 0 && !progress(qint64(d), total)) {
            connection.rollback();
            return Applied{false, true, {}};
        }
        const QList<qint64> ids = storedByDate.value(read.dates[d].toJulianDay());
        const dayfields::DayTexts texts = read.day(d);
        if (ids.isEmpty()) {
            for (const QString &text : texts)
                insert.addBindValue(text);
            if (!insert.exec())
                return fail(insert);
            ++applied.added;
            continue;
        }
        if (existing == Existing::Skip) {
            ++applied.skipped;
            continue;
        }
        bool changed = false;
        for (const qint64 id : ids) {
            for (int round = 0; round < 2; ++round) {
                for (std::size_t box = 0; box < texts.size(); ++box)
                    if (box != dayfields::Fh)
                        update.addBindValue(texts[box]);
                if (round == 0)
                    update.addBindValue(id);
            }
            if (!update.exec())
                return fail(update);
            changed = changed || update.numRowsAffected() > 0;
        }
        ++(!changed                          ? applied.unchanged
           : existing == Existing::FillEmpty ? applied.filled
                                             : applied.replaced);
    }
    insert.finish();
    update.finish();
    if (!connection.commit()) {
        applied.error = connection.lastError().text();
        connection.rollback();
        return Applied{false, false, applied.error};
    }
    applied.done = true;
    return applied;
}

} // namespace csvimport
