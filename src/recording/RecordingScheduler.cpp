#include "recording/RecordingScheduler.h"

#include <cstring>

#include "acquisition/AcquisitionRecord.h"
#include "acquisition/AcquisitionThread.h"
#include "core/RunFlags.h"
#include "core/ThreadConfiguration.h"
#include "core/WorkerWakeups.h"
#include "platform/Clock.h"
#include "platform/WindowCommands.h"
#include "recording/DiskProbe.h"
#include "recording/RecordingBuffers.h"
#include "recording/RecordingWriter.h"
#include "recording/StorageCleanup.h"
#include "recording/StoringModes.h"
#include "recording/WriteOutage.h"
#include "recording/WriterFlushes.h"

namespace kvt {
namespace {

// Each record wakes the thread (schedulerWake); this is only a stop-gap.
constexpr uint32_t kSchedulerSleepMs = 1000;
constexpr uint32_t kExitWaitMs = 2000;
constexpr int kHighSpeedStepMs = 50;

// True while a measurement is running, as seen by the scheduler.
bool measurementStarted = false;

std::atomic<int> threadRunning{0};

// What the thread reads while it runs; taken over whole for every record.
ConfigurationSnapshot schedulerConfiguration;

// The record being handled: copied out of the acquisition ring first, so a
// lapping acquisition thread cannot change it half-way.
AcquisitionRecord currentRecord;

bool isMidnight(const SystemTime& time) {
    return time.hour == 0 && time.minute == 0 && time.second == 0 && time.milliseconds == 0;
}

void emptyGroupRings(int group) {
    GroupRecordingRing& ring = groupRecordingRings[group];
    ring.filledCount.store(0, std::memory_order_relaxed);
    ring.writeSlot.store(0, std::memory_order_release);
    RecordedSamplesRing& recorded = recordedSampleRings[group];
    recorded.count.store(0, std::memory_order_relaxed);
    recorded.writeIndex.store(0, std::memory_order_release);
}

void resetSpanState(GroupRecordingRing& ring) {
    ring.recording.store(0, std::memory_order_release);
    ring.spanCounter = 0;
    ring.spanLength = 0;
    ring.samplesSinceStart = 0;
    ring.currentTrigger = -1;
    ring.previousTrigger = -1;
    ring.lastAutoStart = {};
}

// A measurement starts. The alarm states are cleared by the acquisition
// thread itself, their only writer.
void startMeasurement() {
    for (int group = 1; group < kGroupCount; ++group) {
        int cycle = threadConfiguration().group(group).storingCycle;
        GroupRecordingRing& ring = groupRecordingRings[group];
        if (cycle != ring.seenStoringCycle) {
            ring.seenStoringCycle = cycle;
            emptyGroupRings(group);
        }
    }
    for (GroupRecordingRing& ring : groupRecordingRings) resetSpanState(ring);
    measurementStarted = true;
}

void stopMeasurement() {
    for (GroupRecordingRing& ring : groupRecordingRings) {
        ring.recording.store(0, std::memory_order_release);
    }
    measurementStarted = false;
}

void followStartAndStop(int active) {
    if (!measurementStarted && active == 1) startMeasurement();
    else if (measurementStarted && active == 0) stopMeasurement();
}

// The trigger state of a new sample: the current one becomes the previous.
void takeTrigger(GroupRecordingRing& ring, int trigger) {
    ring.previousTrigger = ring.currentTrigger;
    ring.currentTrigger = trigger;
}

// After a sample has been stored and its storing mode applied.
void countSample(GroupRecordingRing& ring, uint32_t& slot, uint32_t& filled) {
    if (ring.samplesSinceStart < kRingSlotCount) ++ring.samplesSinceStart;
    if (filled < kRingSlotCount) ++filled;
    slot = (slot + 1) % kRingSlotCount;
}

void publishRing(GroupRecordingRing& ring, uint32_t slot, uint32_t filled) {
    ring.filledCount.store(filled, std::memory_order_release);
    ring.writeSlot.store(slot, std::memory_order_release);
}

void storeHighSpeedSamples(const AcquisitionRecord& record) {
    GroupRecordingRing& ring = groupRecordingRings[kHighSpeedGroup];
    uint32_t slot = ring.writeSlot.load(std::memory_order_relaxed);
    uint32_t filled = ring.filledCount.load(std::memory_order_relaxed);
    for (int step = 0; step < kSubSamplesPerRecord; ++step) {
        SampleData sample{};
        sample.time = record.time;
        // Records arrive on whole and half seconds, so this stays below 1000.
        sample.time.milliseconds =
            static_cast<uint16_t>(record.time.milliseconds + kHighSpeedStepMs * step);
        sample.trigger = record.highSpeedTrigger[step];
        for (int pen = 0; pen < kPensPerGroup; ++pen) {
            sample.values[pen] = pen < kHighSpeedPens ? record.highSpeedValues[pen][step] : kNoData;
        }
        RingSlot& target = ring.slots[slot];
        beginSlotWrite(target);
        storeSlotData(target, sample);
        endSlotWrite(target, ring.samplesWritten);
        takeTrigger(ring, record.highSpeedTrigger[step]);
        applyStoringMode(kHighSpeedGroup, static_cast<int>(slot));
        countSample(ring, slot, filled);
    }
    publishRing(ring, slot, filled);
}

void storeGroupSample(int group, const GroupBlock& block, const SystemTime& time) {
    GroupRecordingRing& ring = groupRecordingRings[group];
    uint32_t slot = ring.writeSlot.load(std::memory_order_relaxed);
    uint32_t filled = ring.filledCount.load(std::memory_order_relaxed);
    SampleData sample{};
    sample.time = time;
    sample.trigger = block.trigger;
    std::memcpy(sample.values, block.values, sizeof sample.values);
    std::memcpy(sample.status, block.status, sizeof sample.status);
    RingSlot& target = ring.slots[slot];
    beginSlotWrite(target);
    storeSlotData(target, sample);
    endSlotWrite(target, ring.samplesWritten);
    takeTrigger(ring, block.trigger);
    applyStoringMode(group, static_cast<int>(slot));
    countSample(ring, slot, filled);
    publishRing(ring, slot, filled);
}

void handleRecord(const AcquisitionRecord& record) {
    if (isMidnight(record.time)) runMidnightStorageCleanup();
    updateDiskLowFlag();
    watchWriteOutage();
    followStartAndStop(record.active);
    if (record.highSpeedPresent == 1) storeHighSpeedSamples(record);
    for (int group = 1; group < kGroupCount; ++group) {
        const GroupBlock& block = record.groups[group - 1];
        if (block.stored == 1) storeGroupSample(group, block, record.time);
    }
    if (record.time.milliseconds == 0) store(blinkFlag, load(blinkFlag) ? 0 : 1);
    postWindowCommand(kCommandRefresh);
}

// On exit: the records the acquisition thread wrote before it ended are
// handled like any other, so their samples reach the write queue.
void handleRemainingRecords() {
    for (uint32_t waited = 0; acquisitionThreadRunning() && waited < kExitWaitMs; ++waited) {
        activeClock().sleepMs(1);
    }
    for (int handled = 0; handled < kAcquisitionRingSize && schedulerPass() == 1; ++handled) {
    }
}

}  // namespace

int schedulerPass() {
    uint32_t readIndex = acquisitionRing.readIndex.load(std::memory_order_relaxed);
    uint32_t writeIndex = acquisitionRing.writeIndex.load(std::memory_order_acquire);
    if (readIndex == writeIndex) return 0;
    refreshThreadConfiguration();
    std::memcpy(&currentRecord, &acquisitionRing.records[readIndex % kAcquisitionRingSize],
                sizeof currentRecord);
    handleRecord(currentRecord);
    acquisitionRing.readIndex.store((readIndex + 1) % kAcquisitionRingSize,
                                    std::memory_order_release);
    return 1;
}

void recordingSchedulerMain() {
    ThreadConfigurationScope configuration(schedulerConfiguration);
    store(threadRunning, 1);
    while (!load(exitRequested)) {
        activeClock().sleepUntilSignalled(schedulerWake, kSchedulerSleepMs);
        if (load(exitRequested)) break;
        int handled = 0;
        while (handled < kAcquisitionRingSize && schedulerPass() == 1) ++handled;
        // Records that queue no row (no group stores) leave the writer
        // asleep until its own next pass.
        if (handled > 0 && pendingRowCount() > 0) writerWake.signal();
    }
    handleRemainingRecords();
    store(threadRunning, 0);
}

bool recordingSchedulerRunning() { return load(threadRunning) == 1; }

void resetRecordingBuffers() {
    clearRecordingBuffers();
    resetWriteOutage();
    resetWriterFlushes();
    measurementStarted = false;
}

}  // namespace kvt
