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
    struct Row {
        int id;
        const char* japanese;
        const char* english;
        int y;
    };
    const Row rows[] = {
        {kBasicButton, "基本設定項目", "Basic setting", 5},
        {kNodeButton, "ﾉｰﾄﾞ設定", "Node setting", 25},
        {kRecordingButton, "収録設定", "Store setting", 45},
        {kPenButton, "ﾍﾟﾝ設定", "Pen setting", 65},
        {IDOK, "閉じる", "Close", 85},
    };
    for (int language : {0, 1}) {
        languageFlag = language;
        SettingMenuDialog menu(1);
        test::ShownDialog shown = test::showInToolkit(menu);
        EXPECT_EQ(shown.title, language ? "Setting menu" : "設定メニュー");
        EXPECT_EQ(shown.width, dialogUnitsToPixelsX(95));
        EXPECT_EQ(shown.height, dialogUnitsToPixelsY(105));
        ASSERT_EQ(shown.controls.size(), 5u);
        for (const Row& row : rows) {
            const test::ShownControl& button = shown.controls[row.id];
            EXPECT_EQ(button.kind, "QPushButton");
            EXPECT_EQ(button.text, language ? row.english : row.japanese);
            EXPECT_TRUE(button.visible && button.enabled);
            EXPECT_EQ(button.pixels.x, dialogUnitsToPixelsX(5));
            EXPECT_EQ(button.pixels.y, dialogUnitsToPixelsY(row.y));
            EXPECT_EQ(button.pixels.width, dialogUnitsToPixelsX(85));
        }
    }
}

}  // namespace
}  // namespace kvt
