#pragma once
#include <cstdint>

#include "core/ConfigurationRecord.h"
#include "platform/SystemTime.h"

namespace kvt {

// Demo value of analog pen `pen` (0-11): (9 pen + 2) % of its input range
// with up to 1 % noise in 0.1 % steps chosen by `random`.
double demoAnalogValue(const PenSettings& settings, int pen, uint32_t random);

// The percentages of its input range between which the demo values of
// analog pen `pen` (0-11) move, both ends included.
struct DemoPercentSpan {
    double lowest;
    double highest;
};
DemoPercentSpan demoAnalogSpan(int pen);

// Demo value of a discrete pen of a group with storing cycle `cycle`: a
// square wave on the second (or, for 1 min, the minute) of `lastSample`.
double demoDiscreteValue(int cycle, const SystemTime& lastSample);

// Fills the current value of all 120 pens of groups 1-10, enabled or not.
void generateDemoValues(const SystemTime& lastSample);

}  // namespace kvt
