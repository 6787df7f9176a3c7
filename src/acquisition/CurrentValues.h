#pragma once
#include <atomic>
#include <cstdint>

#include "core/ConfigurationRecord.h"

namespace kvt {

constexpr int kTrendPenCount = kTrendGroupCount * kPensPerGroup;  // 120

// Index of pen p (0-11) of group g (1-10) in the pen tables below.
constexpr int penIndex(int group, int pen) { return (group - 1) * kPensPerGroup + pen; }

// Latest values of the pens of groups 1-10, written only by the acquisition
// thread. Analog pens in input-range units, discrete pens exactly 0.0 or 1.0,
// kNoData when never read. Relaxed atomics: the display reads them while the
// acquisition thread writes, and each value must be read whole.
extern std::atomic<double> currentValues[kTrendPenCount];
// Status byte per pen (companion register of power-factor pens).
extern std::atomic<uint8_t> penStatus[kTrendPenCount];
// Trigger state per group 0-10 (index 0 unused by trend groups): byte copy
// for the samples and int copy, as the node polling computes them.
extern std::atomic<int8_t> groupTriggerByte[kGroupCount];
extern std::atomic<int> groupTriggerState[kGroupCount];
// Per group 1-10 (index 1-10): set when the group has stored its first
// sample in the current run.
extern std::atomic<int> groupStoredFlag[kGroupCount];

inline double currentValue(int group, int pen) {
    return currentValues[penIndex(group, pen)].load(std::memory_order_relaxed);
}
inline void setCurrentValue(int group, int pen, double value) {
    currentValues[penIndex(group, pen)].store(value, std::memory_order_relaxed);
}

// Run start: every value to kNoData, status bytes and stored flags to 0.
void resetCurrentValues();

}  // namespace kvt
