#include "settings/PenFieldTexts.h"

#include <climits>
#include <cstdio>
#include <cstring>

namespace kvt {
namespace {

int hexDigitValue(char c) {
    if (c >= '1' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return 0;
}

}  // namespace

int hexNodeValue(std::string_view text) {
    if (text.empty()) return 0;
    if (text.size() == 1) return hexDigitValue(text[0]);
    return hexDigitValue(text[0]) * 16 + hexDigitValue(text[1]);
}

int decimalIntegerValue(std::string_view text) {
    size_t at = 0;
    while (at < text.size() && (text[at] == ' ' || text[at] == '\t')) ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '-' || text[at] == '+')) {
        negative = text[at] == '-';
        ++at;
    }
    long long value = 0;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
        value = value * 10 + (text[at] - '0');
        if (value > INT_MAX) value = INT_MAX;
    }
    return static_cast<int>(negative ? -value : value);
}

std::string fittingNumberText(int value, bool hexadecimal, int maxCharacters) {
    char text[16];
    if (hexadecimal && value < 0) return {};
    int length = std::snprintf(text, sizeof text, hexadecimal ? "%X" : "%d", value);
    if (length < 0 || length > maxCharacters) return {};
    return std::string(text, static_cast<size_t>(length));
}

std::string fieldText(const char* field, size_t size) {
    return std::string(field, strnlen(field, size));
}

}  // namespace kvt
