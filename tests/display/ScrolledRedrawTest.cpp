#include <gtest/gtest.h>

#include "core/RunFlags.h"
#include "display/ScreenDrawing.h"
#include "display/TopBar.h"
#include "display/TrendFixture.h"
#include "platform/DeviceContextImage.h"
#include "platform/WindowCommands.h"
#include "support/FakeClock.h"
#include "support/SurfacePixels.h"

// Last: the toolkit's "slots" keyword would clash with the rings' slots.
#include <QApplication>
#include <QScreen>

#include "display/MainWindow.h"

namespace kvt::test {
namespace {

void noWorkers() {}

// The sample with serial number `serial`, half a second after the one
// before (an hour earlier once the clock was set back): each pen wanders
// round its own level; pen 2 has no data for a long stretch, pen 3 for a
// short one; pen 4 is discrete. With 895 samples first, pen 2's gap starts
// inside the graph and a few samples later runs past the 800 newest, so
// that redraws copy on to the point it joins; pen 3's comes at the newest
// end.
SampleData sampleOf(int serial, bool clockBack) {
    int seconds = 9 * 3600 + serial / 2 - (clockBack ? 3600 : 0);
    SystemTime time{2026, 3, 0, 1, static_cast<uint16_t>(seconds / 3600),
                    static_cast<uint16_t>(seconds / 60 % 60), static_cast<uint16_t>(seconds % 60),
                    static_cast<uint16_t>(serial % 2 * 500)};
    SampleData sample = sampleAt(time, 0.0);
    for (int pen = 0; pen < kPensPerGroup; ++pen) {
        unsigned noise = (serial * 2654435761u + pen * 40503u) >> 20;
        sample.values[pen] = 4.0 + 8.0 * pen + static_cast<int>(noise % 15) - 7.0;
    }
    sample.values[4] = serial / 7 % 2;
    if (serial >= 100 && serial < 440) sample.values[2] = kNoData;
    if (serial >= 905 && serial < 910) sample.values[3] = kNoData;
    return sample;
}

class ScrolledRedrawTest : public TrendTest {
protected:
    void SetUp() override {
        TrendTest::SetUp();
        liveConfiguration.operatingMode = kDemoMode;
        for (int index = 0; index < kPensPerGroup; ++index) enable(1, index, rgb(20 * index, 90, 200));
        pen(1, 0).thickLine = pen(1, 5).thickLine = 1;
        pen(1, 4).isDiscrete = 1;
        pen(1, 6).shown = 0;
    }

    void append(int count) {
        for (int i = 0; i < count; ++i) appendRingSample(1, sampleOf(serial++, clockBack));
    }

    // After a refresh, the image, the window surface and what is on screen
    // are those of the whole screen drawn afresh.
    void expectAsDrawnAfresh(MainWindow& window, const char* step) {
        postWindowCommand(kCommandRefresh);
        window.handlePendingCommands();
        DeviceContext afresh;
        drawScreenImage(afresh, currentTopBarState());
        SCOPED_TRACE(testing::Message() << step << " at serial " << serial);
        ASSERT_TRUE(sameRegion(window.screenImage(), afresh, 0, 0, 800, 600));
        DeviceContext surface(MainWindow::kClientWidth, MainWindow::kClientHeight);
        surface.fillSolidRect(0, 0, surface.width(), surface.height(), kBarGrey);
        surface.copyFrom(afresh, 1, 1);
        // Now and then the whole window painted unasked, as when uncovered:
        // the rows the window moved itself come from the image then.
        if (serial % 20 == 7) window.repaint();
        QImage shown = window.screen()->grabWindow(window.winId()).toImage().convertToFormat(QImage::Format_RGB32);
        ASSERT_TRUE(shown == imageCopy(surface));
        // Now and then only: reading the surface brings it up to the image.
        if (serial % 25 == 0) {
            ASSERT_TRUE(sameRegion(window.windowSurface(), surface, 0, 0, surface.width(), surface.height()));
        }
    }

    ScopedFakeClock fake;
    int serial = 0;
    bool clockBack = false;
};

// The graph moving on by one sample, by several and by none, filling up
// and then losing its oldest samples, with gaps at both ends, labels every
// second sample (whose spacing picks them afresh as the graph moves), a
// changed pen, a group switch, the clock set back and the panel shown and
// hidden: each refresh leaves the window as drawing it afresh would.
TEST_F(ScrolledRedrawTest, MovedRowsAreTheScreenDrawnAfresh) {
    MainWindow window({noWorkers, noWorkers});
    window.show();
    QApplication::processEvents();
    append(895);
    for (int step = 0; step < 150; ++step) {
        append(step == 10 ? 3 : step == 11 ? 0 : step >= 100 ? 32 : 1);
        if (step == 15) pen(1, 0).penColour = rgb(250, 0, 0);
        if (step == 20) currentGroup = 2;
        if (step == 21) currentGroup = 1;
        if (step == 30) displayMode = kLiveWithPanel;
        if (step == 60) displayMode = kLiveTrend;
        if (step == 70) clockBack = true;
        if (step == 80) liveConfiguration.group(1).storingCycle = kCycle1s;
        expectAsDrawnAfresh(window, "moving on");
    }
}

}  // namespace
}  // namespace kvt::test
