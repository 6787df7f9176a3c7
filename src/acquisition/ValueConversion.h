#pragma once

#include "core/ConfigurationRecord.h"

namespace kvt {

// The conversion itself on one pen's settings, used by the recording and the
// display as well: percent of the input range first, then into the scale.
double scaleToEngineering(const PenSettings& pen, double inputValue);

// Converts a value of pen `pen` (0-11) of group `group` (0-10) from its
// input range into its engineering scale, linearly:
// scaleLow + (x - inputLow) / (inputHigh - inputLow) x (scaleHigh - scaleLow).
// An input range with equal limits maps every value to scaleLow. Indices
// outside the configuration return x unchanged. The caller keeps the
// no-data value away from it.
double toEngineering(int group, int pen, double x);

}  // namespace kvt
