// Fuzz target: day files as playback reads them. A day file is outside
// input (a copied, cut or hand-edited file), so:
// - a row of any bytes and length is read without touching a byte outside
//   it; a row it accepts has its time in range, and every pen value is what
//   the full number conversion reads from the field (blank 0, not finite
//   no-data), so the fast path for plain decimals never reads otherwise;
// - a row as the writer writes it always reads back with its own time;
// - a pane filled from a damaged file holds in each slot only no-data or the
//   values of a readable row that belongs to that slot;
// - rows recorded on after the clock was set back (out of time order) read
//   as the model says when the file is not damaged: of rows for one time the
//   one written last shows, and a row followed by one at the same or an
//   earlier time does not.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/ConfigurationRecord.h"
#include "core/Defaults.h"
#include "core/NumberText.h"
#include "recording/CsvRow.h"
#include "recording/DayFileRow.h"
#include "recording/PaneLoading.h"
#include "recording/PaneWindow.h"
#include "recording/ValueText.h"
#include "support/DayFiles.h"
#include "support/FakeClock.h"
#include "support/FuzzInput.h"
#include "support/TempHome.h"

namespace kvt {
namespace {

constexpr int kFirstFieldOffset = 15;  // "hh:mm:ss,mmm,T," before the first value
constexpr int kFieldStride = kValueTextWidth + 1;
constexpr int kMostRows = 400;
constexpr int kMostDamages = 24;

ConfigurationRecord record;  // plain pens: rows hold the values unchanged
test::TempHome* home;
PlaybackPane pane;

// What the full conversion reads from a field: the reading rule of a row.
double fullReading(const char* field) {
    std::string text(field, kValueTextWidth);
    if (text.find_first_not_of(' ') == std::string::npos) return 0;
    double value = parseNumberText(text.c_str());
    return std::isfinite(value) ? value : kNoData;
}

// Parses a row given as exactly its bytes (a heap copy of that size, so
// that AddressSanitizer sees any read past it) and checks what is read.
bool checkRowReading(int group, const std::string& bytes, RowTime& time,
                     double (&values)[kPensPerGroup]) {
    auto row = test::exactBuffer(bytes.size() + 1);
    std::memcpy(row.get(), bytes.data(), bytes.size());
    const char* start = row.get();
    bool timeRead = parseRowTime(start, bytes.size(), group, time);
    bool valuesRead = parseRowValues(start, bytes.size(), group, values);
    if (timeRead) {
        FUZZ_CHECK(time.hour >= 0 && time.hour <= 23 && time.minute >= 0 && time.minute <= 59);
        FUZZ_CHECK(time.second >= 0 && time.second <= 59);
        FUZZ_CHECK(time.tenths >= 0 && time.tenths <= 9);
        FUZZ_CHECK(time.hundredths >= 0 && time.hundredths <= 9);
    }
    if (valuesRead) {
        for (int pen = 0; pen < pensOfGroup(group); ++pen) {
            double expected = fullReading(start + kFirstFieldOffset + pen * kFieldStride);
            FUZZ_CHECK(values[pen] == expected || (std::isnan(values[pen]) && std::isnan(expected)));
        }
    }
    return timeRead && valuesRead;
}

SampleData sampleFrom(test::FuzzInput& input) {
    SampleData sample{};
    sample.time = {2026, 3, 0, 7, static_cast<uint16_t>(input.intInRange(0, 23)),
                   static_cast<uint16_t>(input.intInRange(0, 59)),
                   static_cast<uint16_t>(input.intInRange(0, 59)),
                   static_cast<uint16_t>(input.intInRange(0, 999))};
    for (double& value : sample.values) {
        value = input.flag() ? kNoData : input.anyDouble();
    }
    return sample;
}

// One row: as the writer formats a sample, then some bytes replaced, or of
// any bytes and length.
void checkOneRow(int group, test::FuzzInput& input) {
    std::string bytes;
    bool written = input.flag();
    SampleData sample{};
    if (written) {
        static ConfigurationRecord writer;
        writer = record;
        for (PenSettings& pen : writer.pens[group]) {
            uint8_t kinds = input.byte();
            pen.isDiscrete = kinds & 1;
            pen.logScale = (kinds >> 1) & 1;
            pen.decimalPlaces = (kinds >> 2) & 3;
        }
        sample = sampleFrom(input);
        char row[kMaxRowLength];
        bytes.assign(row, static_cast<size_t>(formatCsvRow(row, writer, group, sample)));
    } else {
        bytes = std::string(input.bytes(input.intInRange(0, 2 * kMaxRowLength)));
    }
    int damages = input.intInRange(0, 3);
    for (int damage = 0; damage < damages && !bytes.empty(); ++damage) {
        bytes[input.intInRange(0, kMaxRowLength) % bytes.size()] = static_cast<char>(input.byte());
    }
    RowTime time;
    double values[kPensPerGroup];
    bool read = checkRowReading(group, bytes, time, values);
    if (written && damages == 0) {
        FUZZ_CHECK(read);
        FUZZ_CHECK(time.hour == sample.time.hour && time.minute == sample.time.minute &&
                   time.second == sample.time.second);
    }
}

// Samples `count` rows from 09:50:00 at the group's spacing, sample k
// numbered k, with the clock set back up to three times by up to 100 rows,
// so that they stay on 7 March.
std::vector<SampleData> samplesWithSetBacks(int spacingMs, int count, test::FuzzInput& input) {
    std::vector<int64_t> shiftMs(static_cast<size_t>(count), 0);
    int setBacks = input.intInRange(0, 3);
    for (int setBack = 0; setBack < setBacks; ++setBack) {
        int from = input.intInRange(0, count - 1);
        int64_t back = int64_t{input.intInRange(1, 100)} * spacingMs;
        for (int k = from; k < count; ++k) shiftMs[static_cast<size_t>(k)] += back;
    }
    int64_t firstMs = test::localEpochSeconds(2026, 3, 7, 9, 50, 0) * 1000;
    std::vector<SampleData> samples;
    for (int k = 0; k < count; ++k) {
        int64_t at = firstMs + int64_t{spacingMs} * k - shiftMs[static_cast<size_t>(k)];
        samples.push_back(test::samplesEvery(at, 0, 1, k)[0]);
    }
    return samples;
}

// Day file of `count` rows (samplesWithSetBacks), then bytes replaced,
// removed or added and the end cut; returns the bytes.
std::string damagedDayFile(int group, int spacingMs, int count, test::FuzzInput& input,
                           int& damages) {
    std::string path = test::dayFilePathOf(test::makeTime(2026, 3, 7, 0, 0, 0), group);
    std::remove(path.c_str());  // the rows all fall on that date
    test::writeDayFiles(record, group, samplesWithSetBacks(spacingMs, count, input));
    std::string bytes = test::readFile(path);
    damages = input.intInRange(0, kMostDamages);
    for (int damage = 0; damage < damages && !bytes.empty(); ++damage) {
        size_t at = input.word() % bytes.size();
        switch (input.intInRange(0, 3)) {
        case 0: bytes[at] = static_cast<char>(input.byte()); break;
        case 1: bytes.erase(at, static_cast<size_t>(input.intInRange(1, 3))); break;
        case 2: bytes.insert(at, static_cast<size_t>(input.intInRange(1, 3)), static_cast<char>(input.byte())); break;
        default: bytes.resize(at); break;
        }
    }
    test::writeFile(path, bytes);
    return bytes;
}

// The rows of an undamaged file that count: each after the window start
// and before every row written after it; a slot shows the oldest of them.
template <typename Row>
void checkPaneAgainstTheModel(int group, const PaneWindow& window, const std::vector<Row>& rows) {
    std::vector<const Row*> shown(kPaneSlots, nullptr);
    int64_t earliestLaterMs = INT64_MAX;
    for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
        bool counts = row->ms < earliestLaterMs && row->ms > window.start() * 1000;
        earliestLaterMs = std::min(earliestLaterMs, row->ms);
        if (counts && row->slot >= 0) shown[static_cast<size_t>(row->slot)] = &*row;
    }
    for (int slot = 0; slot < kPaneSlots; ++slot) {
        const Row* row = shown[static_cast<size_t>(slot)];
        for (int pen = 0; pen < pensOfGroup(group); ++pen) {
            FUZZ_CHECK(pane.values[pen][slot] == (row ? row->values[pen] : kNoData));
        }
    }
}

// Every slot holds no-data or the values of one readable row of that slot.
void checkPaneOverDamagedFile(int group, test::FuzzInput& input) {
    int cycle = input.intInRange(kCycleHalfSecond, kCycle1min);
    if (group != kHighSpeedGroup) record.group(group).storingCycle = cycle;
    int spacingMs = sampleSpacingMs(group, cycle);
    int damages = 0;
    std::string bytes =
        damagedDayFile(group, spacingMs, input.intInRange(1, kMostRows), input, damages);
    PaneWindow window{test::localEpochSeconds(2026, 3, 7, 9, 50, 0) +
                          int64_t{input.intInRange(0, kMostRows)} * spacingMs / 1000,
                      spacingMs};
    pane.referenceTime[group] = window.reference;
    fillPane(pane, group, cycle);

    using Values = std::array<double, kPensPerGroup>;
    struct ReadRow {
        int64_t ms;
        int slot;
        Values values;
    };
    std::vector<ReadRow> rows;
    std::vector<std::vector<Values>> rowsOfSlot(kPaneSlots);
    size_t length = static_cast<size_t>(rowLengthOf(group));
    for (size_t at = kDayFileHeaderSize; at + length <= bytes.size(); at += length) {
        RowTime time;
        double values[kPensPerGroup];
        if (!checkRowReading(group, bytes.substr(at, length), time, values)) continue;
        int64_t rowTime = epochSecondsOfLocal({2026, 3, 7}, time.hour, time.minute, time.second);
        int slot = slotOfRow(window, rowTime, time);
        rows.push_back({rowTime * 1000 + time.tenths * 100 + time.hundredths * 10, slot,
                        std::to_array(values)});
        if (slot < 0) continue;
        rowsOfSlot[static_cast<size_t>(slot)].push_back(std::to_array(values));
    }
    if (damages == 0) checkPaneAgainstTheModel(group, window, rows);
    for (int slot = 0; slot < kPaneSlots; ++slot) {
        bool empty = true;
        for (int pen = 0; pen < pensOfGroup(group); ++pen) empty &= pane.values[pen][slot] == kNoData;
        if (empty) continue;
        bool fromARow = false;
        for (const Values& row : rowsOfSlot[static_cast<size_t>(slot)]) {
            bool same = true;
            for (int pen = 0; pen < pensOfGroup(group); ++pen) same &= pane.values[pen][slot] == row[pen];
            fromARow |= same;
        }
        FUZZ_CHECK(fromARow);
    }
}

}  // namespace
}  // namespace kvt

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    using namespace kvt;
    setenv("TZ", "UTC", 1);
    tzset();
    static test::ScopedFakeClock clock;
    clock.clock.setLocal(2026, 3, 7, 12, 0, 0);
    home = new test::TempHome();
    fillDefaults(record, 1, {2026, 1, 1});
    test::makePensPlain(record);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace kvt;
    test::FuzzInput input(data, size);
    int group = input.intInRange(0, kTrendGroupCount);
    if (input.flag()) {
        checkOneRow(group, input);
    } else {
        checkPaneOverDamagedFile(group, input);
    }
    return 0;
}
