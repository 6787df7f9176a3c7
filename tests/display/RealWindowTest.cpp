// The real program on a private X server, driven by synthetic clicks.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QImage>

#include <string>

#include "support/Eventually.h"
#include "support/RecorderOnScreen.h"
#include "support/ScreenGrabPixels.h"
#include "support/TempHome.h"
#include "support/XvfbSession.h"

namespace kvt {
namespace {

// Image points of the buttons (the window covers the 800 x 600 screen).
constexpr int kStartX = 440, kDigitalX = 520, kCommandY = 30;
constexpr int kExitX = 790, kSmallY = 10;
// Colours as 0xRRGGBB.
constexpr unsigned kPen1 = 0x0000FF;
constexpr unsigned kPen3 = 0xFF0000;
constexpr unsigned kBarGrey = 0x979797;
constexpr unsigned kMarkerGrey = 0xBFBFBF;
constexpr unsigned kWhite = 0xFFFFFF;

using test::colourAt;
using test::pixelsOf;

// The caption of the START/STOP button as drawn.
bool sameStartButton(const QImage& a, const QImage& b) {
    return a.copy(400, 20, 80, 20) == b.copy(400, 20, 80, 20);
}

class RealWindow : public test::DemoRecorderOnScreenTest {};

TEST_F(RealWindow, StartShowsTracesAndMarkersDigitalShowsThePanelStopAndExitEnd) {
    test::XvfbSession& x = session();
    test::RecorderOnScreen& program = recorder();
    QImage screen;
    auto barShown = [&] {
        screen = x.grab(home.path());
        return !screen.isNull() && colourAt(screen, 300, 10) == kBarGrey;
    };
    ASSERT_TRUE(test::eventually(barShown, 20000)) << program.output();
    QImage stopped = screen;

    ASSERT_TRUE(x.click(kStartX, kCommandY));
    auto tracesShown = [&] {
        screen = x.grab(home.path());
        return pixelsOf(screen, kPen1, 0, 120, 800, 600) > 20 && pixelsOf(screen, kPen3, 0, 120, 800, 600) > 20;
    };
    ASSERT_TRUE(test::eventually(tracesShown, 20000)) << program.output();
    EXPECT_GT(pixelsOf(screen, kMarkerGrey, 0, 40, 800, 80), 10000);  // marker band
    EXPECT_GT(pixelsOf(screen, kPen1, 0, 40, 800, 80), 50);           // pen 1's pointer
    EXPECT_FALSE(sameStartButton(screen, stopped));                   // "STOP"

    ASSERT_TRUE(x.click(kDigitalX, kCommandY));
    auto panelShown = [&] {
        screen = x.grab(home.path());
        return pixelsOf(screen, kPen1, 0, 480, 200, 520) > 1000;
    };
    ASSERT_TRUE(test::eventually(panelShown, 10000));
    EXPECT_GT(pixelsOf(screen, kWhite, 2, 500, 198, 518), 1000);  // value box

    // STOP asks first; Enter takes the default button, OK.
    ASSERT_TRUE(x.click(kStartX, kCommandY));
    usleep(1500000);
    ASSERT_TRUE(x.key("Return"));
    auto startShownAgain = [&] {
        screen = x.grab(home.path());
        return sameStartButton(screen, stopped);
    };
    EXPECT_TRUE(test::eventually(startShownAgain, 10000));

    ASSERT_TRUE(x.click(kExitX, kSmallY));
    EXPECT_EQ(program.waitForExit(15000), 0) << program.output();
}

}  // namespace
}  // namespace kvt
