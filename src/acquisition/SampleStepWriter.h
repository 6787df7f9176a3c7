#pragma once
#include "platform/SystemTime.h"

namespace kvt {

// True when the acquisition ring holds as many unread records as it can
// (119): writing another would overwrite one the recording scheduler has
// not read yet.
bool acquisitionRingFull();

// Writes the acquisition record of the step stamped `step` at the write
// index and then advances the index (release), so the reader never sees a
// half-written record, and wakes the recording scheduler. With `storeGroups` every group whose storing cycle
// is due at the step gets its alarms evaluated and its sample stored, once
// valuesValid is set.
void writeSampleStep(const SystemTime& step, bool storeGroups);

}  // namespace kvt
