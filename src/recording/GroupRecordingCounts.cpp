#include "recording/GroupRecordingCounts.h"

#include <atomic>
#include <iterator>

#include "core/ConfigurationRecord.h"
#include "recording/RecordingBuffers.h"

namespace kvt {
namespace {

struct GroupCounts {
    std::atomic<uint32_t> day{0};  // yyyymmdd of the rows counted
    std::atomic<uint32_t> rowsOfDay{0};
    std::atomic<uint64_t> lastRow{0};  // packed stamp; 0 for none
};

GroupCounts counts[kGroupCount];

uint32_t dayNumber(int year, int month, int day) {
    return static_cast<uint32_t>(year * 10000 + month * 100 + day);
}

// The stamp in 52 bits: year 16, month 4, day 5, hour 5, minute 6, second
// 6, milliseconds 10.
struct StampField {
    uint16_t SystemTime::*field;
    int bits;
};
constexpr StampField kStampFields[] = {
    {&SystemTime::year, 16},  {&SystemTime::month, 4},  {&SystemTime::day, 5},
    {&SystemTime::hour, 5},   {&SystemTime::minute, 6}, {&SystemTime::second, 6},
    {&SystemTime::milliseconds, 10},
};

uint64_t packed(const SystemTime& time) {
    uint64_t bits = 0;
    for (const StampField& stamp : kStampFields) {
        bits = bits << stamp.bits | (time.*stamp.field & ((1u << stamp.bits) - 1));
    }
    return bits;
}

SystemTime unpacked(uint64_t bits) {
    SystemTime time;
    for (int index = static_cast<int>(std::size(kStampFields)) - 1; index >= 0; --index) {
        const StampField& stamp = kStampFields[index];
        time.*stamp.field = static_cast<uint16_t>(bits & ((1u << stamp.bits) - 1));
        bits >>= stamp.bits;
    }
    return time;
}

bool validGroup(int group) { return group >= 0 && group < kGroupCount; }

}  // namespace

void countWrittenRow(int group, const SystemTime& rowTime) {
    if (!validGroup(group)) return;
    GroupCounts& counted = counts[group];
    uint32_t day = dayNumber(rowTime.year, rowTime.month, rowTime.day);
    if (counted.day.load(std::memory_order_relaxed) != day) {
        counted.rowsOfDay.store(0, std::memory_order_relaxed);
        counted.day.store(day, std::memory_order_relaxed);
    }
    counted.rowsOfDay.fetch_add(1, std::memory_order_relaxed);
    counted.lastRow.store(packed(rowTime), std::memory_order_relaxed);
}

GroupRowCounts groupRowCounts(int group, const CalendarDate& today) {
    GroupRowCounts result;
    if (!validGroup(group)) return result;
    const GroupCounts& counted = counts[group];
    if (counted.day.load(std::memory_order_relaxed) == dayNumber(today.year, today.month, today.day)) {
        result.rowsToday = counted.rowsOfDay.load(std::memory_order_relaxed);
    }
    uint64_t last = counted.lastRow.load(std::memory_order_relaxed);
    result.anyRow = last != 0;
    if (result.anyRow) result.lastRow = unpacked(last);
    return result;
}

uint32_t rowsDroppedInAll() { return droppedRowCount.load(std::memory_order_relaxed); }

bool currentWriteFailure(char* text, int size) {
    if (size > 0) text[0] = '\0';
    return false;
}

void resetGroupRowCounts() {
    for (GroupCounts& group : counts) {
        group.day.store(0, std::memory_order_relaxed);
        group.rowsOfDay.store(0, std::memory_order_relaxed);
        group.lastRow.store(0, std::memory_order_relaxed);
    }
}

}  // namespace kvt
