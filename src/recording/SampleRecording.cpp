#include "recording/SampleRecording.h"

#include "recording/RecordingBuffers.h"

namespace kvt {
namespace {

void copyIntoRecordedRing(int group, const SampleData& sample) {
    RecordedSamplesRing& ring = recordedSampleRings[group];
    uint32_t index = ring.writeIndex.load(std::memory_order_relaxed);
    RingSlot& entry = ring.slots[index];
    beginSlotWrite(entry);
    storeSlotData(entry, sample);
    endSlotWrite(entry, ring.samplesWritten);
    uint32_t count = ring.count.load(std::memory_order_relaxed);
    if (count < kRingSlotCount) ring.count.store(count + 1, std::memory_order_release);
    ring.writeIndex.store((index + 1) % kRingSlotCount, std::memory_order_release);
}

void enqueue(int group, int slot, uint32_t slotVersion) {
    WriteShare& share = writeQueue.shares[group];
    uint32_t sequence = share.writeSequence.load(std::memory_order_relaxed);
    WriteQueueEntry& entry = share.entries[sequence % kWriteShareSize];
    // The new sequence goes in first: a writer still reading the entry's
    // previous contents then sees that the entry changed under it.
    entry.sequence.store(sequence, std::memory_order_relaxed);
    std::atomic_thread_fence(std::memory_order_release);
    entry.slot.store(slot, std::memory_order_relaxed);
    entry.slotVersion.store(slotVersion, std::memory_order_relaxed);
    share.writeSequence.store(nextQueueSequence(sequence), std::memory_order_release);
}

}  // namespace

void recordSlot(int group, int slot) {
    const RingSlot& source = groupRecordingRings[group].slots[slot];
    // Only the scheduler writes the ring, so its own read is always whole.
    uint32_t version = source.version.load(std::memory_order_relaxed);
    copyIntoRecordedRing(group, slotData(source));
    enqueue(group, slot, version);
}

}  // namespace kvt
