#pragma once
#include <cstdint>

#include "platform/SystemTime.h"
#include "recording/WriteFailure.h"

namespace kvt {

// The writing side of RecordingStatus.h. Each function names the one thread
// that may call it; none allocates.

// Writer thread: a row of `group` stamped `time` is in its day file.
void noteRowWritten(int group, const SystemTime& time);
// Writer thread: `rows` rows of `group` were lost (also counted in droppedRowCount).
void noteRowsDropped(int group, uint32_t rows);
// The failure slot of the group's day files (noted by the writer thread)
// and of the alarm history (noted by the acquisition thread, its writer).
// Any thread may read them.
WriteFailureSlot& dayFileFailureSlot(int group);
WriteFailureSlot& alarmHistoryFailureSlot();
// The failed flushes of the alarm history (noted by the writer thread,
// which flushes it; its failed writes are the slot above).
WriteFailureSlot& alarmHistoryFlushFailureSlot();

// Program start, before the worker threads run: every count and failure
// slot of the day files goes back to zero. (The alarm history keeps its own
// backlog and slot: discardPendingAlarmHistory.)
void resetWriteStatus();

}  // namespace kvt
