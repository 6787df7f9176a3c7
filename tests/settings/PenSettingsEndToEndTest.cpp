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
constexpr int kWaitMs = 20000;

struct Point {
    int x;
    int y;
};

// The centre of a control in the dialog's client area, as the host places it.
Point centreOf(const DialogTemplate& layout, int id) {
    for (const ControlTemplate& control : layout.controls) {
        if (control.id != id) continue;
        return {dialogUnitsToPixelsX(control.place.x + control.place.width / 2),
                dialogUnitsToPixelsY(control.place.y + control.place.height / 2)};
    }
    ADD_FAILURE() << "no control " << id;
    return {0, 0};
}

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
    pid_t program = session.launch(KVT_BINARY_DIR "/kvt936p",
                                   {"HOME=" + home.path(), "XDG_RUNTIME_DIR=" + home.path(),
                                    "LANG=C", "LC_ALL=C", "QT_QPA_PLATFORM=xcb"});
    ASSERT_GT(program, 0);
    std::string window = session.waitForWindow("KVT936PUS");
    ASSERT_FALSE(window.empty());

    session.clickAt(window, kSettingButtonX, kCommandRowY);
    std::string menu = session.waitForWindow("Setting menu");
    ASSERT_FALSE(menu.empty());
    Point penButton = centreOf(SettingMenuDialog::layout(), kMenuPenButton);
    session.clickAt(menu, penButton.x, penButton.y);
    std::string pens = session.waitForWindow("Pen setting");
    ASSERT_FALSE(pens.empty());
    const DialogTemplate& layout = PenSettingDialog::layout();
    Point tag = centreOf(layout, kTagEdit);
    session.replaceText(pens, tag.x, tag.y, "Alpha");
    Point next = centreOf(layout, kNextPen);
    session.clickAt(pens, next.x, next.y);
    session.replaceText(pens, tag.x, tag.y, "Beta");
    Point ok = centreOf(layout, kOk);
    session.clickAt(pens, ok.x, ok.y);
    Point close = centreOf(SettingMenuDialog::layout(), IDOK);
    session.clickAt(menu, close.x, close.y);

    EXPECT_TRUE(eventually(
        [] {
            ConfigurationRecord saved = savedSettings();
            return std::string(saved.pens[1][0].tag) == "Alpha" &&
                   std::string(saved.pens[1][1].tag) == "Beta";
        },
        kWaitMs))
        << "saved tags: " << savedSettings().pens[1][0].tag << ", "
        << savedSettings().pens[1][1].tag;

    session.clickAt(window, kStartButtonX, kCommandRowY);
    ASSERT_TRUE(eventually([] { return !firstGroupOneDayFile().empty(); }, kWaitMs));
    std::string header = readFile(firstGroupOneDayFile()).substr(0, 256);
    EXPECT_EQ(header.substr(0, 14), ",,,Alpha,Beta,") << header.substr(0, 40);
    session.stop(program);
}

}  // namespace
}  // namespace kvt::test
