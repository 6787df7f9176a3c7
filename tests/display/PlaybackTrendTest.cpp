#include "TrendFixture.h"
#include "display/TrendGraph.h"
#include "support/SurfacePixels.h"

namespace kvt {
namespace {

using test::countPixels;

constexpr Colour kRed = rgb(255, 0, 0);
constexpr Colour kTeal = rgb(0, 128, 128);

class PlaybackTrendTest : public test::TrendTest {
protected:
    void SetUp() override {
        TrendTest::SetUp();
        displayMode = kPlaybackTrend;
        enable(1, 0, kRed);
        level = 45.0;  // column 363
        test::fillPane(0, kNewest, 500, atLevel);
        level = 25.0;  // column 215
        test::fillPane(1, kNewest, 500, atLevel);
    }
};

TEST_F(PlaybackTrendTest, OnePaneFillsTheGraphAreaAndTwoShareIt) {
    playbackPanes[0].values[0][12] = kNoData;  // breaks the line
    DeviceContext image = drawn();
    EXPECT_EQ(countPixels(image, kRed, 363, 80, 364, 600), 519 - 2);
    EXPECT_EQ(image.pixel(363, 81 + 11), kWhite);
    EXPECT_EQ(image.pixel(363, 81 + 12), kWhite);
    EXPECT_EQ(image.pixel(10, 60), kDarkGrey);  // scale band at rows 40-79
    EXPECT_EQ(countPixels(image, kRed, 215, 80, 216, 600), 0);

    dividedView = 1;  // both panes with the divider
    DeviceContext divided = drawn();
    EXPECT_EQ(divided.pixel(363, 339), kRed);
    EXPECT_EQ(countPixels(divided, kRed, 363, 342, 364, 600), 0);
    EXPECT_EQ(countPixels(divided, kRed, 215, 342, 216, 600), 258);
    EXPECT_EQ(countPixels(divided, kDarkGrey, 0, 340, 800, 342), 1600);
}

TEST_F(PlaybackTrendTest, CursorInEitherPaneWithItsTime) {
    displayMode = kPlaybackWithPanel;
    playbackCursor = 100;
    DeviceContext undivided = drawn();
    EXPECT_EQ(undivided.pixel(10, 181), kCursorRed);
    EXPECT_GT(countPixels(undivided, kCursorRed, 340, 182, 460, 194), 20);

    dividedView = 1;
    playbackCursor = 300;  // pane 2, sample 39
    DeviceContext divided = drawn();
    EXPECT_EQ(divided.pixel(10, 380), kCursorRed);
    EXPECT_EQ(countPixels(divided, kCursorRed, 0, 81, 800, 340), 0);

    playbackCursor = -7;
    drawn();
    EXPECT_EQ(playbackCursor, 0);
}

TEST_F(PlaybackTrendTest, HorizontalPanesDrawHiddenPensAndTheDivider) {
    liveConfiguration.graphDirection = 1;
    displayMode = kPlaybackWithPanel;
    enable(1, 1, kTeal).shown = 0;
    DeviceContext one = drawn();
    int tealRow = 40 + static_cast<int>(420 - 45.0 * 4);
    EXPECT_GT(countPixels(one, kTeal, 0, tealRow, 760, tealRow + 1), 700);

    dividedView = 1;
    DeviceContext two = drawn();
    EXPECT_EQ(countPixels(two, kDarkGrey, 380, 41, 381, 480), 439);
    int paneTwoRow = 40 + static_cast<int>(420 - 25.0 * 4);
    EXPECT_EQ(countPixels(two, kTeal, 0, paneTwoRow, 380, paneTwoRow + 1), 380);
    EXPECT_EQ(countPixels(two, kTeal, 381, paneTwoRow, 760, paneTwoRow + 1), 0);

    liveConfiguration.graphDirection = 2;
    DeviceContext rightward = drawn();
    EXPECT_EQ(countPixels(rightward, kDarkGrey, 420, 41, 422, 480), 2 * 439);
    EXPECT_EQ(countPixels(rightward, kTeal, 422, paneTwoRow, 800, paneTwoRow + 1), 800 - 422);
}

}  // namespace
}  // namespace kvt
