#include "recording/RecordingBuffers.h"

#include <cstring>

#include "core/ThreadConfiguration.h"
#include "recording/WriteStatusUpdates.h"

namespace kvt {

GroupRecordingRing groupRecordingRings[kGroupCount];
RecordedSamplesRing recordedSampleRings[kGroupCount];
WriteQueue writeQueue;
std::atomic<uint32_t> droppedRowCount{0};

namespace {

void clearSlots(RingSlot (&slots)[kRingSlotCount]) {
    for (RingSlot& slot : slots) {
        slot.version.store(0, std::memory_order_relaxed);
        storeSlotData(slot, SampleData{});
    }
}

void clearGroupRing(GroupRecordingRing& ring) {
    clearSlots(ring.slots);
    ring.samplesWritten = 0;
    ring.samplesSinceStart = 0;
    ring.spanCounter = 0;
    ring.spanLength = 0;
    ring.currentTrigger = -1;
    ring.previousTrigger = -1;
    ring.recording.store(0, std::memory_order_relaxed);
    ring.filledCount.store(0, std::memory_order_relaxed);
    ring.writeSlot.store(0, std::memory_order_release);
}

void clearRecordedRing(RecordedSamplesRing& ring) {
    clearSlots(ring.slots);
    ring.samplesWritten = 0;
    ring.count.store(0, std::memory_order_relaxed);
    ring.writeIndex.store(0, std::memory_order_release);
}

void clearWriteShare(WriteShare& share) {
    for (WriteQueueEntry& entry : share.entries) {
        entry.slot.store(0, std::memory_order_relaxed);
        entry.slotVersion.store(0, std::memory_order_relaxed);
        entry.sequence.store(0, std::memory_order_relaxed);
    }
    share.readSequence.store(0, std::memory_order_release);
    share.writeSequence.store(0, std::memory_order_release);
}

}  // namespace

void clearRecordingBuffers() {
    for (int group = 0; group < kGroupCount; ++group) {
        clearGroupRing(groupRecordingRings[group]);
        clearRecordedRing(recordedSampleRings[group]);
        groupRecordingRings[group].seenStoringCycle =
            group == kHighSpeedGroup ? 0 : threadConfiguration().group(group).storingCycle;
    }
    for (WriteShare& share : writeQueue.shares) clearWriteShare(share);
    droppedRowCount.store(0, std::memory_order_release);
    resetWriteStatus();
}

void beginSlotWrite(RingSlot& slot) {
    uint32_t version = slot.version.load(std::memory_order_relaxed);
    slot.version.store(version | 1u, std::memory_order_relaxed);
    // Readers that see any of the new data also see the odd version.
    std::atomic_thread_fence(std::memory_order_release);
}

void storeSlotData(RingSlot& slot, const SampleData& sample) {
    uint64_t words[kSampleWords];
    std::memcpy(words, &sample, sizeof words);
    for (int index = 0; index < kSampleWords; ++index) {
        slot.words[index].store(words[index], std::memory_order_relaxed);
    }
}

SampleData slotData(const RingSlot& slot) {
    uint64_t words[kSampleWords];
    for (int index = 0; index < kSampleWords; ++index) {
        words[index] = slot.words[index].load(std::memory_order_relaxed);
    }
    SampleData sample;
    std::memcpy(&sample, words, sizeof sample);
    return sample;
}

void endSlotWrite(RingSlot& slot, uint32_t& samplesWritten) {
    // Even, and different for every sample the ring takes (it wraps only
    // after 2^31 samples, and then still steps by two).
    ++samplesWritten;
    slot.version.store(samplesWritten * 2u, std::memory_order_release);
}

uint32_t readSlot(const RingSlot& slot, SampleData& copy) {
    uint32_t before = slot.version.load(std::memory_order_acquire);
    copy = slotData(slot);
    std::atomic_thread_fence(std::memory_order_acquire);
    uint32_t after = slot.version.load(std::memory_order_relaxed);
    return before == after ? before : (after | 1u);
}

bool readSlotVersion(const RingSlot& slot, uint32_t version, SampleData& copy) {
    if (slot.version.load(std::memory_order_acquire) != version) return false;
    return readSlot(slot, copy) == version;
}

}  // namespace kvt
