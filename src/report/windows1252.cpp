#include "report/windows1252.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <utility>

namespace windows1252 {
namespace {

// The characters above Latin-1 that the code page holds in 0x80-0x9F, sorted by character.
constexpr std::array<std::pair<char16_t, unsigned char>, 27> upperControlRange = {{
    {0x0152, 0x8C}, {0x0153, 0x9C}, {0x0160, 0x8A}, {0x0161, 0x9A}, {0x0178, 0x9F}, {0x017D, 0x8E},
    {0x017E, 0x9E}, {0x0192, 0x83}, {0x02C6, 0x88}, {0x02DC, 0x98}, {0x2013, 0x96}, {0x2014, 0x97},
    {0x2018, 0x91}, {0x2019, 0x92}, {0x201A, 0x82}, {0x201C, 0x93}, {0x201D, 0x94}, {0x201E, 0x84},
    {0x2020, 0x86}, {0x2021, 0x87}, {0x2022, 0x95}, {0x2026, 0x85}, {0x2030, 0x89}, {0x2039, 0x8B},
    {0x203A, 0x9B}, {0x20AC, 0x80}, {0x2122, 0x99},
}};
static_assert(std::is_sorted(upperControlRange.begin(), upperControlRange.end()));

char encodeAboveLatin1(char16_t c) {
    const auto found =
        std::lower_bound(upperControlRange.begin(), upperControlRange.end(), c,
                         [](const auto &entry, char16_t key) { return entry.first < key; });
    if (found != upperControlRange.end() && found->first == c)
        return static_cast<char>(found->second);
    return '?';
}

// Four code units that are all printable ASCII (0x20-0x7F), read as one word.
bool fourPlainAscii(const char16_t *p) {
    quint64 word;
    std::memcpy(&word, p, sizeof word);
    // Below 0x80, a unit plus 0x60 reaches 0x80 exactly when it is 0x20 or more; no unit carries
    // into the next.
    constexpr quint64 high = 0x0080008000800080ull;
    return (word & 0xFF80FF80FF80FF80ull) == 0 && ((word + 0x0060006000600060ull) & high) == high;
}

// Encodes characters from p on, until end or until `limit` characters are done, into dst;
// returns how many characters it encoded. A line break (CR LF, or a CR or LF alone) is written
// as CR LF and counts as the two characters it is in a Windows text; it is never cut, so the
// count may end one past the limit. A NUL, which no text file holds, is written as "?".
qsizetype encodeRun(const char16_t *&p, const char16_t *end, char *&dst, qsizetype limit) {
    qsizetype count = 0;
    while (p < end && count < limit) {
        while (end - p >= 4 && limit - count >= 4 && fourPlainAscii(p)) {
            dst[0] = static_cast<char>(p[0]);
            dst[1] = static_cast<char>(p[1]);
            dst[2] = static_cast<char>(p[2]);
            dst[3] = static_cast<char>(p[3]);
            dst += 4;
            p += 4;
            count += 4;
        }
        if (p == end || count >= limit)
            break;
        const char16_t c = *p++;
        if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && p < end && *p == u'\n')
                ++p;
            *dst++ = '\r';
            *dst++ = '\n';
            count += 2;
            continue;
        }
        if (c == 0) {
            *dst++ = '?';
        } else if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
            *dst++ = static_cast<char>(c);
        } else if (QChar::isHighSurrogate(c)) {
            if (p < end && QChar::isLowSurrogate(*p))
                ++p;
            *dst++ = '?';
        } else if (c < 0xA0) {
            *dst++ = '?'; // the controls of 0x80-0x9F have no byte of their own
        } else {
            *dst++ = encodeAboveLatin1(c);
        }
        ++count;
    }
    return count;
}

} // namespace

void append(QByteArray &out, QStringView text) {
    const qsizetype start = out.size();
    out.resize(start + 2 * text.size()); // two bytes for a lone CR or LF, one for anything else
    char *const first = out.data() + start;
    char *dst = first;
    const char16_t *p = text.utf16();
    encodeRun(p, p + text.size(), dst, std::numeric_limits<qsizetype>::max());
    out.resize(start + (dst - first));
}

QByteArray encode(QStringView text) {
    QByteArray bytes;
    append(bytes, text);
    return bytes;
}

void appendSlices(QByteArray &out, QStringView text, qsizetype width) {
    if (text.isEmpty() || width <= 0)
        return;
    const qsizetype start = out.size();
    out.resize(start + 2 * text.size() + 2 * (text.size() / width + 1));
    char *const first = out.data() + start;
    char *dst = first;
    const char16_t *p = text.utf16();
    const char16_t *const end = p + text.size();
    while (p < end) {
        encodeRun(p, end, dst, width);
        *dst++ = '\r';
        *dst++ = '\n';
    }
    out.resize(start + (dst - first));
}

} // namespace windows1252

QString windows1252::decode(QByteArrayView bytes) {
    // 0x80 to 0x9F; the rest is Latin-1.
    static constexpr char16_t high[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        *out++ = byte >= 0x80 && byte < 0xA0 ? QChar(high[byte - 0x80]) : QChar(byte);
    }
    return text;
}
