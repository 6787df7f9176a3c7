#pragma once
#include <cstdint>

#include "recording/DayFileRow.h"
#include "recording/PlaybackPanes.h"

namespace kvt {

// Reference times a pane accepts: years 1901 to 9998, so that every slot of
// a pane has a local date the day files and the time stamps can name.
constexpr int64_t kEarliestReferenceTime = -2177452800;  // 1901-01-01 00:00:00 UTC
constexpr int64_t kLatestReferenceTime = 253370764800;   // 9999-01-01 00:00:00 UTC

// The span of a pane: slot i stands for reference - i * spacing, and the
// window holds the times after start() up to the reference.
struct PaneWindow {
    int64_t reference = 0;  // T, seconds since the epoch
    int spacingMs = 1000;   // d

    int64_t start() const { return reference - int64_t{kPaneSlots} * spacingMs / 1000; }
};

// Sample spacing of a group in milliseconds: 50 ms for the high-speed group,
// the storing cycle for groups 1-10 (an unknown cycle code counts as 1 s).
int sampleSpacingMs(int group, int storingCycle);

// The reference time a pane is loaded with. A set one (not 0) is kept,
// brought into the accepted range. An unset one becomes `now` - 1 s, aligned
// down to the storing cycle for groups 1-10 with a 2 s, 5 s, 10 s or 1 min
// cycle by the local time's seconds.
int64_t paneReferenceTime(int64_t stored, int group, int storingCycle, int64_t now);

// Local date and time of every slot (milliseconds included; the day of the
// week is left 0).
void fillSlotStamps(SystemTime (&stamps)[kPaneSlots], const PaneWindow& window);

// The slot a row stamped `rowTime` (seconds, from the row's date and
// HH:MM:SS) belongs to, its milliseconds digits taken from `time`; -1 when
// the row lies after the reference time (within its second, too) or
// before the window.
int slotOfRow(const PaneWindow& window, int64_t rowTime, const RowTime& time);

}  // namespace kvt
