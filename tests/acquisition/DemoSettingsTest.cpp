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
    static ConfigurationRecord demo;
    static ConfigurationRecord factory;
    for (int language : {0, 1}) {
        fillDemoSettings(demo, language);
        fillDefaults(factory, language, yesterday());
        EXPECT_EQ(demo.operatingMode, kDemoMode);
        EXPECT_EQ(demo.group(1).storingCycle, kCycleHalfSecond);
        EXPECT_EQ(demo.group(1).storingMode, kNormal);
        // With the plot ranges of group 1 and its recording copied over,
        // the two are the same bytes.
        factory.recording[0] = demo.recording[0];
        for (int pen = 0; pen < kPensPerGroup; ++pen) {
            const PenSettings& shown = demo.pen(1, pen);
            PenSettings& expected = factory.pen(1, pen);
            size_t plotFields = offsetof(PenSettings, padding186) - offsetof(PenSettings, plotLow);
            std::memcpy(&expected.plotLow, &shown.plotLow, plotFields);
            // Every value the pen takes lies inside its plot range.
            for (uint32_t noise = 0; noise < 20; ++noise) {
                double value = scaleToEngineering(shown, demoAnalogValue(shown, pen, noise));
                EXPECT_TRUE(value >= shown.plotLow && value <= shown.plotHigh) << pen << " " << value;
            }
        }
        EXPECT_EQ(std::memcmp(&demo, &factory, sizeof demo), 0) << language;
    }
    // The group's values need 1 % to 102 % of the scale, and no more.
    EXPECT_STREQ(demo.pen(1, 0).plotLowText, "2.00E+07");
    EXPECT_STREQ(demo.pen(1, 0).plotHighText, "2.04E+09");
    fillDemoSettings(demo, 1, kTrendGroupCount);
    EXPECT_EQ(demo.group(10).storingCycle, kCycleHalfSecond);
    EXPECT_EQ(demo.pen(10, 11).enabled, 1);
    EXPECT_STREQ(demo.pen(10, 11).plotHighText, "2.04E+09");
}

}  // namespace
}  // namespace kvt
