#include "acquisition/SampleStepWriter.h"

#include <cstring>

#include "acquisition/AcquisitionRecord.h"
#include "acquisition/AlarmEvaluation.h"
#include "acquisition/CurrentValues.h"
#include "acquisition/StoringCycle.h"
#include "core/RunFlags.h"
#include "core/ThreadConfiguration.h"
#include "core/WorkerWakeups.h"

namespace kvt {
namespace {

uint32_t followingSlot(uint32_t index) { return (index + 1) % kAcquisitionRingSize; }

void storeGroupSample(GroupBlock& block, int group, const SystemTime& step) {
    block.stored = 1;
    block.trigger = groupTriggerByte[group].load(std::memory_order_relaxed);
    for (int pen = 0; pen < kPensPerGroup; ++pen) {
        evaluateAlarms(group, pen, step);
        block.values[pen] = currentValue(group, pen);
        block.status[pen] = penStatus[penIndex(group, pen)].load(std::memory_order_relaxed);
    }
    groupStoredFlag[group].store(1, std::memory_order_relaxed);
}

void storeDueGroups(AcquisitionRecord& record, const SystemTime& step) {
    if (load(valuesValid) != 1) return;
    for (int group = 1; group <= kTrendGroupCount; ++group) {
        if (!isStoringStep(threadConfiguration().group(group).storingCycle, step)) continue;
        storeGroupSample(record.groups[group - 1], group, step);
    }
}

}  // namespace

bool acquisitionRingFull() {
    uint32_t writeIndex = acquisitionRing.writeIndex.load(std::memory_order_relaxed);
    return followingSlot(writeIndex) == acquisitionRing.readIndex.load(std::memory_order_acquire);
}

void writeSampleStep(const SystemTime& step, bool storeGroups) {
    uint32_t writeIndex = acquisitionRing.writeIndex.load(std::memory_order_relaxed);
    AcquisitionRecord& record = acquisitionRing.records[writeIndex];
    std::memset(static_cast<void*>(&record), 0, sizeof record);
    record.active = load(acquisitionActive);
    record.time = step;
    if (storeGroups) storeDueGroups(record, step);
    acquisitionRing.writeIndex.store(followingSlot(writeIndex), std::memory_order_release);
    schedulerWake.signal();
}

}  // namespace kvt
