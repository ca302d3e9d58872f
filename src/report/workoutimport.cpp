#include "report/workoutimport.h"

#include "data/dates.h"
#include "report/csvfields.h"
#include "report/workoutrows.h"
#include "training/workouttext.h"

#include <QBuffer>
#include <QHash>
#include <QIODevice>
#include <algorithm>
#include <map>

using namespace Qt::Literals::StringLiterals;

namespace workoutimport {
namespace {

constexpr qint64 chunkSize = 1024 * 1024;
// The export of years of daily workouts is a few megabytes.
constexpr qint64 largest = 64LL * 1024 * 1024;

// The records of a CSV text. Quotes follow RFC 4180: a quoted field keeps separators and line
// breaks, two quotes stand for one, a quote elsewhere is a character. A quote left open to the
// end of the text takes in no line: its record is given as left open on its first line, and
// reading goes on at the next line, from then on with quoted fields kept to one line.
class Records {
public:
    struct Record {
        QStringList fields;
        int line = 0;
        bool leftOpen = false;
    };

    explicit Records(QStringView text)
        : m_text(text)
        , m_separator(separatorOfFirstLine()) {}

    // The next record that is not an empty line; false at the end.
    bool next(Record &record) {
        while (m_pos < m_text.size()) {
            record = readOne();
            if (record.leftOpen || record.fields.size() > 1 || !record.fields.first().isEmpty())
                return true;
        }
        return false;
    }

private:
    // The separator the first line uses most outside quotes: a semicolon or a comma.
    QChar separatorOfFirstLine() const {
        qsizetype commas = 0, semicolons = 0;
        bool quoted = false;
        for (const QChar c : m_text) {
            if (c == u'"')
                quoted = !quoted;
            else if (!quoted && (c == u'\n' || c == u'\r'))
                break;
            commas += !quoted && c == u',';
            semicolons += !quoted && c == u';';
        }
        return semicolons > commas ? u';' : u',';
    }

    Record readOne() {
        Record record;
        record.line = m_line;
        const qsizetype start = m_pos, n = m_text.size();
        QString field;
        bool quoted = false, started = false;
        while (m_pos < n) {
            const QChar c = m_text[m_pos++];
            if (quoted && c == u'"' && m_pos < n && m_text[m_pos] == u'"') {
                field += c;
                ++m_pos;
            } else if (quoted && c == u'"') {
                quoted = false;
            } else if (quoted) {
                if (c == u'\n' && !m_multiLine)
                    return leftOpen(record, start);
                m_line += c == u'\n';
                field += c;
            } else if (c == u'"' && !started) {
                quoted = started = true;
            } else if (c == m_separator) {
                record.fields += std::exchange(field, {});
                started = false;
            } else if (c == u'\n' || c == u'\r') {
                m_pos += c == u'\r' && m_pos < n && m_text[m_pos] == u'\n';
                ++m_line;
                break;
            } else {
                field += c;
                started = true;
            }
        }
        if (quoted)
            return leftOpen(record, start);
        record.fields += field;
        return record;
    }

    Record leftOpen(Record record, qsizetype start) {
        record.leftOpen = true;
        record.fields = QStringList{m_text.sliced(start).left(60).toString().section(u'\n', 0, 0)};
        m_multiLine = false;
        const qsizetype end = m_text.indexOf(u'\n', start);
        m_pos = end < 0 ? m_text.size() : end + 1;
        m_line = record.line + 1;
        return record;
    }

    QStringView m_text;
    QChar m_separator;
    qsizetype m_pos = 0;
    int m_line = 1;
    bool m_multiLine = true;
};

// One row kept for its day: a set of an exercise (its name as written), or cardio (the app's
// name).
struct Entry {
    int minute = -1;
    QString name;
    bool cardio = false;
    training::DoneSet set;
    qint64 seconds = 0;
    double km = 0;
};

// The rows gathered by day, then written as the days' texts.
class Days {
public:
    explicit Days(Read &out)
        : m_out(out) {}

    void add(const workoutrows::Row &row) {
        using workoutrows::Row;
        if (row.kind == Row::WarmUp || row.kind == Row::NoSet) {
            ++(row.kind == Row::WarmUp ? m_out.warmUps : m_out.withoutReps);
            return;
        }
        const bool cardio = row.kind == Row::Cardio;
        ++(cardio ? m_out.cardio : m_out.sets);
        m_days[row.date.toJulianDay()].push_back({row.minute,
                                                  cardio ? row.exercise : writtenName(row.exercise),
                                                  cardio, row.set, row.seconds, row.km});
    }

