#include "core/Defaults.h"

#include <cstdio>
#include <cstring>

#include "core/DeviceTables.h"
#include "core/FieldText.h"
#include "platform/Clock.h"

namespace kvt {

const char kVersionMark[7] = "1.01  ";

namespace {

constexpr Colour kPenColours[kPensPerGroup] = {
    rgb(0, 0, 255),   rgb(0, 255, 0),   rgb(255, 0, 0),   rgb(0, 0, 128),
    rgb(0, 128, 128), rgb(0, 255, 255), rgb(128, 128, 0), rgb(128, 0, 128),
    rgb(0, 0, 102),   rgb(0, 102, 0),   rgb(102, 0, 0),   rgb(204, 102, 204),
};

// Shift-JIS: full-width digits are 0x82 0x4F ("０") to 0x82 0x58 ("９").
void appendFullWidthNumber(char* out, size_t capacity, int number) {
    char digits[12];  // room for any int
    std::snprintf(digits, sizeof digits, "%d", number);
    for (const char* digit = digits; *digit != '\0'; ++digit) {
        const char pair[3] = {'\x82', static_cast<char>(0x4F + (*digit - '0')), '\0'};
        std::strncat(out, pair, capacity - std::strlen(out) - 1);
    }
}

void fillPen(PenSettings& pen, int language, int group, int index) {
    const AnalogTypeInfo& row = analogTypes[0];
    pen.enabled = (group == 0 && index < kHighSpeedPens) || group == 1 ? 1 : 0;
    pen.shown = 1;
    pen.isDiscrete = 0;
    defaultTag(pen.tag, language, group, index);
    setFieldText(pen.unit, "mA");
    pen.node = group == 0 ? 1 : group;
    pen.channel = index + 1;
    pen.analogType = 0;
    pen.logScale = 0;
    pen.decimalPlaces = 2;
    setTypedValue(pen.inputLow, pen.inputLowText, row.celsiusRange[0]);
    setTypedValue(pen.inputHigh, pen.inputHighText, row.celsiusRange[1]);
    setTypedValue(pen.scaleLow, pen.scaleLowText, row.celsiusRange[2]);
    setTypedValue(pen.scaleHigh, pen.scaleHighText, row.celsiusRange[3]);
    setTypedValue(pen.plotLow, pen.plotLowText, "0.0");
    setTypedValue(pen.plotHigh, pen.plotHighText, "100.0");
    pen.logDecadesIndex = 0;
    pen.logLowExponent = -1;
    setFieldText(pen.offText, "OFF");
    setFieldText(pen.onText, "ON");
    pen.penColour = kPenColours[index];
    pen.lowNormalColour = rgb(0, 255, 0);
    pen.lowAlarmColour = rgb(255, 255, 0);
    pen.highNormalColour = rgb(0, 255, 0);
    pen.highAlarmColour = rgb(255, 255, 0);
    pen.alarmLimitLow = kNoData;
    pen.alarmLimitHigh = kNoData;
    pen.deadbandLow = kNoData;
    pen.deadbandHigh = kNoData;
    for (int slot = 0; slot < 2; ++slot) {
        pen.alarmOutputNode[slot] = 1;
        pen.alarmOutputChannel[slot] = 1;
        pen.discreteOutputNode[slot] = 1;
        pen.discreteOutputChannel[slot] = 1;
    }
}

void fillGroupRecording(GroupRecordingSettings& group) {
    group = GroupRecordingSettings{};
    group.autoStartYear = 2007;
    group.autoStartMonth = 1;
    group.autoStartDay = 1;
    group.autoDurationMinutes = 1;
    group.triggerNode = 1;
    group.preTriggerCount = 1200;
    group.postTriggerCount = 1200;
}

}  // namespace

void defaultTag(char (&tag)[17], int language, int group, int pen) {
    char text[64] = {};
    if (language == 1) {
        std::snprintf(text, sizeof text, "Group%d Pen%d", group, pen + 1);
    } else {
        // "%sグループ%s番" in Shift-JIS with full-width digits.
        appendFullWidthNumber(text, sizeof text, group);
        std::strncat(text, "\x83\x4F\x83\x8B\x81\x5B\x83\x76", sizeof text - std::strlen(text) - 1);
        appendFullWidthNumber(text, sizeof text, pen + 1);
        std::strncat(text, "\x94\xD4", sizeof text - std::strlen(text) - 1);
    }
    setFieldText(tag, text);
}

void fillDefaults(ConfigurationRecord& record, int language, CalendarDate oldestKept) {
    std::memset(&record, 0, sizeof record);
    std::memcpy(record.version, kVersionMark, 6);
    record.storagePeriodDays = 999;
    record.oldestKeptDate[0] = oldestKept.year;
    record.oldestKeptDate[1] = oldestKept.month;
    record.oldestKeptDate[2] = oldestKept.day;
    record.highSpeedNode.number = 1;
    record.highSpeedNode.type = kMod15Type;
    record.highSpeedNode.cjcMask[0] = record.highSpeedNode.cjcMask[1] = 0xFF;
    for (int node = 0; node < kNodeCount; ++node) {
        record.nodeEnabled[node] = node == 0 ? 1 : 0;
        record.nodeType[node] = kMod15Type;
        record.cjcMask[node][0] = record.cjcMask[node][1] = 0xFF;
    }
    for (int octet = 0; octet < 4; ++octet) record.ipAddress[octet] = 200;
    record.highSpeedRecording = {0, 0, 1200, 1200};
    for (GroupRecordingSettings& group : record.recording) fillGroupRecording(group);
    for (int group = 0; group < kGroupCount; ++group) {
        for (int pen = 0; pen < kPensPerGroup; ++pen) {
            if (group == 0 && pen >= kHighSpeedPens) {
                record.pens[group][pen].enabled = 0;  // the rest stays zero
                continue;
            }
            fillPen(record.pens[group][pen], language, group, pen);
        }
    }
}

CalendarDate yesterday() { return localDateOf(activeClock().epochSeconds() - 86400); }

}  // namespace kvt
