// Fuzz target: the alarm history file as the viewer reads it. The file is
// outside input (torn appends, a full disk, hand edits), so for a file of
// records as the writer makes them mixed with any bytes:
// - every record the writer appended whole is listed when the filter lets
//   it through, newest first, in the order written;
// - every line listed is valid UTF-8 of the record's form, of a ticked
//   group, dated on or before the filter's last date;
// - at most `most` lines, the first of the whole list;
// - lines are read alike wherever the 64 KiB blocks of the backward read
//   fall.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/ConfigurationRecord.h"
#include "platform/SjisText.h"
#include "recording/AlarmHistory.h"
#include "recording/AlarmHistoryFile.h"
#include "support/FuzzInput.h"
#include "support/TempHome.h"
#include "support/ValidUtf8.h"

namespace kvt {
namespace {

constexpr size_t kReadBlock = 64 * 1024;  // the reader's block
constexpr size_t kEverything = SIZE_MAX;

test::TempHome* home;

struct History {
    std::string bytes;
    std::vector<std::string> records;  // the whole records appended, oldest first
};

AlarmHistoryFilter filterFrom(test::FuzzInput& input) {
    AlarmHistoryFilter filter;
    uint16_t ticks = input.word();
    for (int group = 1; group <= kTrendGroupCount; ++group) {
        filter.groupShown[group] = (ticks >> group & 1) != 0;
    }
    if (input.flag()) {
        std::string_view date = input.bytes(10);
        std::memcpy(filter.lastDate, date.data(), date.size());
    } else {
        std::snprintf(filter.lastDate, sizeof filter.lastDate, "%04d/%02d/%02d",
                      input.intInRange(2019, 2031), input.intInRange(1, 12),
                      input.intInRange(1, 31));
    }
    return filter;
}

std::string recordFrom(test::FuzzInput& input) {
    SystemTime time{static_cast<uint16_t>(input.intInRange(2020, 2030)),
                    static_cast<uint16_t>(input.intInRange(1, 12)), 0,
                    static_cast<uint16_t>(input.intInRange(1, 31)),
                    static_cast<uint16_t>(input.intInRange(0, 23)),
                    static_cast<uint16_t>(input.intInRange(0, 59)),
                    static_cast<uint16_t>(input.intInRange(0, 59)), 0};
    int group = input.intInRange(1, kTrendGroupCount);
    int pen = input.intInRange(0, kPensPerGroup - 1);
    int code = input.intInRange(0, 3);
    bool isDiscrete = input.flag();
    char record[kAlarmRecordLength];
    formatAlarmRecord(record, group, pen, time, code, isDiscrete, input.intInRange(0, 1));
    return std::string(record, kAlarmRecordLength);
}

// Whole records, stray bytes and line feeds, as the input picks them.
History historyFrom(test::FuzzInput& input) {
    History history;
    while (!input.empty()) {
        switch (input.intInRange(0, 3)) {
        case 0:
        case 1:
            history.records.push_back(recordFrom(input));
            history.bytes += history.records.back();
            break;
        case 2: history.bytes += input.bytes(input.intInRange(0, 80)); break;
        default: history.bytes += '\n'; break;
        }
    }
    return history;
}

// Lines that are no records: `length` bytes ending in a line feed.
std::string fillerOf(size_t length) {
    std::string filler(length, 'x');
    for (size_t end = length; end > 0; end -= std::min<size_t>(end, kAlarmRecordLength)) {
        filler[end - 1] = '\n';
    }
    return filler;
}

std::vector<std::string> readHistory(const std::string& bytes, const AlarmHistoryFilter& filter,
                                     size_t most) {
    std::string path = home->path() + "/history";
    test::writeFile(path, bytes);
    return readAlarmHistory(path.c_str(), filter, most);
}

bool shownByFilter(const std::string& line, const AlarmHistoryFilter& filter) {
    int group = std::atoi(line.substr(20, 2).c_str());
    return group >= 1 && group <= kTrendGroupCount && filter.groupShown[group] &&
           line.compare(0, 10, filter.lastDate, strnlen(filter.lastDate, 10)) <= 0;
}

// The viewer's line of a record: commas become spaces, Shift-JIS UTF-8.
std::string shownRecord(const std::string& record) {
    std::string text = record.substr(0, kAlarmRecordLength - 1);
    std::replace(text.begin(), text.end(), ',', ' ');
    return sjisToUtf8(text);
}

void checkLine(const std::string& line, const AlarmHistoryFilter& filter) {
    static constexpr std::string_view kPattern = "dddd/dd/dd dd:dd:dd dd dd ";
    FUZZ_CHECK(line.size() >= kPattern.size() && test::isValidUtf8(line));
    for (size_t at = 0; at < kPattern.size(); ++at) {
        FUZZ_CHECK(kPattern[at] == 'd' ? line[at] >= '0' && line[at] <= '9'
                                       : line[at] == kPattern[at]);
    }
    FUZZ_CHECK(line.find(',') == std::string::npos);
    FUZZ_CHECK(shownByFilter(line, filter));
}

// The records the filter lets through, newest first, stand in `listed` in
// that order (other lines may stand between them).
void checkRecordsListed(const History& history, const AlarmHistoryFilter& filter,
                        const std::vector<std::string>& listed) {
    auto next = listed.begin();
    for (auto record = history.records.rbegin(); record != history.records.rend(); ++record) {
        if (!shownByFilter(*record, filter)) continue;
        std::string expected = shownRecord(*record);
        while (next != listed.end() && *next != expected) ++next;
        FUZZ_CHECK(next != listed.end());
        ++next;
    }
}

// The history with lines after it that put the first block boundary of the
// backward read `blockInto` bytes into it reads the same.
void checkBlockBoundary(std::string history, size_t blockInto, const AlarmHistoryFilter& filter,
                        const std::vector<std::string>& listed) {
    bool ended = !history.empty() && history.back() == '\n';
    if (history.size() + (ended ? 0 : 1) > kReadBlock) return;
    std::vector<std::string> expected = listed;
    if (!ended) {
        history += '\n';  // the record still being appended is one now
        expected = readHistory(history, filter, kEverything);
    }
    size_t boundary = blockInto % (history.size() + 1);
    std::string filler = fillerOf(kReadBlock - history.size() + boundary);
    FUZZ_CHECK(readHistory(history + filler, filter, kEverything) == expected);
}

}  // namespace
}  // namespace kvt

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    kvt::home = new kvt::test::TempHome();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace kvt;
    test::FuzzInput input(data, size);
    AlarmHistoryFilter filter = filterFrom(input);
    size_t most = static_cast<size_t>(input.intInRange(1, 8));
    bool acrossBlocks = input.flag();
    size_t blockInto = input.word();
    History history = historyFrom(input);

    std::vector<std::string> all = readHistory(history.bytes, filter, kEverything);
    for (const std::string& line : all) checkLine(line, filter);
    checkRecordsListed(history, filter, all);
    std::vector<std::string> first = readHistory(history.bytes, filter, most);
    FUZZ_CHECK(first.size() == std::min(most, all.size()));
    FUZZ_CHECK(std::equal(first.begin(), first.end(), all.begin()));
    if (acrossBlocks) checkBlockBoundary(history.bytes, blockInto, filter, all);
    return 0;
}
