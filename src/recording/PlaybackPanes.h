#pragma once
#include <cstdint>

#include "core/ConfigurationRecord.h"
#include "platform/SystemTime.h"

namespace kvt {

// Samples of one playback pane: 1600 slots ending at the pane's reference
// time. Slot 0 is the newest; slot i stands for reference - i * spacing.
constexpr int kPaneSlots = 1600;
constexpr int kPaneCount = 2;

struct PlaybackPane {
    // Per group 0-10: seconds since 1970-01-01 UTC of slot 0; 0 = not set.
    int64_t referenceTime[kGroupCount] = {};
    // Engineering values as read from the day files (0/1 for discrete pens),
    // kNoData where nothing was recorded.
    double values[kPensPerGroup][kPaneSlots] = {};
    // Local date and time of every slot; the day of the week is left 0.
    SystemTime stamps[kPaneSlots] = {};
};

// Pane 1 is playbackPanes[0], pane 2 playbackPanes[1]. Window thread only.
extern PlaybackPane playbackPanes[kPaneCount];

// Playback cursor: pixels along the time axis from the first sample of
// pane 1 (values beyond pane 1's range stand in pane 2). Window thread only.
extern int playbackCursor;

// A jump of one pane to another reference time, asked for by the date and
// time dialog and by "Current" and carried out by the window's next redraw.
struct PaneTimeRequest {
    int64_t requestedTime = 0;  // seconds since the epoch; 0 = the present
    int pending = 0;            // 1 until the window has reloaded the pane
};

// Requests for pane 1 and pane 2. Window thread only.
extern PaneTimeRequest paneTimeRequests[kPaneCount];

// Every value no-data, every reference time unset, cursor 0, no jump pending.
void resetPlaybackPanes();

}  // namespace kvt
