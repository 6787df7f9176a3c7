// Counts heap allocations of the window's redraw once the window is up.
#include <gtest/gtest.h>

#include <initializer_list>

#include "AllocationCounter.h"
#include "core/RunFlags.h"
#include "display/DisplayState.h"
#include "display/MainWindow.h"
#include "support/BusyScreens.h"
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

TEST(ScreenDrawingAllocation, RedrawsAllocateNothingOnceTheWindowIsUp) {
    test::ensureQtApplication();
    test::TempHome home;
    MainWindow window({noWorkers, noWorkers});
    DeviceContext surface(MainWindow::kClientWidth, MainWindow::kClientHeight);
    drawEveryScreen(window, surface);  // the first screens render the glyphs they use

    long before = test::allocationsOnThisThread();
    drawEveryScreen(window, surface);
    EXPECT_EQ(test::allocationsOnThisThread() - before, 0);

    store(acquisitionActive, 0);
    store(acquisitionRequested, 0);
    store(g_settingsChanged, 0);
}

}  // namespace
}  // namespace kvt
