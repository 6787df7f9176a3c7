#include <cstring>

#include "TrendFixture.h"
#include "display/UiRequests.h"
#include "platform/WindowCommands.h"

namespace kvt {
namespace {

class UiRequestsTest : public test::TrendTest {
protected:
    void SetUp() override {
        TrendTest::SetUp();
        std::memcpy(&workingConfiguration, &liveConfiguration, sizeof workingConfiguration);
    }
    static void request(int code) {
        pendingUiRequest = code;
        processUiRequest();
        EXPECT_EQ(pendingUiRequest, kNoRequest) << code;
    }
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
    displayMode = kLiveTrend;
    request(kRequestNextPen);
    EXPECT_EQ(load(g_settingsChanged), 0) << "panel hidden";

    displayMode = kLiveWithPanel;
    liveConfiguration.selectedPen[1] = 11;
    request(kRequestNextPen);
    EXPECT_EQ(workingConfiguration.selectedPen[1], 12);
    EXPECT_EQ(liveConfiguration.selectedPen[1], 11);
    EXPECT_EQ(load(g_settingsChanged), 1);

    store(g_settingsChanged, 0);
    liveConfiguration.selectedPen[1] = 12;
    request(kRequestNextPen);
    EXPECT_EQ(load(g_settingsChanged), 0) << "pen 12 is the last";

    currentGroup = 0;
    liveConfiguration.selectedPen[0] = 8;
    request(kRequestNextPen);
    EXPECT_EQ(load(g_settingsChanged), 0) << "the high-speed group has 8 pens";

    currentGroup = 1;
    liveConfiguration.selectedPen[1] = -3;  // damaged: counts as all pens
    request(kRequestPreviousPen);
    EXPECT_EQ(load(g_settingsChanged), 0);
    request(kRequestNextPen);
    EXPECT_EQ(workingConfiguration.selectedPen[1], 1);
}

TEST_F(UiRequestsTest, ADisplayChangeKeepsADialogCommitThatIsStillWaiting) {
    displayMode = kLiveWithPanel;
    workingConfiguration.storagePeriodDays = 30;  // committed by a dialog, not yet taken over
    store(g_settingsChanged, 1);
    request(kRequestNextPen);
    EXPECT_EQ(workingConfiguration.storagePeriodDays, 30);
    EXPECT_EQ(workingConfiguration.selectedPen[1], 1);
}

TEST_F(UiRequestsTest, ScaleRequestsAndTheDigitalToggle) {
    request(205);
    EXPECT_EQ(workingConfiguration.scalePen[1], 5);
    request(200);
    EXPECT_EQ(workingConfiguration.scalePen[1], 0);

    request(kRequestDigital);
    EXPECT_EQ(displayMode, kLiveWithPanel);
    request(kRequestDigital);
    EXPECT_EQ(displayMode, kLiveTrend);
    liveConfiguration.graphDirection = 2;
    displayMode = kLiveWithPanel;
    request(kRequestDigital);
    EXPECT_EQ(displayMode, kLiveWithPanel);
}

TEST_F(UiRequestsTest, PlaybackRequestsAreClearedWithoutEffectForNow) {
    for (int code : std::initializer_list<int>{kRequestSaveImage, kRequestRetrieve, kRequestRecord, kRequestRealValue,
                     kRequestCurrent, kRequestDivide, 2000, 4005, 11599}) {
        request(code);
        EXPECT_EQ(displayMode, kLiveTrend) << code;
        EXPECT_EQ(load(g_settingsChanged), 0) << code;
    }
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
