#pragma once
#include <cstdint>

#include "recording/WriteFailure.h"

namespace kvt {

// A write outage: from the first failed write of a day file or the alarm
// history until nothing of any group waits behind a failure any more. One
// that lasts longer than kWriteOutageReportMs is told to the user once, by
// kCommandWriteFailed; its end, with what had to be dropped meanwhile, once
// by kCommandWritingResumed.
constexpr uint32_t kWriteOutageReportMs = 5000;

// Looks at the failures in force and posts the two commands when due.
// Recording scheduler thread only (once per acquisition record); allocates
// nothing and never blocks.
void watchWriteOutage();

// What was dropped during an outage that was told.
struct OutageDrops {
    uint32_t rows = 0;
    uint32_t alarmRecords = 0;
};

// Any thread: true from the report of an outage until its end (the Disk lamp).
bool writeOutageShown();
// Any thread: the number of outages told since the program started.
uint32_t writeOutageCount();
// Any thread: the failure the last report named; false before the first.
bool reportedWriteFailure(WriteFailure& failure);
// Any thread: what the last outage that ended had to drop.
OutageDrops lastOutageDrops();

// Program start, before the worker threads run: no outage.
void resetWriteOutage();

}  // namespace kvt
