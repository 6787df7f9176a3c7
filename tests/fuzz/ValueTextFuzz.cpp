// Fuzz target: value texts. Any double (NaN, infinities, subnormals,
// negative zero, huge), any number of decimals, any data kind and any pen
// settings a damaged file may hold. The fixed-point writers must give
// exactly what printf gives in the "C" locale, the field writer must stay
// inside its field and say when it cannot, and the 12-character value text
// must be the printf form of its data kind cut to 12 characters, with no
// minus sign on a text that reads as zero.
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "acquisition/ValueConversion.h"
#include "core/DeviceTables.h"
#include "recording/FixedPointText.h"
#include "recording/ValueText.h"
#include "support/FuzzInput.h"

namespace kvt {
namespace {

std::string printfText(const char* format, ...) {
    char text[400];
    va_list arguments;
    va_start(arguments, format);
    int length = std::vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    return std::string(text, length < 0 ? 0 : static_cast<size_t>(length));
}

// printf's minimum width followed by a cut to the field.
std::string fitToField(const std::string& text, size_t width) {
    if (text.size() >= width) return text.substr(0, width);
    return std::string(width - text.size(), ' ') + text;
}

// A number that is zero: "0", "-0.00" and the like.
bool readsAsZero(const std::string& field) {
    const char* start = field.c_str();
    char* end = nullptr;
    double number = std::strtod(start, &end);
    if (end == start || field.find_first_of("0123456789") == std::string::npos) return false;
    return field.find_first_not_of(' ', static_cast<size_t>(end - start)) == std::string::npos &&
           number == 0.0;
}

std::string withoutMinusOfZero(std::string field) {
    if (!readsAsZero(field)) return field;
    for (char& character : field) {
        if (character == '-') character = ' ';
    }
    return field;
}

int clampDecimals(int decimals) { return decimals < 0 ? 0 : decimals > 3 ? 3 : decimals; }

// The 12 characters of a non-logarithmic value by data kind.
std::string expectedPlain(int dataKind, int decimalPlaces, double value) {
    int decimals = clampDecimals(decimalPlaces);
    std::string text;
    if (dataKind >= 8 && dataKind <= 11) {
        text = printfText("%12.0f", value);
    } else if (dataKind == 1) {
        text = printfText("%11.*f ", decimals, value);
    } else {
        text = printfText("%12.*f", decimals, value);
    }
    return withoutMinusOfZero(fitToField(text, kValueTextWidth));
}

std::string expectedValueField(const PenSettings& pen, double value, bool alreadyScaled) {
    double shown = alreadyScaled ? value : scaleToEngineering(pen, value);
    if (pen.logScale == 1) return fitToField(printfText(" %4.2E", shown), kValueTextWidth);
    return expectedPlain(dataKindOf(pen.analogType), pen.decimalPlaces, shown);
}

void checkFormatFixed(double value, int decimals) {
    auto text = test::exactBuffer(kFixedTextCapacity);
    int length = formatFixed(text.get(), value, decimals);
    FUZZ_CHECK(length >= 0 && length < kFixedTextCapacity);
    FUZZ_CHECK(std::strlen(text.get()) == static_cast<size_t>(length));
    FUZZ_CHECK(text.get() == printfText("%.*f", clampDecimals(decimals), value));
}

void checkFixedInField(double value, int decimals, int width) {
    auto field = test::exactBuffer(static_cast<size_t>(width));
    bool written = formatFixedInField(field.get(), width, value, decimals);
    if (decimals < 0 || decimals > 3 || !std::isfinite(value)) FUZZ_CHECK(!written);
    if (!written) return;
    // A zero loses its minus sign before it has to fit.
    std::string text = printfText("%.*f", decimals, value);
    if (readsAsZero(text) && text[0] == '-') text.erase(0, 1);
    FUZZ_CHECK(text.size() <= static_cast<size_t>(width));
    FUZZ_CHECK(std::string(field.get(), static_cast<size_t>(width)) ==
               fitToField(text, static_cast<size_t>(width)));
}

void checkField(const char* field, const std::string& expected) {
    std::string got(field, kValueTextWidth);
    FUZZ_CHECK(got == expected);
    FUZZ_CHECK(got.find(',') == std::string::npos);  // a comma would add a column to the row
}

void checkPlainValue(int dataKind, int decimalPlaces, double value) {
    auto field = test::exactBuffer(kValueTextWidth);
    formatPlainValue(field.get(), dataKind, decimalPlaces, value);
    checkField(field.get(), expectedPlain(dataKind, decimalPlaces, value));
}

void checkValueText(const PenSettings& pen, double value, bool alreadyScaled) {
    auto field = test::exactBuffer(kValueTextWidth);
    formatValueField(field.get(), pen, value, alreadyScaled);
    checkField(field.get(), expectedValueField(pen, value, alreadyScaled));

    char text[kValueTextWidth + 1];
    formatValueText(text, pen, value, alreadyScaled);
    FUZZ_CHECK(text[kValueTextWidth] == '\0');
    FUZZ_CHECK(std::memcmp(text, field.get(), kValueTextWidth) == 0);
}

// A data kind: mostly those the analog types and the special forms use.
int dataKindFrom(test::FuzzInput& input) {
    static constexpr int kKinds[] = {1, 8, 9, 10, 11, 21, 22, 23, 24, 25, 0, -1};
    uint8_t choice = input.byte();
    return choice < 240 ? kKinds[choice % std::size(kKinds)] : input.anyInt();
}

// Decimals: mostly 0-3, sometimes anything.
int decimalsFrom(test::FuzzInput& input) {
    uint8_t choice = input.byte();
    return choice < 240 ? choice % 4 : input.anyInt();
}

PenSettings penFrom(test::FuzzInput& input) {
    PenSettings pen{};
    pen.logScale = input.intInRange(0, 2);
    pen.analogType = input.flag() ? input.intInRange(-1, kAnalogTypeRows) : input.anyInt();
    pen.decimalPlaces = decimalsFrom(input);
    pen.inputLow = input.flag() ? 0.0 : input.anyDouble();
    pen.inputHigh = input.flag() ? 100.0 : input.anyDouble();
    pen.scaleLow = input.flag() ? 0.0 : input.anyDouble();
    pen.scaleHigh = input.flag() ? 1000.0 : input.anyDouble();
    return pen;
}

}  // namespace
}  // namespace kvt

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace kvt;
    test::FuzzInput input(data, size);
    double value = input.anyDouble();
    int decimals = decimalsFrom(input);
    checkFormatFixed(value, decimals);

    // Every field width, the ones too narrow for the decimals included.
    checkFixedInField(value, decimals, input.intInRange(1, 40));

    checkPlainValue(dataKindFrom(input), decimals, value);
    bool alreadyScaled = input.flag();
    PenSettings pen = penFrom(input);
    checkValueText(pen, value, alreadyScaled);
    return 0;
}
