#pragma once
#include "recording/PlaybackPanes.h"

namespace kvt {

// What one pane load read, for checking its cost.
struct PaneLoadCounts {
    int filesRead = 0;   // day files opened
    int probeReads = 0;  // rows read by the coarse search of the newest file
    int rowsScanned = 0; // rows read by the backward scans
};

// Fills `pane` for `group` (0-10) from the group's day files: every value
// no-data first, the reference time set when it was 0 (the active clock's
// now - 1 s, aligned to the storing cycle), every slot's time stamp, then
// the recorded rows of the window, read backwards from the reference time.
// `storingCycle` is the group's cycle code (ignored for the high-speed
// group). Missing or unreadable files and rows leave their slots no-data.
PaneLoadCounts fillPane(PlaybackPane& pane, int group, int storingCycle);

// Loads pane 1 or 2 for the group shown with the storing cycle of the live
// configuration, under the wait cursor; loading pane 1 also puts the
// playback cursor back to 0. Window thread only.
void loadPane(int pane);

}  // namespace kvt
