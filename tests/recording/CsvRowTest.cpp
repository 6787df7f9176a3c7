#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "core/ConfigurationRecord.h"
#include "core/Defaults.h"
#include "recording/CsvRow.h"
#include "support/FakeClock.h"

namespace kvt {
namespace {

class CsvRowTest : public ::testing::Test {
protected:
    void SetUp() override {
        fillDefaults(config, 1, {2026, 1, 1});
        for (PenSettings (&group)[kPensPerGroup] : config.pens) {
            for (PenSettings& pen : group) {
                pen.enabled = 0;
                pen.inputLow = pen.scaleLow = 0;
                pen.inputHigh = pen.scaleHigh = 100;
            }
        }
        sample.time = test::makeTime(2026, 3, 7, 8, 0, 1);
        for (double& value : sample.values) value = 1.0;
    }
    std::string row(int group) {
        char bytes[kMaxRowLength + 8];
        std::memset(bytes, '#', sizeof bytes);
        int length = formatCsvRow(bytes, config, group, sample);
        EXPECT_EQ(length, rowLengthOf(group));
        return std::string(bytes, static_cast<size_t>(length));
    }
    static std::string blanks(int fields) {
        std::string text;
        for (int field = 0; field < fields; ++field) text += ",            ";
        return text;
    }

    ConfigurationRecord config{};
    SampleData sample{};
};

TEST_F(CsvRowTest, OneSecondGroupRowWithEveryKindOfField) {
    config.group(5).storingCycle = kCycle1s;
    config.group(5).storingMode = kNormal;
    PenSettings* pens = config.pens[5];
    for (int pen = 0; pen < 8; ++pen) pens[pen].enabled = 1;
    pens[0].decimalPlaces = 3;
    sample.values[0] = 12.345;
    pens[1].enabled = 0;
    sample.values[1] = 50;
    sample.values[2] = kNoData;
    pens[3].isDiscrete = 1;
    sample.values[3] = 0.5;
    pens[4].isDiscrete = 1;
    sample.values[4] = 1.0;
    pens[5].decimalPlaces = 3;
    sample.values[5] = -0.0004;
    pens[6].decimalPlaces = 3;
    sample.values[6] = -0.0006;
    pens[7].logScale = 1;
    sample.values[7] = 12.3;
    sample.values[8] = 99;  // disabled pens 9-12

    std::string expected = "08:00:01,   , ,      12.345" + blanks(2) +
                           ",           0,           1,       0.000,      -0.001,    1.23E+01" +
                           blanks(4) + "\n";
    EXPECT_EQ(row(5), expected);
}

TEST_F(CsvRowTest, HalfSecondGroupAndHighSpeedGroupWriteMilliseconds) {
    sample.time = test::makeTime(2026, 3, 7, 13, 5, 42, 550);
    EXPECT_EQ(row(1), "13:05:42,550, " + blanks(12) + "\n");
    EXPECT_EQ(row(0), "13:05:42,550, " + blanks(8) + "\n");
    sample.time.milliseconds = 5;
    config.group(2).storingCycle = kCycle1min;
    EXPECT_EQ(row(2).substr(0, 14), "13:05:42,   , ");
    EXPECT_EQ(row(0).substr(0, 14), "13:05:42,005, ");
}

TEST_F(CsvRowTest, TriggerColumnByGroupAndMode) {
    sample.trigger = 1;
    config.highSpeedRecording.storingMode = kRemoteTrigger;
    EXPECT_EQ(row(0).substr(12, 2), ",1");
    config.highSpeedRecording.storingMode = kEventRecording;
    sample.trigger = 0;
    EXPECT_EQ(row(0).substr(12, 2), ",0");
    config.highSpeedRecording.storingMode = kNormal;
    EXPECT_EQ(row(0).substr(12, 2), ", ");

    sample.trigger = 1;
    config.group(3).storingMode = kRemoteTrigger;
    EXPECT_EQ(row(3).substr(12, 2), ", ");
    config.group(3).storingMode = kEventRecording;
    EXPECT_EQ(row(3).substr(12, 2), ",1");
    sample.trigger = -1;  // never seen in a sample, but the row keeps its length
    EXPECT_EQ(row(3).substr(12, 2), ",0");
}

TEST_F(CsvRowTest, RowsKeepTheirLengthForExtremeValues) {
    for (int pen = 0; pen < kPensPerGroup; ++pen) config.pens[4][pen].enabled = 1;
    config.pens[4][0].logScale = 1;
    sample.values[0] = -1e300;
    sample.values[1] = -1e300;
    sample.values[2] = 1e300;
    sample.values[3] = -123456789012.0;
    sample.time.hour = 123;  // an impossible clock reading
    EXPECT_EQ(row(4).size(), 171u);
    EXPECT_EQ(row(4).substr(14, 13), ",  -1.00E+300");
    EXPECT_EQ(row(4).back(), '\n');
}

TEST_F(CsvRowTest, HeaderBlocksHoldTagsOrUnitsThenZerosAndALineFeed) {
    std::strcpy(config.pens[2][0].tag, "FLOW");
    std::strcpy(config.pens[2][1].tag, "0123456789ABCDEF");  // all 16 bytes
    std::strcpy(config.pens[2][2].tag, "TAG3");
    std::strcpy(config.pens[2][0].unit, "m3/h");
    char block[kHeaderBlockSize];
    formatHeaderBlock(block, config, 2, HeaderLine::Tags);
    std::string text(block);
    EXPECT_EQ(text.substr(0, 29), ",,,FLOW,0123456789ABCDEF,TAG3");
    EXPECT_EQ(std::count(text.begin(), text.end(), ','), 2 + 12);
    for (size_t index = text.size(); index < kHeaderBlockSize - 1; ++index) {
        ASSERT_EQ(block[index], '\0') << index;
    }
    EXPECT_EQ(block[kHeaderBlockSize - 1], '\n');

    formatHeaderBlock(block, config, 0, HeaderLine::Units);
    EXPECT_EQ(std::string(block), ",,,mA,mA,mA,mA,mA,mA,mA,mA");
    formatHeaderBlock(block, config, 2, HeaderLine::Units);
    EXPECT_EQ(std::string(block).substr(0, 11), ",,,m3/h,mA,");
}

}  // namespace
}  // namespace kvt
