#include "export/PenValueText.h"

#include <charconv>
#include <cstring>

#include "core/ConfigurationRecord.h"
#include "recording/ValueText.h"

namespace kvt {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Digits from `at`; returns the position after them (at when none).
int skipDigits(const char* text, int at, int end) {
    while (at < end && isDigit(text[at])) ++at;
    return at;
}

// JSON's number grammar: -?(0|[1-9][0-9]*)(\.[0-9]+)?([eE][+-]?[0-9]+)?
bool isJsonNumber(const char* text, int length) {
    int at = text[0] == '-' ? 1 : 0;
    if (at >= length || !isDigit(text[at])) return false;
    int afterInteger = text[at] == '0' ? at + 1 : skipDigits(text, at, length);
    at = afterInteger;
    if (at < length && text[at] == '.') {
        int afterFraction = skipDigits(text, at + 1, length);
        if (afterFraction == at + 1) return false;
        at = afterFraction;
    }
    if (at < length && (text[at] == 'e' || text[at] == 'E')) {
        ++at;
        if (at < length && (text[at] == '+' || text[at] == '-')) ++at;
        int afterExponent = skipDigits(text, at, length);
        if (afterExponent == at) return false;
        at = afterExponent;
    }
    return at == length;
}

}  // namespace

int penValueText(const char* field, double value, char (&text)[kPenValueTextCapacity]) {
    int first = 0;
    int end = kValueTextWidth;
    while (first < end && field[first] == ' ') ++first;
    while (end > first && field[end - 1] == ' ') --end;
    if (first == end || value == kNoData) return 0;
    if (isJsonNumber(field + first, end - first)) {
        std::memcpy(text, field + first, static_cast<size_t>(end - first));
        return end - first;
    }
    auto written = std::to_chars(text, text + kPenValueTextCapacity, value);
    return written.ec == std::errc() ? static_cast<int>(written.ptr - text) : 0;
}

}  // namespace kvt
