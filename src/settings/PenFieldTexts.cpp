#include "settings/PenFieldTexts.h"

#include <cstdio>
#include <cstring>

namespace kvt {

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
