#include "core/NumberText.h"

#include <locale.h>
#include <stdlib.h>

#include <charconv>

namespace kvt {
namespace {

// The "C" locale as an object of its own, made once; the global locale is
// never consulted.
locale_t cLocale() {
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return locale;
}

int finishText(char* text, size_t capacity, std::to_chars_result result) {
    if (result.ec != std::errc() || result.ptr == text + capacity) {
        if (capacity > 0) text[0] = '\0';
        return -1;
    }
    *result.ptr = '\0';
    return static_cast<int>(result.ptr - text);
}

}  // namespace

double parseNumberText(const char* text) {
    if (text == nullptr) return 0.0;
    locale_t locale = cLocale();
    // Making the "C" locale fails only when memory is exhausted at start.
    if (locale == static_cast<locale_t>(nullptr)) return strtod(text, nullptr);
    return strtod_l(text, nullptr, locale);
}

int formatFixedNumber(char* text, size_t capacity, double value, int decimals) {
    if (capacity == 0) return -1;
    auto result = std::to_chars(text, text + capacity, value, std::chars_format::fixed, decimals);
    return finishText(text, capacity, result);
}

int formatExponentNumber(char* text, size_t capacity, double value, int decimals) {
    if (capacity == 0) return -1;
    auto result =
        std::to_chars(text, text + capacity, value, std::chars_format::scientific, decimals);
    int length = finishText(text, capacity, result);
    for (int index = 0; index < length; ++index) {
        // ASCII only: toupper would follow the locale.
        char letter = text[index];
        if (letter >= 'a' && letter <= 'z') text[index] = static_cast<char>(letter - 'a' + 'A');
    }
    return length;
}

}  // namespace kvt
