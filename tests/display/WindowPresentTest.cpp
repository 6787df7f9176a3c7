#include <gtest/gtest.h>

#include "core/RunFlags.h"
#include "display/TrendFixture.h"
#include "platform/DeviceContextImage.h"
#include "platform/WindowCommands.h"
#include "support/FakeClock.h"

// Last: the toolkit's "slots" keyword would clash with the rings' slots.
#include <QApplication>
#include <QScreen>

#include "display/MainWindow.h"

namespace kvt::test {
namespace {

void noWorkers() {}

class WindowPresentTest : public TrendTest {
protected:
    ScopedFakeClock fake;

    // What the window has on screen, as the toolkit shows it.
    static QImage onScreen(MainWindow& window) {
        return window.screen()->grabWindow(window.winId()).toImage().convertToFormat(
            QImage::Format_RGB32);
    }
    // The window drawn afresh from the last image: grey border, image at (1, 1).
    static QImage fullRedraw(const MainWindow& window) {
        DeviceContext full(MainWindow::kClientWidth, MainWindow::kClientHeight);
        full.fillSolidRect(0, 0, full.width(), full.height(), kBarGrey);
        full.copyFrom(window.screenImage(), 1, 1);
        return imageCopy(full);
    }
    static double wandering(int pen, int k) { return 10.0 + 7.0 * pen + (k * 13 + pen * 5) % 30; }
};

// Refreshes paint only what changed; over ticks that move every trace, add
// and drop the panel, change the group and show a pressed button, what is
// on screen stays exactly the full redraw of the same moment.
TEST_F(WindowPresentTest, PartialPaintsLeaveTheScreenAsAFullRedraw) {
    for (int index = 0; index < kPensPerGroup; ++index) {
        enable(1, index, rgb(40 * index % 256, 90, 200 - 10 * index));
        enable(2, index, rgb(200, 20 * index % 256, 60));
    }
    MainWindow window({noWorkers, noWorkers});
    window.show();
    QApplication::processEvents();
    fillRing(1, 200, kNewest, 500, wandering);
    fillRing(2, 50, kNewest, 500, wandering);

    struct Tick {
        const char* name;
        void (*change)(MainWindow&);
    } ticks[] = {
        {"first samples", [](MainWindow&) {}},
        {"traces move", [](MainWindow&) { appendRingSample(1, sampleAt(kNewest, 35.0)); }},
        {"traces move again", [](MainWindow&) { appendRingSample(1, sampleAt(kNewest, 80.0)); }},
        {"nothing new", [](MainWindow&) {}},
        {"panel shown", [](MainWindow&) { displayMode = kLiveWithPanel; }},
        {"panel values change", [](MainWindow&) { appendRingSample(1, sampleAt(kNewest, 5.0)); }},
        {"panel gone", [](MainWindow&) { displayMode = kLiveTrend; }},
        {"lamps blink", [](MainWindow&) { store(blinkFlag, 1); }},
        {"next group", [](MainWindow&) { currentGroup = 2; }},
        {"button pressed, then drawn raised",
         [](MainWindow& pressed) { pressed.pressAt(750 + 1, 10 + 1); }},
    };
    for (const Tick& tick : ticks) {
        tick.change(window);
        postWindowCommand(kCommandRefresh);
        window.handlePendingCommands();
        EXPECT_TRUE(onScreen(window) == fullRedraw(window)) << tick.name;
    }
}

}  // namespace
}  // namespace kvt::test
