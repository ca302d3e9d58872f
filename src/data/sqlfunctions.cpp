#include "data/sqlfunctions.h"

#include "data/dates.h"

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QString>
#include <QVariant>
#include <algorithm>
#include <cstring>
#include <optional>
#include <sqlite3.h>

namespace {

int compareBytes(int lengthA, const void *a, int lengthB, const void *b) {
    const int common = std::min(lengthA, lengthB);
    const int result = common > 0 ? std::memcmp(a, b, std::size_t(common)) : 0;
    if (result != 0)
        return result < 0 ? -1 : 1;
    return lengthA == lengthB ? 0 : (lengthA < lengthB ? -1 : 1);
}

// Dates in calendar order; a text that is no date comes after every date.
int compareCalendarDates(void *, int lengthA, const void *a, int lengthB, const void *b) {
    const auto dateA = dates::readDateUtf8(static_cast<const char *>(a), lengthA);
    const auto dateB = dates::readDateUtf8(static_cast<const char *>(b), lengthB);
    if (dateA && dateB && *dateA != *dateB)
        return *dateA < *dateB ? -1 : 1;
    if (bool(dateA) != bool(dateB))
        return dateA ? -1 : 1;
    return compareBytes(lengthA, a, lengthB, b);
}

// Numbers by value; a text that is no number comes before every number, so that the descending
// orders put it last.
int compareSpanishNumbers(void *, int lengthA, const void *a, int lengthB, const void *b) {
    const auto numberA = dates::readNumberUtf8(static_cast<const char *>(a), lengthA);
    const auto numberB = dates::readNumberUtf8(static_cast<const char *>(b), lengthB);
    if (numberA && numberB && *numberA != *numberB)
        return *numberA < *numberB ? -1 : 1;
    if (bool(numberA) != bool(numberB))
        return numberA ? 1 : -1;
    return compareBytes(lengthA, a, lengthB, b);
}

bool isDigit(unsigned char c) {
    return c >= '0' && c <= '9';
}

// Text with its runs of digits compared by value ("9:00" before "18:00"); an empty text comes
// after every other.
int compareNaturalText(void *, int lengthA, const void *a, int lengthB, const void *b) {
    if ((lengthA == 0) != (lengthB == 0))
        return lengthA == 0 ? 1 : -1;
    const auto *textA = static_cast<const unsigned char *>(a);
    const auto *textB = static_cast<const unsigned char *>(b);
    int i = 0;
    int j = 0;
    while (i < lengthA && j < lengthB) {
        if (isDigit(textA[i]) && isDigit(textB[j])) {
            while (i < lengthA && textA[i] == '0')
                ++i;
            while (j < lengthB && textB[j] == '0')
                ++j;
            int endA = i;
            int endB = j;
            while (endA < lengthA && isDigit(textA[endA]))
                ++endA;
            while (endB < lengthB && isDigit(textB[endB]))
                ++endB;
            if (endA - i != endB - j)
                return endA - i < endB - j ? -1 : 1;
            const int digits = compareBytes(endA - i, textA + i, endB - j, textB + j);
            if (digits != 0)
                return digits;
            i = endA;
            j = endB;
            continue;
        }
        if (textA[i] != textB[j])
            return textA[i] < textB[j] ? -1 : 1;
        ++i;
        ++j;
    }
    if (i < lengthA || j < lengthB)
        return i < lengthA ? 1 : -1;
    return compareBytes(lengthA, a, lengthB, b);
}

// val(x): the number at the start of x. Numbers pass through; a text gives the number its first
// characters form (blanks before it skipped, a decimal comma or point), or NULL when it has none.
void val(sqlite3_context *context, int, sqlite3_value **arguments) {
    sqlite3_value *argument = arguments[0];
    switch (sqlite3_value_type(argument)) {
    case SQLITE_INTEGER:
    case SQLITE_FLOAT:
        sqlite3_result_value(context, argument);
        return;
    case SQLITE_NULL:
        sqlite3_result_null(context);
        return;
    default:
        break;
    }
    const auto *text = reinterpret_cast<const char *>(sqlite3_value_text(argument));
    const int length = sqlite3_value_bytes(argument);
    if (!text) {
        sqlite3_result_null(context);
        return;
    }
    int start = 0;
    while (start < length && (text[start] == ' ' || text[start] == '\t'))
        ++start;
    int end = start;
    if (end < length && (text[end] == '-' || text[end] == '+'))
        ++end;
    bool separatorSeen = false;
    while (end < length && (isDigit(static_cast<unsigned char>(text[end])) ||
                            (!separatorSeen && (text[end] == ',' || text[end] == '.')))) {
        separatorSeen = separatorSeen || !isDigit(static_cast<unsigned char>(text[end]));
        ++end;
    }
    // The longest prefix that reads as a number ("12," reads 12).
    for (; end > start; --end) {
        if (const auto number = dates::readNumberUtf8(text + start, end - start)) {
            sqlite3_result_double(context, *number);
            return;
        }
    }
    sqlite3_result_null(context);
}

// pair_sum(a, b): the sum of those of the two values that read as numbers (a text read as the
// program reads numbers, with a decimal comma or point); NULL when neither does.
void pairSum(sqlite3_context *context, int count, sqlite3_value **arguments) {
    double sum = 0;
    bool any = false;
    for (int i = 0; i < count; ++i) {
        sqlite3_value *argument = arguments[i];
        std::optional<double> number;
        switch (sqlite3_value_type(argument)) {
        case SQLITE_INTEGER:
        case SQLITE_FLOAT:
            number = sqlite3_value_double(argument);
            break;
        case SQLITE_TEXT:
            number =
                dates::readNumberUtf8(reinterpret_cast<const char *>(sqlite3_value_text(argument)),
                                      sqlite3_value_bytes(argument));
            break;
        default:
            break;
        }
        if (number) {
            sum += *number;
            any = true;
        }
    }
    if (any)
        sqlite3_result_double(context, sum);
    else
        sqlite3_result_null(context);
}

} // namespace

bool registerDiaryFunctions(sqlite3 *db) {
    if (!db)
        return false;
    const int textRep = SQLITE_UTF8;
    // Deterministic and harmless, so that indexes may use it.
    return sqlite3_create_function_v2(db, "val", 1,
                                      SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS,
                                      nullptr, val, nullptr, nullptr, nullptr) == SQLITE_OK &&
           sqlite3_create_function_v2(db, "pair_sum", 2,
                                      SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS,
                                      nullptr, pairSum, nullptr, nullptr, nullptr) == SQLITE_OK &&
           sqlite3_create_collation_v2(db, "calendar_date", textRep, nullptr, compareCalendarDates,
                                       nullptr) == SQLITE_OK &&
           sqlite3_create_collation_v2(db, "spanish_number", textRep, nullptr,
                                       compareSpanishNumbers, nullptr) == SQLITE_OK &&
           sqlite3_create_collation_v2(db, "natural_text", textRep, nullptr, compareNaturalText,
                                       nullptr) == SQLITE_OK;
}

QString quotedIdentifier(const QString &identifier) {
    return u'"' + QString(identifier).replace(u'"', QLatin1String("\"\"")) + u'"';
}

sqlite3 *engineHandle(const QSqlDatabase &db) {
    const QVariant handle = db.driver() ? db.driver()->handle() : QVariant();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3 *const *>(handle.constData());
}
