#include "settings/EditFilters.h"

#include <climits>
#include <cstdint>

namespace kvt {
namespace {

bool isDecimal(char c) { return c >= '0' && c <= '9'; }
bool isHex(char c) { return isDecimal(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'); }

template <typename Allowed>
std::string keep(std::string_view text, size_t most, Allowed allowed) {
    std::string kept;
    for (char c : text) {
        if (kept.size() == most) break;
        if (allowed(c)) kept += c;
    }
    return kept;
}

int heldToInt(int64_t value) {
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

}  // namespace

std::string keepDecimalDigits(std::string_view text, size_t most) {
    return keep(text, most, isDecimal);
}

std::string keepHexDigits(std::string_view text, size_t most) { return keep(text, most, isHex); }

int integerFromText(std::string_view text) {
    size_t at = 0;
    while (at < text.size() && (text[at] == ' ' || (text[at] >= '\t' && text[at] <= '\r'))) ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
    int64_t value = 0;
    for (; at < text.size() && isDecimal(text[at]); ++at) {
        value = value * 10 + (text[at] - '0');
        if (value > INT64_C(1) << 40) break;  // far beyond any int already
    }
    return heldToInt(negative ? -value : value);
}

int nodeNumberFromText(std::string_view text) {
    int64_t value = 0;
    for (char c : text) {
        int digit = 0;
        if (c >= '1' && c <= '9') digit = c - '0';
        if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
        value = value * 16 + digit;
        if (value > INT64_C(1) << 40) break;
    }
    return heldToInt(value);
}

}  // namespace kvt
