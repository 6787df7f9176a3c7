#include <gtest/gtest.h>

#include <string>

#include "core/ConfigurationRecord.h"
#include "recording/RecordingSettingDialog.h"
#include "settings/SettingMenuDialog.h"
#include "support/Eventually.h"
#include "support/ProgramRun.h"
#include "support/RecordedFiles.h"
#include "support/RecorderOnScreen.h"

namespace kvt {
namespace {

constexpr int kStoreSettingButton = 1032;
constexpr int kNormalRadio = 1037;
// Command buttons, in the main window's pixels.
constexpr int kSettingX = 760, kStartX = 440, kCommandY = 30;
constexpr int kWaitMs = test::XvfbSession::kWaitMs;

int savedStoringMode(const std::string& settingsPath) {
    std::string saved = test::readFile(settingsPath);
    if (saved.size() != kConfigurationRecordSize) return -1;
    return reinterpret_cast<const ConfigurationRecord*>(saved.data())->group(1).storingMode;
}

// The recorder starts from its defaults.
using SettingsEndToEnd = test::RecorderOnScreenTest;

// A user sets group 1 to record normally through the settings menu, then
// starts a measurement: the demo values land in group 1's day file, and
// the settings file keeps the choice.
TEST_F(SettingsEndToEnd, NormalRecordingChosenInTheDialogsFillsTheDayFile) {
    test::XvfbSession& screen = session();
    std::string settingsPath = home.dataFolder() + "/KVT936P.LPPU";
    ASSERT_TRUE(test::eventually([&] { return savedStoringMode(settingsPath) == kNoRecording; },
                                 kWaitMs));

    screen.click(mainWindow, kSettingX, kCommandY);
    test::ScreenWindow menu;
    ASSERT_TRUE(screen.waitForDialog("Setting menu", menu));
    screen.clickControl(menu, SettingMenuDialog::layout(), kStoreSettingButton);
    test::ScreenWindow recording;
    ASSERT_TRUE(screen.waitForDialog("Store setting", recording));
    screen.clickControl(recording, RecordingSettingDialog::layout(), kNormalRadio);
    screen.clickControl(recording, RecordingSettingDialog::layout(), IDOK);
    ASSERT_TRUE(screen.waitForGone(recording));
    screen.clickControl(menu, SettingMenuDialog::layout(), IDOK);
    ASSERT_TRUE(screen.waitForGone(menu));
    EXPECT_TRUE(test::eventually([&] { return savedStoringMode(settingsPath) == kNormal; }, kWaitMs));

    screen.click(mainWindow, kStartX, kCommandY);
    auto rows = [&] { return test::fullestGroupOneDayFile(home.dataFolder()).rows; };
    EXPECT_TRUE(test::eventually([&] { return rows() > 0; }, 30000))
        << "group 1 day file holds " << rows() << " rows";
    EXPECT_EQ(test::waitForExit(program, 0), -1) << "the recorder ended";
}

}  // namespace
}  // namespace kvt
