#pragma once
#include <cstdint>

#include "platform/SystemTime.h"
#include "recording/WriteFailure.h"

namespace kvt {

// What the recording writer has written and lost, for a status display or
// a journal. Every accessor reads atomics only: callable from any thread at
// any time, allocates nothing. Groups are 0 (high speed) to 10; counts run
// from the program's start.

// Rows written to the group's day file of `today` (0 when the newest row
// written belongs to another day).
uint32_t rowsWrittenToday(int group, const CalendarDate& today);

// Time stamp of the newest row written; false when none was.
bool lastRowTime(int group, SystemTime& time);

// Rows of the group that had to be dropped: their sample was overwritten
// before they could be written. Summed over the groups: droppedRowCount.
uint32_t rowsDropped(int group);

// Rows of the group waiting to be written.
uint32_t rowsWaiting(int group);

// The failure in force of the group's day files: the file and the reason
// its last write failed while rows of the group wait, or its last flush to
// the disk failed (WriterFlushes.h). False when none.
bool currentWriteFailure(int group, WriteFailure& failure);

// The same for the alarm history file, while alarm records wait or a
// failed flush is in force.
bool alarmHistoryWriteFailure(WriteFailure& failure);

// Alarm records dropped because the backlog of unwritten ones was full
// (the same count as droppedAlarmRecords).
uint32_t alarmRecordsDropped();

}  // namespace kvt
