#include "core/SettingsPlausibility.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>

#include "core/Defaults.h"

namespace kvt {
namespace {

ConfigurationRecord defaults(int language) {
    ConfigurationRecord record{};
    fillDefaults(record, language, {2026, 2, 28});
    return record;
}

TEST(SettingsPlausibility, EveryRecordTheProgramWritesIsPlausible) {
    EXPECT_EQ(firstImplausibleField(defaults(1)), nullptr);
    EXPECT_EQ(firstImplausibleField(defaults(0)), nullptr);
    // The ends of every range the dialogs allow.
    ConfigurationRecord record = defaults(1);
    record.operatingMode = kNormalMode;
    record.graphDirection = 2;
    record.storagePeriodDays = 1;
    record.commPort = kCommPortTcp;
    record.scalePen[3] = 12;
    record.selectedPen[3] = 11;
    record.ipAddress[0] = 255;
    record.ipAddress[1] = 0;
    GroupRecordingSettings& group = record.group(10);
    group.storingCycle = kCycle1min;
    group.storingMode = kAuto;
    group.autoStartYear = 2099;
    group.autoDurationHours = 23;
    group.autoDurationMinutes = 59;
    group.triggerNode = 0;  // the recording dialog accepts "0"
    group.postTriggerCount = 1200;
    PenSettings& pen = record.pen(4, 7);
    pen.channel = kMod15HighestChannel;
    pen.analogType = 14;
    pen.decimalPlaces = 3;
    pen.movingAverage = 15;
    pen.penColour = rgb(255, 255, 255);
    pen.alarmLimitLow = kNoData;
    EXPECT_EQ(firstImplausibleField(record), nullptr);
}

struct Damage {
    const char* field;
    std::function<void(ConfigurationRecord&)> apply;
};

TEST(SettingsPlausibility, EachFieldOutsideItsRangeIsNamed) {
    const Damage damages[] = {
        {"version", [](ConfigurationRecord& r) { std::memcpy(r.version, "1.02", 4); }},
        {"version", [](ConfigurationRecord& r) { r.version[5] = '\0'; }},
        {"operatingMode", [](ConfigurationRecord& r) { r.operatingMode = 3; }},
        {"graphDirection", [](ConfigurationRecord& r) { r.graphDirection = -1; }},
        {"graphDrawMode", [](ConfigurationRecord& r) { r.graphDrawMode = 2; }},
        {"temperatureUnit", [](ConfigurationRecord& r) { r.temperatureUnit = 7; }},
        {"storagePeriodDays", [](ConfigurationRecord& r) { r.storagePeriodDays = 0; }},
        {"storagePeriodDays", [](ConfigurationRecord& r) { r.storagePeriodDays = 1000; }},
        {"oldestKeptDate", [](ConfigurationRecord& r) { r.oldestKeptDate[1] = 13; }},
        {"oldestKeptDate", [](ConfigurationRecord& r) { r.oldestKeptDate[0] = 0; }},
        {"commPort", [](ConfigurationRecord& r) { r.commPort = 6; }},
        {"scalePen", [](ConfigurationRecord& r) { r.scalePen[10] = 13; }},
        {"selectedPen", [](ConfigurationRecord& r) { r.selectedPen[0] = 12; }},
        {"highSpeedNode.number", [](ConfigurationRecord& r) { r.highSpeedNode.number = 32; }},
        {"highSpeedNode.type", [](ConfigurationRecord& r) { r.highSpeedNode.type = 15; }},
        {"nodeEnabled", [](ConfigurationRecord& r) { r.nodeEnabled[30] = 2; }},
        {"nodeType", [](ConfigurationRecord& r) { r.nodeType[5] = -1; }},
        {"ipAddress", [](ConfigurationRecord& r) { r.ipAddress[3] = 256; }},
        {"highSpeedRecording.storingMode",
         [](ConfigurationRecord& r) { r.highSpeedRecording.storingMode = kAuto; }},
        {"highSpeedRecording.triggerCounts",
         [](ConfigurationRecord& r) { r.highSpeedRecording.preTriggerCount = 1201; }},
        {"storingCycle", [](ConfigurationRecord& r) { r.group(3).storingCycle = 6; }},
        {"storingMode", [](ConfigurationRecord& r) { r.group(1).storingMode = 5; }},
        {"autoMethod", [](ConfigurationRecord& r) { r.group(2).autoMethod = 2; }},
        {"autoStartDate", [](ConfigurationRecord& r) { r.group(4).autoStartDay = 32; }},
        {"autoStartTime", [](ConfigurationRecord& r) { r.group(5).autoStartSecond = 60; }},
        {"autoDuration", [](ConfigurationRecord& r) { r.group(6).autoDurationHours = 1 << 30; }},
        {"triggerCondition", [](ConfigurationRecord& r) { r.group(7).triggerCondition = 2; }},
        {"triggerNode", [](ConfigurationRecord& r) { r.group(8).triggerNode = 32; }},
        {"triggerCounts", [](ConfigurationRecord& r) { r.group(9).postTriggerCount = -1; }},
        {"pen flags", [](ConfigurationRecord& r) { r.pen(10, 11).enabled = 0xFFFFFF; }},
        {"pen node", [](ConfigurationRecord& r) { r.pen(1, 0).node = 40; }},
        {"pen channel", [](ConfigurationRecord& r) { r.pen(1, 0).channel = 2143; }},
        {"pen analogType", [](ConfigurationRecord& r) { r.pen(1, 0).analogType = 15; }},
        {"pen options", [](ConfigurationRecord& r) { r.pen(1, 0).logScale = 2; }},
        {"pen decimalPlaces", [](ConfigurationRecord& r) { r.pen(1, 0).decimalPlaces = 4; }},
        {"pen movingAverage", [](ConfigurationRecord& r) { r.pen(1, 0).movingAverage = 16; }},
        {"pen logDecadesIndex", [](ConfigurationRecord& r) { r.pen(1, 0).logDecadesIndex = 5; }},
        {"pen alarm flags", [](ConfigurationRecord& r) { r.pen(1, 0).discreteAlarm[1] = 3; }},
        {"pen alarm outputs", [](ConfigurationRecord& r) { r.pen(1, 0).alarmOutputChannel[0] = 5; }},
        {"pen discreteAlarmDelay",
         [](ConfigurationRecord& r) { r.pen(1, 0).discreteAlarmDelay[0] = -1; }},
        {"pen real values", [](ConfigurationRecord& r) { r.pen(2, 3).scaleHigh = NAN; }},
        {"pen real values", [](ConfigurationRecord& r) { r.pen(2, 3).deadbandLow = INFINITY; }},
        {"pen texts", [](ConfigurationRecord& r) { std::memset(r.pen(0, 0).tag, 'A', 17); }},
        {"pen texts", [](ConfigurationRecord& r) { std::memset(r.pen(0, 0).onText, 'A', 11); }},
        {"pen colours", [](ConfigurationRecord& r) { r.pen(0, 0).highAlarmColour = 0xFF000000u; }},
    };
    for (const Damage& damage : damages) {
        ConfigurationRecord record = defaults(1);
        damage.apply(record);
        const char* found = firstImplausibleField(record);
        ASSERT_NE(found, nullptr) << damage.field;
        EXPECT_STREQ(found, damage.field);
    }
}

TEST(SettingsPlausibility, FilesOfRepeatedBytesAreNotPlausible) {
    for (int byte : {0x00, 0xFF, 0x31, 0x20}) {
        ConfigurationRecord record{};
        std::memset(&record, byte, sizeof record);
        EXPECT_NE(firstImplausibleField(record), nullptr) << byte;
    }
}

}  // namespace
}  // namespace kvt
