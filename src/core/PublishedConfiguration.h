#pragma once
#include <cstdint>

#include "core/ConfigurationRecord.h"

namespace kvt {

// Hands the live configuration from the window thread, its only writer, to
// the worker threads whole. Publishing copies liveConfiguration into the one
// of two slots that no worker holds and then announces it with a new
// generation; a worker copies the announced slot into a snapshot of its own,
// holding the slot only for that copy. Workers never lock, wait or
// allocate; the window waits at most for one worker's copy of the older
// slot it is about to fill.

// Window thread: the live configuration as it is now becomes the one the
// workers take at their next refresh (the idle socket thread and its
// watchdog are woken for it). Call after every change of
// liveConfiguration that the workers must see.
void publishLiveConfiguration();

// Generation of the newest publication; 0 before the first.
uint32_t publishedConfigurationGeneration();

// A worker thread's private copy of the newest published configuration.
// Only its own thread refreshes and reads it.
class ConfigurationSnapshot {
public:
    // Copies the newest publication when it is newer than the copy held;
    // true when it did. No lock, no wait, no allocation.
    bool refresh();

    const ConfigurationRecord& record() const { return record_; }
    // The owner may change its copy (the next refresh replaces it).
    ConfigurationRecord& record() { return record_; }
    uint32_t generation() const { return generation_; }

private:
    ConfigurationRecord record_{};
    uint32_t generation_ = 0;
};

}  // namespace kvt
