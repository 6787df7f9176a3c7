#include "recording/ValueText.h"

#include <cstring>

#include "acquisition/ValueConversion.h"
#include "core/DeviceTables.h"
#include "core/NumberText.h"
#include "recording/FixedPointText.h"

namespace kvt {
namespace {

// Data kinds with their own text forms; the shipped analog types use none.
constexpr int kKindSpaceAfter = 1;
constexpr int kKindWholeFirst = 8;
constexpr int kKindWholeLast = 11;

// Right-aligns `length` characters of `text` in a field of `width`, or takes
// the first `width` characters of a longer text, as printf's minimum width
// followed by a cut to the field gives.
void placeInField(char* field, int width, const char* text, int length) {
    if (length >= width) {
        std::memcpy(field, text, width);
        return;
    }
    std::memset(field, ' ', width - length);
    std::memcpy(field + width - length, text, length);
}

// True when the text is a number equal to zero ("0", "-0.000", ...).
bool readsAsZero(const char* field) {
    bool sawZero = false;
    for (int index = 0; index < kValueTextWidth; ++index) {
        char character = field[index];
        if (character == '0') sawZero = true;
        else if (character != ' ' && character != '-' && character != '.') return false;
    }
    return sawZero;
}

void clearMinusOfZero(char* field) {
    if (!readsAsZero(field)) return;
    for (int index = 0; index < kValueTextWidth; ++index) {
        if (field[index] == '-') field[index] = ' ';
    }
}

// The exponent form " %4.2E" (a point whatever the locale); right-aligned so
// that the row keeps its fixed length.
void formatExponent(char* field, double value) {
    char text[32] = " ";
    int length = formatExponentNumber(text + 1, sizeof text - 1, value, 2);
    placeInField(field, kValueTextWidth, text, length < 0 ? 1 : length + 1);
}

}  // namespace

void formatPlainValue(char* field, int dataKind, int decimalPlaces, double value) {
    char text[kFixedTextCapacity];
    int decimals = decimalPlaces < 0 ? 0 : (decimalPlaces > 3 ? 3 : decimalPlaces);
    if (dataKind >= kKindWholeFirst && dataKind <= kKindWholeLast) {
        placeInField(field, kValueTextWidth, text, formatFixed(text, value, 0));
    } else if (dataKind == kKindSpaceAfter) {
        // "%11.Nf " cut to 12: the space survives only when the number fits
        // in eleven characters.
        int length = formatFixed(text, value, decimals);
        if (length < kValueTextWidth) {
            placeInField(field, kValueTextWidth - 1, text, length);
            field[kValueTextWidth - 1] = ' ';
        } else {
            placeInField(field, kValueTextWidth, text, length);
        }
    } else {
        if (formatFixedInField(field, kValueTextWidth, value, decimals)) return;
        placeInField(field, kValueTextWidth, text, formatFixed(text, value, decimals));
    }
    clearMinusOfZero(field);
}

void formatValueField(char* field, const PenSettings& pen, double value, bool alreadyScaled) {
    double shown = alreadyScaled ? value : scaleToEngineering(pen, value);
    if (pen.logScale == 1) {
        formatExponent(field, shown);
    } else {
        formatPlainValue(field, dataKindOf(pen.analogType), pen.decimalPlaces, shown);
    }
}

void formatValueText(char (&text)[kValueTextWidth + 1], const PenSettings& pen, double value,
                     bool alreadyScaled) {
    formatValueField(text, pen, value, alreadyScaled);
    text[kValueTextWidth] = '\0';
}

void formatValueText(char (&text)[kValueTextWidth + 1], int group, int pen, double value,
                     bool alreadyScaled) {
    formatValueText(text, liveConfiguration.pen(group, pen), value, alreadyScaled);
}

}  // namespace kvt
