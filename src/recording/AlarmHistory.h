#pragma once
#include <atomic>
#include <cstdint>

#include "platform/SystemTime.h"

namespace kvt {

constexpr int kAlarmRecordLength = 51;  // 50 characters and a line feed

// Builds the 51-byte record of an alarm event (no NUL added) in the language
// given (1 English, 0 Japanese Shift-JIS). `isDiscrete` picks the OFF/ON texts.
void formatAlarmRecord(char (&record)[kAlarmRecordLength], int group, int pen,
                       const SystemTime& time, int code, bool isDiscrete, int language);

// Appends one event of pen `pen` (0-11) of group `group` (1-10) in the
// language in force. Called on the acquisition thread; allocates nothing.
// A record that cannot be written (file not openable, disk full) is kept in
// a fixed backlog and written before the next event, or on
// retryPendingAlarmHistory(); only a full backlog drops records, counted.
// Failed writes are told through alarmHistoryWriteFailure (RecordingStatus.h).
// The first append after the start or after a failed write cuts a torn
// record (or zero bytes) off the file's end first. Flushing the file to the
// disk is left to the recording writer's thread, woken for it (writerWake):
// see alarmHistoryAppendCount.
void appendAlarmHistory(int group, int pen, const SystemTime& time, int code);

// Writes the backlog if there is one; cheap when there is none.
void retryPendingAlarmHistory();

int pendingAlarmHistoryCount();

// Any thread: counts the appends that wrote records; a change tells the
// recording writer that the file holds bytes to flush.
uint32_t alarmHistoryAppendCount();

// Flushes the file's data to the disk (recording writer thread): 0, or the
// errno value of the failure (none when there is no file).
int flushAlarmHistory();

// At the end of the acquisition thread: records the backlog still holds go
// with the process; they are counted as dropped and told in the journal.
void dropAlarmHistoryLeftAtExit();
extern std::atomic<int> droppedAlarmRecords;

// Forgets the backlog and its write failure (tests only: the backlog
// belongs to the acquisition thread).
void discardPendingAlarmHistory();

}  // namespace kvt