    // Every day in date order, its date and text packed as DayStore::importDays() takes them.
    void finish() {
        for (auto &[julianDay, entries] : m_days) {
            const QDate date = QDate::fromJulianDay(julianDay);
            const QByteArray dateText = dates::shortDate(date).toUtf8();
            const QByteArray text = dayText(entries).toUtf8();
            QByteArray packed;
            for (int box = 0; box < dayfields::BoxCount; ++box)
                dayimport::pack(packed, box == dayfields::Fh      ? QByteArrayView(dateText)
                                        : box == dayfields::Qhash ? QByteArrayView(text)
                                                                  : QByteArrayView());
            m_out.dates.push_back(date);
            m_out.packed.push_back(packed);
        }
    }

private:
    QString writtenName(const QString &appName) {
        auto found = m_names.constFind(appName);
        if (found == m_names.constEnd())
            found = m_names.insert(appName, training::writtenName(appName));
        return *found;
    }

    // The lines of a day: one per exercise (and one per cardio), in the order first done.
    QString dayText(std::vector<Entry> &entries) {
        std::stable_sort(entries.begin(), entries.end(),
                         [](const Entry &a, const Entry &b) { return a.minute < b.minute; });
        std::vector<std::pair<Entry *, QList<training::DoneSet>>> lines;
        QHash<QString, std::size_t> lineOf;
        for (Entry &entry : entries) {
            const QString key = (entry.cardio ? u"\u0001"_s : QString()) + entry.name;
            auto found = lineOf.constFind(key);
            if (found == lineOf.constEnd()) {
                found = lineOf.insert(key, lines.size());
                lines.push_back({&entry, {}});
            } else if (entry.cardio) {
                lines[*found].first->seconds += entry.seconds;
                lines[*found].first->km += entry.km;
            }
            if (!entry.cardio)
                lines[*found].second += entry.set;
        }
        QStringList texts;
        for (const auto &[entry, sets] : lines)
            texts += entry->cardio ? training::cardioLine(entry->name, entry->seconds, entry->km)
                                   : m_writer.exerciseLine(entry->name, sets);
        return texts.join(u'\n');
    }

    Read &m_out;
    std::map<qint64, std::vector<Entry>> m_days;
    QHash<QString, QString> m_names;
    training::WorkoutWriter m_writer;
};

// The rows of the file after its header.
void readRows(Records &records, const QStringList &header, const workoutrows::Columns &columns,
              Read &out) {
    Days days(out);
    Records::Record record;
    while (records.next(record)) {
        if (record.leftOpen) {
            csvimport::keepRejected(out, {record.line,
                                          {},
                                          record.fields.first(),
                                          u"Abre Unas Comillas Que No Se Cierran."_s});
        } else if (record.fields.size() > header.size()) {
            csvimport::keepRejected(
                out, {record.line,
                      {},
                      record.fields.join(u' ').left(60),
                      u"Tiene %1 Campos Y La Cabecera %2."_s.arg(record.fields.size())
                          .arg(header.size())});
        } else {
            const workoutrows::Read row = workoutrows::readRow(columns, header, record.fields);
            if (row.row)
                days.add(*row.row);
            else
                csvimport::keepRejected(out, {record.line, row.column, row.value, row.reason});
        }
    }
    days.finish();
}

void readText(QByteArray bytes, Read &out) {
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    if (bytes.trimmed().isEmpty()) {
        out.error = u"El Archivo Está Vacío."_s;
        return;
    }
    const QString text = csvfields::decodedField(bytes);
    bytes.clear();
    Records records(text);
    Records::Record header;
    const std::optional<workoutrows::Columns> columns = records.next(header) && !header.leftOpen
                                                            ? workoutrows::columnsOf(header.fields)
                                                            : std::nullopt;
    if (!columns) {
        out.error = u"El Archivo No Es Una Exportación De Strong, Hevy Ni FitNotes: Su Primera "
                    u"Línea No Tiene Sus Columnas."_s;
        return;
    }
    out.app = columns->app;
    readRows(records, header.fields, *columns, out);
}

} // namespace

Read read(QIODevice &device, const csvimport::Progress &progress) {
    Read result;
    const QString tooLarge = u"El Archivo Es Demasiado Grande Para Ser Una Exportación De "
                             u"Entrenamientos."_s;
    if (device.size() > largest) {
        result.error = tooLarge;
        return result;
    }
    QByteArray bytes;
    for (QByteArray chunk; !(chunk = device.read(chunkSize)).isEmpty();) {
        bytes += chunk;
        if (bytes.size() > largest) {
            result.error = tooLarge;
            return result;
        }
        if (progress && !progress(bytes.size(), device.size())) {
            result.cancelled = true;
            return result;
        }
    }
    readText(std::move(bytes), result);
    return result;
}

Read read(const QByteArray &bytes) {
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    return read(buffer);
}

} // namespace workoutimport
