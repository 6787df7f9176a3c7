#include "core/NumberText.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <string>

#include "support/CommaLocale.h"

namespace kvt {
namespace {

struct ParseCase {
    const char* text;
    double expected;
};

// Typed range texts and what C atof makes of them in the "C" locale.
const ParseCase kParseCases[] = {
    {"1.5", 1.5},       {"  -2.5e3xyz", -2500.0}, {"+.5", 0.5},     {"2e9", 2e9},
    {"1.0e8", 1e8},     {"-0.001", -0.001},       {"1,5", 1.0},     {"12.", 12.0},
    {"1e", 1.0},        {"1e+", 1.0},             {"\t\n 7", 7.0},  {"0x10", 16.0},
    {"", 0.0},          {"abc", 0.0},             {"-", 0.0},       {".", 0.0},
    {"999.9 ", 999.9},  {"1e400", HUGE_VAL},
};

TEST(NumberText, ParsesLikeAtofOfTheCLocale) {
    ASSERT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");
    for (const ParseCase& c : kParseCases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(parseNumberText(c.text), c.expected);
        EXPECT_EQ(parseNumberText(c.text), std::atof(c.text));
    }
    EXPECT_TRUE(std::isinf(parseNumberText("-inf")));
    EXPECT_TRUE(std::isnan(parseNumberText("nan")));
    EXPECT_EQ(parseNumberText(nullptr), 0.0);
}

TEST(NumberText, CommaLocaleChangesNeitherReadingNorWriting) {
    test::ScopedCommaLocale comma;
    ASSERT_TRUE(comma.active()) << "cannot build the " << test::kCommaLocaleName << " locale";
    for (const ParseCase& c : kParseCases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(parseNumberText(c.text), c.expected);
    }
    struct FormatCase {
        double value;
        int decimals;
        const char* fixed;
        const char* exponent;
    };
    const FormatCase formats[] = {
        {12.345, 2, "12.35", "1.23E+01"},  // 12.345 is just above the tie
        {-0.0006, 3, "-0.001", "-6.000E-04"},
        {48000000.0, 2, "48000000.00", "4.80E+07"},
        {0.004, 2, "0.00", "4.00E-03"},
        {1e300, 0, nullptr, "1E+300"},
        {-0.0, 1, "-0.0", "-0.0E+00"},
        {INFINITY, 2, "inf", "INF"},
        {-NAN, 2, "-nan", "-NAN"},
    };
    for (const FormatCase& c : formats) {
        SCOPED_TRACE(c.value);
        char text[400];
        if (c.fixed != nullptr) {
            EXPECT_EQ(formatFixedNumber(text, sizeof text, c.value, c.decimals),
                      static_cast<int>(std::string(c.fixed).size()));
            EXPECT_STREQ(text, c.fixed);
        }
        EXPECT_EQ(formatExponentNumber(text, sizeof text, c.value, c.decimals),
                  static_cast<int>(std::string(c.exponent).size()));
        EXPECT_STREQ(text, c.exponent);
    }
}

TEST(NumberText, FormattingMatchesPrintfOfTheCLocale) {
    ASSERT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");
    const double values[] = {0.0,     -0.0, 0.5,        1.5,  2.5,    0.125,
                             12.345,  -12.345, 1e-7,  123456789.987654, 2e9,
                             -1.0 / 3.0, 1e22, 5e-324, 1.7976931348623157e308};
    for (double value : values) {
        for (int decimals = 0; decimals <= 3; ++decimals) {
            SCOPED_TRACE(std::to_string(value) + " " + std::to_string(decimals));
            char expected[400];
            char text[400];
            std::snprintf(expected, sizeof expected, "%.*f", decimals, value);
            formatFixedNumber(text, sizeof text, value, decimals);
            EXPECT_STREQ(text, expected);
            std::snprintf(expected, sizeof expected, "%.*E", decimals, value);
            formatExponentNumber(text, sizeof text, value, decimals);
            EXPECT_STREQ(text, expected);
        }
    }
}

TEST(NumberText, TooSmallBufferGivesAnEmptyText) {
    char text[5] = "xxxx";
    EXPECT_EQ(formatFixedNumber(text, sizeof text, 12.345, 2), -1);  // "12.35" needs 6 bytes
    EXPECT_STREQ(text, "");
    EXPECT_EQ(formatFixedNumber(text, 0, 1.0, 0), -1);
    EXPECT_EQ(formatFixedNumber(text, sizeof text, 1.25, 2), 4);
    EXPECT_STREQ(text, "1.25");
}

}  // namespace
}  // namespace kvt
