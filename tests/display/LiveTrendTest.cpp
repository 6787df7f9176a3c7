#include "TrendFixture.h"
#include "display/TimeLabels.h"
#include "support/SurfacePixels.h"

namespace kvt {
namespace {

using test::countPixels;
using test::fillRing;

constexpr Colour kRed = rgb(255, 0, 0);
constexpr Colour kBlue = rgb(0, 0, 255);

// Pen p toggles OFF/ON every 10 samples.
double toggling(int, int k) { return (k / 10) % 2 == 0 ? 0.0 : 1.0; }
// Pen p at 5 + 8 p % of its range.
double perPen(int pen, int) { return 5.0 + 8.0 * pen; }

class LiveTrendTest : public test::TrendTest {
protected:
    void layout(int direction) {
        liveConfiguration.graphDirection = direction;
        displayMode = kLiveTrend;
    }
};

TEST_F(LiveTrendTest, PerpendicularTraceMarkerAndLeadLine) {
    enable(1, 0, kRed);
    level = 45.0;  // column 363, clear of the grids
    fillRing(1, 200, kNewest, 500, atLevel);
    DeviceContext image = drawn();
    EXPECT_EQ(countPixels(image, kRed, 363, 121, 364, 320), 199);  // rows of samples 0-198
    EXPECT_EQ(image.pixel(363, 320), kWhite);
    EXPECT_EQ(image.pixel(363, 55), kRed);      // pointer fill
    EXPECT_EQ(image.pixel(363, 40), kBlack);    // its outline
    EXPECT_EQ(image.pixel(363, 57), kBlack);    // its tip
    EXPECT_EQ(countPixels(image, kRed, 363, 58, 364, 80), 22);  // lead line over the band
    EXPECT_EQ(image.pixel(0, 60), kMarkerGrey);
}

// A value 15 % of the plot range below it sits on the image edge, one 14 %
// below two pixels inside the margin; likewise above.
TEST_F(LiveTrendTest, OvershootIsDrawnInTheMarginsInEveryLayout) {
    enable(1, 0, kRed);
    struct Case {
        int direction;
        double value;
        int x;
        int y;
    };
    const Case cases[] = {
        {0, -15, 0, 200}, {0, -14, 2, 200},   {0, 114, 798, 200}, {1, -15, 600, 480},
        {1, -14, 600, 478}, {1, 115, 600, 40}, {2, -14, 300, 478},  {2, 114, 300, 41},
        {2, -14, 799, 478},  // rightward, the trace runs to the image edge
    };
    for (const Case& c : cases) {
        test::clearTrendSources();
        layout(c.direction);
        level = c.value;
        fillRing(1, 800, kNewest, 500, atLevel);
        DeviceContext image = drawn();
        EXPECT_EQ(image.pixel(c.x, c.y), kRed) << c.direction << " " << c.value << " at " << c.x;
    }
}

TEST_F(LiveTrendTest, DiscretePenStepsInsideItsLane) {
    enable(1, 4, kBlue).isDiscrete = 1;
    int laneLeft = 30 + 4 * 740 / 13;
    int laneRight = 30 + 5 * 740 / 13;
    fillRing(1, 300, kNewest, 500, toggling);
    DeviceContext perpendicular = drawn();
    int inLane = countPixels(perpendicular, kBlue, laneLeft, 121, laneRight + 1, 420);
    EXPECT_EQ(countPixels(perpendicular, kBlue, 0, 120, 800, 600), inLane);
    // A step is a full row of the pen from OFF to ON at the toggling sample.
    int off = 30 + static_cast<int>(4.25 * 740 / 13);
    int on = 30 + static_cast<int>(4.75 * 740 / 13);
    EXPECT_EQ(countPixels(perpendicular, kBlue, off, 131, on, 132), on - off);

    layout(1);
    DeviceContext horizontal = drawn();
    int top = 40 + static_cast<int>(420 - 5.0 * 400 / 13);
    int bottom = 40 + static_cast<int>(420 - 4.0 * 400 / 13);
    EXPECT_EQ(countPixels(horizontal, kBlue, 0, top, 720, bottom + 1),
              countPixels(horizontal, kBlue, 0, 40, 720, 480));
    // Horizontal steps stand at the previous sample's column.
    int offRow = 40 + static_cast<int>(420 - 4.25 * 400 / 13);
    int onRow = 40 + static_cast<int>(420 - 4.75 * 400 / 13);
    EXPECT_EQ(countPixels(horizontal, kBlue, 710, onRow, 711, offRow), offRow - onRow);
}

TEST_F(LiveTrendTest, HighSpeedGroupDrawsOnlyItsEightPens) {
    currentGroup = 0;
    liveConfiguration.operatingMode = kHighSpeedMode;
    for (int index = 0; index < kPensPerGroup; ++index) enable(0, index, rgb(10 + 20 * index, 99, 7));
    fillRing(0, 100, kNewest, 50, perPen);
    DeviceContext image = drawn();
    for (int index = 0; index < kPensPerGroup; ++index) {
        int drawnPixels = countPixels(image, rgb(10 + 20 * index, 99, 7), 0, 40, 800, 600);
        if (index < kHighSpeedPens) {
            EXPECT_GT(drawnPixels, 99) << index;
        } else {
            EXPECT_EQ(drawnPixels, 0) << index;
        }
    }
}

TEST_F(LiveTrendTest, EmptyRingsDrawNoPensAndRecordedOnlyStillShowsMarkers) {
    enable(1, 0, kRed);
    DeviceContext empty = drawn();
    EXPECT_EQ(countPixels(empty, kRed, 0, 40, 800, 600), 0);
    EXPECT_EQ(countPixels(empty, kMarkerGrey, 0, 40, 800, 80), 800 * 40);

    fillRing(1, 50, kNewest, 500, atLevel);
    liveConfiguration.graphDrawMode = 1;  // "Recording data": nothing recorded yet
    DeviceContext markersOnly = drawn();
    EXPECT_EQ(markersOnly.pixel(400, 55), kRed);
    EXPECT_EQ(countPixels(markersOnly, kRed, 0, 121, 800, 600), 0);

    fillRing(1, 10, kNewest, 500, atLevel, true);
    DeviceContext recorded = drawn();
    EXPECT_EQ(countPixels(recorded, kRed, 400, 121, 401, 600), 9);
}

// Every pen not enabled or hidden is left out; a missing sample joins its
// neighbours.
TEST_F(LiveTrendTest, HiddenPensAndGapsInLiveTraces) {
    enable(1, 0, kRed).shown = 0;
    enable(1, 1, kBlue);
    for (int k = 0; k < 40; ++k) {
        SampleData sample = test::sampleAt(test::stampFromMs(test::stampMs(kNewest) - 500 * (39 - k)),
                                           k >= 10 && k < 20 ? kNoData : 50.0);
        test::appendRingSample(1, sample);
    }
    DeviceContext image = drawn();
    EXPECT_EQ(countPixels(image, kRed, 0, 40, 800, 600), 0);
    EXPECT_EQ(countPixels(image, kBlue, 400, 121, 401, 160), 39);
}

// A gap that starts inside the graph and runs on past the 800 newest
// samples still joins its points: the line to the older point crosses the
// rest of the graph, in every layout. A pen with no point inside the graph
// draws nothing there.
TEST_F(LiveTrendTest, GapsRunningFarBackJoinAcrossTheGraph) {
    enable(1, 0, kRed);
    enable(1, 1, kBlue);
    struct Case {
        int direction;
        int x;
        int y;
    };
    const Case cases[] = {{0, 400, 590}, {1, 20, 260}, {2, 780, 260}};
    for (const Case& c : cases) {
        test::clearTrendSources();
        layout(c.direction);
        for (int k = 1299; k >= 0; --k) {
            SampleData sample = test::sampleAt(test::stampFromMs(test::stampMs(kNewest) - 500 * k),
                                               k < 100 || k >= 1200 ? 50.0 : kNoData);
            if (k < 1200) sample.values[1] = kNoData;
            test::appendRingSample(1, sample);
        }
        DeviceContext image = drawn();
        EXPECT_EQ(image.pixel(c.x, c.y), kRed) << c.direction;
        EXPECT_EQ(countPixels(image, kBlue, 0, 40, 800, 600), 0) << c.direction;
    }
}

TEST_F(LiveTrendTest, RightwardLabelsAtBothEdgesOfTheImage) {
    layout(2);
    // 0.5 s cycle: horizontal labels at second 0 of even minutes; 00:10:00
    // is 10 samples before the newest, at column 90.
    fillRing(1, 800, {2026, 3, 0, 1, 0, 10, 5, 0}, 500, atLevel);
    DeviceContext image = drawn();
    DeviceContext expected = test::textAlone(FontId::Small, 60, 261, "03/01 ", kBlack, kWhite);
    EXPECT_TRUE(test::sameRegion(image, expected, 80, 261, 90, 273));
    EXPECT_EQ(image.pixel(90, 45), kGrey);  // the label's grid line
    // The next label (00:08:00, column 330) shows the whole date.
    DeviceContext whole = test::textAlone(FontId::Small, 270, 261, "26/03/01  00:08:00", kBlack, kWhite);
    EXPECT_TRUE(test::sameRegion(image, whole, 270, 261, 330, 273));
    // 00:04:00 stands at column 810, off the image, yet its date shows.
    DeviceContext offEdge = test::textAlone(FontId::Small, 750, 261, "26/03/01", kBlack, kWhite);
    EXPECT_TRUE(test::sameRegion(image, offEdge, 750, 261, 800, 273));
}

// Labels never crowd: even when every sample is a label time (a recording
// with gaps), they keep more than 20 rows or 40 columns apart.
TEST_F(LiveTrendTest, LiveLabelsKeepTheirMinimumSpacingForEveryCycle) {
    struct Spacing {
        int group;
        int cycle;
        int stepMs;
    };
    const Spacing spacings[] = {{0, 0, 50},        {1, 0, 500},      {1, 1, 1000},
                                {1, 2, 2000},      {1, 3, 5000},     {1, 4, 10000},
                                {1, 5, 60000},     {1, 5, 3600000},  {1, 0, 60000}};
    for (const Spacing& spacing : spacings) {
        for (int direction : {0, 1, 2}) {
            test::clearTrendSources();
            layout(direction);
            currentGroup = spacing.group;
            if (spacing.group != 0) liveConfiguration.group(1).storingCycle = spacing.cycle;
            fillRing(spacing.group, 1600, {2026, 3, 0, 1, 12, 0, 0, 0}, spacing.stepMs, atLevel);
            DeviceContext image = drawn();
            int previous = -1000;
            int labels = 0;
            int limit = direction == 0 ? 20 : 40;
            int length = direction == 0 ? 600 : 800;
            for (int at = 0; at < length; ++at) {
                bool line = direction == 0 ? at > 120 && image.pixel(5, at) == kGrey
                                           : image.pixel(at, 45) == kGrey;
                if (!line) continue;
                EXPECT_GT(at - previous, limit) << spacing.stepMs << " " << direction << " " << at;
                previous = at;
                ++labels;
            }
            EXPECT_GE(labels, 2) << spacing.stepMs << " " << direction;
        }
    }
}

TEST_F(LiveTrendTest, LabelTimesFollowTheStoringCycleAndDirection) {
    struct Case {
        int group, cycle;
        int hour, minute, second, milliseconds;
        bool perpendicular, horizontal;
    };
    const Case cases[] = {
        {0, 0, 1, 1, 5, 0, true, false},    {0, 0, 1, 1, 10, 0, true, true},
        {0, 0, 1, 1, 10, 50, false, false}, {1, 0, 1, 1, 30, 0, true, false},
        {1, 0, 1, 2, 0, 0, true, true},     {1, 1, 1, 4, 0, 0, true, true},
        {1, 1, 1, 2, 0, 0, true, false},    {1, 2, 1, 2, 0, 0, true, false},
        {1, 2, 1, 10, 0, 0, true, true},    {1, 3, 1, 20, 0, 0, true, true},
        {1, 4, 1, 30, 0, 0, true, true},    {1, 4, 1, 10, 0, 0, true, false},
        {1, 5, 1, 0, 0, 0, true, false},    {1, 5, 2, 0, 0, 0, true, true},
        {1, 5, 2, 0, 30, 0, false, false},  {1, 9, 1, 1, 30, 0, true, false},
    };
    for (const Case& c : cases) {
        SystemTime time{2026, 3, 0, 1, static_cast<uint16_t>(c.hour), static_cast<uint16_t>(c.minute),
                        static_cast<uint16_t>(c.second), static_cast<uint16_t>(c.milliseconds)};
        EXPECT_EQ(isLabelTime(time, c.group, c.cycle, false), c.perpendicular) << c.cycle << c.minute;
        EXPECT_EQ(isLabelTime(time, c.group, c.cycle, true), c.horizontal) << c.cycle << c.minute;
    }
    EXPECT_FALSE(isLabelTime(SystemTime{}, 1, 0, false));  // a slot without a time
}

}  // namespace
}  // namespace kvt
