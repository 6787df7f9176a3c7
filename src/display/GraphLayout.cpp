#include "display/GraphLayout.h"

#include <iterator>

#include "core/RunFlags.h"
#include "recording/RecordingBuffers.h"

namespace kvt {

namespace {

constexpr int kLogDecades[] = {10, 5, 4, 2, 1};
constexpr int kPowerFactorType = 5;
constexpr int kExponentLimit = 999;

int penNumberOrZero(int stored, int group) {
    return stored >= 1 && stored <= pensOfGroup(group) ? stored : 0;
}

bool validGroup(int group) { return group >= 0 && group < kGroupCount; }

}  // namespace

GraphLayout graphLayout(const ConfigurationRecord& config) {
    switch (config.graphDirection) {
    case 1:
        return GraphLayout::Leftward;
    case 2:
        return GraphLayout::Rightward;
    default:
        return GraphLayout::Perpendicular;
    }
}

bool drawsRecordedSamplesOnly(const ConfigurationRecord& config) {
    return config.graphDrawMode == 1;
}

int shownGroup() { return validGroup(currentGroup) ? currentGroup : 1; }

int storingCycleOf(const ConfigurationRecord& config, int group) {
    if (group < 1 || group > kTrendGroupCount) return 0;
    int cycle = config.group(group).storingCycle;
    return cycle >= kCycleHalfSecond && cycle <= kCycle1min ? cycle : 0;
}

int scalePenOf(const ConfigurationRecord& config, int group) {
    return validGroup(group) ? penNumberOrZero(config.scalePen[group], group) : 0;
}

int selectedPenOf(const ConfigurationRecord& config, int group) {
    return validGroup(group) ? penNumberOrZero(config.selectedPen[group], group) : 0;
}

int logDecadesOf(const PenSettings& pen) {
    int index = pen.logDecadesIndex;
    return index >= 0 && index < static_cast<int>(std::size(kLogDecades)) ? kLogDecades[index] : 10;
}

int lowExponentOf(const PenSettings& pen) {
    int exponent = pen.logLowExponent;
    if (exponent < -kExponentLimit) return -kExponentLimit;
    return exponent > kExponentLimit ? kExponentLimit : exponent;
}

bool isPowerFactorPen(const PenSettings& pen) {
    if (pen.analogType != kPowerFactorType) return false;
    int channel = pen.channel;
    return channel == 11 || channel == 71 || channel == 73 || channel == 75;
}

}  // namespace kvt
