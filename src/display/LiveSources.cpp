#include "display/LiveSources.h"

#include <algorithm>

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

void copyLiveSamples(int group, bool recordedOnly, LiveSamples& out, int most) {
    out.count = 0;
    if (!validGroup(group)) return;
    RingView ring = ringOf(group, recordedOnly);
    int filled = std::min(publishedFilled(ring), most);
    int writeSlot = publishedWriteSlot(ring);
    uint32_t newestVersion = 0;
    int copied = 0;
    while (copied < filled) {
        uint32_t version =
            readSlot(ring.slots[slotBefore(writeSlot, copied + 1)], out.samples[copied]);
        if (copied == 0) newestVersion = version;
        // Going back in time the versions fall by two per sample. A slot
        // being rewritten (odd), or one the scheduler has already filled
        // with a sample of a later lap, ends the copy: what came before it
        // is a whole run of consecutive samples.
        if ((version & 1u) != 0 || version != newestVersion - 2u * static_cast<uint32_t>(copied)) {
            break;
        }
        ++copied;
    }
    out.count = copied;
}

bool newestLiveSample(int group, SampleData& out) {
    if (!validGroup(group)) return false;
    RingView ring = ringOf(group, false);
    if (publishedFilled(ring) == 0) return false;
    return readStable(ring.slots[slotBefore(publishedWriteSlot(ring), 1)], out);
}

}  // namespace kvt
