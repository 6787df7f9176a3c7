#pragma once

namespace kvt {

// Records the sample in `slot` of a group's recording ring: copies it into
// the group's recorded-samples ring (published at once) and announces it to
// the CSV writer through the group's share of the write queue. Scheduler
// thread only.
void recordSlot(int group, int slot);

}  // namespace kvt
