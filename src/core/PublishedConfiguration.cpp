#include "core/PublishedConfiguration.h"

#include <atomic>
#include <cstring>
#include <thread>

#include "core/WorkerWakeups.h"

namespace kvt {
namespace {

struct PublishedSlot {
    ConfigurationRecord record{};
    std::atomic<uint32_t> readers{0};  // workers copying this slot right now
};

PublishedSlot publishedSlots[2];

// The newest generation; its low bit names the slot that holds it. The
// generation, the reader counts and the re-check below are sequentially
// consistent: a worker that counts itself in on a slot either is seen by
// the window before it refills that slot, or sees the newer generation and
// lets go of the slot again.
std::atomic<uint32_t> newestGeneration{0};

PublishedSlot& slotOf(uint32_t generation) { return publishedSlots[generation & 1u]; }

// Counts the caller in on the slot of the newest generation, which then
// stays unchanged until it is let go. Returns that generation.
uint32_t holdNewestSlot() {
    for (;;) {
        uint32_t generation = newestGeneration.load(std::memory_order_seq_cst);
        PublishedSlot& slot = slotOf(generation);
        slot.readers.fetch_add(1, std::memory_order_seq_cst);
        if (newestGeneration.load(std::memory_order_seq_cst) == generation) return generation;
        slot.readers.fetch_sub(1, std::memory_order_release);
    }
}

void letGo(uint32_t generation) {
    slotOf(generation).readers.fetch_sub(1, std::memory_order_release);
}

}  // namespace

void publishLiveConfiguration() {
    // The window is the only publisher, so nobody else moves the generation.
    uint32_t next = newestGeneration.load(std::memory_order_relaxed) + 1;
    PublishedSlot& slot = slotOf(next);
    // Workers still copying the older generation out of this slot finish
    // within one copy of the record.
    while (slot.readers.load(std::memory_order_seq_cst) != 0) std::this_thread::yield();
    std::memcpy(static_cast<void*>(&slot.record), &liveConfiguration, sizeof slot.record);
    newestGeneration.store(next, std::memory_order_seq_cst);
    wakeLinkThreads();
}

uint32_t publishedConfigurationGeneration() {
    return newestGeneration.load(std::memory_order_acquire);
}

bool ConfigurationSnapshot::refresh() {
    if (newestGeneration.load(std::memory_order_acquire) == generation_) return false;
    uint32_t generation = holdNewestSlot();
    std::memcpy(static_cast<void*>(&record_), &slotOf(generation).record, sizeof record_);
    letGo(generation);
    generation_ = generation;
    return true;
}

}  // namespace kvt
