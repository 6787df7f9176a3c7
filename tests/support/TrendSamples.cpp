#include "support/TrendSamples.h"

#include "recording/PlaybackPanes.h"
#include "support/FakeClock.h"

namespace kvt::test {
namespace {

void writeSlot(RingSlot& slot, uint32_t& samplesWritten, const SampleData& sample) {
    beginSlotWrite(slot);
    storeSlotData(slot, sample);
    endSlotWrite(slot, samplesWritten);
}

void publish(std::atomic<uint32_t>& writeIndex, std::atomic<uint32_t>& filled) {
    writeIndex.store((writeIndex.load() + 1) % kRingSlotCount, std::memory_order_release);
    if (filled.load() < kRingSlotCount) filled.store(filled.load() + 1, std::memory_order_release);
}

}  // namespace

void appendRingSample(int group, const SampleData& sample, bool recordedRing) {
    if (recordedRing) {
        RecordedSamplesRing& ring = recordedSampleRings[group];
        writeSlot(ring.slots[ring.writeIndex.load()], ring.samplesWritten, sample);
        publish(ring.writeIndex, ring.count);
    } else {
        GroupRecordingRing& ring = groupRecordingRings[group];
        writeSlot(ring.slots[ring.writeSlot.load()], ring.samplesWritten, sample);
        publish(ring.writeSlot, ring.filledCount);
    }
}

SampleData sampleAt(const SystemTime& time, double value, uint8_t status) {
    SampleData sample{};
    sample.time = time;
    for (int pen = 0; pen < kPensPerGroup; ++pen) {
        sample.values[pen] = value;
        sample.status[pen] = status;
    }
    return sample;
}

void fillRing(int group, int count, const SystemTime& newest, int stepMs, SampleValue value,
              bool recordedRing) {
    for (int k = count - 1; k >= 0; --k) {
        SampleData sample = sampleAt(stampFromMs(stampMs(newest) - int64_t{k} * stepMs), 0.0);
        for (int pen = 0; pen < kPensPerGroup; ++pen) sample.values[pen] = value(pen, k);
        appendRingSample(group, sample, recordedRing);
    }
}

void fillPane(int pane, const SystemTime& newest, int stepMs, SampleValue value) {
    PlaybackPane& buffer = playbackPanes[pane];
    for (int k = 0; k < kPaneSlots; ++k) {
        buffer.stamps[k] = stampFromMs(stampMs(newest) - int64_t{k} * stepMs);
        for (int pen = 0; pen < kPensPerGroup; ++pen) buffer.values[pen][k] = value(pen, k);
    }
}

void clearTrendSources() {
    clearRecordingBuffers();
    resetPlaybackPanes();
}

}  // namespace kvt::test
