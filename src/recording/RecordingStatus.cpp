#include "recording/RecordingStatus.h"

#include <atomic>

#include "core/ConfigurationRecord.h"
#include "recording/AlarmHistory.h"
#include "recording/RecordingBuffers.h"
#include "recording/WriteStatusUpdates.h"

namespace kvt {
namespace {

// The rows of the newest day a group wrote to.
struct DayRows {
    uint32_t day = 0;  // yyyymmdd of the newest row, 0 before the first
    uint32_t rows = 0;
    SystemTime newest{};
};

SeqlockCell<DayRows> dayRows[kGroupCount];
DayRows writerDayRows[kGroupCount];  // the writer thread's own copy
std::atomic<uint32_t> droppedRows[kGroupCount];
WriteFailureSlot dayFileFailures[kGroupCount];
WriteFailureSlot alarmHistoryFailure;
WriteFailureSlot alarmHistoryFlushFailure;

uint32_t dayKey(int year, int month, int day) {
    return static_cast<uint32_t>(year * 10000 + month * 100 + day);
}

bool validGroup(int group) { return group >= 0 && group < kGroupCount; }

}  // namespace

uint32_t rowsWrittenToday(int group, const CalendarDate& today) {
    if (!validGroup(group)) return 0;
    DayRows rows = dayRows[group].load();
    return rows.day == dayKey(today.year, today.month, today.day) ? rows.rows : 0;
}

bool lastRowTime(int group, SystemTime& time) {
    if (!validGroup(group)) return false;
    DayRows rows = dayRows[group].load();
    time = rows.newest;
    return rows.day != 0;
}

uint32_t rowsDropped(int group) {
    return validGroup(group) ? droppedRows[group].load(std::memory_order_relaxed) : 0;
}

uint32_t rowsWaiting(int group) {
    if (!validGroup(group)) return 0;
    const WriteShare& share = writeQueue.shares[group];
    return queueDistance(share.writeSequence.load(std::memory_order_acquire),
                         share.readSequence.load(std::memory_order_acquire));
}

bool currentWriteFailure(int group, WriteFailure& failure) {
    if (!validGroup(group)) return false;
    return dayFileFailures[group].read(failure);
}

bool alarmHistoryWriteFailure(WriteFailure& failure) {
    return alarmHistoryFailure.read(failure) || alarmHistoryFlushFailure.read(failure);
}

uint32_t alarmRecordsDropped() {
    return static_cast<uint32_t>(droppedAlarmRecords.load(std::memory_order_relaxed));
}

void noteRowWritten(int group, const SystemTime& time) {
    DayRows& rows = writerDayRows[group];
    uint32_t day = dayKey(time.year, time.month, time.day);
    rows.rows = rows.day == day ? rows.rows + 1 : 1;
    rows.day = day;
    rows.newest = time;
    dayRows[group].store(rows);
}

void noteRowsDropped(int group, uint32_t rows) {
    droppedRows[group].fetch_add(rows, std::memory_order_relaxed);
    droppedRowCount.fetch_add(rows, std::memory_order_relaxed);
}

WriteFailureSlot& dayFileFailureSlot(int group) { return dayFileFailures[group]; }

WriteFailureSlot& alarmHistoryFailureSlot() { return alarmHistoryFailure; }

WriteFailureSlot& alarmHistoryFlushFailureSlot() { return alarmHistoryFlushFailure; }

void resetWriteStatus() {
    for (int group = 0; group < kGroupCount; ++group) {
        writerDayRows[group] = DayRows{};
        dayRows[group].store(DayRows{});
        droppedRows[group].store(0, std::memory_order_relaxed);
        dayFileFailures[group].reset();
    }
}

}  // namespace kvt
