#include <cstring>

#include "TrendFixture.h"
#include "display/PlaybackNavigation.h"
#include "display/UiRequests.h"
#include "platform/WindowCommands.h"
#include "support/SurfacePixels.h"

namespace kvt {
namespace {

class UiRequestsTest : public test::TrendTest {
protected:
    void SetUp() override {
        TrendTest::SetUp();
        std::memcpy(&workingConfiguration, &liveConfiguration, sizeof workingConfiguration);
    }
    void request(int code) {
        pendingUiRequest = code;
        processUiRequest(screen);
        EXPECT_EQ(pendingUiRequest, kNoRequest) << code;
    }
    // Reference time of pane 1 or 2 of the group shown.
    static int64_t& reference(int pane) { return playbackPanes[pane - 1].referenceTime[currentGroup]; }
    // Marks a pane's buffer, so a reload shows as the mark gone.
    static void mark(int pane) { playbackPanes[pane - 1].values[0][0] = 5.0; }
    static bool reloaded(int pane) { return playbackPanes[pane - 1].values[0][0] == kNoData; }

    test::ScopedFakeClock fake;
    DeviceContext screen;
    const int64_t nineThirty = test::localEpochSeconds(2026, 3, 1, 9, 30, 0);
};

TEST_F(UiRequestsTest, GroupArrowsStopAtTheEndsAndDoNothingInHighSpeedMode) {
    struct Case {
        int mode, group, code, after;
    };
    const Case cases[] = {
        {kNormalMode, 3, kRequestNextGroup, 4},       {kNormalMode, 10, kRequestNextGroup, 10},
        {kNormalMode, 1, kRequestPreviousGroup, 1},   {kDemoMode, 2, kRequestPreviousGroup, 1},
        {kHighSpeedMode, 0, kRequestNextGroup, 0},    {kHighSpeedMode, 0, kRequestPreviousGroup, 0},
        {9, 5, kRequestPreviousGroup, 4},
    };
    for (const Case& c : cases) {
        liveConfiguration.operatingMode = c.mode;
        currentGroup = c.group;
        request(c.code);
        EXPECT_EQ(currentGroup, c.after) << c.mode << " " << c.group << " " << c.code;
    }
    displayMode = kPlaybackTrend;
    dividedView = 1;
    liveConfiguration.operatingMode = kNormalMode;
    request(kRequestNextGroup);
    EXPECT_EQ(dividedView, 0);
}

// Pen choices go through the working configuration and are taken over by
// the next refresh; the live configuration is not touched.
TEST_F(UiRequestsTest, SelectedPenStepsWithinTheGroupThroughTheWorkingCopy) {
    struct Case {
        int mode, group, selected, code;
        int after;  // the pen taken over, or -1 for no change
    };
    const Case cases[] = {
        {kLiveTrend, 1, 0, kRequestNextPen, -1},  // panel hidden
        {kLiveWithPanel, 1, 11, kRequestNextPen, 12},
        {kLiveWithPanel, 1, 12, kRequestNextPen, -1},  // pen 12 is the last
        {kLiveWithPanel, 0, 8, kRequestNextPen, -1},   // the high-speed group has 8 pens
        {kLiveWithPanel, 1, -3, kRequestPreviousPen, -1},  // damaged: counts as all pens
        {kLiveWithPanel, 1, -3, kRequestNextPen, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "group " << c.group << " pen " << c.selected << " code "
                                        << c.code);
        displayMode = c.mode;
        currentGroup = c.group;
        liveConfiguration.selectedPen[c.group] = c.selected;
        store(g_settingsChanged, 0);
        request(c.code);
        EXPECT_EQ(load(g_settingsChanged), c.after < 0 ? 0 : 1);
        if (c.after >= 0) {
            EXPECT_EQ(workingConfiguration.selectedPen[c.group], c.after);
        }
        EXPECT_EQ(liveConfiguration.selectedPen[c.group], c.selected) << "live configuration untouched";
    }
}

TEST_F(UiRequestsTest, ADisplayChangeKeepsADialogCommitThatIsStillWaiting) {
    displayMode = kLiveWithPanel;
    workingConfiguration.storagePeriodDays = 30;  // committed by a dialog, not yet taken over
    store(g_settingsChanged, 1);
    request(kRequestNextPen);
    EXPECT_EQ(workingConfiguration.storagePeriodDays, 30);
    EXPECT_EQ(workingConfiguration.selectedPen[1], 1);
}

TEST_F(UiRequestsTest, ScaleRequestsGoThroughTheWorkingCopy) {
    request(205);
    EXPECT_EQ(workingConfiguration.scalePen[1], 5);
    request(200);
    EXPECT_EQ(workingConfiguration.scalePen[1], 0);
}

// Only the perpendicular layout can hide the panel.
TEST_F(UiRequestsTest, DisplayModeChanges) {
    struct Case {
        int direction, mode, code, after;
    };
    const Case cases[] = {
        {0, kLiveTrend, kRequestDigital, kLiveWithPanel},
        {0, kLiveWithPanel, kRequestDigital, kLiveTrend},
        {2, kLiveWithPanel, kRequestDigital, kLiveWithPanel},
        {0, kLiveTrend, kRequestRetrieve, kPlaybackTrend},
        {2, kLiveWithPanel, kRequestRetrieve, kPlaybackWithPanel},
        {0, kPlaybackTrend, kRequestRecord, kLiveTrend},
        {1, kPlaybackWithPanel, kRequestRecord, kLiveWithPanel},
        {0, kPlaybackTrend, kRequestRealValue, kPlaybackWithPanel},
        {0, kPlaybackWithPanel, kRequestRealValue, kPlaybackTrend},
        {1, kPlaybackWithPanel, kRequestRealValue, kPlaybackWithPanel},
        {2, kPlaybackWithPanel, kRequestRealValue, kPlaybackWithPanel},
    };
    for (const Case& c : cases) {
        liveConfiguration.graphDirection = c.direction;
        displayMode = c.mode;
        request(c.code);
        EXPECT_EQ(displayMode, c.after) << c.direction << " " << c.mode << " " << c.code;
    }
}

// "Retrieve" shows the present the first time and the last viewed time of
// the group afterwards; "Current" returns to the present at the next pane
// time step.
TEST_F(UiRequestsTest, RetrieveRemembersTheGroupsTimeAndCurrentReturnsToThePresent) {
    fake.clock.setLocal(2026, 3, 1, 9, 30, 0);
    liveConfiguration.group(1).storingCycle = kCycle1s;
    displayMode = kLiveWithPanel;
    dividedView = 1;
    playbackCursor = 77;
    dragAnchorX = dragAnchorY = 5;
    request(kRequestRetrieve);
    EXPECT_EQ(dividedView, 0);
    EXPECT_EQ(playbackCursor, 0);
    EXPECT_EQ(dragAnchorX + dragAnchorY, 0);
    EXPECT_EQ(reference(1), nineThirty - 1);
    EXPECT_EQ(playbackPanes[0].stamps[0].second, 59);

    request(kRequestPaneOneEarlier + 60);
    request(kRequestRecord);
    fake.clock.setLocal(2026, 3, 1, 11, 0, 0);
    request(kRequestRetrieve);
    EXPECT_EQ(reference(1), nineThirty - 61);

    playbackCursor = 12;
    request(kRequestCurrent);
    EXPECT_EQ(paneTimeRequests[0].pending, 1);
    applyPaneTimeRequests();
    EXPECT_EQ(paneTimeRequests[0].pending, 0);
    EXPECT_EQ(reference(1), nineThirty + 5400 - 1);
    EXPECT_EQ(playbackCursor, 0);
}

TEST_F(UiRequestsTest, PaneTimeRequestsReloadOnlyTheirPane) {
    displayMode = kPlaybackTrend;
    dividedView = 1;
    mark(1);
    mark(2);
    paneTimeRequests[1] = {nineThirty - 7200, 1};
    applyPaneTimeRequests();
    EXPECT_EQ(reference(2), nineThirty - 7200);
    EXPECT_EQ(playbackPanes[1].stamps[0].hour, 7);
    EXPECT_TRUE(reloaded(2));
    EXPECT_FALSE(reloaded(1));
    EXPECT_EQ(paneTimeRequests[1].pending, 0);
}

TEST_F(UiRequestsTest, DivideStartsPaneTwoAtPaneOnesTimeAndAGroupChangeEndsIt) {
    displayMode = kPlaybackTrend;
    reference(1) = nineThirty - 600;
    mark(2);
    request(kRequestDivide);
    EXPECT_EQ(dividedView, 1);
    EXPECT_EQ(reference(2), nineThirty - 600);
    EXPECT_TRUE(reloaded(2));

    mark(2);
    request(kRequestDivide);
    EXPECT_EQ(dividedView, 0);
    EXPECT_FALSE(reloaded(2)) << "switching off reloads nothing";

    dividedView = 1;
    playbackCursor = 300;
    mark(1);
    request(kRequestNextGroup);
    EXPECT_EQ(currentGroup, 2);
    EXPECT_EQ(dividedView, 0);
    EXPECT_TRUE(reloaded(1));
    EXPECT_EQ(playbackCursor, 0);
    EXPECT_NE(reference(1), 0) << "pane 1 of group 2 loaded at the present";
}

// A pane with nothing recorded still shows its time labels.
TEST_F(UiRequestsTest, RetrieveWithNothingRecordedShowsAnEmptyGraphWithItsLabels) {
    enable(1, 0, rgb(255, 0, 0));
    request(kRequestRetrieve);
    DeviceContext image = drawn();
    EXPECT_GT(test::countPixels(image, kBlack, 330, 81, 470, 600), 100);
    EXPECT_EQ(test::countPixels(image, rgb(255, 0, 0), 0, 81, 800, 600), 0);
}

TEST_F(UiRequestsTest, ScSavesTheScreenInLiveModesToo) {
    fake.clock.setLocal(2026, 3, 1, 9, 30, 0);
    currentGroup = 3;
    request(kRequestSaveImage);
    std::string image = test::readFile(home.dataFolder() + "/20260301_093000_G3.bmp");
    EXPECT_EQ(image.size(), 1920054u);
    EXPECT_EQ(displayMode, kLiveTrend);
}

TEST_F(UiRequestsTest, ScaleAndPanelPressAreas) {
    struct Case {
        int direction, mode, x, y, request;
    };
    enable(1, 4, rgb(1, 2, 3));
    enable(1, 5, rgb(1, 2, 3)).isDiscrete = 1;
    const Case cases[] = {
        {0, kLiveTrend, 10, 100, 200},        {0, kLiveTrend, 10, 60, 0},
        {0, kPlaybackTrend, 10, 60, 200},     {1, kLiveWithPanel, 730, 300, 200},
        {1, kPlaybackWithPanel, 770, 300, 200}, {2, kLiveWithPanel, 50, 300, 200},
        {2, kPlaybackWithPanel, 10, 300, 200}, {0, kLiveWithPanel, 250, 530, 205},
        {0, kLiveWithPanel, 250, 570, 0},      {0, kLiveTrend, 250, 530, 0},
        {0, kLiveWithPanel, 50, 500, 0},
    };
    for (const Case& c : cases) {
        liveConfiguration.graphDirection = c.direction;
        displayMode = c.mode;
        EXPECT_EQ(scaleOrPanelRequestAt(c.x, c.y), c.request) << c.direction << " " << c.x << " " << c.y;
    }
    liveConfiguration.graphDirection = 0;
    displayMode = kLiveWithPanel;
    liveConfiguration.selectedPen[1] = 7;
    EXPECT_EQ(scaleOrPanelRequestAt(400, 300), 207);
    liveConfiguration.selectedPen[1] = 40;
    EXPECT_EQ(scaleOrPanelRequestAt(400, 300), 0);
}

}  // namespace
}  // namespace kvt
