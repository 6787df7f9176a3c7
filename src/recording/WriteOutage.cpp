#include "recording/WriteOutage.h"

#include <atomic>

#include "core/ConfigurationRecord.h"
#include "core/RunFlags.h"
#include "journal/JournalPosts.h"
#include "platform/Clock.h"
#include "platform/WindowCommands.h"
#include "recording/RecordingBuffers.h"
#include "recording/RecordingStatus.h"
#include "recording/WriteStatusUpdates.h"

namespace kvt {
namespace {

std::atomic<int> outageShown{0};
std::atomic<uint32_t> outageCount{0};
SeqlockCell<WriteFailure> reportedFailure;
SeqlockCell<OutageDrops> endedOutageDrops;

// Scheduler thread only.
bool outageGoing = false;
OutageDrops droppedBefore;

OutageDrops droppedSoFar() {
    return {droppedRowCount.load(std::memory_order_relaxed), alarmRecordsDropped()};
}

// The slot of the failure that has lasted longest; nullptr when nothing fails.
const WriteFailureSlot* longestFailure(uint32_t nowTick, uint32_t& sinceTick) {
    const WriteFailureSlot* longest = nullptr;
    auto consider = [&](const WriteFailureSlot& slot) {
        uint32_t since = 0;
        if (!slot.failing(since)) return;
        if (longest != nullptr && nowTick - since <= nowTick - sinceTick) return;
        longest = &slot;
        sinceTick = since;
    };
    for (int group = 0; group < kGroupCount; ++group) consider(dayFileFailureSlot(group));
    consider(alarmHistoryFailureSlot());
    consider(alarmHistoryFlushFailureSlot());
    return longest;
}

void endOutage() {
    if (load(outageShown)) {
        OutageDrops now = droppedSoFar();
        OutageDrops dropped{now.rows - droppedBefore.rows,
                            now.alarmRecords - droppedBefore.alarmRecords};
        endedOutageDrops.store(dropped);
        store(outageShown, 0);
        WriteFailure reported = reportedFailure.load();
        journalWriteRecovered(reported.path, dropped.rows, dropped.alarmRecords);
        postWindowCommand(kCommandWritingResumed);
    }
    outageGoing = false;
}

void reportOutage(const WriteFailure& failure) {
    reportedFailure.store(failure);
    OutageDrops dropped = droppedSoFar();
    journalWriteFailure(failure.path, englishWriteFailureReason(failure.error),
                        dropped.rows - droppedBefore.rows,
                        dropped.alarmRecords - droppedBefore.alarmRecords);
    outageCount.fetch_add(1, std::memory_order_relaxed);
    store(outageShown, 1);
    postWindowCommand(kCommandWriteFailed);
}

}  // namespace

void watchWriteOutage() {
    uint32_t now = activeClock().tickCount();
    uint32_t since = 0;
    const WriteFailureSlot* longest = longestFailure(now, since);
    if (longest == nullptr) {
        if (outageGoing) endOutage();
        return;
    }
    if (!outageGoing) {
        outageGoing = true;
        droppedBefore = droppedSoFar();
    }
    WriteFailure failure;
    // A failure being noted just now is taken at the next record.
    if (!load(outageShown) && now - since > kWriteOutageReportMs && longest->tryRead(failure)) {
        reportOutage(failure);
    }
}

bool writeOutageShown() { return load(outageShown) != 0; }

uint32_t writeOutageCount() { return outageCount.load(std::memory_order_relaxed); }

bool reportedWriteFailure(WriteFailure& failure) {
    failure = reportedFailure.load();
    return failure.error != 0;
}

OutageDrops lastOutageDrops() { return endedOutageDrops.load(); }

void resetWriteOutage() {
    outageGoing = false;
    droppedBefore = OutageDrops{};
    store(outageShown, 0);
    outageCount.store(0, std::memory_order_relaxed);
    reportedFailure.store(WriteFailure{});
    endedOutageDrops.store(OutageDrops{});
}

}  // namespace kvt
