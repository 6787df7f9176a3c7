#pragma once
#include <atomic>
#include <cstdint>
#include <type_traits>

#include "core/ConfigurationRecord.h"
#include "platform/SystemTime.h"

namespace kvt {

constexpr int kRingSlotCount = 1600;     // samples per group ring
constexpr int kSubSamplesPerRecord = 10;  // 50 ms sub-samples of the high-speed group

// Every group has a share of the write queue of its own, so that rows of a
// group whose day file refuses them wait there while the other groups go
// on. A share holds as many entries as the group's ring holds samples: an
// entry further behind would name a sample already overwritten.
constexpr int kWriteShareSize = kRingSlotCount;
constexpr int kWriteQueueSize = kWriteShareSize * kGroupCount;  // all shares together

// Sequence numbers of a share run modulo a multiple of its size, so that
// "sequence % kWriteShareSize" stays continuous when they wrap.
constexpr uint32_t kQueueSequenceModulus = static_cast<uint32_t>(kWriteShareSize) * 2684354u;

// One stored sample. Pens beyond the group's pen count hold kNoData.
struct SampleData {
    SystemTime time;
    int32_t trigger;  // trigger state of the sample, 0 or 1
    double values[kPensPerGroup];   // input-range units as acquired, or kNoData
    uint8_t status[kPensPerGroup];  // pen status bytes (groups 1-10)
};
static_assert(std::is_trivially_copyable_v<SampleData>);

constexpr int kSampleWords = sizeof(SampleData) / sizeof(uint64_t);
static_assert(sizeof(SampleData) % sizeof(uint64_t) == 0);

// A ring slot guarded by a version word: odd while the scheduler rewrites the
// slot, else twice the ring's running number of the sample it holds, so the
// versions of consecutive samples of a ring are exactly two apart. A reader
// copies the data and accepts the copy only when the version was the same,
// and even, before and after it (readSlot below); the numbering lets it tell
// a sample of a later lap from the one it expected. Readers copy a slot
// while the scheduler may be rewriting it, so the sample is kept as atomic
// words, moved with relaxed loads and stores (slotData, storeSlotData): a
// torn copy is then merely thrown away, never a data race.
struct RingSlot {
    std::atomic<uint32_t> version{0};
    std::atomic<uint64_t> words[kSampleWords] = {};
};

// The samples of one group as acquired (the trend display's live source).
// The published write slot and filled count are stored (release) after the
// slots they cover; the display reads them (acquire) and then only slots
// behind the write slot.
struct GroupRecordingRing {
    RingSlot slots[kRingSlotCount];
    std::atomic<uint32_t> writeSlot{0};    // next slot to fill, 0-1599
    std::atomic<uint32_t> filledCount{0};  // slots holding data, held at 1600
    std::atomic<int32_t> recording{0};     // 1 inside a recording span

    // Scheduler-only state.
    uint32_t samplesSinceStart = 0;  // held at 1600
    int32_t spanCounter = 0;
    int32_t spanLength = 0;
    int32_t currentTrigger = -1;   // -1 after a start: neither on nor off
    int32_t previousTrigger = -1;
    int32_t seenStoringCycle = 0;  // storing cycle at the last start (groups 1-10)
    SystemTime lastAutoStart{};    // stamp that last started an auto span this run
    uint32_t samplesWritten = 0;   // running sample number, for the slot versions
};

// Only the samples that were recorded (the display's "recording data" view).
struct RecordedSamplesRing {
    RingSlot slots[kRingSlotCount];
    std::atomic<uint32_t> writeIndex{0};  // next entry, 0-1599
    std::atomic<uint32_t> count{0};       // entries holding data, held at 1600
    uint32_t samplesWritten = 0;          // scheduler only: running sample number
};

// One announced row of a share's group: its ring slot, and the slot's
// version when the sample was recorded, so that the writer can tell whether
// the slot still holds that sample. `sequence` is the entry's sequence
// number in its share; it is stored first, before the other fields.
struct WriteQueueEntry {
    std::atomic<uint32_t> sequence{0};
    std::atomic<int32_t> slot{0};
    std::atomic<uint32_t> slotVersion{0};
};

// Single-writer queue of one group from the scheduler to the CSV writer.
// Sequences count entries modulo kQueueSequenceModulus; the entry of
// sequence n sits at n % kWriteShareSize. Empty when both sequences are
// equal. The scheduler never waits for the writer: a writer that falls more
// than a whole share behind notices it and counts the entries it lost.
struct WriteShare {
    WriteQueueEntry entries[kWriteShareSize];
    std::atomic<uint32_t> writeSequence{0};  // advanced by the scheduler only
    std::atomic<uint32_t> readSequence{0};   // advanced by the writer only
};

// The write queue: one share per group, indexed by group number 0-10.
struct WriteQueue {
    WriteShare shares[kGroupCount];
};

// Indexed by group number 0-10.
extern GroupRecordingRing groupRecordingRings[kGroupCount];
extern RecordedSamplesRing recordedSampleRings[kGroupCount];
extern WriteQueue writeQueue;

// Rows the writer could not write because their sample was overwritten
// before it got to them (writer too far behind, or a long storage outage),
// over all groups; rowsDropped() of RecordingStatus.h has them by group.
extern std::atomic<uint32_t> droppedRowCount;

// Number of queue entries between two sequences (later minus earlier).
inline uint32_t queueDistance(uint32_t later, uint32_t earlier) {
    return later >= earlier ? later - earlier : later + (kQueueSequenceModulus - earlier);
}
inline uint32_t nextQueueSequence(uint32_t sequence) {
    return (sequence + 1) % kQueueSequenceModulus;
}

// Writer side of a slot: begin marks the slot as being rewritten, store
// puts the sample in, end numbers the new sample from the ring's running
// count and publishes the version. Only the scheduler calls them.
void beginSlotWrite(RingSlot& slot);
void storeSlotData(RingSlot& slot, const SampleData& sample);
void endSlotWrite(RingSlot& slot, uint32_t& samplesWritten);

// The sample a slot holds, without a version check: for the scheduler,
// which alone writes the rings, and for tests that have stopped it.
SampleData slotData(const RingSlot& slot);

// Copies a slot's data. Returns the (even) version the copy belongs to, or
// an odd number when the slot was being rewritten during the copy.
uint32_t readSlot(const RingSlot& slot, SampleData& copy);

// Same, but succeeds only when the slot still holds the given version.
bool readSlotVersion(const RingSlot& slot, uint32_t version, SampleData& copy);

// Program start: zeroes every ring, the queue, the drop counters and the
// writer's status (RecordingStatus.h); the storing cycle seen at the last
// start becomes the configured cycle.
void clearRecordingBuffers();

// Ring index `steps` slots before `slot`.
inline int slotBefore(int slot, int steps) {
    return ((slot - steps) % kRingSlotCount + kRingSlotCount) % kRingSlotCount;
}

}  // namespace kvt
