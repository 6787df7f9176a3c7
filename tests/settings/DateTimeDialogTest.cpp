#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "core/ConfigurationRecord.h"
#include "core/RunFlags.h"
#include "recording/PlaybackPanes.h"
#include "settings/DateTimeDialog.h"
#include "support/ScopedTimeZone.h"
#include "support/SettingsDialogFixture.h"
#include "support/ToolkitDialogs.h"

namespace kvt {
namespace {

using test::localEpochSeconds;

constexpr int kApplyOne = 1000, kApplyTwo = 1031;
constexpr int kLabelOne = 1005, kLabelTwo = 1009;
constexpr int kRowOne = 1016, kRowTwo = 1022;  // the year edits; the other five follow

constexpr int kGroup = 4;

// Pane 1 of group 4 stands at 2026-03-07 09:05:03, pane 2 at 2025-12-31
// 23:59:58; no jump is pending.
class DateTimeDialogTest : public test::SettingsDialogFixture {
protected:
    void SetUp() override {
        SettingsDialogFixture::SetUp();
        placePanes();
    }
    static void placePanes() {
        resetPlaybackPanes();
        playbackPanes[0].referenceTime[kGroup] = localEpochSeconds(2026, 3, 7, 9, 5, 3);
        playbackPanes[1].referenceTime[kGroup] = localEpochSeconds(2025, 12, 31, 23, 59, 58);
    }
    void TearDown() override {
        resetPlaybackPanes();
        liveConfiguration.graphDirection = 0;
        SettingsDialogFixture::TearDown();
    }

