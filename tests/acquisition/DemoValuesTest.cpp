#include <gtest/gtest.h>

#include "acquisition/CurrentValues.h"
#include "acquisition/DemoValues.h"
#include "core/Defaults.h"
#include "support/FakeClock.h"

namespace kvt {
namespace {

using test::makeTime;

double discreteAt(int cycle, int minute, int second) {
    return demoDiscreteValue(cycle, makeTime(2026, 3, 7, 10, minute, second, 500));
}

TEST(DemoValues, AnalogPenSitsAtItsShareOfTheRangeWithSmallNoise) {
    PenSettings pen{};
    pen.inputLow = -50.0;
    pen.inputHigh = 150.0;
    EXPECT_DOUBLE_EQ(demoAnalogValue(pen, 0, 10), -50.0 + 2.0 * 2.0);
    EXPECT_DOUBLE_EQ(demoAnalogValue(pen, 0, 0), -50.0 + 1.0 * 2.0);
    EXPECT_DOUBLE_EQ(demoAnalogValue(pen, 0, 19), -50.0 + 2.9 * 2.0);
    EXPECT_DOUBLE_EQ(demoAnalogValue(pen, 11, 30), -50.0 + 101.0 * 2.0);
}

TEST(DemoValues, DiscretePensToggleWithTheirGroupsCycle) {
    EXPECT_EQ(discreteAt(kCycleHalfSecond, 0, 2), 0.0);
    EXPECT_EQ(discreteAt(kCycleHalfSecond, 0, 3), 1.0);
    EXPECT_EQ(discreteAt(kCycleHalfSecond, 0, 6), 0.0);
    EXPECT_EQ(discreteAt(kCycle1s, 0, 4), 0.0);
    EXPECT_EQ(discreteAt(kCycle1s, 0, 15), 1.0);
    EXPECT_EQ(discreteAt(kCycle2s, 0, 19), 1.0);
    EXPECT_EQ(discreteAt(kCycle2s, 0, 40), 0.0);
    EXPECT_EQ(discreteAt(kCycle5s, 0, 44), 0.0);
    EXPECT_EQ(discreteAt(kCycle5s, 0, 45), 1.0);
    EXPECT_EQ(discreteAt(kCycle10s, 0, 29), 0.0);
    EXPECT_EQ(discreteAt(kCycle10s, 0, 59), 1.0);
    EXPECT_EQ(discreteAt(kCycle1min, 4, 59), 0.0);
    EXPECT_EQ(discreteAt(kCycle1min, 15, 0), 1.0);
    EXPECT_EQ(discreteAt(9, 15, 59), 0.0);
}

TEST(DemoValues, EveryPenOfEveryTrendGroupGetsAValue) {
    fillDefaults(liveConfiguration, 1, {2026, 1, 1});
    resetCurrentValues();
    liveConfiguration.pen(10, 11).isDiscrete = 1;
    liveConfiguration.group(10).storingCycle = kCycle1s;
    generateDemoValues(makeTime(2026, 3, 7, 10, 0, 7, 0));
    for (int group = 1; group <= kTrendGroupCount; ++group) {
        for (int pen = 0; pen < kPensPerGroup; ++pen) {
            EXPECT_NE(currentValue(group, pen), kNoData) << group << "/" << pen;
        }
    }
    EXPECT_EQ(currentValue(10, 11), 1.0);
}

}  // namespace
}  // namespace kvt
