#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "core/ConfigurationRecord.h"
#include "core/RunFlags.h"
#include "platform/Paths.h"
#include "platform/SjisText.h"
#include "recording/AlarmHistory.h"
#include "recording/AlarmHistoryDialog.h"
#include "recording/AlarmHistoryFile.h"
#include "support/FakeClock.h"
#include "support/SettingsDialogFixture.h"
#include "support/ToolkitDialogs.h"

namespace kvt {
namespace {

using test::makeTime;

constexpr int kList = 1092;
constexpr int kYear = 1016;
constexpr int kMonth = 1017;
constexpr int kDay = 1018;
constexpr int kReload = 1000;
constexpr int kClear = 1031;

// The 51-byte record of an event, as the writer makes it.
std::string record(int group, int pen, const SystemTime& time, int code, int language = 1) {
    char bytes[kAlarmRecordLength];
    formatAlarmRecord(bytes, group, pen, time, code, false, language);
    return std::string(bytes, kAlarmRecordLength);
}

// The viewer's line of a record: commas become spaces, the padding (to 50
// Shift-JIS bytes) stays.
std::string shown(const std::string& text) {
    std::string line = text + std::string(50 - static_cast<size_t>(sjisByteCount(text)), ' ');
    for (char& c : line) {
        if (c == ',') c = ' ';
    }
    return line;
}

std::vector<std::string> listed(const Dialog& dialog) {
    std::vector<std::string> lines;
    for (int index = 0; index < dialog.itemCount(kList); ++index) {
        lines.push_back(dialog.item(kList, index));
    }
    return lines;
}

class AlarmHistoryViewerTest : public test::SettingsDialogFixture {
protected:
    void SetUp() override {
        SettingsDialogFixture::SetUp();
        discardPendingAlarmHistory();
    }
    static void writeHistory(const std::string& bytes) {
        test::writeFile(alarmHistoryPath(), bytes);
    }
};

TEST_F(AlarmHistoryViewerTest, ListsTheWritersRecordsNewestFirstInEitherLanguage) {
    appendAlarmHistory(2, 2, makeTime(2006, 3, 7, 13, 5, 42), 2);
    languageFlag = 0;
    appendAlarmHistory(1, 0, makeTime(2026, 1, 2, 3, 4, 5), 1);
    liveConfiguration.pen(10, 11).isDiscrete = 1;
    appendAlarmHistory(10, 11, makeTime(2026, 3, 7, 9, 0, 0), 2);
    languageFlag = 1;
    AlarmHistoryDialog viewer;
    viewer.initialise();
    EXPECT_EQ(viewer.text(kYear), "2026");
    EXPECT_EQ(viewer.text(kMonth), "3");
    EXPECT_EQ(viewer.text(kDay), "7");
    for (int group = 1; group <= kTrendGroupCount; ++group) {
        EXPECT_EQ(viewer.checked(AlarmHistoryDialog::groupCheckBoxId(group)), 1);
    }
    EXPECT_EQ(listed(viewer), (std::vector<std::string>{
                                  shown("2026/03/07,09:00:00,10,12,ｵﾝｱﾗｰﾑ"),
                                  shown("2026/01/02,03:04:05,01,01,下限ｱﾗｰﾑ解除"),
                                  shown("2006/03/07,13:05:42,02,03,Upper alarm"),
                              }));
}

TEST_F(AlarmHistoryViewerTest, GroupAndDateFiltersApplyOnReload) {
    writeHistory(record(2, 0, makeTime(2006, 3, 7, 23, 59, 59), 0) +
                 record(3, 0, makeTime(2006, 3, 7, 10, 0, 0), 2) +
                 record(2, 1, makeTime(2006, 3, 8, 0, 0, 0), 1));
    AlarmHistoryDialog viewer;
    viewer.initialise();
    EXPECT_EQ(viewer.itemCount(kList), 3);
    viewer.typeText(kYear, "2006");
    viewer.typeText(kMonth, "3");
    viewer.typeText(kDay, "7");
    viewer.click(AlarmHistoryDialog::groupCheckBoxId(2));
    EXPECT_EQ(viewer.itemCount(kList), 3);  // not until Reload
    viewer.click(kReload);
    EXPECT_EQ(listed(viewer),
              (std::vector<std::string>{shown("2006/03/07,10:00:00,03,01,Upper alarm")}));
    viewer.click(AlarmHistoryDialog::groupCheckBoxId(2));
    viewer.click(kReload);
    EXPECT_EQ(viewer.itemCount(kList), 2);
    viewer.typeText(kYear, "");
    viewer.click(kReload);
    EXPECT_EQ(viewer.itemCount(kList), 0);  // year 0: nothing is that old
}

TEST_F(AlarmHistoryViewerTest, DateFieldsKeepTheirDigits) {
    AlarmHistoryDialog viewer;
    viewer.initialise();
    struct Case {
        int id;
        const char* keys;
        bool pasted;
        const char* kept;
    };
    const Case cases[] = {
        {kYear, "2O06", false, "206"}, {kYear, "202612", false, "2026"},
        {kMonth, "1a2b3", false, "12"}, {kDay, "x9", false, "9"}, {kMonth, "0-3x", true, "03"},
    };
    for (const Case& c : cases) {
        viewer.typeText(c.id, "");
        if (c.pasted) {
            viewer.pasteText(c.id, c.keys);
        } else {
            viewer.typeCharacters(c.id, c.keys);
        }
        EXPECT_EQ(viewer.text(c.id), c.kept) << c.keys;
    }
}

TEST_F(AlarmHistoryViewerTest, ShowsTheThousandNewestOfManyMatches) {
    std::string history;
    SystemTime time = makeTime(2026, 3, 1, 0, 0, 0);
    for (int event = 0; event < 1500; ++event) {
        time.minute = static_cast<uint16_t>(event % 60);
        time.hour = static_cast<uint16_t>(event / 60);
        history += record(1 + event % 10, event % 12, time, event % 4);
    }
    writeHistory(history);
    AlarmHistoryDialog viewer;
    viewer.initialise();
    ASSERT_EQ(viewer.itemCount(kList), 1000);
    EXPECT_EQ(viewer.item(kList, 0).substr(0, 19), "2026/03/01 24:59:00");
    EXPECT_EQ(viewer.item(kList, 999).substr(0, 19), "2026/03/01 08:20:00");
}

TEST_F(AlarmHistoryViewerTest, ClearAsksAndEmptiesTheHistoryWhole) {
    writeHistory(record(1, 0, makeTime(2026, 3, 1, 8, 0, 0), 0));
    languageFlag = 0;
    AlarmHistoryDialog viewer;
    viewer.initialise();
    boxes.answerNext(IDCANCEL);
    viewer.click(kClear);
    ASSERT_EQ(boxes.texts.size(), 1u);
    EXPECT_EQ(boxes.texts[0], "ｱﾗｰﾑ履歴を、ｸﾘｱしてよろしいですか？");
    EXPECT_EQ(boxes.buttons[0], kButtonsOkCancel);
    EXPECT_EQ(viewer.itemCount(kList), 1);
    EXPECT_EQ(test::readFile(alarmHistoryPath()).size(), 51u);

    viewer.click(kClear);  // OK
    EXPECT_EQ(viewer.itemCount(kList), 0);
    EXPECT_TRUE(test::fileExists(alarmHistoryPath()));
    EXPECT_EQ(test::readFile(alarmHistoryPath()), "");
    EXPECT_FALSE(test::fileExists(std::string(alarmHistoryPath()) + ".new"));

    // Without a file Clear creates an empty one; the writer goes on after it.
    unlink(alarmHistoryPath());
    languageFlag = 1;
    viewer.click(kClear);
    EXPECT_EQ(boxes.texts.back(), "Are you sure you want to clear alarm historyes?");
    EXPECT_TRUE(test::fileExists(alarmHistoryPath()));
    appendAlarmHistory(4, 0, makeTime(2026, 3, 2, 8, 0, 0), 2);
    viewer.click(kReload);
    EXPECT_EQ(viewer.itemCount(kList), 1);
}

// The history file may be damaged in any way; the viewer lists the whole
// records it finds and nothing else.
TEST_F(AlarmHistoryViewerTest, DamagedFilesGiveTheRecordsThatParse) {
    const std::string a = record(1, 0, makeTime(2026, 3, 1, 8, 0, 0), 0);
    const std::string b = record(2, 1, makeTime(2026, 3, 2, 8, 0, 0), 2);
    const std::string c = record(3, 2, makeTime(2026, 3, 3, 8, 0, 0), 3);
    std::string torn = b.substr(0, 20);
    std::string badGroup = b;
    badGroup.replace(20, 2, "11");
    std::string controlByte = b;
    controlByte[30] = '\x01';
    std::string badShiftJis = b;
    badShiftJis[30] = '\xFF';
    std::string carriageReturn = b;
    carriageReturn[31] = '\r';
    struct Case {
        const char* name;
        std::string bytes;
        size_t count;
    };
    const Case cases[] = {
        {"being appended", a + b + c.substr(0, 30), 2},
        {"torn in the middle", a + torn + b + c, 3},
        {"torn at the start", torn + a, 1},
        {"group out of range", a + badGroup + c, 2},
        {"control byte", a + controlByte + c, 2},
        {"not Shift-JIS", a + badShiftJis + c, 2},
        {"carriage return ends the text", carriageReturn, 1},
        {"line feeds only", std::string(200, '\n'), 0},
        {"no line feed at all", std::string(300000, 'x') + a, 1},
        {"long garbage line", a + std::string(200000, 'y') + "\n" + c, 2},
        {"empty", "", 0},
    };
    for (const Case& damaged : cases) {
        writeHistory(damaged.bytes);
        AlarmHistoryDialog viewer;
        viewer.initialise();
        EXPECT_EQ(static_cast<size_t>(viewer.itemCount(kList)), damaged.count) << damaged.name;
    }
    writeHistory(carriageReturn);
    AlarmHistoryDialog viewer;
    viewer.initialise();
    EXPECT_EQ(viewer.item(kList, 0), "2026/03/02 08:00:00 02 02 Upper");

    // The file vanishes while the viewer is open.
    unlink(alarmHistoryPath());
    viewer.click(kReload);
    EXPECT_EQ(viewer.itemCount(kList), 0);
}

TEST_F(AlarmHistoryViewerTest, ReaderStopsEarlyInALargeFile) {
    std::string block;
    for (int event = 0; event < 1000; ++event) {
        block += record(1 + event % 10, 0, makeTime(2026, 1, 1 + event % 28, 0, 0, 0), 0);
    }
    std::string history;
    for (int copy = 0; copy < 80; ++copy) history += block;  // about 4 MB
    writeHistory(history);
    AlarmHistoryFilter filter;
    for (bool& shownGroup : filter.groupShown) shownGroup = true;
    std::snprintf(filter.lastDate, sizeof filter.lastDate, "2026/01/15");
    std::vector<std::string> lines = readAlarmHistory(alarmHistoryPath(), filter, 1000);
    ASSERT_EQ(lines.size(), 1000u);
    for (const std::string& line : lines) EXPECT_LE(line.substr(0, 10), "2026/01/15");
    filter.groupShown[1] = false;
    std::snprintf(filter.lastDate, sizeof filter.lastDate, "2025/12/31");
    EXPECT_TRUE(readAlarmHistory(alarmHistoryPath(), filter, 1000).empty());
}

TEST_F(AlarmHistoryViewerTest, ToolkitShowsTheLayoutInBothLanguages) {
    const test::ExpectedControl rows[] = {
        {1005, "絞込み条件", "Search condition"},
        {1030, "ｸﾞﾙｰﾌﾟ 1", "Group 1"},
        {1035, "ｸﾞﾙｰﾌﾟ 5", "Group 5"},
        {1040, "ｸﾞﾙｰﾌﾟ 10", "Group 10"},
        {1124, "", "Before"},
        {kYear, "2026", "2026"},
        {1026, "年", "Year"},
        {kMonth, "3", "3"},
        {1029, "月", "Month"},
        {kDay, "7", "7"},
        {1123, "日以前", "Day"},
        {kReload, "再読込", "Reload"},
        {kClear, "履歴ｸﾘｱ", "Clear"},
        {IDOK, "閉じる", "Close"},
    };
    writeHistory(record(1, 0, makeTime(2026, 3, 1, 8, 0, 0), 0));
    test::expectShownInBothLanguages(
        [] {
            AlarmHistoryDialog viewer;
            return test::showInToolkit(viewer);
        },
        {"ｱﾗｰﾑ履歴", "Alarm History", 279, 240}, rows,
        [](test::ShownDialog& viewer, int) {
            EXPECT_EQ(viewer.controls.size(), 22u);
            EXPECT_TRUE(viewer.controls[1040].checked);
            EXPECT_EQ(viewer.controls[kList].itemCount, 1);
            EXPECT_EQ(viewer.controls[kList].pixels.height, dialogUnitsToPixelsY(230));
        });
}

}  // namespace
}  // namespace kvt
