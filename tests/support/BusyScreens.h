#pragma once
#include <cstdint>

namespace kvt::test {

// The heaviest screens the window draws, for benchmarks and allocation
// checks. Both replace the live configuration and the display state.

// Live group 1 in the given graph direction (0-2) with the digital panel:
// 12 enabled analog pens, all thick, each with 1600 wandering samples,
// recording at 0.5 s.
void setUpWorstLiveScreen(int direction);

// Playback of group 1, perpendicular, divided into two full panes, with
// the panel and the cursor.
void setUpSplitPlaybackScreen();

// Day files of the busy group 1 in the data folder, as the recorder writes
// them: `count` samples at 0.5 s, the newest at `newestEpochMs`
// (milliseconds since the epoch).
void recordBusyGroup(int64_t newestEpochMs, int count);

}  // namespace kvt::test
