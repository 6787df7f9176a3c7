#include "acquisition/DemoValues.h"

#include "acquisition/CurrentValues.h"
#include "core/ThreadConfiguration.h"

namespace kvt {
namespace {

// Pen k sits at (9 k + 2) % of its range, plus a noise of -10 to 9 steps
// of 0.1 %.
constexpr double kPercentPerPen = 9.0;
constexpr double kFirstPenPercent = 2.0;
constexpr int kNoiseSteps = 20;
constexpr double kNoiseStepPercent = 0.1;

double penPercent(int pen, int noiseStep) {
    return kNoiseStepPercent * noiseStep + kPercentPerPen * pen + kFirstPenPercent;
}

// A small xorshift generator owned by the acquisition thread: no locks,
// no allocation, never zero.
uint32_t demoRandomState = 2463534242u;

uint32_t nextDemoRandom() {
    demoRandomState ^= demoRandomState << 13;
    demoRandomState ^= demoRandomState >> 17;
    demoRandomState ^= demoRandomState << 5;
    return demoRandomState;
}

}  // namespace

double demoAnalogValue(const PenSettings& settings, int pen, uint32_t random) {
    int noiseStep = static_cast<int>(random % kNoiseSteps) - kNoiseSteps / 2;
    double percent = penPercent(pen, noiseStep);
    return settings.inputLow + percent * (settings.inputHigh - settings.inputLow) * 0.01;
}

DemoPercentSpan demoAnalogSpan(int pen) {
    return {penPercent(pen, -kNoiseSteps / 2), penPercent(pen, kNoiseSteps / 2 - 1)};
}

double demoDiscreteValue(int cycle, const SystemTime& lastSample) {
    int second = lastSample.second;
    bool on = false;
    switch (cycle) {
    case kCycleHalfSecond:
        on = second % 6 >= 3;
        break;
    case kCycle1s:
        on = second % 10 >= 5;
        break;
    case kCycle2s:
        on = second % 20 >= 10;
        break;
    case kCycle5s:
        on = second % 30 >= 15;
        break;
    case kCycle10s:
        on = second % 60 >= 30;
        break;
    case kCycle1min:
        on = lastSample.minute % 10 >= 5;
        break;
    default:
        break;
    }
    return on ? 1.0 : 0.0;
}

void generateDemoValues(const SystemTime& lastSample) {
    const ConfigurationRecord& config = threadConfiguration();
    for (int group = 1; group <= kTrendGroupCount; ++group) {
        int cycle = config.group(group).storingCycle;
        for (int pen = 0; pen < kPensPerGroup; ++pen) {
            const PenSettings& settings = config.pen(group, pen);
            double value = settings.isDiscrete != 0
                               ? demoDiscreteValue(cycle, lastSample)
                               : demoAnalogValue(settings, pen, nextDemoRandom());
            setCurrentValue(group, pen, value);
        }
    }
}

}  // namespace kvt
