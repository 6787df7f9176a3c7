#pragma once
#include <cstdint>

#include "platform/SystemTime.h"
#include "recording/RecordingBuffers.h"

namespace kvt::test {

// Samples for the trend display, written straight into the rings and pane
// buffers the way the recording scheduler and retrieval leave them.

// Value of pen `pen` for the sample `k` steps before the newest.
using SampleValue = double (*)(int pen, int k);

// Appends one sample to a group's recording ring (or its recorded-samples
// ring) and publishes it.
void appendRingSample(int group, const SampleData& sample, bool recordedRing = false);

// A sample at `time` with every pen at `value` and status byte `status`.
SampleData sampleAt(const SystemTime& time, double value, uint8_t status = 1);

// Appends `count` samples, `stepMs` apart, the last at `newest`.
void fillRing(int group, int count, const SystemTime& newest, int stepMs, SampleValue value,
              bool recordedRing = false);

// Fills playback pane 0 or 1: slot k at `newest` - k * stepMs.
void fillPane(int pane, const SystemTime& newest, int stepMs, SampleValue value);

// Empties every ring and pane.
void clearTrendSources();

}  // namespace kvt::test
