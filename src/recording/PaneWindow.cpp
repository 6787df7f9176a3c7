#include "recording/PaneWindow.h"

#include <algorithm>

#include "recording/RecordingBuffers.h"

namespace kvt {
namespace {

constexpr int kHighSpeedSpacingMs = 50;
constexpr int kHalfSecondSpacingMs = 500;
constexpr int kCycleSpacingMs[] = {500, 1000, 2000, 5000, 10000, 60000};

int64_t floorDivide(int64_t value, int64_t divisor) {
    int64_t quotient = value / divisor;
    return value % divisor < 0 ? quotient - 1 : quotient;
}

// Slot of a row of the high-speed group: 20 slots a second, the row's
// milliseconds in 50 ms steps. Within the reference second itself only the
// rows of its first tenth count, and they all go to slot 0.
int64_t highSpeedSlot(int64_t secondsBack, const RowTime& time) {
    if (secondsBack == 0) return time.tenths == 0 ? 0 : -1;
    int milliseconds = time.tenths * 100 + (time.hundredths >= 5 ? 50 : 0);
    return secondsBack * 20 - milliseconds / kHighSpeedSpacingMs;
}

// Slot of a row of a 0.5 s group: a row stamped .5 lies half a slot pair
// later than its whole second; the .5 row of the reference second is after
// the reference time.
int64_t halfSecondSlot(int64_t secondsBack, const RowTime& time) {
    bool halfPast = time.tenths == 5;
    if (secondsBack == 0 && time.tenths != 0) return -1;
    return secondsBack * 2 - (halfPast ? 1 : 0);
}

}  // namespace

int sampleSpacingMs(int group, int storingCycle) {
    if (group == kHighSpeedGroup) return kHighSpeedSpacingMs;
    if (storingCycle < kCycleHalfSecond || storingCycle > kCycle1min) return 1000;
    return kCycleSpacingMs[storingCycle];
}

int64_t paneReferenceTime(int64_t stored, int group, int storingCycle, int64_t now) {
    if (stored != 0) return std::clamp(stored, kEarliestReferenceTime, kLatestReferenceTime);
    int64_t reference = std::clamp(now - 1, kEarliestReferenceTime, kLatestReferenceTime);
    int spacingMs = sampleSpacingMs(group, storingCycle);
    int alignment = group == kHighSpeedGroup || spacingMs <= 1000 ? 1 : spacingMs / 1000;
    return reference - localTimeOf(reference, 0).second % alignment;
}

void fillSlotStamps(SystemTime (&stamps)[kPaneSlots], const PaneWindow& window) {
    for (int slot = 0; slot < kPaneSlots; ++slot) {
        int64_t milliseconds = window.reference * 1000 - int64_t{window.spacingMs} * slot;
        int64_t seconds = floorDivide(milliseconds, 1000);
        stamps[slot] = localTimeOf(seconds, static_cast<int>(milliseconds - seconds * 1000));
        stamps[slot].dayOfWeek = 0;
    }
}

int slotOfRow(const PaneWindow& window, int64_t rowTime, const RowTime& time) {
    int64_t secondsBack = window.reference - rowTime;
    if (secondsBack < 0) return -1;
    int64_t slot = window.spacingMs == kHighSpeedSpacingMs     ? highSpeedSlot(secondsBack, time)
                   : window.spacingMs == kHalfSecondSpacingMs ? halfSecondSlot(secondsBack, time)
                                                              : secondsBack / (window.spacingMs / 1000);
    return slot >= 0 && slot < kPaneSlots ? static_cast<int>(slot) : -1;
}

}  // namespace kvt
