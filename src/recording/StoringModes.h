#pragma once
#include <cstdint>

namespace kvt {

// Decides, by the group's storing mode in the live configuration, whether the
// sample just stored in `slot` of the group's recording ring is recorded, and
// records it (and, for an event, the pretrigger samples before it). Reads
// the ring's trigger states and samples-since-start count as they are before
// the sample is counted. Scheduler thread only.
void applyStoringMode(int group, int slot);

// Length of an auto span in samples of a storing cycle (0 = 0.5 s ... 5 = 1 min),
// held to 0 to INT32_MAX whatever the duration.
int32_t autoSpanLength(int storingCycle, int hours, int minutes);

}  // namespace kvt
