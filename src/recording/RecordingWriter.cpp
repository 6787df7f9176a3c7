#include "recording/RecordingWriter.h"

#include <algorithm>
#include <cerrno>

#include "core/RunFlags.h"
#include "core/ThreadConfiguration.h"
#include "core/WorkerWakeups.h"
#include "journal/JournalPosts.h"
#include "platform/Clock.h"
#include "platform/Paths.h"
#include "recording/CsvRow.h"
#include "recording/DayFile.h"
#include "recording/RecordedOutlets.h"
#include "recording/RecordingBuffers.h"
#include "recording/RecordingScheduler.h"
#include "recording/RecordingStatus.h"
#include "recording/WriteStatusUpdates.h"
#include "recording/WriterFlushes.h"

namespace kvt {
namespace {

// Rows that could not be written (no file, full disk) are tried again this
// soon; queued rows wake the thread (writerWake), this is only a stop-gap.
constexpr uint32_t kWriterSleepMs = 25;
constexpr uint32_t kIdleSleepMs = 1000;
constexpr uint32_t kExitWaitMs = 2000;
// Passes that empty even a full queue.
constexpr int kExitPasses = kWriteQueueSize / kRowsPerWriterPass + 1;
constexpr int64_t kNoDeadline = 0;

// A share's entry as read by the writer.
struct QueuedRow {
    int slot;
    uint32_t slotVersion;
};

// What the thread reads while it runs; taken over whole for every pass.
ConfigurationSnapshot writerConfiguration;

bool pastDeadline(int64_t deadlineMs) {
    return deadlineMs != kNoDeadline && monotonicMilliseconds() >= deadlineMs;
}

// Reads the entry of `sequence`; false when the scheduler has already
// written a later entry over it.
bool readEntry(const WriteShare& share, uint32_t sequence, QueuedRow& row) {
    const WriteQueueEntry& entry = share.entries[sequence % kWriteShareSize];
    if (entry.sequence.load(std::memory_order_acquire) != sequence) return false;
    row.slot = entry.slot.load(std::memory_order_relaxed);
    row.slotVersion = entry.slotVersion.load(std::memory_order_relaxed);
    std::atomic_thread_fence(std::memory_order_acquire);
    if (entry.sequence.load(std::memory_order_relaxed) != sequence) return false;
    return row.slot >= 0 && row.slot < kRingSlotCount;
}

enum class RowOutcome { None, Written, Lost, Blocked };

void noteBlocked(int group, const SystemTime& time) {
    int error = errno;
    char path[kDayPathCapacity];
    dayFilePath(path, dataFolder(), CalendarDate{time.year, time.month, time.day}, group);
    dayFileFailureSlot(group).noteFailure(path, error, activeClock().tickCount());
}

// A failure of the group's files ends with a row written (or nothing left
// to write), unless a failed flush is still to be told.
void noteGroupWriting(int group) {
    if (!dayFileFlushFailureHeld(group, activeClock().tickCount())) {
        dayFileFailureSlot(group).noteCleared();
    }
}

// Appends the row, flushing the file at once when its turn has come.
bool appendRow(const ConfigurationRecord& config, int group, const SystemTime& time,
               const char* row, int length) {
    const CalendarDate date{time.year, time.month, time.day};
    uint32_t now = activeClock().tickCount();
    DayFileSync sync;
    sync.flushFile = dayFileFlushWanted(group, date, now);
    if (!appendDayFileRow(config, group, time, row, length, sync)) return false;
    noteDayFileAppended(group, date, sync, now);
    return true;
}

RowOutcome writeEntry(int group, const WriteShare& share, uint32_t sequence) {
    QueuedRow queued{};
    if (!readEntry(share, sequence, queued)) return RowOutcome::Lost;
    SampleData sample;
    const RingSlot& slot = groupRecordingRings[group].slots[queued.slot];
    if (!readSlotVersion(slot, queued.slotVersion, sample)) return RowOutcome::Lost;
    const ConfigurationRecord& config = threadConfiguration();
    char row[kMaxRowLength];
    int length = formatCsvRow(row, config, group, sample);
    if (!appendRow(config, group, sample.time, row, length)) {
        noteBlocked(group, sample.time);
        return RowOutcome::Blocked;
    }
    noteRowWritten(group, sample.time);
    noteGroupWriting(group);
    passRowOn(group, sample.time, row, length);
    return RowOutcome::Written;
}

// Takes the oldest entry of a group's share: writes its row, or counts it
// lost, or leaves it at the head of the share when its file refuses it.
RowOutcome takeOldestRow(int group) {
    WriteShare& share = writeQueue.shares[group];
    uint32_t pending = rowsWaiting(group);
    uint32_t sequence = share.readSequence.load(std::memory_order_relaxed);
    if (pending == 0) {
        noteGroupWriting(group);  // nothing of the group waits
        return RowOutcome::None;
    }
    if (pending > static_cast<uint32_t>(kWriteShareSize)) {
        // The scheduler wrote a whole share over entries not yet read.
        uint32_t lost = pending - kWriteShareSize;
        noteRowsDropped(group, lost);
        share.readSequence.store((sequence + lost) % kQueueSequenceModulus,
                                 std::memory_order_release);
        return RowOutcome::Lost;
    }
    RowOutcome outcome = writeEntry(group, share, sequence);
    if (outcome == RowOutcome::Blocked) return outcome;  // the same entry again next pass
    if (outcome == RowOutcome::Lost) noteRowsDropped(group, 1);
    share.readSequence.store(nextQueueSequence(sequence), std::memory_order_release);
    return outcome;
}

// Writes queued rows as writerPass does, and starts no row once
// `deadlineMs` (monotonic milliseconds; kNoDeadline for none) has passed.
// The groups take turns, a row each, so a long backlog of one group does
// not hold the others up; a group whose file refused a row waits for the
// next pass.
int writeQueuedRows(int64_t deadlineMs) {
    refreshThreadConfiguration();
    bool blocked[kGroupCount] = {};
    int written = 0;
    for (bool progress = true; progress && written < kRowsPerWriterPass;) {
        progress = false;
        for (int group = 0; group < kGroupCount && written < kRowsPerWriterPass; ++group) {
            if (blocked[group] || pastDeadline(deadlineMs)) continue;
            RowOutcome outcome = takeOldestRow(group);
            blocked[group] = outcome == RowOutcome::Blocked;
            progress = progress || outcome == RowOutcome::Written || outcome == RowOutcome::Lost;
            if (outcome == RowOutcome::Written) ++written;
        }
    }
    return written;
}

// Rows still queued when the writer gives up at exit go with the process:
// they are counted as dropped for their group and told in the journal, so
// that an end during a storage outage loses nothing silently.
void dropRowsLeftAtExit() {
    for (int group = 0; group < kGroupCount; ++group) {
        uint32_t left = rowsWaiting(group);
        if (left == 0) continue;
        noteRowsDropped(group, left);
        WriteShare& share = writeQueue.shares[group];
        uint32_t sequence = share.readSequence.load(std::memory_order_relaxed);
        share.readSequence.store((sequence + left) % kQueueSequenceModulus,
                                 std::memory_order_release);
        WriteFailure failure;
        bool failing = currentWriteFailure(group, failure);
        journalDroppedAtEnd(group, left, failing ? failure.path : nullptr,
                            failing ? englishWriteFailureReason(failure.error) : nullptr);
    }
}

// On exit: the rows the scheduler queued before it ended are written, unless
// the files refuse them or the disk is so slow that they take longer than
// kExitDrainMs (the window must close whatever the disk does); those left
// are dropped and told.
void writeRemainingRows() {
    for (uint32_t waited = 0; recordingSchedulerRunning() && waited < kExitWaitMs; ++waited) {
        activeClock().sleepMs(1);
    }
    int64_t deadline = monotonicMilliseconds() + kExitDrainMs;
    for (int pass = 0; pass < kExitPasses && pendingRowCount() > 0; ++pass) {
        uint32_t pendingBefore = pendingRowCount();
        writeQueuedRows(deadline);
        if (pendingRowCount() == pendingBefore || monotonicMilliseconds() >= deadline) break;
    }
    dropRowsLeftAtExit();
    flushEveryDirtyFile(activeClock().tickCount());
}

// How long the thread may sleep: rows left behind a failure are tried
// again soon, and no flush waits past its time.
uint32_t writerSleepMs(bool rowsLeft) {
    uint32_t sleepMs = rowsLeft ? kWriterSleepMs : kIdleSleepMs;
    return std::min(sleepMs, msUntilNextFlush(activeClock().tickCount()));
}

}  // namespace

uint32_t pendingRowCount() {
    uint32_t pending = 0;
    for (int group = 0; group < kGroupCount; ++group) pending += rowsWaiting(group);
    return pending;
}

int writerPass() {
    int written = writeQueuedRows(kNoDeadline);
    flushDueFiles(activeClock().tickCount());
    return written;
}

void recordingWriterMain() {
    ThreadConfigurationScope configuration(writerConfiguration);
    bool rowsLeft = false;
    while (!load(exitRequested)) {
        activeClock().sleepUntilSignalled(writerWake, writerSleepMs(rowsLeft));
        if (load(exitRequested)) break;
        writerPass();
        rowsLeft = pendingRowCount() > 0;
    }
    writeRemainingRows();
}

}  // namespace kvt
