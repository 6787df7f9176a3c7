#pragma once
#include "recording/RecordingBuffers.h"

namespace kvt {

// The recording flag of a group's recording ring (1 while the group is
// inside a recording span), for the "Data" lamp; 0 for groups outside 0-10.
int groupRecordingFlag(int group);

// The samples the live trend draws, newest first, copied out of a ring
// once per redraw while the recording scheduler goes on writing it.
struct LiveSamples {
    int count = 0;  // samples[0..count-1] are valid
    SampleData samples[kRingSlotCount];
    // The ring as the copy found it, for copying on further back.
    int filled = 0;
    int writeSlot = 0;
    uint32_t newestVersion = 0;
};

// Copies the filled samples of the group's recording ring, or of its
// recorded-samples ring when `recordedOnly`, newest first, at most `most`
// of them. A slot the scheduler rewrote during the copy ends the copy
// there, so a sample never shows under another's time.
void copyLiveSamples(int group, bool recordedOnly, LiveSamples& out, int most = kRingSlotCount);

// Copies on, further back in the same ring as the copy `out` holds, until
// every pen of the `pens` mask (bit p for pen p) has a value in the samples
// copied on, the ring ends or a rewritten slot ends the copy.
void copyLiveSamplesOn(int group, bool recordedOnly, LiveSamples& out, uint32_t pens);

// The newest sample of the group's recording ring; false while the ring is
// empty (filled count 0) or the slot is being rewritten.
bool newestLiveSample(int group, SampleData& out);

}  // namespace kvt
