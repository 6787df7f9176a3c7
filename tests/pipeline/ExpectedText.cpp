#include "ExpectedText.h"

#include <cstdio>
#include <cstring>

namespace kvt::test {
namespace {

std::string printed(const char* format, double value) {
    char text[400];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

std::string rightAligned(const std::string& text, size_t width) {
    if (text.size() >= width) return text.substr(0, width);
    return std::string(width - text.size(), ' ') + text;
}

std::string penField(const PenSettings& pen, double value) {
    if (pen.enabled == 0 || value == 1e10) return "," + std::string(12, ' ');
    if (pen.isDiscrete != 0) return "," + std::string(11, ' ') + (value == 1.0 ? "1" : "0");
    double span = pen.inputHigh - pen.inputLow;
    double engineering = pen.scaleLow + (value - pen.inputLow) / span * (pen.scaleHigh -
                                                                           pen.scaleLow);
    if (pen.logScale == 1) return "," + rightAligned(printed(" %4.2E", engineering), 12);
    const char* formats[] = {"%12.0f", "%12.1f", "%12.2f", "%12.3f"};
    return "," + printed(formats[pen.decimalPlaces], engineering).substr(0, 12);
}

}  // namespace

std::string expectedHeaderBlock(const ConfigurationRecord& config, int group, bool units) {
    std::string text = ",,";
    int pens = group == 0 ? kHighSpeedPens : kPensPerGroup;
    for (int pen = 0; pen < pens; ++pen) {
        const PenSettings& settings = config.pens[group][pen];
        text += ",";
        text += units ? std::string(settings.unit, strnlen(settings.unit, sizeof settings.unit))
                      : std::string(settings.tag, strnlen(settings.tag, sizeof settings.tag));
    }
    text.resize(255, '\0');
    return text + "\n";
}

std::string expectedRow(const ConfigurationRecord& config, int group, const SystemTime& time,
                        int trigger, const double (&values)[kPensPerGroup]) {
    const GroupRecordingSettings& recording = config.recording[group - 1];
    char head[40];
    std::snprintf(head, sizeof head, "%02d:%02d:%02d,", time.hour, time.minute, time.second);
    std::string row = head;
    if (recording.storingCycle == kCycleHalfSecond) {
        std::snprintf(head, sizeof head, "%03d", time.milliseconds);
        row += head;
    } else {
        row += "   ";
    }
    row += recording.storingMode == kEventRecording ? "," + std::to_string(trigger) : ", ";
    for (int pen = 0; pen < kPensPerGroup; ++pen) {
        row += penField(config.pens[group][pen], values[pen]);
    }
    return row + "\n";
}

std::string expectedAlarmRecord(int group, int pen, const SystemTime& time, const char* text) {
    char line[128];
    std::snprintf(line, sizeof line, "%04d/%02d/%02d,%02d:%02d:%02d,%02d,%02d,%s", time.year,
                  time.month, time.day, time.hour, time.minute, time.second, group, pen + 1,
                  text);
    std::string record = line;
    record.resize(50, ' ');
    return record + "\n";
}

}  // namespace kvt::test
