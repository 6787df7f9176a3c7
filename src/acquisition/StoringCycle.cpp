#include "acquisition/StoringCycle.h"

#include "core/ConfigurationRecord.h"

namespace kvt {

bool isStoringStep(int cycle, const SystemTime& step) {
    if (cycle == kCycleHalfSecond) return true;
    if (step.milliseconds != 0) return false;
    switch (cycle) {
    case kCycle1s:
        return true;
    case kCycle2s:
        return step.second % 2 == 0;
    case kCycle5s:
        return step.second % 5 == 0;
    case kCycle10s:
        return step.second % 10 == 0;
    case kCycle1min:
        return step.second == 0;
    default:
        return false;
    }
}

int storedSamplesToSeconds(int cycle, int count) {
    switch (cycle) {
    case kCycleHalfSecond:
        return count / 2;
    case kCycle2s:
        return 2 * count;
    case kCycle5s:
        return 5 * count;
    case kCycle10s:
        return 10 * count;
    case kCycle1min:
        return 60 * count;
    default:
        return count;
    }
}

}  // namespace kvt
