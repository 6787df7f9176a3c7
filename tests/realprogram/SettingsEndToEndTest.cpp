#include <gtest/gtest.h>
#include <dirent.h>

#include <string>

#include "core/ConfigurationRecord.h"
#include "recording/RecordingSettingDialog.h"
#include "settings/SettingMenuDialog.h"
#include "support/Eventually.h"
#include "support/ProgramRun.h"
#include "support/TempHome.h"
#include "support/XvfbSession.h"

namespace kvt {
namespace {

constexpr int kStoreSettingButton = 1032;
constexpr int kNormalRadio = 1037;
// Command buttons, in the main window's pixels.
constexpr int kSettingX = 760, kStartX = 440, kCommandY = 30;
constexpr int kDayFileHeader = 512;
constexpr int kWaitMs = test::XvfbSession::kWaitMs;

// Size of the largest group 1 day file in the data folder.
size_t groupOneFileSize(const std::string& dataFolder) {
    size_t largest = 0;
    DIR* folder = opendir(dataFolder.c_str());
    if (folder == nullptr) return 0;
    while (dirent* entry = readdir(folder)) {
        if (entry->d_name[0] == '.') continue;
        std::string file = test::readFile(dataFolder + "/" + entry->d_name + "/GR1.CSV");
        largest = std::max(largest, file.size());
    }
    closedir(folder);
    return largest;
}

int savedStoringMode(const std::string& settingsPath) {
    std::string saved = test::readFile(settingsPath);
    if (saved.size() != kConfigurationRecordSize) return -1;
    return reinterpret_cast<const ConfigurationRecord*>(saved.data())->group(1).storingMode;
}

// A user sets group 1 to record normally through the settings menu, then
// starts a measurement: the demo values land in group 1's day file, and
// the settings file keeps the choice.
TEST(SettingsEndToEnd, NormalRecordingChosenInTheDialogsFillsTheDayFile) {
    test::TempHome home;
    test::XvfbSession screen;
    if (!screen.ready()) GTEST_SKIP() << "needs Xvfb and xdotool";
    pid_t program = screen.launchRecorder(home.path());
    ASSERT_GT(program, 0);
    std::string output = test::XvfbSession::programOutputPath(home.path());
    test::ScreenWindow window;
    ASSERT_TRUE(screen.waitForWindow("KVT936PUS", window)) << test::readFile(output);
    std::string settingsPath = home.dataFolder() + "/KVT936P.LPPU";
    ASSERT_TRUE(test::eventually([&] { return savedStoringMode(settingsPath) == kNoRecording; },
                                 kWaitMs));

    screen.click(window, kSettingX, kCommandY);
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

    screen.click(window, kStartX, kCommandY);
    EXPECT_TRUE(test::eventually(
        [&] { return groupOneFileSize(home.dataFolder()) > kDayFileHeader + 100; }, 30000))
        << "group 1 day file holds " << groupOneFileSize(home.dataFolder()) << " bytes";
    EXPECT_EQ(test::waitForExit(program, 0), -1) << "the recorder ended";
}

}  // namespace
}  // namespace kvt
