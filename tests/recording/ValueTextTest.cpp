#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>

#include "acquisition/ValueConversion.h"
#include "core/ConfigurationRecord.h"
#include "recording/FixedPointText.h"
#include "recording/ValueText.h"
#include "support/CommaLocale.h"

namespace kvt {
namespace {

PenSettings plainPen(int decimals) {
    PenSettings pen{};
    pen.enabled = 1;
    pen.analogType = 0;  // data kind 21, the plain form
    pen.decimalPlaces = decimals;
    pen.inputLow = 0;
    pen.inputHigh = 100;
    pen.scaleLow = 0;
    pen.scaleHigh = 100;
    return pen;
}

std::string text(const PenSettings& pen, double value, bool alreadyScaled = true) {
    char field[kValueTextWidth + 1];
    std::memset(field, '#', sizeof field);
    formatValueText(field, pen, value, alreadyScaled);
    EXPECT_EQ(field[kValueTextWidth], '\0');
    return std::string(field);
}

// What printf gives for the plain form, cut to 12 characters.
std::string printfPlain(double value, int decimals) {
    char buffer[400];
    std::snprintf(buffer, sizeof buffer, "%12.*f", decimals, value);
    return std::string(buffer).substr(0, 12);
}

TEST(ValueText, PlainFormsByDecimalPlaces) {
    EXPECT_EQ(text(plainPen(3), 12.345), "      12.345");
    EXPECT_EQ(text(plainPen(2), 12.345), "       12.35");  // 12.345 is below the tie
    EXPECT_EQ(text(plainPen(1), -7.25), "        -7.2");   // exact tie rounds to even
    EXPECT_EQ(text(plainPen(0), 2.5), "           2");
    EXPECT_EQ(text(plainPen(0), 3.5), "           4");
    EXPECT_EQ(text(plainPen(3), 0.125), "       0.125");
    EXPECT_EQ(text(plainPen(2), 0.125), "        0.12");
    EXPECT_EQ(text(plainPen(2), 1e15), "100000000000");  // cut to its first 12
    EXPECT_EQ(text(plainPen(3), 1234567890.5), "1234567890.5");
    EXPECT_EQ(text(plainPen(7), 1.5), "       1.500");  // decimals beyond 3 count as 3
}

TEST(ValueText, ZeroNeverShowsAMinusSign) {
    EXPECT_EQ(text(plainPen(3), -0.0004), "       0.000");
    EXPECT_EQ(text(plainPen(3), -0.0006), "      -0.001");
    EXPECT_EQ(text(plainPen(0), -0.4), "           0");
    EXPECT_EQ(text(plainPen(2), -0.0), "        0.00");
    EXPECT_EQ(text(plainPen(1), -0.05), "        -0.1");  // -0.05 lies below the tie
}

TEST(ValueText, ScalesUnlessAlreadyScaled) {
    PenSettings pen = plainPen(1);
    pen.inputLow = 4;
    pen.inputHigh = 20;
    pen.scaleLow = 0;
    pen.scaleHigh = 100;
    EXPECT_EQ(text(pen, 12, false), "        50.0");
    EXPECT_EQ(text(pen, 12, true), "        12.0");
    EXPECT_DOUBLE_EQ(scaleToEngineering(pen, 20), 100);
    pen.inputHigh = 4;  // a range of zero width gives scaleLow
    pen.scaleLow = -5;
    EXPECT_EQ(scaleToEngineering(pen, 12), -5);
}

TEST(ValueText, LogarithmicPenIsTheExponentFormRightAligned) {
    PenSettings pen = plainPen(2);
    pen.logScale = 1;
    EXPECT_EQ(text(pen, 123000), "    1.23E+05");
    EXPECT_EQ(text(pen, 0.004), "    4.00E-03");
    EXPECT_EQ(text(pen, -123000), "   -1.23E+05");
    EXPECT_EQ(text(pen, -0.0), "   -0.00E+00");  // no sign rule for the exponent form
    EXPECT_EQ(text(pen, 1e-200), "   1.00E-200");
}

std::string plainOfKind(int kind, int decimals, double value) {
    char field[kValueTextWidth + 1] = {};
    formatPlainValue(field, kind, decimals, value);
    return std::string(field);
}

TEST(ValueText, OtherDataKindsKeepTheFieldWidth) {
    // Whole numbers for kinds 8-11, whatever the decimal places.
    EXPECT_EQ(plainOfKind(8, 3, 2.5), "           2");
    EXPECT_EQ(plainOfKind(11, 0, -0.2), "           0");
    EXPECT_EQ(plainOfKind(9, 0, 123456789012345.0), "123456789012");
    // Kind 1: eleven wide, then a space, as long as the number fits.
    EXPECT_EQ(plainOfKind(1, 2, 3.14159), "       3.14 ");
    EXPECT_EQ(plainOfKind(1, 3, -0.0001), "      0.000 ");
    EXPECT_EQ(plainOfKind(1, 1, 123456789.0), "123456789.0 ");
    EXPECT_EQ(plainOfKind(1, 1, 1234567890.0), "1234567890.0");
    EXPECT_EQ(plainOfKind(1, 3, 1234567890.0), "1234567890.0");

    PenSettings pen = plainPen(2);
    // The shipped analog types all use the plain form; an unknown type too.
    pen.analogType = 5;
    EXPECT_EQ(text(pen, -0.5), "       -0.50");
    pen.analogType = 999;
    EXPECT_EQ(text(pen, 3.14159), "        3.14");
}

// The fast formatter must give printf's bytes for every value; values close
// to a rounding boundary are the ones a shortcut gets wrong.
TEST(ValueText, FastFormattingMatchesPrintfEverywhere) {
    std::mt19937_64 random(20260307);
    std::uniform_real_distribution<double> mantissa(-1.0, 1.0);
    std::uniform_int_distribution<int> exponent(-8, 16);
    char fast[kFixedTextCapacity];
    char reference[kFixedTextCapacity];
    for (int round = 0; round < 200000; ++round) {
        int decimals = round % 4;
        double value = mantissa(random) * std::pow(10.0, exponent(random));
        if (round % 5 == 0) {
            // Values sitting on or next to a half in the last shown digit.
            double unit = std::pow(10.0, -decimals);
            value = (std::round(value / unit) + 0.5) * unit;
            if (round % 3 == 0) value = std::nextafter(value, 0.0);
        }
        formatFixed(fast, value, decimals);
        std::snprintf(reference, sizeof reference, "%.*f", decimals, value);
        ASSERT_STREQ(fast, reference) << "value " << value << " decimals " << decimals;
        ASSERT_EQ(text(plainPen(decimals), value), [&] {
            std::string expected = printfPlain(value, decimals);
            bool zero = expected.find_first_not_of(" -0.") == std::string::npos;
            if (zero) {
                for (char& character : expected) character = character == '-' ? ' ' : character;
            }
            return expected;
        }());
    }
}

TEST(ValueText, NonFiniteValuesStillFillTheField) {
    EXPECT_EQ(text(plainPen(2), INFINITY), "         inf");
    EXPECT_EQ(text(plainPen(2), -NAN).size(), 12u);
}

// A field too narrow for the decimals must be refused without a byte
// written outside it.
TEST(ValueText, NarrowFieldsAreRefusedWithoutWritingOutsideThem) {
    for (int decimals = 0; decimals <= 3; ++decimals) {
        for (int width = -2; width <= 6; ++width) {
            SCOPED_TRACE("decimals " + std::to_string(decimals) + " width " +
                         std::to_string(width));
            char buffer[32];
            std::memset(buffer, '#', sizeof buffer);
            char* field = buffer + 12;
            bool written = formatFixedInField(field, width, -1.0, decimals);
            char expected[32];
            int length = std::snprintf(expected, sizeof expected, "%.*f", decimals, -1.0);
            EXPECT_EQ(written, width >= length);
            if (written) {
                EXPECT_EQ(std::string(field + width - length, length), expected);
            }
            for (int index = 0; index < 12; ++index) ASSERT_EQ(buffer[index], '#') << index;
            int end = 12 + std::max(width, 0);
            for (int index = end; index < 32; ++index) ASSERT_EQ(buffer[index], '#') << index;
        }
    }
}

// The digital panel shows these texts: a comma-decimal desktop locale must
// change none of them, whichever way a value is formatted.
TEST(ValueText, CommaLocaleKeepsThePoint) {
    test::ScopedCommaLocale comma;
    ASSERT_TRUE(comma.active()) << "cannot build the " << test::kCommaLocaleName << " locale";
    PenSettings logarithmic = plainPen(2);
    logarithmic.logScale = 1;
    EXPECT_EQ(text(logarithmic, 4.8e7), "    4.80E+07");
    EXPECT_EQ(text(plainPen(2), 12.345), "       12.35");  // near a tie: the exact path
    EXPECT_EQ(text(plainPen(3), -0.0004), "       0.000");
    EXPECT_EQ(text(plainPen(1), 1e30).substr(0, 12), "100000000000");
    EXPECT_EQ(plainOfKind(1, 2, 2.675), "       2.67 ");
    EXPECT_EQ(plainOfKind(1, 1, 1234567890.25), "1234567890.2");
}

}  // namespace
}  // namespace kvt
