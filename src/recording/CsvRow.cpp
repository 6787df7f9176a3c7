#include "recording/CsvRow.h"

#include <cstring>

#include "recording/ValueText.h"

namespace kvt {
namespace {

constexpr int kHeaderTextEnd = kHeaderBlockSize - 1;  // last byte is the line feed

char* putTwoDigits(char* out, int number) {
    number %= 100;
    out[0] = static_cast<char>('0' + number / 10);
    out[1] = static_cast<char>('0' + number % 10);
    return out + 2;
}

// "%02d:%02d:%02d," then "%03d" milliseconds or three spaces.
char* putTime(char* out, const SystemTime& time, bool withMilliseconds) {
    out = putTwoDigits(out, time.hour);
    *out++ = ':';
    out = putTwoDigits(out, time.minute);
    *out++ = ':';
    out = putTwoDigits(out, time.second);
    *out++ = ',';
    if (withMilliseconds) {
        int milliseconds = time.milliseconds % 1000;
        *out++ = static_cast<char>('0' + milliseconds / 100);
        out = putTwoDigits(out, milliseconds);
    } else {
        std::memcpy(out, "   ", 3);
        out += 3;
    }
    return out;
}

// ",%d" with the trigger state, or ", ". A state is one digit; anything
// else would break the fixed row length and is written as 0.
char* putTrigger(char* out, int trigger, bool withState) {
    *out++ = ',';
    *out++ = withState && trigger >= 0 && trigger <= 9 ? static_cast<char>('0' + trigger)
             : withState                                 ? '0'
                                                         : ' ';
    return out;
}

char* putPenField(char* out, const PenSettings& pen, double value) {
    *out++ = ',';
    if (pen.enabled == 0 || value == kNoData) {
        std::memset(out, ' ', kValueTextWidth);
    } else if (pen.isDiscrete != 0) {
        std::memset(out, ' ', kValueTextWidth - 1);
        out[kValueTextWidth - 1] = value == 1.0 ? '1' : '0';
    } else {
        formatValueField(out, pen, value, false);
    }
    return out + kValueTextWidth;
}

int appendHeaderText(char (&block)[kHeaderBlockSize], int used, const char* text, size_t limit) {
    size_t length = strnlen(text, limit);
    if (used + static_cast<int>(length) > kHeaderTextEnd) {
        length = static_cast<size_t>(kHeaderTextEnd - used);
    }
    std::memcpy(block + used, text, length);
    return used + static_cast<int>(length);
}

}  // namespace

bool rowHasMilliseconds(const ConfigurationRecord& config, int group) {
    return group == kHighSpeedGroup || config.group(group).storingCycle == kCycleHalfSecond;
}

bool rowHasTriggerState(const ConfigurationRecord& config, int group) {
    if (group == kHighSpeedGroup) {
        int mode = config.highSpeedRecording.storingMode;
        return mode == kRemoteTrigger || mode == kEventRecording;
    }
    return config.group(group).storingMode == kEventRecording;
}

void formatHeaderBlock(char (&block)[kHeaderBlockSize], const ConfigurationRecord& config,
                       int group, HeaderLine line) {
    std::memset(block, 0, sizeof block);
    int used = appendHeaderText(block, 0, ",,", 2);
    for (int pen = 0; pen < pensOfGroup(group); ++pen) {
        const PenSettings& settings = config.pen(group, pen);
        used = appendHeaderText(block, used, ",", 1);
        used = line == HeaderLine::Tags
                   ? appendHeaderText(block, used, settings.tag, sizeof settings.tag)
                   : appendHeaderText(block, used, settings.unit, sizeof settings.unit);
    }
    block[kHeaderTextEnd] = '\n';
}

int formatCsvRow(char* row, const ConfigurationRecord& config, int group,
                 const SampleData& sample) {
    char* out = putTime(row, sample.time, rowHasMilliseconds(config, group));
    out = putTrigger(out, sample.trigger, rowHasTriggerState(config, group));
    for (int pen = 0; pen < pensOfGroup(group); ++pen) {
        out = putPenField(out, config.pen(group, pen), sample.values[pen]);
    }
    *out++ = '\n';
    return static_cast<int>(out - row);
}

}  // namespace kvt
