#include <gtest/gtest.h>
#include <dirent.h>

#include <chrono>
#include <string>
#include <thread>

#include "core/ConfigurationRecord.h"
#include "recording/RecordingSettingDialog.h"
#include "settings/SettingMenuDialog.h"
#include "support/Eventually.h"
#include "support/RealProgram.h"
#include "support/TempHome.h"

namespace kvt {
namespace {

constexpr int kStoreSettingButton = 1032;
constexpr int kNormalRadio = 1037;
// Command buttons of the main window, in screen pixels: on an 800 x 600
// screen the drawn image fills the screen.
constexpr int kSettingX = 760, kStartX = 440, kCommandY = 30;
constexpr int kDayFileHeader = 512;

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
    test::VirtualDisplay display;
    ASSERT_TRUE(display.started()) << "Xvfb did not start";
    test::RunningProgram program(display.name(), home.path(), "C.UTF-8",
                                 home.path() + "/stderr.txt");
    ASSERT_TRUE(program.started());
    test::ScreenUser user(display.name());
    test::ScreenWindow window;
    ASSERT_TRUE(user.waitForWindow("KVT936PUS", window)) << test::readFile(home.path() + "/stderr.txt");
    std::string settingsPath = home.dataFolder() + "/KVT936P.LPPU";
    ASSERT_TRUE(test::eventually([&] { return savedStoringMode(settingsPath) == kNoRecording; }, 15000));

    user.clickAt(kSettingX, kCommandY);
    test::ScreenWindow menu;
    ASSERT_TRUE(user.waitForWindow("Setting menu", menu));
    user.clickControl(menu, SettingMenuDialog::layout(), kStoreSettingButton);
    test::ScreenWindow recording;
    ASSERT_TRUE(user.waitForWindow("Store setting", recording));
    user.clickControl(recording, RecordingSettingDialog::layout(), kNormalRadio);
    user.clickControl(recording, RecordingSettingDialog::layout(), IDOK);
    ASSERT_TRUE(user.waitForWindowGone("Store setting"));
    user.clickControl(menu, SettingMenuDialog::layout(), IDOK);
    ASSERT_TRUE(user.waitForWindowGone("Setting menu"));
    EXPECT_TRUE(test::eventually([&] { return savedStoringMode(settingsPath) == kNormal; }, 15000));

    user.clickAt(kStartX, kCommandY);
    EXPECT_TRUE(test::eventually(
        [&] { return groupOneFileSize(home.dataFolder()) > kDayFileHeader + 100; }, 30000))
        << "group 1 day file holds " << groupOneFileSize(home.dataFolder()) << " bytes";
    EXPECT_TRUE(program.running());
}

}  // namespace
}  // namespace kvt
