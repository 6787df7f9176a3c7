#include "recording/FixedPointText.h"

#include <cmath>
#include <cstdint>

#include "core/NumberText.h"

namespace kvt {
namespace {

constexpr double kPowersOfTen[] = {1.0, 10.0, 100.0, 1000.0};
constexpr uint64_t kIntegerPowersOfTen[] = {1, 10, 100, 1000};
// Above this the scaled value has no exact fraction part any more.
constexpr double kFastPathLimit = 4503599627370496.0;  // 2^52
// Relative size of one unit in the last place of a double, doubled for safety.
constexpr double kRelativeUlp = 4.5e-16;

int writeUnsigned(char* text, uint64_t number) {
    char reversed[24];
    int length = 0;
    do {
        reversed[length++] = static_cast<char>('0' + number % 10);
        number /= 10;
    } while (number != 0);
    for (int index = 0; index < length; ++index) text[index] = reversed[length - 1 - index];
    return length;
}

// Rounds |value| x 10^decimals to an integer as printf would, or returns
// false when the double product lies too close to a rounding boundary (or
// out of range) to be sure.
inline bool roundScaled(double magnitude, int decimals, uint64_t& rounded) {
    double scaled = magnitude * kPowersOfTen[decimals];
    if (!(scaled < kFastPathLimit)) return false;
    uint64_t whole = static_cast<uint64_t>(scaled);  // floor: scaled is not negative
    double fraction = scaled - static_cast<double>(whole);
    if (decimals == 0) {
        // No rounding error in the product: a tie is a real tie, and printf
        // rounds it to even.
        bool up = fraction > 0.5 || (fraction == 0.5 && (whole & 1u) != 0);
        rounded = whole + (up ? 1 : 0);
        return true;
    }
    double uncertainty = scaled * kRelativeUlp + 1e-300;
    if (std::fabs(fraction - 0.5) <= uncertainty) return false;
    rounded = whole + (fraction > 0.5 ? 1 : 0);
    return true;
}

// The exact digits for the cases the fast path leaves, always with a
// decimal point whatever the process locale.
int formatExactly(char* text, double value, int decimals) {
    int length = formatFixedNumber(text, kFixedTextCapacity, value, decimals);
    return length < 0 ? 0 : length;
}

// Writes the digits of `number` leftwards, ending before `end`; returns
// the new start, or nullptr when they do not fit after `start`.
inline char* putDigitsBefore(char* start, char* end, uint32_t number) {
    do {
        if (end == start) return nullptr;
        *--end = static_cast<char>('0' + number % 10);
        number /= 10;
    } while (number != 0);
    return end;
}

// The field writer for a fixed number of decimals, so that every division
// is by a constant.
template <int kDecimals>
bool fixedInField(char* field, int width, double value) {
    // The point and the decimals, and at least one digit before them.
    constexpr int kFractionWidth = kDecimals > 0 ? kDecimals + 1 : 0;
    if (width <= kFractionWidth) return false;
    uint64_t rounded = 0;
    if (!roundScaled(std::fabs(value), kDecimals, rounded) || rounded > 0xFFFFFFFFu) {
        return false;
    }
    auto number = static_cast<uint32_t>(rounded);
    char* position = field + width;
    if constexpr (kDecimals > 0) {
        for (int digit = 0; digit < kDecimals; ++digit) {
            *--position = static_cast<char>('0' + number % 10);
            number /= 10;
        }
        *--position = '.';
    }
    position = putDigitsBefore(field, position, number);
    if (position == nullptr) return false;
    if (std::signbit(value) && rounded != 0) {
        if (position == field) return false;
        *--position = '-';
    }
    while (position != field) *--position = ' ';
    return true;
}

}  // namespace

bool formatFixedInField(char* field, int width, double value, int decimals) {
    if (!std::isfinite(value)) return false;
    switch (decimals) {
    case 0:
        return fixedInField<0>(field, width, value);
    case 1:
        return fixedInField<1>(field, width, value);
    case 2:
        return fixedInField<2>(field, width, value);
    case 3:
        return fixedInField<3>(field, width, value);
    default:
        return false;
    }
}

int formatFixed(char* text, double value, int decimals) {
    if (decimals < 0) decimals = 0;
    if (decimals > 3) decimals = 3;
    uint64_t rounded = 0;
    if (!std::isfinite(value) || !roundScaled(std::fabs(value), decimals, rounded)) {
        return formatExactly(text, value, decimals);
    }
    int length = 0;
    if (std::signbit(value)) text[length++] = '-';
    uint64_t unit = kIntegerPowersOfTen[decimals];
    length += writeUnsigned(text + length, rounded / unit);
    if (decimals > 0) {
        text[length++] = '.';
        uint64_t fraction = rounded % unit;
        for (int digit = decimals - 1; digit >= 0; --digit) {
            text[length + digit] = static_cast<char>('0' + fraction % 10);
            fraction /= 10;
        }
        length += decimals;
    }
    text[length] = '\0';
    return length;
}

}  // namespace kvt
