#include "recording/WriteOutage.h"

#include <atomic>

#include "core/ConfigurationRecord.h"
#include "core/RunFlags.h"
#include "platform/Clock.h"
#include "platform/WindowCommands.h"
#include "recording/RecordingBuffers.h"
#include "recording/RecordingStatus.h"

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

// The failure that has lasted longest; false when nothing fails.
bool longestFailure(uint32_t nowTick, WriteFailure& longest) {
    WriteFailure failure;
    bool found = false;
    auto consider = [&] {
        if (found && nowTick - failure.sinceTick <= nowTick - longest.sinceTick) return;
        longest = failure;
        found = true;
    };
    for (int group = 0; group < kGroupCount; ++group) {
        if (currentWriteFailure(group, failure)) consider();
    }
    if (alarmHistoryWriteFailure(failure)) consider();
    return found;
}

void endOutage() {
    if (load(outageShown)) {
        OutageDrops now = droppedSoFar();
        endedOutageDrops.store({now.rows - droppedBefore.rows,
                                now.alarmRecords - droppedBefore.alarmRecords});
        store(outageShown, 0);
        postWindowCommand(kCommandWritingResumed);
    }
    outageGoing = false;
}

void reportOutage(const WriteFailure& failure) {
    reportedFailure.store(failure);
    outageCount.fetch_add(1, std::memory_order_relaxed);
    store(outageShown, 1);
    postWindowCommand(kCommandWriteFailed);
}

}  // namespace

void watchWriteOutage() {
    uint32_t now = activeClock().tickCount();
    WriteFailure failure;
    if (!longestFailure(now, failure)) {
        if (outageGoing) endOutage();
        return;
    }
    if (!outageGoing) {
        outageGoing = true;
        droppedBefore = droppedSoFar();
    }
    if (!load(outageShown) && now - failure.sinceTick > kWriteOutageReportMs) {
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
