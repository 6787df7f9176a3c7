#pragma once
#include "platform/SystemTime.h"

namespace kvt {

// True when a group with storing cycle `cycle` (0.5 s, 1 s, 2 s, 5 s, 10 s,
// 1 min for codes 0-5) stores a sample at the step stamped `step`. Unknown
// codes never store.
bool isStoringStep(int cycle, const SystemTime& step);

// Seconds covered by `count` consecutive stored samples of such a group
// (whole seconds, a half-second group's odd sample truncated).
int storedSamplesToSeconds(int cycle, int count);

}  // namespace kvt
