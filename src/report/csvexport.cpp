#include "report/csvexport.h"

#include "data/privatefile.h"

namespace csvexport {

char separatorOf(Preset preset) {
    return preset == Preset::Spreadsheet ? ';' : ',';
}

void appendField(QByteArray &out, const QString &text, char separator) {
    const QByteArray bytes = text.toUtf8();
    const bool quoted = bytes.contains(separator) || bytes.contains('"') || bytes.contains('\n') ||
                        bytes.contains('\r');
    if (!quoted) {
        out += bytes;
        return;
    }
    out += '"';
    for (const char c : bytes) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
}

Written writeFile(const QString &path, Preset preset, const DayWalk &days) {
    const char separator = separatorOf(preset);
    privatefile::NewFile file(path);
    if (!file.create())
        return {false, file.failure()};
    QByteArray out;
    if (preset == Preset::Spreadsheet)
        out += "\xEF\xBB\xBF";
    for (std::size_t box = 0; box < columnNames.size(); ++box) {
        if (box)
            out += separator;
        out += columnNames[box];
    }
    out += "\r\n";
    // Written a few hundred kilobytes at a time, so that a diary of any size needs little memory.
    constexpr qsizetype chunk = 256 * 1024;
    bool writing = true;
    const bool read = days.forEach([&](const dayfields::DayTexts &day) {
        for (std::size_t box = 0; box < day.size(); ++box) {
            if (box)
                out += separator;
            appendField(out, day[box], separator);
        }
        out += "\r\n";
        if (out.size() >= chunk) {
            writing = file.write(out) == out.size();
            out.clear();
        }
        return writing;
    });
    if (!read)
        return {false, Failure::of(Failure::Kind::DaysUnreadable)};
    if (!writing || file.write(out) != out.size() ||
        !file.commit(privatefile::NewFile::Sync::ToDisk))
        return {false, file.failure()};
    return {true, {}};
}

} // namespace csvexport
