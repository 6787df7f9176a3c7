#include <gtest/gtest.h>

#include <cstring>

#include "core/ConfigurationRecord.h"
#include "core/DeviceTables.h"

namespace kvt {
namespace {

TEST(ConfigurationRecord, PenRecordsLieWhereTheFileExpectsThem) {
    ConfigurationRecord record{};
    auto* base = reinterpret_cast<const char*>(&record);
    for (int group = 0; group < kGroupCount; ++group) {
        for (int pen = 0; pen < kPensPerGroup; ++pen) {
            auto* address = reinterpret_cast<const char*>(&record.pen(group, pen));
            EXPECT_EQ(address - base, 1088 + (group * 12 + pen) * 384);
        }
    }
    for (int group = 1; group <= kTrendGroupCount; ++group) {
        auto* address = reinterpret_cast<const char*>(&record.group(group));
        EXPECT_EQ(address - base, 488 + 60 * (group - 1));
    }
}

TEST(ConfigurationRecord, NoDataIsTheExactBitPattern) {
    uint64_t bits = 0;
    std::memcpy(&bits, &kNoData, sizeof bits);
    EXPECT_EQ(bits, 0x4202A05F20000000ull);
}

TEST(DeviceTables, ResponseLengthFollowsRegisterCount) {
    for (const DeviceTypeInfo& type : deviceTypes) {
        if (type.registerCount == 0) continue;
        EXPECT_EQ(type.responseBytes, 5 + 2 * type.registerCount) << type.name;
    }
    EXPECT_STREQ(deviceTypes[kMod15Type].name, "MOD-15");
    EXPECT_EQ(deviceTypes[kMod15Type].highestDiscreteChannel, 1);
    EXPECT_EQ(deviceTypes[12].highestDiscreteChannel, 1024);
}

TEST(DeviceTables, AnalogTypesEndWithTheMarkerAndApplyToPowerMeters) {
    EXPECT_EQ(analogTypes[15].deviceType, kAnalogTypeEndMarker);
    const int expectedKinds[15] = {21, 23, 21, 21, 21, 24, 23, 21, 22, 22, 22, 22, 22, 25, 21};
    const char* expectedNames[15] = {"I",  "U",  "P",  "Q",     "S",   "PF", "F", "DIR",
                                     "EP", "EQ", "ES", "TIMER", "THD", "HD", "UT"};
    for (int row = 0; row < 15; ++row) {
        EXPECT_EQ(analogTypes[row].deviceType, kMod15Type);
        EXPECT_EQ(analogTypes[row].dataKind, expectedKinds[row]);
        EXPECT_STREQ(analogTypes[row].name, expectedNames[row]);
        for (int text = 0; text < 4; ++text) {
            EXPECT_STREQ(analogTypes[row].celsiusRange[text], analogTypes[row].fahrenheitRange[text]);
        }
    }
    EXPECT_STREQ(analogTypes[1].celsiusRange[1], "2.00e7");
    EXPECT_STREQ(analogTypes[14].celsiusRange[0], "-180");
}

}  // namespace
}  // namespace kvt
