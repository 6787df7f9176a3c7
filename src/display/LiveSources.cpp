#include "display/LiveSources.h"

#include <algorithm>

#include "display/TracePath.h"

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

namespace {

// Copies the next older sample; false when its slot was rewritten. Going
// back in time the versions fall by two per sample. A slot being rewritten
// (odd), or one the scheduler has already filled with a sample of a later
// lap, ends the copy: what came before it is a whole run of consecutive
// samples.
bool copyOlderSample(const RingView& ring, LiveSamples& out) {
    int copied = out.count;
    uint32_t version = readSlot(ring.slots[slotBefore(out.writeSlot, copied + 1)], out.samples[copied]);
    if (copied == 0) out.newestVersion = version;
    if ((version & 1u) != 0 || version != out.newestVersion - 2u * static_cast<uint32_t>(copied)) {
        return false;
    }
    out.count = copied + 1;
    return true;
}

uint32_t pensWithValues(const SampleData& sample) {
    uint32_t pens = 0;
    for (int pen = 0; pen < kPensPerGroup; ++pen) {
        if (!isMissingValue(sample.values[pen])) pens |= 1u << pen;
    }
    return pens;
}

}  // namespace

void copyLiveSamples(int group, bool recordedOnly, LiveSamples& out, int most) {
    out.count = 0;
    out.filled = 0;
    if (!validGroup(group)) return;
    RingView ring = ringOf(group, recordedOnly);
    out.filled = publishedFilled(ring);
    out.writeSlot = publishedWriteSlot(ring);
    int end = std::min(out.filled, most);
    while (out.count < end && copyOlderSample(ring, out)) {
    }
}

void copyLiveSamplesOn(int group, bool recordedOnly, LiveSamples& out, uint32_t pens) {
    if (!validGroup(group) || out.count == 0) return;
    RingView ring = ringOf(group, recordedOnly);
    while (pens != 0 && out.count < out.filled && copyOlderSample(ring, out)) {
        pens &= ~pensWithValues(out.samples[out.count - 1]);
    }
}

bool newestLiveSample(int group, SampleData& out) {
    if (!validGroup(group)) return false;
    RingView ring = ringOf(group, false);
    if (publishedFilled(ring) == 0) return false;
    return readStable(ring.slots[slotBefore(publishedWriteSlot(ring), 1)], out);
}

}  // namespace kvt
