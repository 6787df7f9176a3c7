#include "core/SettingsPlausibility.h"

#include <cmath>
#include <cstring>
#include <initializer_list>

#include "core/DeviceTables.h"

namespace kvt {
namespace {

constexpr int kLastOperatingMode = kNormalMode;
constexpr int kLastGraphDirection = 2;
constexpr int kLongestStoragePeriod = 999;
constexpr int kLastAnalogType = kAnalogTypeRows - 2;  // the last row ends the table
constexpr int kMostTriggerSamples = 1200;
constexpr int kMostMovingAverage = 15;
constexpr int kLastLogDecadesIndex = 4;
constexpr int kMostDecimalPlaces = 3;
constexpr int kHighestChannel = kMod15HighestChannel;

bool inRange(int value, int low, int high) { return value >= low && value <= high; }
bool isFlag(int value) { return value == 0 || value == 1; }

template <size_t N>
bool isTerminated(const char (&text)[N]) {
    return std::memchr(text, '\0', N) != nullptr;
}

// A COLORREF: red, green and blue bytes, the top byte zero.
bool isColour(Colour colour) { return (colour >> 24) == 0; }

const char* checkTopLevel(const ConfigurationRecord& record) {
    if (std::memcmp(record.version, "1.01  ", 6) != 0) return "version";
    if (!inRange(record.operatingMode, kDemoMode, kLastOperatingMode)) return "operatingMode";
    if (!inRange(record.graphDirection, 0, kLastGraphDirection)) return "graphDirection";
    if (!isFlag(record.graphDrawMode)) return "graphDrawMode";
    if (!isFlag(record.temperatureUnit)) return "temperatureUnit";
    if (!inRange(record.storagePeriodDays, 1, kLongestStoragePeriod)) return "storagePeriodDays";
    if (!isPlausibleDate(record.oldestKeptDate)) return "oldestKeptDate";
    if (!inRange(record.commPort, 0, kCommPortTcp)) return "commPort";
    for (int group = 0; group < kGroupCount; ++group) {
        if (!inRange(record.scalePen[group], 0, kPensPerGroup)) return "scalePen";
        if (!inRange(record.selectedPen[group], 0, kPensPerGroup - 1)) return "selectedPen";
    }
    if (!inRange(record.highSpeedNode.number, 1, kNodeCount)) return "highSpeedNode.number";
    if (!inRange(record.highSpeedNode.type, 0, kDeviceTypeCount - 1)) return "highSpeedNode.type";
    for (int node = 0; node < kNodeCount; ++node) {
        if (!isFlag(record.nodeEnabled[node])) return "nodeEnabled";
        if (!inRange(record.nodeType[node], 0, kDeviceTypeCount - 1)) return "nodeType";
    }
    for (int32_t octet : record.ipAddress) {
        if (!inRange(octet, 0, 255)) return "ipAddress";
    }
    return nullptr;
}

const char* checkHighSpeedRecording(const HighSpeedRecordingSettings& settings) {
    if (!inRange(settings.storingMode, kNoRecording, kEventRecording)) {
        return "highSpeedRecording.storingMode";
    }
    if (!isFlag(settings.triggerCondition)) return "highSpeedRecording.triggerCondition";
    if (!inRange(settings.preTriggerCount, 0, kMostTriggerSamples) ||
        !inRange(settings.postTriggerCount, 0, kMostTriggerSamples)) {
        return "highSpeedRecording.triggerCounts";
    }
    return nullptr;
}

const char* checkGroupRecording(const GroupRecordingSettings& settings) {
    if (!inRange(settings.storingCycle, kCycleHalfSecond, kCycle1min)) return "storingCycle";
    if (!inRange(settings.storingMode, kNoRecording, kAuto)) return "storingMode";
    if (!isFlag(settings.autoMethod)) return "autoMethod";
    if (!inRange(settings.autoStartYear, 2000, 2099) || !inRange(settings.autoStartMonth, 1, 12) ||
        !inRange(settings.autoStartDay, 1, 31)) {
        return "autoStartDate";
    }
    if (!inRange(settings.autoStartHour, 0, 23) || !inRange(settings.autoStartMinute, 0, 59) ||
        !inRange(settings.autoStartSecond, 0, 59)) {
        return "autoStartTime";
    }
    if (!inRange(settings.autoDurationHours, 0, 23) ||
        !inRange(settings.autoDurationMinutes, 0, 59)) {
        return "autoDuration";
    }
    if (!isFlag(settings.triggerCondition)) return "triggerCondition";
    // The recording dialog lets a node text "0" through, so 0 is kept.
    if (!inRange(settings.triggerNode, 0, kNodeCount)) return "triggerNode";
    if (!inRange(settings.preTriggerCount, 0, kMostTriggerSamples) ||
        !inRange(settings.postTriggerCount, 0, kMostTriggerSamples)) {
        return "triggerCounts";
    }
    return nullptr;
}

const char* checkPenNumbers(const PenSettings& pen) {
    if (!isFlag(pen.enabled) || !isFlag(pen.shown) || !isFlag(pen.isDiscrete)) return "pen flags";
    // Node and channel 0 stand in the unused pens 9-12 of group 0.
    if (!inRange(pen.node, 0, kNodeCount)) return "pen node";
    if (!inRange(pen.channel, 0, kHighestChannel)) return "pen channel";
    if (!inRange(pen.analogType, 0, kLastAnalogType)) return "pen analogType";
    if (!isFlag(pen.logScale) || !isFlag(pen.squareRoot) || !isFlag(pen.thickLine)) {
        return "pen options";
    }
    if (!inRange(pen.decimalPlaces, 0, kMostDecimalPlaces)) return "pen decimalPlaces";
    if (!inRange(pen.movingAverage, 0, kMostMovingAverage)) return "pen movingAverage";
    if (!inRange(pen.logDecadesIndex, 0, kLastLogDecadesIndex)) return "pen logDecadesIndex";
    for (int slot = 0; slot < 2; ++slot) {
        if (!isFlag(pen.alarmOutput[slot]) || !isFlag(pen.discreteAlarm[slot])) {
            return "pen alarm flags";
        }
        if (!inRange(pen.alarmOutputNode[slot], 0, kNodeCount) ||
            !inRange(pen.discreteOutputNode[slot], 0, kNodeCount) ||
            !inRange(pen.alarmOutputChannel[slot], 0, kAlarmOutputsPerNode) ||
            !inRange(pen.discreteOutputChannel[slot], 0, kAlarmOutputsPerNode)) {
            return "pen alarm outputs";
        }
        if (pen.discreteAlarmDelay[slot] < 0) return "pen discreteAlarmDelay";
    }
    return nullptr;
}

const char* checkPenValues(const PenSettings& pen) {
    for (double value : {pen.inputLow, pen.inputHigh, pen.scaleLow, pen.scaleHigh, pen.plotLow,
                         pen.plotHigh, pen.alarmLimitLow, pen.alarmLimitHigh, pen.deadbandLow,
                         pen.deadbandHigh}) {
        if (!std::isfinite(value)) return "pen real values";
    }
    bool texts = isTerminated(pen.tag) && isTerminated(pen.unit) &&
                 isTerminated(pen.inputLowText) && isTerminated(pen.inputHighText) &&
                 isTerminated(pen.scaleLowText) && isTerminated(pen.scaleHighText) &&
                 isTerminated(pen.plotLowText) && isTerminated(pen.plotHighText) &&
                 isTerminated(pen.offText) && isTerminated(pen.onText) &&
                 isTerminated(pen.alarmLimitLowText) && isTerminated(pen.alarmLimitHighText) &&
                 isTerminated(pen.deadbandLowText) && isTerminated(pen.deadbandHighText);
    if (!texts) return "pen texts";
    for (Colour colour : {pen.penColour, pen.lowNormalColour, pen.lowAlarmColour,
                          pen.highNormalColour, pen.highAlarmColour}) {
        if (!isColour(colour)) return "pen colours";
    }
    return nullptr;
}

}  // namespace

bool isPlausibleDate(const int32_t (&date)[3]) {
    return inRange(date[0], 1000, 9999) && inRange(date[1], 1, 12) && inRange(date[2], 1, 31);
}

const char* firstImplausibleField(const ConfigurationRecord& record) {
    if (const char* field = checkTopLevel(record)) return field;
    if (const char* field = checkHighSpeedRecording(record.highSpeedRecording)) return field;
    for (const GroupRecordingSettings& settings : record.recording) {
        if (const char* field = checkGroupRecording(settings)) return field;
    }
    for (const auto& group : record.pens) {
        for (const PenSettings& pen : group) {
            if (const char* field = checkPenNumbers(pen)) return field;
            if (const char* field = checkPenValues(pen)) return field;
        }
    }
    return nullptr;
}

}  // namespace kvt
