#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/ConfigurationRecord.h"
#include "core/Defaults.h"
#include "core/SettingsFile.h"
#include "platform/Paths.h"
#include "settings/PenDialogIds.h"
#include "settings/PenSettingDialog.h"
#include "settings/SettingMenuDialog.h"
#include "support/Eventually.h"
#include "support/RecordedFiles.h"
#include "support/RecorderOnScreen.h"

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

// Group 1 records normally, as the settings file shows it.
class PenSettingsEndToEnd : public RecorderOnScreenTest {
protected:
    bool saveStartSettings() override {
        makeDataFolder();
        ConfigurationRecord settings{};
        fillDefaults(settings, 1, {2026, 1, 1});
        settings.group(1).storingMode = kNormal;
        return saveSettingsTo(settingsFilePath(), settings) == 0;
    }
    QSize screenSize() const override { return {1024, 768}; }
};

// The user opens "Setting", then "Pen setting", names pens 1 and 2 of
// group 1, confirms and closes the menu, and starts a demo measurement:
// the saved settings and the day file's header carry both names.
TEST_F(PenSettingsEndToEnd, TagsTypedInTheRealProgramReachSettingsAndDayFile) {
    XvfbSession& session = this->session();
    ScreenWindow& window = mainWindow;
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
    RecordedDayFile dayFile;
    ASSERT_TRUE(eventually(
        [&] { return (dayFile = fullestGroupOneDayFile(dataFolder())).rows > 0; },
        XvfbSession::kWaitMs));
    std::string header = readFile(dayFile.path).substr(0, 256);
    EXPECT_EQ(header.substr(0, 14), ",,,Alpha,Beta,") << header.substr(0, 40);
}

}  // namespace
}  // namespace kvt::test
