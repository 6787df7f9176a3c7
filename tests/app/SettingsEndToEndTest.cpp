#include <gtest/gtest.h>
#include <dirent.h>
#include <signal.h>

#include <chrono>
#include <string>
#include <thread>

#include "core/ConfigurationRecord.h"
#include "recording/RecordingSettingDialog.h"
#include "settings/SettingMenuDialog.h"
#include "support/Eventually.h"
#include "support/ScreenWindows.h"
#include "support/TempHome.h"
#include "support/XvfbSession.h"

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

// Ends the recorder however the test ends.
struct ProgramGuard {
    pid_t program;
    ~ProgramGuard() {
        if (program <= 0) return;
        kill(program, SIGKILL);
        test::waitForExit(program, 5000);
    }
};

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
    ASSERT_TRUE(screen.running()) << "Xvfb did not start";
    std::string output = home.path() + "/output.txt";
    pid_t program = test::spawnWithEnvironment(
        std::string(KVT_BINARY_DIR) + "/kvt936p",
        {"DISPLAY=" + screen.display(), "HOME=" + home.path(), "XDG_RUNTIME_DIR=" + home.path(),
         "LANG=C.UTF-8", "LC_ALL=C.UTF-8", "PATH=/usr/bin:/bin"},
        output);
    ASSERT_GT(program, 0);
    ProgramGuard guard{program};
    test::ScreenWindow window;
    ASSERT_TRUE(test::waitForWindow(screen, "KVT936PUS", window)) << test::readFile(output);
    std::string settingsPath = home.dataFolder() + "/KVT936P.LPPU";
    ASSERT_TRUE(test::eventually([&] { return savedStoringMode(settingsPath) == kNoRecording; },
                                 15000));

    screen.click(kSettingX, kCommandY);
    test::ScreenWindow menu;
    ASSERT_TRUE(test::waitForWindow(screen, "Setting menu", menu));
    test::clickControl(screen, menu, SettingMenuDialog::layout(), kStoreSettingButton);
    test::ScreenWindow recording;
    ASSERT_TRUE(test::waitForWindow(screen, "Store setting", recording));
    test::clickControl(screen, recording, RecordingSettingDialog::layout(), kNormalRadio);
    test::clickControl(screen, recording, RecordingSettingDialog::layout(), IDOK);
    ASSERT_TRUE(test::waitForWindowGone(screen, "Store setting"));
    test::clickControl(screen, menu, SettingMenuDialog::layout(), IDOK);
    ASSERT_TRUE(test::waitForWindowGone(screen, "Setting menu"));
    EXPECT_TRUE(test::eventually([&] { return savedStoringMode(settingsPath) == kNormal; }, 15000));

    screen.click(kStartX, kCommandY);
    EXPECT_TRUE(test::eventually(
        [&] { return groupOneFileSize(home.dataFolder()) > kDayFileHeader + 100; }, 30000))
        << "group 1 day file holds " << groupOneFileSize(home.dataFolder()) << " bytes";
    EXPECT_LT(test::waitForExit(program, 0), 0) << "the recorder ended";
}

}  // namespace
}  // namespace kvt
