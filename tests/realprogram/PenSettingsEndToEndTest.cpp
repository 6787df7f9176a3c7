#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "core/ConfigurationRecord.h"
#include "core/Defaults.h"
#include "core/SettingsFile.h"
#include "platform/Paths.h"
#include "settings/PenDialogIds.h"
#include "settings/PenSettingDialog.h"
#include "settings/SettingMenuDialog.h"
#include "support/Eventually.h"
#include "support/TempHome.h"
#include "support/XvfbSession.h"

namespace kvt::test {
namespace {

using namespace pen_ids;

// Window coordinates of the main window's Setting and START buttons.
constexpr int kSettingButtonX = 761;
constexpr int kStartButtonX = 441;
constexpr int kCommandRowY = 31;
constexpr int kMenuPenButton = 1043;

ConfigurationRecord savedSettings() {
    ConfigurationRecord saved{};
    std::string bytes = readFile(settingsFilePath());
    if (bytes.size() == sizeof saved) std::memcpy(&saved, bytes.data(), sizeof saved);
    return saved;
}

// The first day file of group 1 that holds a row, or "".
std::string firstGroupOneDayFile() {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(dataFolder(), error)) {
        std::filesystem::path file = entry.path() / "GR1.CSV";
        if (std::filesystem::exists(file, error) && std::filesystem::file_size(file, error) > 512) {
            return file.string();
        }
    }
    return {};
}

// The user opens "Setting", then "Pen setting", names pens 1 and 2 of
// group 1, confirms and closes the menu, and starts a demo measurement:
// the saved settings and the first day file's header carry both names.
TEST(PenSettingsEndToEnd, TagsTypedInTheRealProgramReachSettingsAndDayFile) {
    TempHome home;
    makeDataFolder();
    ConfigurationRecord settings{};
    fillDefaults(settings, 1, {2026, 1, 1});
    settings.group(1).storingMode = kNormal;
    ASSERT_EQ(saveSettingsTo(settingsFilePath(), settings), 0);

    XvfbSession session(1024, 768);
    if (!session.ready()) GTEST_SKIP() << "needs Xvfb and xdotool";
    pid_t program = session.launchRecorder(home.path());
    ASSERT_GT(program, 0);
    ScreenWindow window;
    ASSERT_TRUE(session.waitForWindow("KVT936PUS", window))
        << readFile(XvfbSession::programOutputPath(home.path()));

    session.click(window, kSettingButtonX, kCommandRowY);
    ScreenWindow menu;
    ASSERT_TRUE(session.waitForDialog("Setting menu", menu));
    session.clickControl(menu, SettingMenuDialog::layout(), kMenuPenButton);
    ScreenWindow pens;
    ASSERT_TRUE(session.waitForDialog("Pen setting", pens));
    const DialogTemplate& layout = PenSettingDialog::layout();
    session.typeInto(pens, layout, kTagEdit, "Alpha");
    session.clickControl(pens, layout, kNextPen);
    session.typeInto(pens, layout, kTagEdit, "Beta");
    session.clickControl(pens, layout, kOk);
    ASSERT_TRUE(session.waitForGone(pens));
    session.clickControl(menu, SettingMenuDialog::layout(), IDOK);
    ASSERT_TRUE(session.waitForGone(menu));

    EXPECT_TRUE(eventually(
        [] {
            ConfigurationRecord saved = savedSettings();
            return std::string(saved.pens[1][0].tag) == "Alpha" &&
                   std::string(saved.pens[1][1].tag) == "Beta";
        },
        XvfbSession::kWaitMs))
        << "saved tags: " << savedSettings().pens[1][0].tag << ", "
        << savedSettings().pens[1][1].tag;

    session.click(window, kStartButtonX, kCommandRowY);
    ASSERT_TRUE(
        eventually([] { return !firstGroupOneDayFile().empty(); }, XvfbSession::kWaitMs));
    std::string header = readFile(firstGroupOneDayFile()).substr(0, 256);
    EXPECT_EQ(header.substr(0, 14), ",,,Alpha,Beta,") << header.substr(0, 40);
}

}  // namespace
}  // namespace kvt::test
