#include "display/LiveSources.h"

namespace kvt {
namespace {

bool validGroup(int group) { return group >= 0 && group < kGroupCount; }

// A ring's slots with its published write slot and filled count.
struct RingView {
    const RingSlot* slots;
    const std::atomic<uint32_t>* writeSlot;
    const std::atomic<uint32_t>* filled;
};

RingView ringOf(int group, bool recordedOnly) {
    if (recordedOnly) {
        const RecordedSamplesRing& ring = recordedSampleRings[group];
        return {ring.slots, &ring.writeIndex, &ring.count};
    }
    const GroupRecordingRing& ring = groupRecordingRings[group];
    return {ring.slots, &ring.writeSlot, &ring.filledCount};
}

int publishedWriteSlot(const RingView& ring) {
    return static_cast<int>(ring.writeSlot->load(std::memory_order_acquire) % kRingSlotCount);
}

int publishedFilled(const RingView& ring) {
    uint32_t filled = ring.filled->load(std::memory_order_acquire);
    return filled > kRingSlotCount ? kRingSlotCount : static_cast<int>(filled);
}

bool readStable(const RingSlot& slot, SampleData& copy) { return (readSlot(slot, copy) & 1u) == 0; }

}  // namespace

int groupRecordingFlag(int group) {
    if (!validGroup(group)) return 0;
    return groupRecordingRings[group].recording.load(std::memory_order_acquire);
}

void copyLiveSamples(int group, bool recordedOnly, LiveSamples& out) {
    out.count = 0;
    if (!validGroup(group)) return;
    RingView ring = ringOf(group, recordedOnly);
    int filled = publishedFilled(ring);
    int writeSlot = publishedWriteSlot(ring);
    int copied = 0;
    while (copied < filled &&
           readStable(ring.slots[slotBefore(writeSlot, copied + 1)], out.samples[copied])) {
        ++copied;
    }
    // Slots the scheduler has filled since hold newer samples now: they
    // were the oldest of the copy.
    int written = (publishedWriteSlot(ring) - writeSlot + kRingSlotCount) % kRingSlotCount;
    int overwritten = written - (kRingSlotCount - filled);
    if (overwritten > 0) copied -= overwritten < copied ? overwritten : copied;
    out.count = copied;
}

bool newestLiveSample(int group, SampleData& out) {
    if (!validGroup(group)) return false;
    RingView ring = ringOf(group, false);
    if (publishedFilled(ring) == 0) return false;
    return readStable(ring.slots[slotBefore(publishedWriteSlot(ring), 1)], out);
}

}  // namespace kvt
