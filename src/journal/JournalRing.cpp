#include "journal/JournalRing.h"

namespace kvt {

JournalRing::JournalRing() {
    for (uint32_t index = 0; index < kCapacity; ++index) {
        slots_[index].sequence.store(index, std::memory_order_relaxed);
    }
}

bool JournalRing::push(const JournalEvent& event) {
    uint32_t position = claimed_.load(std::memory_order_relaxed);
    for (;;) {
        Slot& slot = slots_[position % kCapacity];
        uint32_t sequence = slot.sequence.load(std::memory_order_acquire);
        int32_t ahead = static_cast<int32_t>(sequence - position);
        if (ahead == 0) {
            if (claimed_.compare_exchange_weak(position, position + 1,
                                               std::memory_order_relaxed)) {
                slot.event = event;
                slot.sequence.store(position + 1, std::memory_order_release);
                return true;
            }
        } else if (ahead < 0) {
            // The reader has not freed this slot of the previous round.
            lost_.fetch_add(1, std::memory_order_relaxed);
            return false;
        } else {
            position = claimed_.load(std::memory_order_relaxed);
        }
    }
}

bool JournalRing::pop(JournalEvent& event) {
    uint32_t position = taken_.load(std::memory_order_relaxed);
    Slot& slot = slots_[position % kCapacity];
    if (slot.sequence.load(std::memory_order_acquire) != position + 1) return false;
    event = slot.event;
    slot.sequence.store(position + kCapacity, std::memory_order_release);
    taken_.store(position + 1, std::memory_order_release);
    return true;
}

uint32_t JournalRing::takeLostCount() { return lost_.exchange(0, std::memory_order_relaxed); }

}  // namespace kvt
