#pragma once

namespace kvt {

// A stored value as a settings dialog takes it up: the value when it lies
// in [low, high], else `fallback` (a hand-edited file may hold anything).
constexpr int inRangeOr(int value, int low, int high, int fallback) {
    return value >= low && value <= high ? value : fallback;
}

}  // namespace kvt
