// The real program on a private X server, driven by synthetic clicks.
#include <gtest/gtest.h>

#include <QImage>

#include <string>

#include "support/ProgramRun.h"
#include "support/RecorderOnScreen.h"
#include "support/ScreenGrabPixels.h"

namespace kvt {
namespace {

// Points of the buttons in the window (which covers the 800 x 600 screen, so
// its image is the screen grab).
constexpr int kStartX = 440, kDigitalX = 520, kCommandY = 30;
constexpr int kExitX = 790, kSmallY = 10;
// Colours as 0xRRGGBB.
constexpr unsigned kPen1 = 0x0000FF;
constexpr unsigned kPen3 = 0xFF0000;
constexpr unsigned kBarGrey = 0x979797;
constexpr unsigned kMarkerGrey = 0xBFBFBF;
constexpr unsigned kWhite = 0xFFFFFF;
constexpr int kWaitMs = test::XvfbSession::kWaitMs;

using test::colourAt;
using test::pixelsOf;

// The caption of the START/STOP button as drawn.
bool sameStartButton(const QImage& a, const QImage& b) {
    return a.copy(400, 20, 80, 20) == b.copy(400, 20, 80, 20);
}

class RealWindow : public test::DemoRecorderOnScreenTest {};

TEST_F(RealWindow, StartShowsTracesAndMarkersDigitalShowsThePanelStopAndExitEnd) {
    test::XvfbSession& x = session();
    test::ScreenWindow& window = mainWindow;
    ASSERT_TRUE(showing([&] { return colourAt(screen, 300, 10) == kBarGrey; })) << output();
    QImage stopped = screen;

    ASSERT_TRUE(x.click(window, kStartX, kCommandY));
    ASSERT_TRUE(showing([&] {
        return pixelsOf(screen, kPen1, 0, 120, 800, 600) > 20 &&
               pixelsOf(screen, kPen3, 0, 120, 800, 600) > 20;
    })) << output();
    EXPECT_GT(pixelsOf(screen, kMarkerGrey, 0, 40, 800, 80), 10000);  // marker band
    EXPECT_GT(pixelsOf(screen, kPen1, 0, 40, 800, 80), 50);           // pen 1's pointer
    EXPECT_FALSE(sameStartButton(screen, stopped));                   // "STOP"

    ASSERT_TRUE(x.click(window, kDigitalX, kCommandY));
    ASSERT_TRUE(showing([&] { return pixelsOf(screen, kPen1, 0, 480, 200, 520) > 1000; }));
    EXPECT_GT(pixelsOf(screen, kWhite, 2, 500, 198, 518), 1000);  // value box

    // STOP asks first.
    ASSERT_TRUE(stopMeasuring(kStartX, kCommandY));
    EXPECT_TRUE(showing([&] { return sameStartButton(screen, stopped); }));

    ASSERT_TRUE(x.click(window, kExitX, kSmallY));
    EXPECT_EQ(test::waitForExit(program, kWaitMs), 0) << output();
}

}  // namespace
}  // namespace kvt
