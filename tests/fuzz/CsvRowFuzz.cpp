// Fuzz target: day-file rows and header blocks. Random pen settings (as a
// damaged settings file may hold them), storing modes, time stamps, trigger
// states and values of any bit pattern must give a row of exactly the
// group's fixed length: the readers find row n at a multiplied offset, so
// one byte more or less spoils every later row of the day. Each field must
// hold what its pen shows: blanks for no value or a disabled pen, 0 or 1
// for a discrete pen, the value text otherwise.
#include <cstdio>
#include <cstring>
#include <string>

#include "core/ConfigurationRecord.h"
#include "recording/CsvRow.h"
#include "recording/ValueText.h"
#include "support/FuzzInput.h"
#include "support/RowShape.h"

namespace kvt {
namespace {

constexpr int kFirstFieldOffset = 15;  // "hh:mm:ss,mmm,T," before the first value
constexpr int kFieldStride = kValueTextWidth + 1;

ConfigurationRecord record;  // the configuration every input rewrites

// Texts of up to the whole field, NUL or not (a damaged file has no NULs).
template <size_t kSize>
void fillText(char (&field)[kSize], test::FuzzInput& input) {
    std::memset(field, 0, kSize);
    std::string_view text = input.bytes(input.intInRange(0, kSize));
    std::memcpy(field, text.data(), text.size());
}

double valueFrom(test::FuzzInput& input) {
    switch (input.intInRange(0, 5)) {
    case 0:
        return kNoData;
    case 1:
        return 1.0;
    case 2:
        return 0.0;
    case 3:
        return static_cast<double>(static_cast<int16_t>(input.word())) * 0.1;
    default:
        return input.anyDouble();
    }
}

void penFrom(PenSettings& pen, test::FuzzInput& input) {
    std::memset(&pen, 0, sizeof pen);
    uint8_t kinds = input.byte();
    pen.enabled = (kinds & 3) == 3 ? input.anyInt() : kinds & 1;
    pen.isDiscrete = (kinds & 4) != 0 ? 1 : 0;
    pen.logScale = (kinds & 8) != 0 ? 1 : 0;
    pen.analogType = (kinds & 16) != 0 ? input.anyInt() : input.intInRange(0, 15);
    pen.decimalPlaces = (kinds & 32) != 0 ? input.anyInt() : input.intInRange(0, 3);
    pen.inputLow = (kinds & 64) != 0 ? input.anyDouble() : 0.0;
    pen.inputHigh = (kinds & 64) != 0 ? input.anyDouble() : 100.0;
    pen.scaleLow = (kinds & 128) != 0 ? input.anyDouble() : 0.0;
    pen.scaleHigh = (kinds & 128) != 0 ? input.anyDouble() : 100.0;
    fillText(pen.tag, input);
    fillText(pen.unit, input);
}

void groupSettingsFrom(int group, test::FuzzInput& input) {
    int cycle = input.flag() ? input.anyInt() : input.intInRange(0, 5);
    int mode = input.flag() ? input.anyInt() : input.intInRange(0, 4);
    if (group == 0) {
        record.highSpeedRecording.storingMode = mode;
    } else {
        record.group(group).storingCycle = cycle;
        record.group(group).storingMode = mode;
    }
}

SystemTime timeFrom(test::FuzzInput& input) {
    SystemTime time;
    time.year = input.word();
    time.month = input.word();
    time.day = input.word();
    time.hour = input.flag() ? input.word() : input.intInRange(0, 23);
    time.minute = input.flag() ? input.word() : input.intInRange(0, 59);
    time.second = input.flag() ? input.word() : input.intInRange(0, 59);
    time.milliseconds = input.flag() ? input.word() : input.intInRange(0, 1) * 500;
    return time;
}

std::string expectedField(const PenSettings& pen, double value) {
    if (pen.enabled == 0 || value == kNoData) return std::string(kValueTextWidth, ' ');
    if (pen.isDiscrete != 0) return std::string(kValueTextWidth - 1, ' ') + (value == 1.0 ? '1' : '0');
    char text[kValueTextWidth + 1];
    formatValueText(text, pen, value, false);
    return text;
}

// The time and trigger columns; a stamp outside the clock's ranges only has
// to keep its digits in place.
void checkLeadingColumns(const char* row, int group, const SampleData& sample) {
    const SystemTime& time = sample.time;
    for (int position : {0, 1, 3, 4, 6, 7}) FUZZ_CHECK(row[position] >= '0' && row[position] <= '9');
    FUZZ_CHECK(row[2] == ':' && row[5] == ':');
    if (time.hour < 24 && time.minute < 60 && time.second < 60) {
        char expected[16];
        std::snprintf(expected, sizeof expected, "%02d:%02d:%02d,", time.hour, time.minute,
                      time.second);
        FUZZ_CHECK(std::memcmp(row, expected, 9) == 0);
    }
    if (rowHasMilliseconds(record, group)) {
        char expected[8];
        std::snprintf(expected, sizeof expected, "%03d", time.milliseconds % 1000);
        FUZZ_CHECK(std::memcmp(row + 9, expected, 3) == 0);
    } else {
        FUZZ_CHECK(std::memcmp(row + 9, "   ", 3) == 0);
    }
    char trigger = row[13];
    if (!rowHasTriggerState(record, group)) {
        FUZZ_CHECK(trigger == ' ');
    } else if (sample.trigger >= 0 && sample.trigger <= 9) {
        FUZZ_CHECK(trigger == '0' + sample.trigger);
    } else {
        FUZZ_CHECK(trigger == '0');
    }
}

void checkRow(int group, const SampleData& sample) {
    int length = rowLengthOf(group);
    auto row = test::exactBuffer(static_cast<size_t>(length));
    FUZZ_CHECK(formatCsvRow(row.get(), record, group, sample) == length);
    FUZZ_CHECK(test::hasDayFileRowShape(row.get(), length, group));
    checkLeadingColumns(row.get(), group, sample);
    for (int pen = 0; pen < pensOfGroup(group); ++pen) {
        std::string field(row.get() + kFirstFieldOffset + pen * kFieldStride, kValueTextWidth);
        FUZZ_CHECK(field == expectedField(record.pen(group, pen), sample.values[pen]));
    }
}

// ",," then "," and the pen's text (up to its field, NUL or not) per pen,
// zero bytes after it, and a line feed as the block's last byte.
void checkHeaderBlock(int group, HeaderLine line) {
    char block[kHeaderBlockSize];
    formatHeaderBlock(block, record, group, line);
    std::string expected = ",,";
    for (int pen = 0; pen < pensOfGroup(group); ++pen) {
        const PenSettings& settings = record.pen(group, pen);
        expected += ',';
        expected += line == HeaderLine::Tags
                        ? std::string(settings.tag, strnlen(settings.tag, sizeof settings.tag))
                        : std::string(settings.unit, strnlen(settings.unit, sizeof settings.unit));
    }
    expected.resize(kHeaderBlockSize - 1, '\0');
    expected += '\n';
    FUZZ_CHECK(std::memcmp(block, expected.data(), kHeaderBlockSize) == 0);
}

}  // namespace
}  // namespace kvt

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace kvt;
    test::FuzzInput input(data, size);
    int group = input.intInRange(0, kTrendGroupCount);
    groupSettingsFrom(group, input);
    SampleData sample{};
    sample.time = timeFrom(input);
    sample.trigger = input.flag() ? input.anyInt() : input.intInRange(0, 1);
    for (int pen = 0; pen < kPensPerGroup; ++pen) {
        penFrom(record.pen(group, pen), input);
        sample.values[pen] = valueFrom(input);
    }
    checkRow(group, sample);
    checkHeaderBlock(group, HeaderLine::Tags);
    checkHeaderBlock(group, HeaderLine::Units);
    return 0;
}
