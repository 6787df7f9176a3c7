#include <cstring>
#include <string>

#include "TrendFixture.h"
#include "acquisition/AlarmStates.h"
#include "display/DigitalPanel.h"
#include "display/GraphLayout.h"
#include "recording/ValueText.h"
#include "support/SurfacePixels.h"

namespace kvt {
namespace {

using test::countPixels;
using test::sameRegion;

constexpr Colour kPenColour = rgb(0, 0, 160);
constexpr Colour kLowNormal = rgb(0, 200, 0);
constexpr Colour kLowAlarm = rgb(250, 250, 0);
constexpr Colour kHighNormal = rgb(0, 100, 200);

double fortyTwo(int, int) { return 42.125; }
double on(int, int) { return 1.0; }

class DigitalPanelTest : public test::TrendTest {
protected:
    void SetUp() override {
        TrendTest::SetUp();
        displayMode = kLiveWithPanel;
        clearAlarmStates();
    }
    void TearDown() override {
        clearAlarmStates();
        TrendTest::TearDown();
    }
    static DeviceContext panel(int source = 0) {
        DeviceContext image;
        drawDigitalPanel(image, source);
        return image;
    }
    // Cell of pen h (0-based) in the 12-cell panel.
    static Point cell(int h) { return {200 * (h / 3), 480 + 40 * (h % 3)}; }
};

// With no sample yet, the value box stays empty and the lamps undrawn.
TEST_F(DigitalPanelTest, DisabledPensAndTheHighSpeedGroupsMissingPensAreGrey) {
    enable(1, 0, kPenColour);
    DeviceContext image = panel();
    EXPECT_EQ(countPixels(image, kBarGrey, 0, 480, 800, 600), 800 * 120 - 200 * 40);
    EXPECT_EQ(image.pixel(1, 481), kPenColour);
    EXPECT_EQ(countPixels(image, kWhite, 2, 500, 140, 518), 138 * 18);  // unit only
    EXPECT_EQ(image.pixel(169, 490), kPenColour);

    currentGroup = 0;
    for (int index = 0; index < kPensPerGroup; ++index) enable(0, index, kPenColour);
    DeviceContext highSpeed = panel();
    EXPECT_EQ(countPixels(highSpeed, kBarGrey, 0, 480, 800, 600), 4 * 200 * 40);
    EXPECT_EQ(highSpeed.pixel(cell(8).x + 100, cell(8).y + 1), kBarGrey);     // pen 9
    EXPECT_EQ(highSpeed.pixel(cell(7).x + 100, cell(7).y + 1), kPenColour);  // pen 8
    EXPECT_EQ(countPixels(highSpeed, kBarGrey, 600, 480, 800, 600), 200 * 120);
}

TEST_F(DigitalPanelTest, ValueTagAndUnitInTheCell) {
    PenSettings& settings = enable(1, 4, kPenColour);
    std::strcpy(settings.tag, "FLOW-4");
    std::strcpy(settings.unit, "m3/h");
    settings.decimalPlaces = 2;
    test::fillRing(1, 3, kNewest, 500, fortyTwo);
    DeviceContext image = panel();
    Point at = cell(4);

    char text[kValueTextWidth + 1];
    formatValueText(text, settings, 42.125, false);
    DeviceContext expected;
    expected.fillSolidRect(0, 0, 800, 600, kWhite);
    expected.selectFont(FontId::Medium);
    expected.setTextColour(kPenColour);
    expected.textOut(at.x + 4, at.y + 4, "FLOW-4");
    bool afterPoint = false;
    for (int index = 0; index < kValueTextWidth; ++index) {
        expected.textOut(at.x + 4 + 10 * index - (afterPoint ? 2 : 0), at.y + 22,
                         std::string(1, text[index]));
        afterPoint = afterPoint || text[index] == '.';
    }
    expected.selectFont(FontId::Small);
    expected.textOut(at.x + 140, at.y + 22, "m3/h");
    EXPECT_TRUE(sameRegion(image, expected, at.x + 2, at.y + 2, at.x + 158, at.y + 20));  // tag box
    EXPECT_TRUE(sameRegion(image, expected, at.x + 2, at.y + 20, at.x + 198, at.y + 38));  // value box
    EXPECT_EQ(image.pixel(at.x + 1, at.y + 1), kPenColour);
    EXPECT_EQ(image.pixel(at.x + 169, at.y + 10), rgbOf(settings.lowNormalColour));
}

TEST_F(DigitalPanelTest, LowerAlarmLampBlinksWhileTheUpperStaysNormal) {
    PenSettings& settings = enable(1, 1, kPenColour);
    settings.lowNormalColour = kLowNormal;
    settings.lowAlarmColour = kLowAlarm;
    settings.highNormalColour = kHighNormal | 0x01000000u;  // palette flag in the high byte
    test::fillRing(1, 1, kNewest, 500, fortyTwo);
    alarmStates[1].lower[1].store(1);
    Point at = cell(1);
    Point lower{at.x + 169, at.y + 10};
    Point upper{at.x + 189, at.y + 10};

    store(blinkFlag, 1);
    DeviceContext lit = panel();
    EXPECT_EQ(lit.pixel(lower.x, lower.y), kLowAlarm);
    EXPECT_EQ(lit.pixel(upper.x, upper.y), kHighNormal);
    EXPECT_EQ(lit.pixel(at.x + 164, at.y + 2), kBlack);  // frame

    store(blinkFlag, 0);
    DeviceContext dark = panel();
    EXPECT_EQ(dark.pixel(lower.x, lower.y), kBlack);
    EXPECT_EQ(dark.pixel(upper.x, upper.y), kHighNormal);

    alarmStates[1].lower[1].store(0);
    EXPECT_EQ(panel().pixel(lower.x, lower.y), kLowNormal);
}

TEST_F(DigitalPanelTest, EnlargedPenFollowsPenOneOfTheGroup) {
    currentGroup = 2;
    liveConfiguration.selectedPen[2] = 3;
    enable(2, 0, rgb(1, 2, 3));
    PenSettings& third = enable(2, 2, kPenColour);
    third.isDiscrete = 1;
    std::strcpy(third.onText, "RUNNING");
    test::fillRing(2, 2, kNewest, 500, on);
    DeviceContext image = panel();
    EXPECT_EQ(image.pixel(5, 485), kPenColour);
    DeviceContext expected = test::textAlone(FontId::Large, 112, 548, "RUNNING", kPenColour, kWhite);
    EXPECT_TRUE(sameRegion(image, expected, 106, 540, 694, 594));

    pen(2, 0).enabled = 0;
    EXPECT_EQ(countPixels(panel(), kBarGrey, 0, 480, 800, 600), 800 * 120);

    liveConfiguration.selectedPen[2] = -3;  // damaged: all pens
    pen(2, 0).enabled = 1;
    EXPECT_EQ(panel().pixel(cell(2).x + 1, cell(2).y + 1), kPenColour);
}

TEST_F(DigitalPanelTest, PlaybackShowsTheSampleUnderTheCursorWithoutLamps) {
    PenSettings& settings = enable(1, 0, kPenColour);
    settings.isDiscrete = 1;
    std::strcpy(settings.offText, "SHUT");
    std::strcpy(settings.onText, "OPEN");
    displayMode = kPlaybackWithPanel;
    test::fillPane(0, kNewest, 500, on);
    playbackPanes[0].values[0][7] = 0.0;
    playbackCursor = 7;
    DeviceContext image = panel(1);
    EXPECT_TRUE(sameRegion(image, test::textAlone(FontId::Medium, 4, 502, "SHUT", kPenColour, kWhite),
                           2, 500, 160, 518));
    EXPECT_EQ(image.pixel(169, 490), kPenColour);  // no lamp

    playbackCursor = 5000;  // out of range: back to the first sample
    EXPECT_TRUE(sameRegion(panel(1), test::textAlone(FontId::Medium, 4, 502, "OPEN", kPenColour, kWhite),
                           2, 500, 160, 518));
    EXPECT_EQ(playbackCursor, 0);
}

}  // namespace
}  // namespace kvt
