#include "report/csvreader.h"

#include "report/csvexport.h"
#include "report/csvfields.h"
#include "report/windows1252.h"

#include <QIODevice>
#include <algorithm>
#include <array>
#include <optional>
#include <vector>

namespace csvimport {
namespace {

using namespace csvfields;

constexpr qint64 chunkSize = 1024 * 1024;
// A header longer than this is no header of a diary: the file is refused without reading on.
constexpr qsizetype longestHeader = 1024 * 1024;
// A row longer than this is rejected; a diary text of ten million characters still fits.
constexpr qsizetype longestRow = 64 * 1024 * 1024;

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
            for (const QByteArrayView text : dayimport::unpacked(day))
                dayimport::pack(utf8, windows1252::decode(text).toUtf8());
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
        begin(record);
        std::optional<Alone> alone;
        for (;;) {
            if (m_stopped)
                return false;
            if (!have(1))
                return !m_stopped && endOfFile(record, alone);
            const char c = m_buffer[m_pos];
            std::optional<bool> ended;
            if (c == '\n' || c == '\r') {
                ended = lineBreak(record, alone, c);
            } else if (c == '"' && record.quoted) {
                ended = quoteInQuotes(record, alone);
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
            if (ended)
                return *ended;
        }
    }

    void begin(Record &record) const {
        record.line = m_line;
        record.secondLine = -1;
        record.bytes.clear();
        record.ends.clear();
        record.size = 0;
        record.quoted = record.started = record.tooLong = false;
    }

    // The end of the file ends the last line.
    bool endOfFile(Record &record, const std::optional<Alone> &alone) {
        if (m_boxes.empty())
            record.quoted = false;
        if ((alone && looksLikeRow(*alone)) || record.quoted)
            return leftOpen(record, alone && looksLikeRow(*alone) ? m_line : m_line + 1);
        if (record.started || record.size > 0 || !record.ends.empty())
            finish(record);
        return false;
    }

    // A line break, which is c: the end of the record, or, inside quotes, a line of the field.
    // What readRecord() answers when the record ends; none while it goes on.
    std::optional<bool> lineBreak(Record &record, std::optional<Alone> &alone, char c) {
        if (alone && looksLikeRow(*alone))
            return leftOpen(record, m_line);
        const qsizetype length = c == '\r' && have(2) && m_buffer[m_pos + 1] == '\n' ? 2 : 1;
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
        return std::nullopt;
    }

    // A quote inside quotes: one of a pair, or the one that closes the field. What readRecord()
    // answers when the record ends; none while it goes on.
    std::optional<bool> quoteInQuotes(Record &record, std::optional<Alone> &alone) {
        const bool pair = have(2) && m_buffer[m_pos + 1] == '"';
        if (m_stopped)
            return false;
        if (pair) {
            take(record, alone, 1, true);
            take(record, alone, 1, false);
            return std::nullopt;
        }
        take(record, alone, 1, false);
        record.quoted = false;
        // The field has taken in this line up to here: was that a row's beginning?
        if (alone && looksLikeRow(*alone))
            return leftOpen(record, m_line);
        alone.reset();
        return std::nullopt;
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

    void keep(Rejected rejected) { keepRejected(m_out, std::move(rejected)); }

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
        for (const QByteArrayView text : texts)
            dayimport::pack(packed, text);
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

} // namespace

void readDays(QIODevice &device, QDate today, const Progress &progress, Read *out) {
    Reader(device, today, progress, *out).run();
}

} // namespace csvimport
