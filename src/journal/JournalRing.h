#pragma once
#include <atomic>
#include <cstdint>

#include "journal/JournalEvent.h"

namespace kvt {

// The hand-over of journal events: a bounded ring that any number of
// threads fill at once without a lock and one reader empties. Each slot
// carries a sequence number that says whose turn it is: a writer claims
// the next position with one compare-and-swap, copies its event in and
// publishes the slot; the reader takes published slots in order. A full
// ring turns the event away and counts it, so no writer ever waits.
class JournalRing {
public:
    static constexpr uint32_t kCapacity = 256;  // a power of two
    static_assert((kCapacity & (kCapacity - 1)) == 0);

    JournalRing();

    // Any thread. False (and counted as lost) when the ring is full.
    bool push(const JournalEvent& event);
    // The one reader. False when the next slot is empty or still being
    // written.
    bool pop(JournalEvent& event);
    // Events turned away since the last call.
    uint32_t takeLostCount();
    // Positions claimed and taken so far (they wrap).
    uint32_t pushedCount() const { return claimed_.load(std::memory_order_acquire); }
    uint32_t poppedCount() const { return taken_.load(std::memory_order_acquire); }

private:
    struct Slot {
        std::atomic<uint32_t> sequence;
        JournalEvent event;
    };

    Slot slots_[kCapacity];
    std::atomic<uint32_t> claimed_{0};
    std::atomic<uint32_t> taken_{0};
    std::atomic<uint32_t> lost_{0};
};

}  // namespace kvt
