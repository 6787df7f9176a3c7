// The real program on a private X server, driven by synthetic clicks.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QImage>

#include <string>

#include "core/ConfigurationRecord.h"
#include "core/Defaults.h"
#include "core/SettingsFile.h"
#include "platform/Paths.h"
#include "support/Eventually.h"
#include "support/ProgramRun.h"
#include "support/TempHome.h"
#include "support/XvfbSession.h"

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

unsigned colourAt(const QImage& screen, int x, int y) { return screen.pixel(x, y) & 0xFFFFFFu; }

int pixelsOf(const QImage& screen, unsigned colour, int left, int top, int right, int bottom) {
    int count = 0;
    for (int y = top; y < bottom && y < screen.height(); ++y) {
        for (int x = left; x < right && x < screen.width(); ++x) {
            count += colourAt(screen, x, y) == colour ? 1 : 0;
        }
    }
    return count;
}

// The caption of the START/STOP button as drawn.
bool sameStartButton(const QImage& a, const QImage& b) {
    return a.copy(400, 20, 80, 20) == b.copy(400, 20, 80, 20);
}

// Demo mode, group 1 recording every 0.5 s, plot ranges over the whole
// scale so the demo values are on the graph.
void writeRecordingSettings() {
    fillDefaults(liveConfiguration, 1, {2026, 1, 1});
    liveConfiguration.operatingMode = kDemoMode;
    liveConfiguration.group(1).storingCycle = kCycleHalfSecond;
    liveConfiguration.group(1).storingMode = kNormal;
    for (PenSettings& pen : liveConfiguration.pens[1]) {
        pen.plotLow = pen.scaleLow;
        pen.plotHigh = pen.scaleHigh;
        pen.plotHighText[0] = '\0';
    }
    makeDataFolder();
    ASSERT_EQ(saveSettings(), 0);
}

TEST(RealWindow, StartShowsTracesAndMarkersDigitalShowsThePanelStopAndExitEnd) {
    test::TempHome home;
    writeRecordingSettings();
    test::XvfbSession x;
    if (!x.ready()) GTEST_SKIP() << "Xvfb and xdotool are needed (scripts/install-deps.sh installs them)";
    pid_t program = x.launchRecorder(home.path());
    ASSERT_GT(program, 0);
    std::string output = test::XvfbSession::programOutputPath(home.path());
    test::ScreenWindow window;
    ASSERT_TRUE(x.waitForWindow("KVT936PUS", window)) << test::readFile(output);
    QImage screen;
    auto barShown = [&] {
        screen = x.grab(home.path());
        return !screen.isNull() && colourAt(screen, 300, 10) == kBarGrey;
    };
    ASSERT_TRUE(test::eventually(barShown, kWaitMs)) << test::readFile(output);
    QImage stopped = screen;

    ASSERT_TRUE(x.click(window, kStartX, kCommandY));
    auto tracesShown = [&] {
        screen = x.grab(home.path());
        return pixelsOf(screen, kPen1, 0, 120, 800, 600) > 20 && pixelsOf(screen, kPen3, 0, 120, 800, 600) > 20;
    };
    ASSERT_TRUE(test::eventually(tracesShown, kWaitMs)) << test::readFile(output);
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
    EXPECT_EQ(test::waitForExit(program, kWaitMs), 0) << test::readFile(output);
}

}  // namespace
}  // namespace kvt
