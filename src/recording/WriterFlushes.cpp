#include "recording/WriterFlushes.h"

#include "core/ConfigurationRecord.h"
#include "platform/Paths.h"
#include "recording/AlarmHistory.h"
#include "recording/FlushSchedule.h"
#include "recording/WriteStatusUpdates.h"

namespace kvt {
namespace {

// Files 0 to 10 are the day files of groups 0 to 10; then the alarm history.
constexpr int kAlarmHistoryFile = kGroupCount;
static_assert(kAlarmHistoryFile < FlushSchedule::kCapacity);

struct FlushFailure {
    bool failed = false;
    bool flushedSince = false;  // a flush worked after the failure
    uint32_t since = 0;
};

FlushSchedule schedule;
CalendarDate dirtyDay[kGroupCount];  // the day of a group's unflushed file
FlushFailure failures[kAlarmHistoryFile + 1];
uint32_t alarmAppendsSeen = 0;

bool sameDay(const CalendarDate& one, const CalendarDate& other) {
    return one.year == other.year && one.month == other.month && one.day == other.day;
}

void noteFlushFailure(int file, int error, uint32_t now) {
    FlushFailure& failure = failures[file];
    if (!failure.failed) failure.since = now;
    failure.failed = true;
    failure.flushedSince = false;
    if (file == kAlarmHistoryFile) {
        alarmHistoryFlushFailureSlot().noteFailure(alarmHistoryPath(), error, now);
        return;
    }
    char path[kDayPathCapacity];
    dayFilePath(path, dataFolder(), dirtyDay[file], file);
    dayFileFailureSlot(file).noteFailure(path, error, now);
}

void noteFlush(int file, int error, uint32_t now) {
    schedule.flushed(file, now, error == 0);
    if (error != 0) {
        noteFlushFailure(file, error, now);
    } else if (failures[file].failed) {
        failures[file].flushedSince = true;
    }
}

bool failureHeld(int file, uint32_t now) {
    FlushFailure& failure = failures[file];
    if (failure.failed && failure.flushedSince && now - failure.since >= kFlushFailureHoldMs) {
        failure.failed = false;
    }
    return failure.failed;
}

void flushFile(int file, uint32_t now) {
    int error = file == kAlarmHistoryFile ? flushAlarmHistory() : flushDayFile(dirtyDay[file], file);
    noteFlush(file, error, now);
}

// Appends to the alarm history since the last look: flushed at once when
// its turn has come, as a day file is at its append.
void noticeAlarmHistoryAppends(uint32_t now) {
    uint32_t appends = alarmHistoryAppendCount();
    if (appends == alarmAppendsSeen) return;
    alarmAppendsSeen = appends;
    bool atOnce = schedule.flushAtOnce(kAlarmHistoryFile, now);
    schedule.appended(kAlarmHistoryFile, now);
    if (atOnce) flushFile(kAlarmHistoryFile, now);
}

}  // namespace

bool dayFileFlushWanted(int group, const CalendarDate& date, uint32_t now) {
    if (schedule.dirty(group) && !sameDay(dirtyDay[group], date)) flushFile(group, now);
    return schedule.flushAtOnce(group, now);
}

void noteDayFileAppended(int group, const CalendarDate& date, const DayFileSync& sync,
                         uint32_t now) {
    schedule.appended(group, now);
    dirtyDay[group] = date;
    if (sync.flushFile || sync.flushError != 0) noteFlush(group, sync.flushError, now);
}

bool dayFileFlushFailureHeld(int group, uint32_t now) { return failureHeld(group, now); }

void flushDueFiles(uint32_t now) {
    noticeAlarmHistoryAppends(now);
    for (int file = 0; file <= kAlarmHistoryFile; ++file) {
        if (schedule.due(file, now)) flushFile(file, now);
    }
    if (!failureHeld(kAlarmHistoryFile, now)) alarmHistoryFlushFailureSlot().noteCleared();
}

uint32_t msUntilNextFlush(uint32_t now) {
    if (alarmHistoryAppendCount() != alarmAppendsSeen) return 0;  // not looked at yet
    return schedule.msUntilNextDue(now);
}

void flushEveryDirtyFile(uint32_t now) {
    noticeAlarmHistoryAppends(now);
    for (int file = 0; file <= kAlarmHistoryFile; ++file) {
        if (schedule.dirty(file)) flushFile(file, now);
    }
}

void resetWriterFlushes() {
    schedule = FlushSchedule{};
    for (FlushFailure& failure : failures) failure = FlushFailure{};
    alarmAppendsSeen = alarmHistoryAppendCount();
    alarmHistoryFlushFailureSlot().reset();
}

}  // namespace kvt
