#include "recording/DayFileRow.h"

#include <cmath>
#include <cstdint>
#include <cstring>

#include "core/NumberText.h"
#include "recording/CsvRow.h"
#include "recording/ValueText.h"

namespace kvt {
namespace {

constexpr int kFirstFieldComma = 14;  // pen j's comma at 14 + 13 j, its field after it
constexpr int kFieldStride = kValueTextWidth + 1;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Two decimal digits at `at`, or -1.
int twoDigits(const char* at) {
    if (!isDigit(at[0]) || !isDigit(at[1])) return -1;
    return (at[0] - '0') * 10 + (at[1] - '0');
}

// A milliseconds digit: its value, 0 for a blank, -1 for anything else.
int millisecondDigit(char c) {
    if (c == ' ') return 0;
    return isDigit(c) ? c - '0' : -1;
}

bool hasRowLayout(const char* bytes, size_t length, int group) {
    if (length != static_cast<size_t>(rowLengthOf(group))) return false;
    if (bytes[length - 1] != '\n' || bytes[2] != ':' || bytes[5] != ':') return false;
    if (bytes[8] != ',' || bytes[12] != ',') return false;
    for (int pen = 0; pen < pensOfGroup(group); ++pen) {
        if (bytes[kFirstFieldComma + kFieldStride * pen] != ',') return false;
    }
    return true;
}

// Bytes that printf puts into a fixed, exponent, infinite or not-a-number text.
bool isNumberByte(char c) {
    return c != '\0' && (isDigit(c) || std::strchr("+-.eEinfaINFA", c) != nullptr);
}

// A field is spaces, then one run of number bytes, then spaces.
bool isNumberField(const char* field) {
    int at = 0;
    while (at < kValueTextWidth && field[at] == ' ') ++at;
    while (at < kValueTextWidth && field[at] != ' ') {
        if (!isNumberByte(field[at])) return false;
        ++at;
    }
    while (at < kValueTextWidth && field[at] == ' ') ++at;
    return at == kValueTextWidth;
}

// The plain decimal forms the writer uses ("-123.456"), read exactly as the
// full conversion reads them: a field's at most 12 digits make an exact
// integer and the power of ten is exact, so the one division rounds once,
// correctly. False for any other form (exponents, infinity, a lone sign).
bool readPlainDecimal(const char* field, double& value) {
    static constexpr double kPowersOfTen[] = {1, 10, 100, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8,
                                              1e9, 1e10, 1e11, 1e12};
    int at = 0;
    while (at < kValueTextWidth && field[at] == ' ') ++at;
    bool negative = at < kValueTextWidth && field[at] == '-';
    if (negative) ++at;
    int64_t digits = 0;
    int digitCount = 0;
    int decimals = -1;  // digits after the point; -1 before a point
    for (; at < kValueTextWidth && field[at] != ' '; ++at) {
        if (field[at] == '.' && decimals < 0) {
            decimals = 0;
        } else if (isDigit(field[at])) {
            digits = digits * 10 + (field[at] - '0');
            ++digitCount;
            if (decimals >= 0) ++decimals;
        } else {
            return false;
        }
    }
    if (digitCount == 0) {
        // A blank field reads as 0; a lone sign or point goes the long way.
        value = 0;
        return !negative && decimals < 0;
    }
    double magnitude = static_cast<double>(digits) / kPowersOfTen[decimals < 0 ? 0 : decimals];
    value = negative ? -magnitude : magnitude;
    return true;
}

double readField(const char* field) {
    double plain = 0;
    if (readPlainDecimal(field, plain)) return plain;
    char text[kValueTextWidth + 1];
    std::memcpy(text, field, kValueTextWidth);
    text[kValueTextWidth] = '\0';
    double value = parseNumberText(text);
    return std::isfinite(value) ? value : kNoData;
}

}  // namespace

bool parseRowTime(const char* bytes, size_t length, int group, RowTime& time) {
    if (group < 0 || group >= kGroupCount || !hasRowLayout(bytes, length, group)) return false;
    time.hour = twoDigits(bytes);
    time.minute = twoDigits(bytes + 3);
    time.second = twoDigits(bytes + 6);
    time.tenths = millisecondDigit(bytes[9]);
    time.hundredths = millisecondDigit(bytes[10]);
    return time.hour >= 0 && time.hour <= 23 && time.minute >= 0 && time.minute <= 59 &&
           time.second >= 0 && time.second <= 59 && time.tenths >= 0 && time.hundredths >= 0 &&
           millisecondDigit(bytes[11]) >= 0;
}

bool parseRowValues(const char* bytes, size_t length, int group, double (&values)[kPensPerGroup]) {
    if (group < 0 || group >= kGroupCount || !hasRowLayout(bytes, length, group)) return false;
    for (int pen = 0; pen < pensOfGroup(group); ++pen) {
        const char* field = bytes + kFirstFieldComma + kFieldStride * pen + 1;
        if (!isNumberField(field)) return false;
        values[pen] = readField(field);
    }
    return true;
}

}  // namespace kvt
