#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/ConfigurationRecord.h"
#include "core/RunFlags.h"
#include "settings/SettingMenuDialog.h"
#include "support/SettingsDialogFixture.h"
#include "support/ToolkitDialogs.h"

namespace kvt {
namespace {

constexpr int kBasicButton = 1000;
constexpr int kNodeButton = 1031;
constexpr int kRecordingButton = 1032;
constexpr int kPenButton = 1043;

class SettingMenuDialogTest : public test::SettingsDialogFixture {};

// Each button runs its dialog; the recording settings get the group the
// main window shows; the menu stays open whatever the dialog returns.
TEST_F(SettingMenuDialogTest, ButtonsRunTheirDialogs) {
    std::string recordingGroup;
    dialogs.then([&](Dialog& menu) {
        menu.click(kBasicButton);
        menu.click(kNodeButton);
        menu.click(kRecordingButton);
        menu.click(kPenButton);
        EXPECT_FALSE(menu.ended());
        menu.click(IDOK);
    });
    dialogs.then([](Dialog& basic) { basic.click(IDCANCEL); });
    dialogs.then([](Dialog& node) { node.click(IDCANCEL); });
    dialogs.then([&](Dialog& recording) {
        recordingGroup = recording.text(1033);
        recording.click(IDCANCEL);
    });
    dialogs.then([](Dialog& pens) { pens.click(IDCANCEL); });
    SettingMenuDialog menu(7);
    EXPECT_EQ(menu.doModal(), IDOK);
    EXPECT_EQ(dialogs.titles, (std::vector<std::string>{"Setting menu", "Basic setting",
                                                         "Node setting", "Store setting",
                                                         "Pen setting"}));
    EXPECT_EQ(recordingGroup, "Group 7");
}

// After OK in one dialog, and until the main window has taken the commit
// over, the menu opens nothing.
TEST_F(SettingMenuDialogTest, NothingOpensWhileACommitWaits) {
    dialogs.then([](Dialog& menu) {
        menu.click(kBasicButton);
        for (int id : {kBasicButton, kNodeButton, kRecordingButton, kPenButton}) menu.click(id);
        store(g_settingsChanged, 0);  // the window's refresh took it over
        menu.click(kNodeButton);
        menu.pressEscape();
    });
    dialogs.then([](Dialog& basic) { basic.click(IDOK); });
    dialogs.then([](Dialog& node) { node.click(IDCANCEL); });
    SettingMenuDialog menu(1);
    EXPECT_EQ(menu.doModal(), IDCANCEL);
    EXPECT_EQ(dialogs.titles,
              (std::vector<std::string>{"Setting menu", "Basic setting", "Node setting"}));
}

TEST_F(SettingMenuDialogTest, ToolkitShowsTheButtonsInBothLanguages) {
    const test::ExpectedControl rows[] = {
        {kBasicButton, "基本設定項目", "Basic setting"}, {kNodeButton, "ﾉｰﾄﾞ設定", "Node setting"},
        {kRecordingButton, "収録設定", "Store setting"}, {kPenButton, "ﾍﾟﾝ設定", "Pen setting"},
        {IDOK, "閉じる", "Close"},
    };
    const int tops[] = {5, 25, 45, 65, 85};  // by row, in dialog units
    test::expectShownInBothLanguages(
        [] {
            SettingMenuDialog menu(1);
            return test::showInToolkit(menu);
        },
        {"設定メニュー", "Setting menu", 95, 105}, rows,
        [&](test::ShownDialog& shown, int) {
            EXPECT_EQ(shown.controls.size(), 5u);
            for (size_t row = 0; row < std::size(rows); ++row) {
                const test::ShownControl& button = shown.controls[rows[row].id];
                EXPECT_EQ(button.kind, "QPushButton");
                EXPECT_EQ(button.pixels.x, dialogUnitsToPixelsX(5));
                EXPECT_EQ(button.pixels.y, dialogUnitsToPixelsY(tops[row]));
                EXPECT_EQ(button.pixels.width, dialogUnitsToPixelsX(85));
            }
        });
}

}  // namespace
}  // namespace kvt