    static std::string row(const Dialog& dialog, int first) {
        std::string texts;
        for (int id = first; id < first + 6; ++id) texts += dialog.text(id) + (id < first + 5 ? "/" : "");
        return texts;
    }
    static void typeRow(Dialog& dialog, int first, const char* const (&fields)[6]) {
        for (int field = 0; field < 6; ++field) dialog.typeText(first + field, fields[field]);
    }
};

TEST_F(DateTimeDialogTest, OpensWithThePaneTimesAndTheSecondRowOnlyWhenDivided) {
    struct Case {
        bool divided;
        int direction, language;
        const char *labelOne, *labelTwo;
    };
    const Case cases[] = {
        {false, 0, 1, "Date time", "Date time"}, {false, 1, 0, "日時", "日時"},
        {true, 0, 1, "Upper side", "Lower side"}, {true, 0, 0, "上側", "下側"},
        {true, 1, 1, "Right side", "Left side"},  {true, 1, 0, "右側", "左側"},
        {true, 2, 1, "Left side", "Right side"},  {true, 2, 0, "左側", "右側"},
    };
    for (const Case& c : cases) {
        languageFlag = c.language;
        liveConfiguration.graphDirection = c.direction;
        DateTimeDialog dialog(kGroup, c.divided);
        dialog.initialise();
        std::string name = std::to_string(c.direction) + (c.divided ? " divided" : "");
        EXPECT_EQ(dialog.text(kLabelOne), c.labelOne) << name;
        EXPECT_EQ(dialog.text(kLabelTwo), c.labelTwo) << name;
        EXPECT_EQ(row(dialog, kRowOne), "26/3/7/9/5/3") << name;
        EXPECT_EQ(row(dialog, kRowTwo), c.divided ? "25/12/31/23/59/58" : "/////") << name;
        for (int id : {kLabelTwo, kRowTwo, kRowTwo + 5, kApplyTwo}) {
            EXPECT_EQ(dialog.isVisible(id), c.divided) << name << " " << id;
        }
    }
}

// Times no pane is loaded with still open the dialog: the rows show what
// the system makes of them.
TEST_F(DateTimeDialogTest, OddReferenceTimesOpenWithoutHarm) {
    for (int64_t odd : {INT64_C(-5000000000), INT64_C(0), INT64_C(1) << 40, INT64_MAX}) {
        playbackPanes[0].referenceTime[kGroup] = odd;
        DateTimeDialog dialog(kGroup, false);
        dialog.initialise();
        EXPECT_FALSE(dialog.text(kRowOne).empty()) << odd;
    }
}

TEST_F(DateTimeDialogTest, EditsKeepTheirFirstTwoDigits) {
    DateTimeDialog dialog(kGroup, true);
    dialog.initialise();
    dialog.typeText(kRowOne, "");
    dialog.typeCharacters(kRowOne, "2007");
    EXPECT_EQ(dialog.text(kRowOne), "20");
    dialog.typeText(kRowTwo + 3, "");
    dialog.pasteText(kRowTwo + 3, "a1-b2c3");
    EXPECT_EQ(dialog.text(kRowTwo + 3), "12");
}

// The first field out of range, year to second, is refused with its
// message; nothing is requested and the texts stay.
TEST_F(DateTimeDialogTest, FieldsOutOfRangeAreRefusedInOrder) {
    struct Case {
        const char* fields[6];
        const char* english;
        const char* japanese;
    };
    const Case cases[] = {
        {{"100", "3", "7", "9", "0", "0"}, "Year are available to use from 2000 to 2099.",
         "年は、0-99を入力して下さい。"},
        {{"26", "0", "7", "24", "0", "0"}, "Month are available to use from 1 to 12.",
         "月は、1-12を入力して下さい。"},
        {{"26", "13", "7", "9", "0", "0"}, "Month are available to use from 1 to 12.",
         "月は、1-12を入力して下さい。"},
        {{"26", "3", "", "9", "0", "0"}, "Day are available to use from 1 to 31.",
         "日は、1-31を入力して下さい。"},
        {{"26", "3", "7", "24", "60", "0"}, "Hour are available to use from 0 to 23.",
         "時は、0-23を入力して下さい。"},
        {{"26", "3", "7", "9", "60", "0"}, "Minute are available to use from 0 to 59.",
         "分は、0-59を入力して下さい。"},
        {{"26", "3", "7", "9", "0", "60"}, "Second are available to use from 0 to 59.",
         "秒は、0-59を入力して下さい。"},
    };
    for (int language : {1, 0}) {
        languageFlag = language;
        for (const Case& c : cases) {
            DateTimeDialog dialog(kGroup, false);
            dialog.initialise();
            // Set as the program sets texts: the year filter would cut "100".
            for (int field = 0; field < 6; ++field) dialog.setText(kRowOne + field, c.fields[field]);
            boxes.texts.clear();
            dialog.click(kApplyOne);
            ASSERT_EQ(boxes.texts.size(), 1u) << c.english;
            EXPECT_EQ(boxes.texts[0], language ? c.english : c.japanese);
            EXPECT_EQ(boxes.buttons[0], kButtonsOk);
            EXPECT_EQ(paneTimeRequests[0].pending, 0) << c.english;
            EXPECT_EQ(dialog.text(kRowOne + 1), c.fields[1]);
            EXPECT_FALSE(dialog.ended());
        }
    }
}

TEST_F(DateTimeDialogTest, ApplyAsksForAJumpOfItsPane) {
    struct Case {
        int apply, firstEdit;
        const char* fields[6];
        int64_t requested;  // 0: no request
    };
    const Case cases[] = {
        {kApplyOne, kRowOne, {"26", "3", "7", "10", "0", "0"}, localEpochSeconds(2026, 3, 7, 10, 0, 0)},
        {kApplyOne, kRowOne, {"25", "2", "31", "12", "0", "0"}, localEpochSeconds(2025, 3, 3, 12, 0, 0)},
        {kApplyOne, kRowOne, {"24", "2", "31", "", "", ""}, localEpochSeconds(2024, 3, 2, 0, 0, 0)},
        {kApplyOne, kRowOne, {"26", "03", "07", "09", "05", "03"}, 0},  // where the pane stands
        {kApplyOne, kRowOne, {"40", "1", "1", "0", "0", "0"}, localEpochSeconds(2040, 1, 1, 0, 0, 0)},
        {kApplyOne, kRowOne, {"99", "12", "31", "23", "59", "59"}, localEpochSeconds(2099, 12, 31, 23, 59, 59)},
        {kApplyTwo, kRowTwo, {"0", "1", "1", "0", "0", "1"}, localEpochSeconds(2000, 1, 1, 0, 0, 1)},
        {kApplyTwo, kRowTwo, {"25", "12", "31", "23", "59", "58"}, 0},
    };
    for (const Case& c : cases) {
        placePanes();
        DateTimeDialog dialog(kGroup, true);
        dialog.initialise();
        typeRow(dialog, c.firstEdit, c.fields);
        dialog.click(c.apply);
        const PaneTimeRequest& request = paneTimeRequests[c.apply == kApplyOne ? 0 : 1];
        std::string name = row(dialog, c.firstEdit);
        EXPECT_EQ(request.pending, c.requested != 0 ? 1 : 0) << name;
        if (c.requested != 0) {
            EXPECT_EQ(request.requestedTime, c.requested) << name;
        }
        EXPECT_EQ(paneTimeRequests[c.apply == kApplyOne ? 1 : 0].pending, 0) << name;
        EXPECT_FALSE(dialog.ended());
        EXPECT_TRUE(boxes.texts.empty());
    }
}

// The system decides daylight saving: a time in the spring gap moves on by
// the gap; a time in the autumn fold is its later instant (winter time),
// whatever was converted before it.
TEST_F(DateTimeDialogTest, DaylightSavingGapAndFoldGiveAJump) {
    test::ScopedTimeZone zone(test::kCentralEuropeTz);
    DateTimeDialog dialog(kGroup, false);
    dialog.initialise();
    typeRow(dialog, kRowOne, {"26", "3", "29", "2", "30", "0"});
    dialog.click(kApplyOne);
    EXPECT_EQ(paneTimeRequests[0].requestedTime, localEpochSeconds(2026, 3, 29, 3, 30, 0));

    typeRow(dialog, kRowOne, {"26", "10", "25", "2", "30", "0"});
    dialog.click(kApplyOne);
    int64_t fold = localEpochSeconds(2026, 10, 25, 1, 30, 0) + 3600;  // 02:30 summer time
    EXPECT_EQ(paneTimeRequests[0].requestedTime, fold + 3600);
}

TEST_F(DateTimeDialogTest, CloseAndEscapeEndItAndKeepWhatWasApplied) {
    for (bool escape : {false, true}) {
        resetPlaybackPanes();
        DateTimeDialog dialog(kGroup, false);
        dialog.initialise();
        typeRow(dialog, kRowOne, {"26", "1", "2", "3", "4", "5"});
        dialog.click(kApplyOne);
        if (escape) {
            dialog.pressEscape();
        } else {
            dialog.pressEnter();
        }
        EXPECT_TRUE(dialog.ended());
        EXPECT_EQ(dialog.result(), escape ? IDCANCEL : IDOK);
        EXPECT_EQ(paneTimeRequests[0].pending, 1);
        EXPECT_EQ(load(g_settingsChanged), 0) << "no settings change";
    }
}

TEST_F(DateTimeDialogTest, ShownByTheToolkitInBothLanguages) {
    const test::ExpectedControl rows[] = {
        {1125, "年", "Year"},  {1126, "月", "Mon."},  {1127, "日", "Day"},
        {1128, "時", "Hour"},  {1129, "分", "Min."},  {1130, "秒", "Sec."},
        {kLabelOne, "日時", "Date time"},           {kRowOne, "26", "26"},
        {kRowOne + 5, "3", "3"},                    {kApplyOne, "適用", "Apply"},
        {kLabelTwo, "日時", "Date time", false},    {kRowTwo, "", "", false},
        {kApplyTwo, "適用", "Apply", false},        {IDOK, "閉じる", "Close"},
    };
    test::expectShownInBothLanguages(
        [] {
            DateTimeDialog dialog(kGroup, false);
            return test::showInToolkit(dialog);
        },
        {"日時指定", "Date time", 259, 70}, rows,
        [](test::ShownDialog& shown, int) {
            EXPECT_EQ(shown.controls[kRowOne + 2].pixels.x, dialogUnitsToPixelsX(100));
            EXPECT_EQ(shown.controls[kApplyOne].pixels.y, dialogUnitsToPixelsY(10));
        });
}

}  // namespace
}  // namespace kvt
