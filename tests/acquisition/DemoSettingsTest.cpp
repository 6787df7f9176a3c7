// The settings a new user starts with from ./run.sh (and kvt-simsettings
// demo): the factory record but for demonstration mode, group 1 recording
// every half second and its pens plotted over where the demo values move.
#include <gtest/gtest.h>

#include <cstring>

#include "acquisition/DemoSettings.h"
#include "acquisition/DemoValues.h"
#include "acquisition/ValueConversion.h"
#include "core/Defaults.h"

namespace kvt {
namespace {

TEST(DemoSettings, DifferFromTheFactoryOnlyWhereTheTracesNeedIt) {
    for (int language : {0, 1}) {
        static ConfigurationRecord demo;
        static ConfigurationRecord factory;
        fillDemoSettings(demo, language);
        fillDefaults(factory, language, yesterday());
        EXPECT_EQ(demo.operatingMode, kDemoMode);
        EXPECT_EQ(demo.group(1).storingCycle, kCycleHalfSecond);
        EXPECT_EQ(demo.group(1).storingMode, kNormal);
        // Put the expected differences into the factory record: then the
        // two are the same bytes.
        factory.operatingMode = demo.operatingMode;
        factory.recording[0] = demo.recording[0];  // group 1
        for (int pen = 0; pen < kPensPerGroup; ++pen) {
            const PenSettings& shown = demo.pen(1, pen);
            PenSettings& expected = factory.pen(1, pen);
            EXPECT_EQ(shown.enabled, 1);
            expected.plotLow = shown.plotLow;
            expected.plotHigh = shown.plotHigh;
            std::memcpy(expected.plotLowText, shown.plotLowText, sizeof expected.plotLowText);
            std::memcpy(expected.plotHighText, shown.plotHighText, sizeof expected.plotHighText);
        }
        EXPECT_EQ(std::memcmp(&demo, &factory, sizeof demo), 0) << language;
    }
}

// Every value a pen can take lies inside its plot range, and the range is
// no wider than the group's values need: the traces spread over the graph.
TEST(DemoSettings, EveryDemoValueOfTheGroupsLiesInsideThePlotRange) {
    static ConfigurationRecord demo;
    fillDemoSettings(demo, 1, kTrendGroupCount);
    for (int group = 1; group <= kTrendGroupCount; ++group) {
        EXPECT_EQ(demo.group(group).storingCycle, kCycleHalfSecond) << group;
        for (int pen = 0; pen < kPensPerGroup; ++pen) {
            const PenSettings& settings = demo.pen(group, pen);
            EXPECT_EQ(settings.enabled, 1);
            for (uint32_t noise = 0; noise < 20; ++noise) {
                double shown = scaleToEngineering(settings, demoAnalogValue(settings, pen, noise));
                EXPECT_GE(shown, settings.plotLow) << pen;
                EXPECT_LE(shown, settings.plotHigh) << pen;
            }
        }
        const PenSettings& first = demo.pen(group, 0);
        double scale = first.scaleHigh - first.scaleLow;
        EXPECT_NEAR((first.plotHigh - first.plotLow) / scale, 1.01, 1e-9);
        EXPECT_STREQ(first.plotHighText, "2.04E+09");
    }
}

}  // namespace
}  // namespace kvt
