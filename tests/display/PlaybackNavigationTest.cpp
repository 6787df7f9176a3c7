#include "TrendFixture.h"
#include "display/PlaybackNavigation.h"
#include "display/ReleaseGestures.h"
#include "display/UiRequests.h"

namespace kvt {
namespace {

constexpr int kPerpendicular = 0, kLeftward = 1, kRightward = 2;

class PlaybackNavigationTest : public test::TrendTest {
protected:
    void SetUp() override {
        TrendTest::SetUp();
        displayMode = kPlaybackTrend;
    }
    void request(int code) {
        pendingUiRequest = code;
        processUiRequest(screen);
    }

    test::ScopedFakeClock fake;
    DeviceContext screen;
    const int64_t nine = test::localEpochSeconds(2026, 3, 1, 9, 0, 0);
};

// A drag scrolls its pane by the pixels times the sample spacing and
// reloads it; the cursor moves with its sample when it stands in that pane
// and stays put in the other one, and never leaves its pane's range.
TEST_F(PlaybackNavigationTest, DragsMoveThePaneAndACursorInIt) {
    struct Case {
        int direction, divided, group, cycle, cursor, code;
        int pane;  // the pane that moves
        int64_t seconds;
        int cursorAfter;
    };
    const Case cases[] = {
        // Group 2 at 10 s, "Horizontal( <- )", 30 pixels to the right.
        {kLeftward, 0, 2, kCycle10s, 100, kRequestPaneOneEarlier + 30, 1, -300, 70},
        {kLeftward, 0, 2, kCycle10s, 10, kRequestPaneOneEarlier + 30, 1, -300, 0},
        {kPerpendicular, 0, 1, kCycle1s, 500, kRequestPaneOneLater + 30, 1, 30, 519},
        {kRightward, 0, 1, kCycle1s, 740, kRequestPaneOneLater + 30, 1, 30, 759},
        {kPerpendicular, 1, 1, kCycle1s, 250, kRequestPaneOneLater + 30, 1, 30, 259},
        {kLeftward, 1, 1, kCycle1s, 370, kRequestPaneOneLater + 30, 1, 30, 379},
        // The cursor in pane 2 stays while pane 1 moves, and the other way.
        {kPerpendicular, 1, 1, kCycle1s, 300, kRequestPaneOneLater + 30, 1, 30, 300},
        {kPerpendicular, 1, 1, kCycle1s, 300, kRequestPaneOneEarlier + 30, 1, -30, 300},
        {kPerpendicular, 1, 1, kCycle1s, 260, kRequestPaneTwoLater + 20, 2, 20, 260},
        {kRightward, 1, 1, kCycle1s, 100, kRequestPaneTwoEarlier + 20, 2, -20, 100},
        {kPerpendicular, 1, 1, kCycle1s, 300, kRequestPaneTwoLater + 300, 2, 300, 519},
        {kPerpendicular, 1, 1, kCycle1s, 270, kRequestPaneTwoEarlier + 20, 2, -20, 261},
        {kLeftward, 1, 1, kCycle1s, 390, kRequestPaneTwoEarlier + 20, 2, -20, 381},
        {kLeftward, 1, 1, kCycle1s, 700, kRequestPaneTwoLater + 20, 2, 20, 720},
        // Seconds per pixel: 1/20 and 1/2 truncate, yet the pane reloads.
        {kPerpendicular, 0, 0, 0, 0, kRequestPaneOneLater + 19, 1, 0, 19},
        {kPerpendicular, 0, 0, 0, 0, kRequestPaneOneLater + 40, 1, 2, 40},
        {kPerpendicular, 0, 3, kCycleHalfSecond, 0, kRequestPaneOneLater + 1, 1, 0, 1},
        {kPerpendicular, 0, 3, kCycleHalfSecond, 9, kRequestPaneOneEarlier + 7, 1, -3, 2},
        {kPerpendicular, 0, 3, kCycle2s, 0, kRequestPaneOneLater + 7, 1, 14, 7},
        {kPerpendicular, 0, 3, kCycle5s, 0, kRequestPaneOneLater + 7, 1, 35, 7},
        {kPerpendicular, 0, 3, kCycle1min, 20, kRequestPaneOneEarlier + 2, 1, -120, 18},
    };
    for (const Case& c : cases) {
        liveConfiguration.graphDirection = c.direction;
        if (c.group != 0) liveConfiguration.group(c.group).storingCycle = c.cycle;
        currentGroup = c.group;
        dividedView = c.divided;
        for (PlaybackPane& pane : playbackPanes) {
            pane.referenceTime[c.group] = nine;
            pane.values[0][0] = 5.0;
        }
        playbackCursor = c.cursor;
        request(c.code);
        std::string row = testing::PrintToString(c.code) + " cursor " + std::to_string(c.cursor);
        const PlaybackPane& moved = playbackPanes[c.pane - 1];
        const PlaybackPane& other = playbackPanes[2 - c.pane];
        EXPECT_EQ(moved.referenceTime[c.group] - nine, c.seconds) << row;
        EXPECT_EQ(moved.values[0][0], kNoData) << row << ": reloaded";
        EXPECT_EQ(other.referenceTime[c.group], nine) << row;
        EXPECT_EQ(other.values[0][0], 5.0) << row;
        EXPECT_EQ(playbackCursor, c.cursorAfter) << row;
    }
}

TEST_F(PlaybackNavigationTest, ClicksPlaceTheCursorAndScrollingStopsAtTheRecordedYears) {
    request(kRequestCursorClick + 1234);
    EXPECT_EQ(playbackCursor, 1234);

    liveConfiguration.group(1).storingCycle = kCycle1min;
    const int64_t first = test::localEpochSeconds(2000, 1, 1, 0, 0, 0);
    const int64_t last = test::localEpochSeconds(2099, 12, 31, 23, 59, 59);
    playbackPanes[0].referenceTime[1] = first + 600;
    request(kRequestPaneOneEarlier + 1599);
    EXPECT_EQ(playbackPanes[0].referenceTime[1], first);
    request(kRequestPaneOneEarlier + 1599);
    EXPECT_EQ(playbackPanes[0].referenceTime[1], first);
    playbackPanes[0].referenceTime[1] = last - 60;
    request(kRequestPaneOneLater + 1599);
    EXPECT_EQ(playbackPanes[0].referenceTime[1], last);
    EXPECT_EQ(playbackPanes[0].stamps[0].year, 2099);

    playbackPanes[0].referenceTime[1] = INT64_MAX;  // never stored, yet no overflow
    request(kRequestPaneOneLater + 1);
    EXPECT_EQ(playbackPanes[0].referenceTime[1], last);

    for (int code : {3600, 3999, 5600, 11600, 1999}) {
        playbackCursor = 7;
        request(code);
        EXPECT_EQ(playbackCursor, 7) << code;
    }
}

// What a release after a press at the anchor asks for, in every layout and
// both playback display modes.
TEST_F(PlaybackNavigationTest, ReleasesTurnIntoClicksAndDrags) {
    struct Case {
        int direction, mode, divided, anchorX, anchorY, x, y, request;
    };
    const int trend = kPlaybackTrend, panel = kPlaybackWithPanel;
    const Case cases[] = {
        // "Horizontal( <- )": the newest sample at the right.
        {kLeftward, panel, 0, 500, 200, 530, 200, kRequestPaneOneEarlier + 30},
        {kLeftward, panel, 0, 500, 200, 470, 210, kRequestPaneOneLater + 30},
        {kLeftward, panel, 0, 500, 200, 502, 203, kRequestCursorClick + 258},
        {kLeftward, panel, 0, 500, 200, 504, 300, 0},  // 4 pixels along the time axis
        {kLeftward, panel, 0, 500, 200, 505, 300, kRequestPaneOneEarlier + 5},
        {kLeftward, panel, 0, 500, 470, 530, 480, 0},  // left the graph
        {kLeftward, panel, 1, 200, 200, 230, 200, kRequestPaneTwoEarlier + 30},
        {kLeftward, panel, 1, 200, 200, 170, 200, kRequestPaneTwoLater + 30},
        {kLeftward, panel, 1, 500, 200, 470, 200, kRequestPaneOneLater + 30},
        {kLeftward, panel, 1, 370, 200, 400, 200, 0},  // from one pane into the other
        {kLeftward, panel, 1, 100, 200, 101, 200, kRequestCursorClick + 659},
        // "Horizontal( -> )": the newest sample at the left.
        {kRightward, panel, 0, 500, 200, 530, 200, kRequestPaneOneLater + 30},
        {kRightward, panel, 0, 500, 200, 470, 200, kRequestPaneOneEarlier + 30},
        {kRightward, panel, 0, 45, 100, 45, 100, kRequestCursorClick + 5},
        {kRightward, panel, 0, 30, 100, 30, 100, 0},  // the scale strip
        {kRightward, panel, 1, 600, 200, 630, 200, kRequestPaneTwoLater + 30},
        {kRightward, panel, 1, 600, 200, 570, 200, kRequestPaneTwoEarlier + 30},
        {kRightward, panel, 1, 300, 200, 270, 200, kRequestPaneOneEarlier + 30},
        // "Perpendicular" without the panel: no clicks, drags down to row 599.
        {kPerpendicular, trend, 0, 400, 300, 400, 330, kRequestPaneOneLater + 30},
        {kPerpendicular, trend, 0, 400, 300, 420, 270, kRequestPaneOneEarlier + 30},
        {kPerpendicular, trend, 0, 400, 300, 401, 301, 0},
        {kPerpendicular, trend, 0, 400, 560, 400, 599, kRequestPaneOneLater + 39},
        {kPerpendicular, trend, 0, 400, 60, 400, 100, 0},  // pressed on the scale band
        {kPerpendicular, trend, 1, 400, 400, 400, 430, kRequestPaneTwoLater + 30},
        {kPerpendicular, trend, 1, 400, 100, 400, 130, kRequestPaneOneLater + 30},
        {kPerpendicular, trend, 1, 400, 330, 400, 350, 0},
        // "Perpendicular" with the panel: the graph ends at row 479.
        {kPerpendicular, panel, 0, 400, 300, 402, 302, kRequestCursorClick + 222},
        {kPerpendicular, panel, 0, 400, 300, 400, 330, kRequestPaneOneLater + 30},
        {kPerpendicular, panel, 0, 400, 470, 400, 500, 0},
        {kPerpendicular, panel, 1, 400, 400, 400, 400, kRequestCursorClick + 320},
        {kPerpendicular, panel, 1, 400, 400, 400, 370, kRequestPaneTwoEarlier + 30},
        {kPerpendicular, panel, 1, 400, 337, 400, 342, 0},
    };
    for (const Case& c : cases) {
        liveConfiguration.graphDirection = c.direction;
        displayMode = c.mode;
        dividedView = c.divided;
        dragAnchorX = c.anchorX;
        dragAnchorY = c.anchorY;
        EXPECT_EQ(releaseRequestAt(c.x, c.y), c.request)
            << c.direction << " " << c.mode << " divided " << c.divided << " (" << c.anchorX << ","
            << c.anchorY << ") -> (" << c.x << "," << c.y << ")";
    }
}

TEST_F(PlaybackNavigationTest, GesturesAreClassifiedInTwentyPixelUnits) {
    struct Case {
        int releaseX, releaseY, pressX, pressY, result;
    };
    const Case cases[] = {
        {40, 40, 40, 40, kGestureClick},   {79, 79, 75, 75, kGestureClick},
        {80, 60, 76, 60, kGestureOutside}, {39, 60, 45, 60, kGestureOutside},
        {45, 60, 50, 60, kGestureDrag},    {50, 45, 50, 50, kGestureDrag},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(classifyGesture(c.releaseX, c.releaseY, c.pressX, c.pressY, 2, 2, 4, 4), c.result)
            << c.releaseX << "," << c.releaseY << " from " << c.pressX << "," << c.pressY;
    }
}

}  // namespace
}  // namespace kvt
