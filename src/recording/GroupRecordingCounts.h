#pragma once
#include <cstdint>

#include "platform/SystemTime.h"

namespace kvt {

// What the status tells of each group's recording (groups 0-10). The
// writer counts the rows it has put into day files; any thread reads.

// Writer thread: a row of `group` stamped `rowTime` is in its day file.
// Plain atomics, no allocation.
void countWrittenRow(int group, const SystemTime& rowTime);

struct GroupRowCounts {
    uint32_t rowsToday = 0;  // rows stamped with the day asked about
    bool anyRow = false;     // whether `lastRow` holds a row written since start
    SystemTime lastRow;
    uint32_t dropped = 0;    // rows of the group that had to be dropped
};

GroupRowCounts groupRowCounts(int group, const CalendarDate& today);

// Rows dropped before they were written, all groups together.
uint32_t rowsDroppedInAll();

// The write failure in force as text ("" and false while writing works).
bool currentWriteFailure(char* text, int size);

// Program start: nothing written yet.
void resetGroupRowCounts();

}  // namespace kvt
