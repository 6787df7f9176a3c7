#include "PenDialogFixture.h"
#include "display/SettingsTakeover.h"
#include "platform/SjisText.h"
#include "recording/CsvRow.h"
#include "recording/RecordingFixture.h"
#include "recording/RecordingWriter.h"
#include "settings/SettingMenuDialog.h"

namespace kvt::test {
namespace {

TEST_F(PenDialogTest, OkAndApplyCommitCancelDoesNot) {
    PenSettingDialog& applied = open(1);
    applied.typeText(kTagEdit, "Applied");
    applied.click(kApply);
    EXPECT_FALSE(applied.ended());
    EXPECT_STREQ(working(1, 0).tag, "Applied");
    EXPECT_EQ(load(g_settingsChanged), 1);

    store(g_settingsChanged, 0);
    PenSettingDialog& cancelled = open(1);
    ConfigurationRecord before = workingConfiguration;
    cancelled.typeText(kTagEdit, "Dropped");
    cancelled.typeText(kPlotHighEdit, "50");
    cancelled.click(kCancel);
    EXPECT_TRUE(cancelled.ended());
    EXPECT_EQ(cancelled.result(), IDCANCEL);
    EXPECT_EQ(std::memcmp(&workingConfiguration, &before, sizeof before), 0);
    EXPECT_EQ(load(g_settingsChanged), 0);

    PenSettingDialog& entered = open(1);
    entered.typeText(kChannelEdit, "9");
    entered.pressEnter();
    EXPECT_EQ(entered.result(), IDOK);
    EXPECT_EQ(working(1, 0).channel, 9);
    EXPECT_EQ(load(g_settingsChanged), 1);
}

// The menu's "Pen setting" runs the pen dialog on the group the main
// window shows, unless a commit still waits to be taken over.
TEST_F(PenDialogTest, SettingMenuOpensThePenDialogOnItsGroup) {
    dialogs.then([](Dialog& menu) {
        menu.click(1043);
        menu.click(1043);  // the pen dialog committed: this one does nothing
        menu.click(IDOK);
    });
    dialogs.then([](Dialog& pens) {
        EXPECT_EQ(pens.text(kGroupLabel), "Group 4");
        pens.typeText(kTagEdit, "Menu");
        pens.click(kOk);
    });
    SettingMenuDialog menu(4);
    EXPECT_EQ(menu.doModal(), IDOK);
    EXPECT_EQ(dialogs.titles, (std::vector<std::string>{"Setting menu", "Pen setting"}));
    EXPECT_STREQ(working(4, 0).tag, "Menu");
    EXPECT_EQ(load(g_settingsChanged), 1);
}

// A renamed tag or unit is taken over by the main window and written into
// the headers of the next day file; the file already begun keeps its own.
class PenHeaderTest : public RecordingTest {
protected:
    void SetUp() override {
        RecordingTest::SetUp();
        languageFlag = 1;
        settings(1).storingMode = kNormal;
        store(g_settingsChanged, 0);
    }
    void TearDown() override { store(g_settingsChanged, 0); }
    std::string header(const char* day) {
        return readFile(std::string(dataFolder()) + "/" + day + "/GR1.CSV").substr(0, 512);
    }
    void writeOneRow() {
        feedSamples(1, 1);
        while (pendingRowCount() > 0) ASSERT_GT(writerPass(), 0);
    }
    ScriptedMessageBoxes boxes;
};

TEST_F(PenHeaderTest, NewTagAndUnitReachTheNextDayFilesHeaders) {
    writeOneRow();
    PenSettingDialog pens(1);
    pens.initialise();
    pens.typeText(kTagEdit, "流量");
    pens.typeText(kUnitEdit, "m3/h");
    pens.click(kNextPen);
    pens.typeText(kTagEdit, "Level");
    pens.click(kOk);
    ASSERT_TRUE(takeOverSettingsChange());
    writeOneRow();
    EXPECT_EQ(header("20260307").find("Level"), std::string::npos);

    time = makeTime(2026, 3, 8, 0, 0, 0);
    writeOneRow();
    std::string next = header("20260308");
    std::string tags = ",,," + utf8ToSjis("流量") + ",Level,";
    EXPECT_EQ(next.substr(0, tags.size()), tags);
    EXPECT_EQ(next.substr(256, 8), ",,,m3/h,");
}

}  // namespace
}  // namespace kvt::test
