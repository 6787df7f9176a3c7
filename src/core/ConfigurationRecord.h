#pragma once
#include <cstddef>
#include <cstdint>

#include "platform/Colour.h"

namespace kvt {

// Counts and limits of the model.
constexpr int kNodeCount = 31;
constexpr int kGroupCount = 11;       // group 0 (high speed) and groups 1-10
constexpr int kTrendGroupCount = 10;  // groups 1-10
constexpr int kPensPerGroup = 12;
constexpr int kHighSpeedPens = 8;
constexpr int kHighSpeedGroup = 0;
constexpr int kAlarmOutputsPerNode = 4;
constexpr int kMod15HighestChannel = 2142;

// Pens a group has: 8 in the high-speed group, 12 in groups 1-10.
constexpr int pensOfGroup(int group) {
    return group == kHighSpeedGroup ? kHighSpeedPens : kPensPerGroup;
}

// The value stored where a pen has no value and where a setpoint or dead
// band is unset; always compared exactly.
constexpr double kNoData = 1e10;

// Storing cycle codes of groups 1-10.
enum StoringCycle : int { kCycleHalfSecond = 0, kCycle1s, kCycle2s, kCycle5s, kCycle10s, kCycle1min };
// Storing modes.
enum StoringMode : int { kNoRecording = 0, kNormal, kRemoteTrigger, kEventRecording, kAuto };
// The storing mode in words for the ways out (status, published rows,
// export): "no recording", "normal", "remote trigger", "event recording",
// "auto"; "unknown" for any other value.
const char* storingModeName(int mode);
// Operating modes.
enum OperatingMode : int { kDemoMode = 0, kHighSpeedMode = 1, kNormalMode = 2 };
constexpr int kCommPortTcp = 5;

struct GroupRecordingSettings {
    int32_t storingCycle;
    int32_t storingMode;
    int32_t autoMethod;  // 0 one time only, 1 every day
    int32_t autoStartYear;
    int32_t autoStartMonth;
    int32_t autoStartDay;
    int32_t autoStartHour;
    int32_t autoStartMinute;
    int32_t autoStartSecond;
    int32_t autoDurationHours;
    int32_t autoDurationMinutes;
    int32_t triggerCondition;  // 0 ON / rise, 1 OFF / sink
    int32_t triggerNode;
    int32_t preTriggerCount;
    int32_t postTriggerCount;
};

struct HighSpeedRecordingSettings {
    int32_t storingMode;
    int32_t triggerCondition;
    int32_t preTriggerCount;
    int32_t postTriggerCount;
};

struct HighSpeedNode {
    int32_t number;
    int32_t type;
    uint8_t cjcMask[2];
    uint8_t reserved[2];
};

// One pen's settings. Low/high pairs hold the lower and upper limit of an
// analog pen, or the OFF (slot 0) and ON (slot 1) state of a discrete pen.
// Every range is kept twice: as the double and as the text the user typed.
struct PenSettings {
    int32_t enabled;
    int32_t shown;
    int32_t isDiscrete;
    char tag[17];
    char unit[7];
    int32_t node;
    int32_t channel;
    int32_t analogType;
    int32_t logScale;
    int32_t decimalPlaces;
    int32_t squareRoot;
    int32_t movingAverage;
    int32_t reserved64;
    int32_t padding68;
    double inputLow;
    double inputHigh;
    char inputLowText[9];
    char inputHighText[9];
    char padding106[6];
    double scaleLow;
    double scaleHigh;
    char scaleLowText[9];
    char scaleHighText[9];
    char padding146[6];
    double plotLow;
    double plotHigh;
    char plotLowText[9];
    char plotHighText[9];
    char padding186[2];
    int32_t logDecadesIndex;
    int32_t logLowExponent;
    char offText[11];
    char onText[11];
    char padding218[2];
    int32_t thickLine;
    Colour penColour;
    Colour lowNormalColour;
    Colour lowAlarmColour;
    Colour highNormalColour;
    Colour highAlarmColour;
    int32_t padding244;
    double alarmLimitLow;
    double alarmLimitHigh;
    char alarmLimitLowText[9];
    char alarmLimitHighText[9];
    char padding282[6];
    double deadbandLow;
    double deadbandHigh;
    char deadbandLowText[9];
    char deadbandHighText[9];
    char padding322[2];
    int32_t alarmOutput[2];
    int32_t alarmOutputNode[2];
    int32_t alarmOutputChannel[2];
    int32_t discreteAlarm[2];
    int32_t discreteAlarmDelay[2];
    int32_t discreteOutputNode[2];
    int32_t discreteOutputChannel[2];
    int32_t padding380;
};

// Every setting of the recorder; also the exact byte image of the settings
// file (little-endian integers, IEEE doubles, NUL-padded texts).
struct ConfigurationRecord {
    char version[6];
    char reserved6[2];
    int32_t operatingMode;
    int32_t graphDirection;
    int32_t graphDrawMode;
    int32_t temperatureUnit;
    int32_t storagePeriodDays;
    int32_t oldestKeptDate[3];  // year, month, day
    int32_t commPort;
    int32_t scalePen[kGroupCount];
    int32_t selectedPen[kGroupCount];
    HighSpeedNode highSpeedNode;
    int32_t nodeEnabled[kNodeCount];
    int32_t nodeType[kNodeCount];
    uint8_t cjcMask[kNodeCount][2];
    uint8_t reserved454[2];
    int32_t ipAddress[4];
    HighSpeedRecordingSettings highSpeedRecording;
    GroupRecordingSettings recording[kTrendGroupCount];  // groups 1-10
    PenSettings pens[kGroupCount][kPensPerGroup];

