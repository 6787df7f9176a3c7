// The real program on a private X server, driven by synthetic clicks.
#include <gtest/gtest.h>

#include <QImage>

#include <string>

#include "support/Eventually.h"
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
    QImage screen;
    auto barShown = [&] {
        screen = x.grab(home.path());
        return !screen.isNull() && colourAt(screen, 300, 10) == kBarGrey;
    };
    ASSERT_TRUE(test::eventually(barShown, kWaitMs)) << output();
    QImage stopped = screen;

    ASSERT_TRUE(x.click(window, kStartX, kCommandY));
    auto tracesShown = [&] {
        screen = x.grab(home.path());
        return pixelsOf(screen, kPen1, 0, 120, 800, 600) > 20 && pixelsOf(screen, kPen3, 0, 120, 800, 600) > 20;
    };
    ASSERT_TRUE(test::eventually(tracesShown, kWaitMs)) << output();
    EXPECT_GT(pixelsOf(screen, kMarkerGrey, 0, 40, 800, 80), 10000);  // marker band
    EXPECT_GT(pixelsOf(screen, kPen1, 0, 40, 800, 80), 50);           // pen 1's pointer
    EXPECT_FALSE(sameStartButton(screen, stopped));                   // "STOP"

    ASSERT_TRUE(x.click(window, kDigitalX, kCommandY));
    auto panelShown = [&] {
        screen = x.grab(home.path());
        return pixelsOf(screen, kPen1, 0, 480, 200, 520) > 1000;
    };
    ASSERT_TRUE(test::eventually(panelShown, kWaitMs));
    EXPECT_GT(pixelsOf(screen, kWhite, 2, 500, 198, 518), 1000);  // value box

    // STOP asks first (a message box with the window's title); Enter takes
    // the default button, OK.
    ASSERT_TRUE(x.click(window, kStartX, kCommandY));
    test::ScreenWindow question;
    ASSERT_TRUE(x.waitForDialog("KVT936PUS", question, window));
    ASSERT_TRUE(x.key("Return"));
    ASSERT_TRUE(x.waitForGone(question));
    auto startShownAgain = [&] {
        screen = x.grab(home.path());
        return sameStartButton(screen, stopped);
    };
    EXPECT_TRUE(test::eventually(startShownAgain, kWaitMs));

    ASSERT_TRUE(x.click(window, kExitX, kSmallY));
    EXPECT_EQ(test::waitForExit(program, kWaitMs), 0) << output();
}

}  // namespace
}  // namespace kvt
