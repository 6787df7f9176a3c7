#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "core/Defaults.h"
#include "recording/CsvRow.h"
#include "recording/DayFileRow.h"
#include "support/CommaLocale.h"
#include "support/DayFiles.h"
#include "support/FakeClock.h"

namespace kvt {
namespace {

// A row as the recording writer writes it: group 4 at 0.5 s, pen 1 plain,
// pen 2 switched off, pen 3 discrete, pen 4 logarithmic, pen 5 negative.
std::string writtenRow(int group = 4, int cycle = kCycleHalfSecond) {
    static ConfigurationRecord config;
    fillDefaults(config, 1, {2026, 1, 1});
    test::makePensPlain(config);
    if (group != 0) config.group(group).storingCycle = cycle;
    config.pen(group, 1).enabled = 0;
    config.pen(group, 2).isDiscrete = 1;
    config.pen(group, 3).logScale = 1;
    SampleData sample{};
    sample.time = test::makeTime(2026, 3, 7, 13, 5, 42, 550);
    const double values[kPensPerGroup] = {12.345, 7, 1, 123000, -0.5, 0, 99.999, 1, 2, 3, 4, 5};
    std::memcpy(sample.values, values, sizeof values);
    char row[kMaxRowLength];
    return std::string(row, static_cast<size_t>(formatCsvRow(row, config, group, sample)));
}

// Pen j's field starts at 15 + 13 j.
void setField(std::string& row, int pen, const char* text) { row.replace(15 + 13 * pen, 12, text); }

bool timeOf(const std::string& row, int group, RowTime& time) {
    return parseRowTime(row.data(), row.size(), group, time);
}

bool valuesOf(const std::string& row, int group, double (&values)[kPensPerGroup]) {
    return parseRowValues(row.data(), row.size(), group, values);
}

// Rows as the writer writes them read back; a row read for a group of
// another row length, or for no group, is unreadable.
TEST(DayFileRow, ReadsTheRowsTheWriterWritesForTheirOwnGroup) {
    std::string row = writtenRow();
    RowTime time;
    ASSERT_TRUE(timeOf(row, 4, time));
    EXPECT_EQ(time.hour, 13);
    EXPECT_EQ(time.minute, 5);
    EXPECT_EQ(time.second, 42);
    EXPECT_EQ(time.tenths, 5);
    EXPECT_EQ(time.hundredths, 5);
    double values[kPensPerGroup];
    ASSERT_TRUE(valuesOf(row, 4, values));
    EXPECT_EQ(values[0], 12.345);
    EXPECT_EQ(values[1], 0) << "a blank field reads as 0";
    EXPECT_EQ(values[2], 1);
    EXPECT_EQ(values[3], 123000);
    EXPECT_EQ(values[4], -0.5);
    EXPECT_EQ(values[6], 99.999);

    ASSERT_TRUE(timeOf(writtenRow(4, kCycle10s), 4, time));
    EXPECT_EQ(time.tenths, 0) << "blank milliseconds";
    ASSERT_TRUE(timeOf(writtenRow(0), 0, time));
    EXPECT_EQ(time.tenths * 100 + time.hundredths * 10, 550);

    EXPECT_FALSE(timeOf(writtenRow(0), 4, time));
    EXPECT_FALSE(timeOf(writtenRow(4), 0, time));
    EXPECT_FALSE(valuesOf(writtenRow(4), 0, values));
    EXPECT_FALSE(timeOf(writtenRow(4), -1, time));
    EXPECT_FALSE(timeOf(writtenRow(4), kGroupCount, time));
}

TEST(DayFileRow, ReadsTheSameUnderADecimalCommaLocale) {
    std::string row = writtenRow();
    test::ScopedCommaLocale comma;
    if (!comma.active()) GTEST_SKIP() << "no comma locale could be built";
    setField(row, 5, "   1.500E-01");
    double values[kPensPerGroup];
    ASSERT_TRUE(valuesOf(row, 4, values));
    EXPECT_EQ(values[0], 12.345);
    EXPECT_EQ(values[3], 123000) << "exponent form";
    EXPECT_EQ(values[5], 0.15);
}

struct Damage {
    const char* name;
    std::function<void(std::string&)> apply;
    bool timeReadable;
    bool valuesReadable;
};

void PrintTo(const Damage& damage, std::ostream* os) { *os << damage.name; }

class DamagedRow : public ::testing::TestWithParam<Damage> {};

TEST_P(DamagedRow, IsRejectedWhereTheDamageLies) {
    std::string row = writtenRow();
    GetParam().apply(row);
    RowTime time;
    double values[kPensPerGroup];
    EXPECT_EQ(timeOf(row, 4, time), GetParam().timeReadable);
    EXPECT_EQ(valuesOf(row, 4, values), GetParam().valuesReadable);
}

INSTANTIATE_TEST_SUITE_P(
    Damages, DamagedRow,
    ::testing::Values(
        Damage{"OneByteShort", [](std::string& r) { r.erase(100, 1); }, false, false},
        Damage{"OneByteLong", [](std::string& r) { r.insert(100, "7"); }, false, false},
        Damage{"NoLineFeed", [](std::string& r) { r.back() = ' '; }, false, false},
        Damage{"CarriageReturn", [](std::string& r) { r.back() = '\r'; }, false, false},
        Damage{"NoColon", [](std::string& r) { r[5] = '-'; }, false, false},
        Damage{"PenCommaMoved", [](std::string& r) { r[14 + 13 * 7] = ' '; }, false, false},
        Damage{"Hour24", [](std::string& r) { r.replace(0, 2, "24"); }, false, true},
        Damage{"Minute60", [](std::string& r) { r.replace(3, 2, "60"); }, false, true},
        Damage{"SecondNotDigits", [](std::string& r) { r.replace(6, 2, "4x"); }, false, true},
        Damage{"MillisecondsGarbage", [](std::string& r) { r[10] = 'x'; }, false, true},
        Damage{"SpaceInsideNumber", [](std::string& r) { setField(r, 5, "    12 34.00"); }, true,
               false},
        Damage{"Letters", [](std::string& r) { setField(r, 0, "         abc"); }, true, false},
        Damage{"ZeroByte", [](std::string& r) { r[15 + 13 * 2 + 11] = '\0'; }, true, false},
        Damage{"HighByte", [](std::string& r) { r[15 + 13 * 2 + 3] = '\xA0'; }, true, false}),
    [](const ::testing::TestParamInfo<Damage>& info) { return std::string(info.param.name); });

TEST(DayFileRow, FieldsThatReadAsNoNumberBecomeNoData) {
    std::string row = writtenRow();
    setField(row, 0, "         nan");
    setField(row, 4, "        -inf");
    setField(row, 6, "     1.0E999");
    double values[kPensPerGroup];
    ASSERT_TRUE(valuesOf(row, 4, values));
    EXPECT_EQ(values[0], kNoData);
    EXPECT_EQ(values[4], kNoData);
    EXPECT_EQ(values[6], kNoData);
    EXPECT_EQ(values[3], 123000);
}

// Values written in every plain form come back exactly as a full decimal
// conversion of their field reads them.
TEST(DayFileRow, PlainFieldsReadExactlyAsAFullConversion) {
    std::mt19937_64 random(42);
    std::string row = writtenRow();
    for (int round = 0; round < 50000; ++round) {
        double magnitude = std::pow(10.0, static_cast<double>(random() % 12) - 3);
        double value = (static_cast<double>(random() % 2000001) / 1000000.0 - 1.0) * magnitude;
        char text[400];
        std::snprintf(text, sizeof text, "%12.*f", static_cast<int>(random() % 4), value);
        std::string field = std::string(text).substr(0, 12);
        setField(row, 0, field.c_str());
        double values[kPensPerGroup];
        ASSERT_TRUE(valuesOf(row, 4, values)) << field;
        double expected = std::strtod(field.c_str(), nullptr);
        ASSERT_EQ(std::memcmp(&values[0], &expected, sizeof expected), 0) << "'" << field << "'";
    }
}

// Random byte ranges, some of them of a row's length, never make the
// readers touch a byte outside the range (run under AddressSanitizer).
TEST(DayFileRow, RandomBytesAreReadWithinTheirRange) {
    std::mt19937 random(20260307);
    const std::string good = writtenRow();
    for (int round = 0; round < 20000; ++round) {
        int group = static_cast<int>(random() % 13) - 1;
        size_t length = random() % 3 == 0 ? random() % 200 : static_cast<size_t>(rowLengthOf(group < 0 ? 1 : group));
        std::vector<char> bytes(length);
        for (size_t at = 0; at < length; ++at) {
            bytes[at] = at < good.size() && random() % 8 != 0 ? good[at] : static_cast<char>(random());
        }
        RowTime time;
        double values[kPensPerGroup];
        if (parseRowTime(bytes.data(), length, group, time)) {
            ASSERT_LE(time.hour, 23);
            ASSERT_LE(time.tenths, 9);
        }
        if (parseRowValues(bytes.data(), length, group, values)) {
            for (int pen = 0; pen < pensOfGroup(group); ++pen) ASSERT_TRUE(std::isfinite(values[pen]));
        }
    }
}

}  // namespace
}  // namespace kvt
