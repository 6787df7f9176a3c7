#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "TrendFixture.h"
#include "display/PenMarker.h"
#include "display/ValueScale.h"
#include "platform/GlyphCache.h"
#include "support/SurfacePixels.h"

namespace kvt {
namespace {

using test::countPixels;
using test::sameRegion;

class ScaleAndMarkerTest : public test::TrendTest {
protected:
    // Texts and positions of the 11 divisions; "-" where there is no label.
    static std::vector<std::string> labels(int pen, bool live, bool strip,
                                           std::vector<int>* positions = nullptr) {
        std::vector<std::string> texts;
        for (int division = 0; division <= 10; ++division) {
            ScaleLabel label;
            bool has = scaleLabel(1, pen, live, strip, division, label);
            texts.push_back(has ? label.text : "-");
            if (positions != nullptr && has) positions->push_back(label.position);
        }
        return texts;
    }
    // `text` drawn alone in the small font, white on the scale's dark grey.
    static DeviceContext scaleText(int x, int y, const char* text, Colour ink = kWhite) {
        return test::textAlone(FontId::Small, x, y, text, ink, kDarkGrey);
    }
};

TEST_F(ScaleAndMarkerTest, PercentBandHasLinearAndSquareRootRows) {
    DeviceContext image = drawn();
    EXPECT_EQ(countPixels(image, kWhite, 553, 100, 554, 105), 5);  // 50 % square-root tick
    EXPECT_EQ(image.pixel(553, 105), kDarkGrey);
    EXPECT_TRUE(sameRegion(image, scaleText(547, 106, "50"), 546, 106, 560, 118));
    EXPECT_EQ(countPixels(image, kWhite, 400, 95, 401, 101), 5);  // 50 % linear tick and base
    EXPECT_EQ(image.pixel(400, 95), kDarkGrey);
    EXPECT_TRUE(sameRegion(image, scaleText(394, 84, "50"), 393, 84, 407, 96));
    EXPECT_EQ(countPixels(image, kWhite, 30, 100, 770, 101), 740);  // base line
    EXPECT_EQ(image.pixel(400, 300), kDarkGrey);                    // main grid
    EXPECT_EQ(image.pixel(104, 300), kGrey);
    EXPECT_EQ(image.pixel(45, 300), kLightGrey);  // minor grid
}

TEST_F(ScaleAndMarkerTest, PenScaleLabels) {
    PenSettings& settings = enable(1, 0, rgb(0, 0, 255));
    settings.plotHigh = 200;
    settings.decimalPlaces = 1;
    std::vector<int> positions;
    std::vector<std::string> linear = {"0.0",   "20.0",  "40.0",  "60.0",  "80.0", "100.0",
                                       "120.0", "140.0", "160.0", "180.0", "200.0"};
    EXPECT_EQ(labels(1, true, false, &positions), linear);
    EXPECT_EQ(positions.front(), 30);
    EXPECT_EQ(positions.back(), 770);
    settings.decimalPlaces = 3;  // the strip shows at most one decimal
    EXPECT_EQ(labels(1, true, true), linear);
    settings.decimalPlaces = 9;
    EXPECT_EQ(labels(1, true, false)[1], "20");

    settings.plotHigh = 0.001;
    std::strcpy(settings.plotHighText, "1E-3");
    EXPECT_EQ(labels(1, true, false)[1], "1e-4");
    EXPECT_EQ(labels(1, true, false)[10], "1e-3");
    settings.plotHigh = 2000;
    std::strcpy(settings.plotHighText, "2e3");
    EXPECT_EQ(labels(1, true, false)[10], "2e3");

    settings.logScale = 1;
    settings.logDecadesIndex = 3;  // two decades
    settings.logLowExponent = -2;
    positions.clear();
    std::vector<std::string> decades = {"E-2", "E-1", "E0", "-", "-", "-", "-", "-", "-", "-", "-"};
    EXPECT_EQ(labels(1, false, false, &positions), decades);
    EXPECT_EQ(positions, (std::vector<int>{30, 400, 770}));
    positions.clear();
    labels(1, false, true, &positions);
    EXPECT_EQ(positions, (std::vector<int>{460, 260, 60}));

    settings.logScale = 0;
    settings.analogType = 5;
    settings.channel = 75;
    std::vector<std::string> powerFactor = {"-1.0", "-0.6", "-0.2", "0.2",  "0.6", "1.0",
                                            "0.6",  "0.2",  "-0.2", "-0.6", "-1.0"};
    EXPECT_EQ(labels(1, true, false), powerFactor);
    EXPECT_EQ(labels(1, false, false)[10], "2e3");  // playback shows plain values
}

TEST_F(ScaleAndMarkerTest, ScalePenDrawsBandAndStripInItsColour) {
    constexpr Colour kScaleColour = rgb(200, 10, 10);
    PenSettings& settings = enable(1, 2, kScaleColour);
    settings.plotHigh = 200;
    liveConfiguration.scalePen[1] = 3;
    DeviceContext band = drawn();
    DeviceContext expected = scaleText(30 + 74 * 5 + 2 - 4 * 5, 93, "100.0", kScaleColour);
    EXPECT_TRUE(sameRegion(band, expected, 370, 93, 400, 105));
    EXPECT_EQ(countPixels(band, kScaleColour, 30, 110, 770, 111), 740);  // base line

    liveConfiguration.graphDirection = 1;  // strip at columns 720-759, right-aligned texts
    DeviceContext strip = drawn();
    DeviceContext spaced = scaleText(0, 0, "", kScaleColour);
    const char* aligned = " 20.0";
    for (int index = 0; index < 5; ++index) {
        spaced.textOut(724 + 6 * index, 420 - 7, std::string(1, aligned[index]));
    }
    EXPECT_TRUE(sameRegion(strip, spaced, 720, 413, 760, 425));
}

// The band drawn between redraws follows every change of what it shows:
// each drawing equals one made after the glyphs were made anew, which
// draws the band anew.
TEST_F(ScaleAndMarkerTest, KeptScaleBandFollowsItsPen) {
    PenSettings& settings = enable(1, 2, rgb(200, 10, 10));
    settings.plotHigh = 200;
    const std::function<void()> changes[] = {
        [] {},
        [] { liveConfiguration.scalePen[1] = 3; },
        [&] { settings.plotHigh = 400; },
        [&] { settings.decimalPlaces = 2; },
        [&] { settings.penColour = rgb(10, 200, 10); },
        [&] { settings.logScale = 1; },
        [] { liveConfiguration.scalePen[1] = 0; },
        [] { liveConfiguration.scalePen[2] = 3; currentGroup = 2; },
    };
    for (int step = 0; step < static_cast<int>(std::size(changes)); ++step) {
        changes[step]();
        DeviceContext kept = drawn();
        clearGlyphCache();
        drawn();  // makes the glyphs again, which draws the band anew next time too
        EXPECT_TRUE(sameRegion(kept, drawn(), 0, 80, 800, 120)) << step;
    }
}

TEST_F(ScaleAndMarkerTest, MarkersPointIntoTheGraphInEachDirection) {
    constexpr Colour kPenColour = rgb(0, 128, 128);
    struct Case {
        GraphLayout direction;
        int pen;
        bool discrete;
        int position;
        Point fill;
        Point lead;
    };
    const Case cases[] = {
        {GraphLayout::Perpendicular, 0, false, 300, {300, 55}, {300, 100}},
        {GraphLayout::Perpendicular, 11, true, 800, {799, 76}, {799, 200}},
        {GraphLayout::Leftward, 4, false, 200, {777, 200}, {740, 200}},
        {GraphLayout::Rightward, 9, true, 100, {33, 100}, {60, 100}},
    };
    for (const Case& c : cases) {
        DeviceContext image;
        image.fillSolidRect(0, 40, 800, 440, kMarkerGrey);
        drawPenMarker(image, c.direction, c.pen, c.discrete, c.position, kPenColour);
        EXPECT_EQ(image.pixel(c.fill.x, c.fill.y), kPenColour) << c.pen;
        if (c.position < 800) {
            EXPECT_EQ(image.pixel(c.lead.x, c.lead.y), kPenColour) << c.pen;
        }
        EXPECT_EQ(countPixels(image, kNearBlack, 0, 0, 800, 600), 0) << "outline redrawn black";
        // The fill stays inside the outline.
        EXPECT_LT(countPixels(image, kPenColour, 0, 0, 800, 600), 700) << c.pen;
    }
}

}  // namespace
}  // namespace kvt