    PenSettings& pen(int group, int pen) { return pens[group][pen]; }
    const PenSettings& pen(int group, int pen) const { return pens[group][pen]; }
    // Recording settings of group 1-10.
    GroupRecordingSettings& group(int group) { return recording[group - 1]; }
    const GroupRecordingSettings& group(int group) const { return recording[group - 1]; }
};

constexpr size_t kConfigurationRecordSize = 51776;

// The two instances: the live configuration read by every thread, and the
// working copy the settings dialogs edit.
extern ConfigurationRecord liveConfiguration;
extern ConfigurationRecord workingConfiguration;

// Layout checks: the struct is the file format.
static_assert(sizeof(GroupRecordingSettings) == 60);
static_assert(sizeof(PenSettings) == 384);
static_assert(sizeof(ConfigurationRecord) == kConfigurationRecordSize);
static_assert(offsetof(ConfigurationRecord, operatingMode) == 8);
static_assert(offsetof(ConfigurationRecord, graphDirection) == 12);
static_assert(offsetof(ConfigurationRecord, graphDrawMode) == 16);
static_assert(offsetof(ConfigurationRecord, temperatureUnit) == 20);
static_assert(offsetof(ConfigurationRecord, storagePeriodDays) == 24);
static_assert(offsetof(ConfigurationRecord, oldestKeptDate) == 28);
static_assert(offsetof(ConfigurationRecord, commPort) == 40);
static_assert(offsetof(ConfigurationRecord, scalePen) == 44);
static_assert(offsetof(ConfigurationRecord, selectedPen) == 88);
static_assert(offsetof(ConfigurationRecord, highSpeedNode) == 132);
static_assert(offsetof(ConfigurationRecord, highSpeedNode.type) == 136);
static_assert(offsetof(ConfigurationRecord, highSpeedNode.cjcMask) == 140);
static_assert(offsetof(ConfigurationRecord, nodeEnabled) == 144);
static_assert(offsetof(ConfigurationRecord, nodeType) == 268);
static_assert(offsetof(ConfigurationRecord, cjcMask) == 392);
static_assert(offsetof(ConfigurationRecord, reserved454) == 454);
static_assert(offsetof(ConfigurationRecord, ipAddress) == 456);
static_assert(offsetof(ConfigurationRecord, highSpeedRecording) == 472);
static_assert(offsetof(ConfigurationRecord, recording) == 488);
static_assert(offsetof(ConfigurationRecord, pens) == 1088);

static_assert(offsetof(GroupRecordingSettings, storingMode) == 4);
static_assert(offsetof(GroupRecordingSettings, autoStartYear) == 12);
static_assert(offsetof(GroupRecordingSettings, autoDurationHours) == 36);
static_assert(offsetof(GroupRecordingSettings, triggerCondition) == 44);
static_assert(offsetof(GroupRecordingSettings, triggerNode) == 48);
static_assert(offsetof(GroupRecordingSettings, preTriggerCount) == 52);
static_assert(offsetof(GroupRecordingSettings, postTriggerCount) == 56);

static_assert(offsetof(PenSettings, shown) == 4);
static_assert(offsetof(PenSettings, isDiscrete) == 8);
static_assert(offsetof(PenSettings, tag) == 12);
static_assert(offsetof(PenSettings, unit) == 29);
static_assert(offsetof(PenSettings, node) == 36);
static_assert(offsetof(PenSettings, channel) == 40);
static_assert(offsetof(PenSettings, analogType) == 44);
static_assert(offsetof(PenSettings, logScale) == 48);
static_assert(offsetof(PenSettings, decimalPlaces) == 52);
static_assert(offsetof(PenSettings, squareRoot) == 56);
static_assert(offsetof(PenSettings, movingAverage) == 60);
static_assert(offsetof(PenSettings, reserved64) == 64);
static_assert(offsetof(PenSettings, inputLow) == 72);
static_assert(offsetof(PenSettings, inputHigh) == 80);
static_assert(offsetof(PenSettings, inputLowText) == 88);
static_assert(offsetof(PenSettings, inputHighText) == 97);
static_assert(offsetof(PenSettings, scaleLow) == 112);
static_assert(offsetof(PenSettings, scaleHigh) == 120);
static_assert(offsetof(PenSettings, scaleLowText) == 128);
static_assert(offsetof(PenSettings, scaleHighText) == 137);
static_assert(offsetof(PenSettings, plotLow) == 152);
static_assert(offsetof(PenSettings, plotHigh) == 160);
static_assert(offsetof(PenSettings, plotLowText) == 168);
static_assert(offsetof(PenSettings, plotHighText) == 177);
static_assert(offsetof(PenSettings, logDecadesIndex) == 188);
static_assert(offsetof(PenSettings, logLowExponent) == 192);
static_assert(offsetof(PenSettings, offText) == 196);
static_assert(offsetof(PenSettings, onText) == 207);
static_assert(offsetof(PenSettings, thickLine) == 220);
static_assert(offsetof(PenSettings, penColour) == 224);
static_assert(offsetof(PenSettings, lowNormalColour) == 228);
static_assert(offsetof(PenSettings, lowAlarmColour) == 232);
static_assert(offsetof(PenSettings, highNormalColour) == 236);
static_assert(offsetof(PenSettings, highAlarmColour) == 240);
static_assert(offsetof(PenSettings, alarmLimitLow) == 248);
static_assert(offsetof(PenSettings, alarmLimitHigh) == 256);
static_assert(offsetof(PenSettings, alarmLimitLowText) == 264);
static_assert(offsetof(PenSettings, alarmLimitHighText) == 273);
static_assert(offsetof(PenSettings, deadbandLow) == 288);
static_assert(offsetof(PenSettings, deadbandHigh) == 296);
static_assert(offsetof(PenSettings, deadbandLowText) == 304);
static_assert(offsetof(PenSettings, deadbandHighText) == 313);
static_assert(offsetof(PenSettings, alarmOutput) == 324);
static_assert(offsetof(PenSettings, alarmOutputNode) == 332);
static_assert(offsetof(PenSettings, alarmOutputChannel) == 340);
static_assert(offsetof(PenSettings, discreteAlarm) == 348);
static_assert(offsetof(PenSettings, discreteAlarmDelay) == 356);
static_assert(offsetof(PenSettings, discreteOutputNode) == 364);
static_assert(offsetof(PenSettings, discreteOutputChannel) == 372);
static_assert(offsetof(PenSettings, padding380) == 380);

}  // namespace kvt
