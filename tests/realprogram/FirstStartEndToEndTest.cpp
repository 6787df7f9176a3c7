// A new user's first hour: ./run.sh on a machine with no settings starts
// the recorder (scripts/start-recorder.sh, after the build) with the
// demonstration settings; START draws every pen of group 1 and fills the
// day file of today; the settings the user has then stay as they are on
// the next start.
#include <gtest/gtest.h>

#include <QImage>
#include <cstdio>
#include <ctime>
#include <string>

#include "core/ConfigurationRecord.h"
#include "core/SettingsFile.h"
#include "platform/DeviceContext.h"
#include "support/CapturedStderr.h"
#include "support/Eventually.h"
#include "support/ProgramRun.h"
#include "support/RecordedFiles.h"
#include "support/ScreenGrabPixels.h"
#include "support/TempHome.h"
#include "support/XvfbSession.h"

namespace kvt {
namespace {

constexpr int kStartX = 440, kCommandY = 30;
// The trace area of the live perpendicular graph, below the scale band.
constexpr int kGraphLeft = 30, kGraphRight = 771, kGraphTop = 121, kGraphBottom = 600;
constexpr int kWaitMs = test::XvfbSession::kWaitMs;

std::string todaysFolder() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char name[32];
    std::snprintf(name, sizeof name, "/%04d%02d%02d/", local.tm_year + 1900, local.tm_mon + 1,
                  local.tm_mday);
    return name;
}

// Pens of group 1 with fewer than 3 pixels of their colour in the graph.
int pensWithoutTrace(const QImage& screen, const ConfigurationRecord& settings) {
    int missing = 0;
    for (const PenSettings& pen : settings.pens[1]) {
        unsigned colour = pixelWord(pen.penColour) & 0xFFFFFF;
        bool drawn = test::pixelsOf(screen, colour, kGraphLeft, kGraphTop, kGraphRight,
                                    kGraphBottom) >= 3;
        missing += drawn ? 0 : 1;
    }
    return missing;
}

TEST(FirstStart, RunShShowsEveryPenOfGroupOneRecordsAndKeepsTheUsersSettingsAfter) {
    test::TempHome home;
    test::XvfbSession x;
    if (!x.ready()) GTEST_SKIP() << "Xvfb and xdotool are needed";
    std::string settings = home.dataFolder() + "/KVT936P.LPPU";
    auto output = [&] { return test::readFile(test::XvfbSession::programOutputPath(home.path())); };
    pid_t recorder = -1;
    test::ScreenWindow window;
    // The recorder started the way ./run.sh starts it once it has built it.
    auto startAsRunShDoes = [&] {
        recorder = x.launch(std::string(KVT_SOURCE_DIR) + "/scripts/start-recorder.sh",
                            {KVT_BINARY_DIR}, home.path());
        return recorder > 0 && x.waitForWindow("KVT936PUS", window);
    };
    ASSERT_TRUE(startAsRunShDoes()) << output();
    ConfigurationRecord first{};
    loadSettingsFrom(settings.c_str(), first, 1);
    EXPECT_EQ(test::linesContaining(output(), "first start: demo settings written to " + settings), 1)
        << output();

    ASSERT_TRUE(x.click(window, kStartX, kCommandY));
    int missing = kPensPerGroup;
    EXPECT_TRUE(test::eventually(
        [&] { return (missing = pensWithoutTrace(x.grab(home.path()), first)) == 0; }, kWaitMs))
        << missing << " pens without a trace; " << output();
    test::RecordedDayFile recorded;
    EXPECT_TRUE(test::eventually(
        [&] { return (recorded = test::fullestGroupOneDayFile(home.dataFolder())).rows > 2; },
        kWaitMs));
    EXPECT_NE(recorded.path.find(todaysFolder() + "GR1.CSV"), std::string::npos) << recorded.path;
    x.stop(recorder);

    // The user's own settings from then on: the next start keeps them.
    first.group(1).storingCycle = kCycle1s;
    first.pen(1, 0).penColour = rgb(10, 20, 30);
    ASSERT_EQ(saveSettingsTo(settings.c_str(), first), 0);
    std::string users = test::readFile(settings);
    ASSERT_TRUE(startAsRunShDoes()) << output();  // start-up has loaded and saved them by now
    EXPECT_EQ(test::readFile(settings), users);
    EXPECT_EQ(test::linesContaining(output(), "first start"), 1) << output();
}

}  // namespace
}  // namespace kvt
