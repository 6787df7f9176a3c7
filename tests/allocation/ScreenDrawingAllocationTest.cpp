// Counts heap allocations of the window's redraw once the window is up.
#include <gtest/gtest.h>

#include <initializer_list>

#include "AllocationCounter.h"
#include "core/RunFlags.h"
#include "display/DisplayState.h"
#include "display/MainWindow.h"
#include "display/PlaybackNavigation.h"
#include "platform/QtWaitCursor.h"
#include "platform/WaitCursor.h"
#include "recording/PlaybackPanes.h"
#include "support/BusyScreens.h"
#include "support/FakeClock.h"
#include "support/QtTestApplication.h"
#include "support/TempHome.h"

namespace kvt {
namespace {

void noWorkers() {}

// Every layout and display mode, with requests that change the group, the
// panel and the scale, so both the drawing and the request handling run.
void drawEveryScreen(MainWindow& window, DeviceContext& surface) {
    for (int direction = 0; direction < 3; ++direction) {
        test::setUpWorstLiveScreen(direction);
        for (int request : std::initializer_list<int>{kNoRequest, kRequestDigital, kRequestNextPen, 203, kRequestNextGroup,
                            kRequestPreviousGroup, kRequestStartStop}) {
            pendingUiRequest = request;
            store(blinkFlag, request % 2);
            window.drawScreen(1, surface);
        }
    }
    test::setUpSplitPlaybackScreen();
    window.drawScreen(1, surface);
    dividedView = 0;
    window.drawScreen(0, surface);
}

// Playback over recorded day files: retrieval, a cursor click, drags of
// both panes, the divided view, a jump to the present, the image export
// and the group arrows, each carried out by its redraw.
void browseRecordedData(MainWindow& window, DeviceContext& surface) {
    test::setUpSplitPlaybackScreen();
    displayMode = kLiveWithPanel;
    const int requests[] = {kRequestRetrieve,           kRequestCursorClick + 120,
                            kRequestPaneOneEarlier + 40, kRequestDivide,
                            kRequestPaneTwoEarlier + 30, kRequestPaneTwoLater + 10,
                            kRequestPaneOneLater + 20,   kRequestCurrent,
                            kRequestSaveImage,           kRequestNextGroup,
                            kRequestPreviousGroup,       kRequestRecord};
    for (int request : requests) {
        pendingUiRequest = request;
        window.drawScreen(1, surface);
    }
}

// The window up in a fresh home; the flags its requests set are cleared
// afterwards.
class ScreenDrawingAllocation : public ::testing::Test {
protected:
    static void SetUpTestSuite() { test::ensureQtApplication(); }
    void TearDown() override {
        store(acquisitionActive, 0);
        store(acquisitionRequested, 0);
        store(g_settingsChanged, 0);
    }

    test::TempHome home;
    MainWindow window{{noWorkers, noWorkers}};
    DeviceContext surface{MainWindow::kClientWidth, MainWindow::kClientHeight};
};

TEST_F(ScreenDrawingAllocation, PlaybackNavigationAllocatesNothingOnceTheWindowIsUp) {
    test::ScopedFakeClock fake;
    fake.clock.setLocal(2026, 3, 1, 9, 30, 0);
    QtWaitCursorProvider waitCursor;  // loads show it, as in the program
    WaitCursorProvider* previousCursor = installWaitCursorProvider(&waitCursor);
    test::recordBusyGroup(test::localEpochSeconds(2026, 3, 1, 9, 30, 0) * 1000, 4000);
    browseRecordedData(window, surface);

    long before = test::allocationsOnThisThread();
    browseRecordedData(window, surface);
    EXPECT_EQ(test::allocationsOnThisThread() - before, 0);
    installWaitCursorProvider(previousCursor);
    EXPECT_NE(playbackPanes[0].values[0][5], kNoData) << "the panes were read from the files";
}

TEST_F(ScreenDrawingAllocation, RedrawsAllocateNothingOnceTheWindowIsUp) {
    drawEveryScreen(window, surface);  // the first screens render the glyphs they use

    long before = test::allocationsOnThisThread();
    drawEveryScreen(window, surface);
    EXPECT_EQ(test::allocationsOnThisThread() - before, 0);
}

}  // namespace
}  // namespace kvt
