#pragma once
#include <cstdint>

#include "platform/SystemTime.h"
#include "recording/DayFile.h"

namespace kvt {

// The recording writer thread's flushes of the day files and the alarm
// history to the disk, by the rule of FlushSchedule.h. Writer thread only;
// nothing allocates. `now` is the tick count of the clock in force.
//
// A failed flush counts as a write failure of its file, told as any other
// (RecordingStatus.h). The bytes it should have saved may be gone even when
// the next flush works (the kernel tells a failed write-back only once), so
// the failure stays in force until a flush has worked again and long enough
// for the outage report to tell it.
constexpr uint32_t kFlushFailureHoldMs = 6000;

// Before a row of `group` dated `date` is appended: flushes the group's file
// of an earlier day left unflushed (the day changed), and says whether the
// append is to flush the file itself (DayFileSync::flushFile).
bool dayFileFlushWanted(int group, const CalendarDate& date, uint32_t now);

// After a row of `group` dated `date` was appended with `sync`.
void noteDayFileAppended(int group, const CalendarDate& date, const DayFileSync& sync,
                         uint32_t now);

// Whether a failed flush keeps the failure of the group's day files in force.
bool dayFileFlushFailureHeld(int group, uint32_t now);

// Takes note of appends to the alarm history and flushes every file due.
void flushDueFiles(uint32_t now);

// Milliseconds until the next flush is due (0: now); the writer sleeps no
// longer. UINT32_MAX when nothing waits to be flushed.
uint32_t msUntilNextFlush(uint32_t now);

// On exit: every file not flushed since its last append, at once.
void flushEveryDirtyFile(uint32_t now);

// Program start (tests): nothing flushed, nothing waiting.
void resetWriterFlushes();

}  // namespace kvt
