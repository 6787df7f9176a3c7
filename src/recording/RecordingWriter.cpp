#include "recording/RecordingWriter.h"

#include "core/RunFlags.h"
#include "core/ThreadConfiguration.h"
#include "core/WorkerWakeups.h"
#include "platform/Clock.h"
#include "recording/CsvRow.h"
#include "recording/DayFile.h"
#include "recording/RecordingBuffers.h"
#include "recording/RecordingScheduler.h"

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

// A queue entry as read by the writer.
struct QueuedRow {
    int group;
    int slot;
    uint32_t slotVersion;
};

// What the thread reads while it runs; taken over whole for every pass.
ConfigurationSnapshot writerConfiguration;

void countDropped(uint32_t rows) { droppedRowCount.fetch_add(rows, std::memory_order_relaxed); }

void advanceReadSequence(uint32_t sequence) {
    writeQueue.readSequence.store(nextQueueSequence(sequence), std::memory_order_release);
}

// Reads the entry of `sequence`; false when the scheduler has already
// written a later entry over it.
bool readEntry(uint32_t sequence, QueuedRow& row) {
    const WriteQueueEntry& entry = writeQueue.entries[sequence % kWriteQueueSize];
    if (entry.sequence.load(std::memory_order_acquire) != sequence) return false;
    row.group = entry.group.load(std::memory_order_relaxed);
    row.slot = entry.slot.load(std::memory_order_relaxed);
    row.slotVersion = entry.slotVersion.load(std::memory_order_relaxed);
    std::atomic_thread_fence(std::memory_order_acquire);
    if (entry.sequence.load(std::memory_order_relaxed) != sequence) return false;
    return row.group >= 0 && row.group < kGroupCount && row.slot >= 0 &&
           row.slot < kRingSlotCount;
}

enum class RowOutcome { Written, Lost, Blocked };

RowOutcome writeQueuedRow(uint32_t sequence) {
    QueuedRow queued{};
    if (!readEntry(sequence, queued)) return RowOutcome::Lost;
    SampleData sample;
    const RingSlot& slot = groupRecordingRings[queued.group].slots[queued.slot];
    if (!readSlotVersion(slot, queued.slotVersion, sample)) return RowOutcome::Lost;
    const ConfigurationRecord& config = threadConfiguration();
    char row[kMaxRowLength];
    int length = formatCsvRow(row, config, queued.group, sample);
    if (!appendDayFileRow(config, queued.group, sample.time, row, length)) {
        return RowOutcome::Blocked;
    }
    return RowOutcome::Written;
}

// Writes queued rows as writerPass does, and starts no row once
// `deadlineMs` (monotonic milliseconds; kNoDeadline for none) has passed.
int writeQueuedRows(int64_t deadlineMs) {
    refreshThreadConfiguration();
    int written = 0;
    while (written < kRowsPerWriterPass) {
        if (deadlineMs != kNoDeadline && monotonicMilliseconds() >= deadlineMs) break;
        uint32_t pending = pendingRowCount();
        if (pending == 0) break;
        uint32_t sequence = writeQueue.readSequence.load(std::memory_order_relaxed);
        if (pending > static_cast<uint32_t>(kWriteQueueSize)) {
            // The scheduler wrote a whole queue over entries not yet read.
            uint32_t lost = pending - kWriteQueueSize;
            countDropped(lost);
            writeQueue.readSequence.store((sequence + lost) % kQueueSequenceModulus,
                                          std::memory_order_release);
            continue;
        }
        RowOutcome outcome = writeQueuedRow(sequence);
        if (outcome == RowOutcome::Blocked) break;  // the same entry again next pass
        if (outcome == RowOutcome::Lost) countDropped(1);
        else ++written;
        advanceReadSequence(sequence);
    }
    return written;
}

// On exit: the rows the scheduler queued before it ended are written, unless
// the files refuse them or the disk is so slow that they take longer than
// kExitDrainMs; the window must close whatever the disk does.
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
}

}  // namespace

uint32_t pendingRowCount() {
    return queueDistance(writeQueue.writeSequence.load(std::memory_order_acquire),
                         writeQueue.readSequence.load(std::memory_order_relaxed));
}

int writerPass() { return writeQueuedRows(kNoDeadline); }

void recordingWriterMain() {
    ThreadConfigurationScope configuration(writerConfiguration);
    bool rowsLeft = false;
    while (!load(exitRequested)) {
        activeClock().sleepUntilSignalled(writerWake, rowsLeft ? kWriterSleepMs : kIdleSleepMs);
        if (load(exitRequested)) break;
        writerPass();
        rowsLeft = pendingRowCount() > 0;
    }
    writeRemainingRows();
}

}  // namespace kvt
