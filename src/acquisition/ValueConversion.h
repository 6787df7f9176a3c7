#pragma once

namespace kvt {

// Converts a value of pen `pen` (0-11) of group `group` (0-10) from its
// input range into its engineering scale, linearly:
// scaleLow + (x - inputLow) / (inputHigh - inputLow) x (scaleHigh - scaleLow).
// An input range with equal limits maps every value to scaleLow. Indices
// outside the configuration return x unchanged. The caller keeps the
// no-data value away from it.
double toEngineering(int group, int pen, double x);

}  // namespace kvt
