#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <string>

#include "core/ConfigurationRecord.h"
#include "core/Defaults.h"
#include "core/RunFlags.h"
#include "platform/Paths.h"
#include "recording/AlarmHistory.h"
#include "support/FakeClock.h"
#include "support/TempHome.h"

namespace kvt {
namespace {

using test::makeTime;
using test::readFile;

std::string padded(const std::string& text) {
    return text + std::string(50 - text.size(), ' ') + "\n";
}

class AlarmHistoryTest : public ::testing::Test {
protected:
    void SetUp() override {
        fillDefaults(liveConfiguration, 1, {2026, 1, 1});
        languageFlag = 1;
        makeDataFolder();
        discardPendingAlarmHistory();
        droppedAlarmRecords = 0;
    }
    void TearDown() override {
        languageFlag = 1;
        discardPendingAlarmHistory();
    }
    test::TempHome home;
};

TEST_F(AlarmHistoryTest, EnglishRecordIsPaddedTo50CharactersAndALineFeed) {
    appendAlarmHistory(2, 2, makeTime(2006, 3, 7, 13, 5, 42, 500), 2);
    EXPECT_EQ(readFile(alarmHistoryPath()), padded("2006/03/07,13:05:42,02,03,Upper alarm"));
}

TEST_F(AlarmHistoryTest, DiscretePensUseTheOffOnTexts) {
    liveConfiguration.pen(10, 11).isDiscrete = 1;
    appendAlarmHistory(10, 11, makeTime(2026, 12, 31, 23, 59, 59), 1);
    appendAlarmHistory(10, 11, makeTime(2026, 12, 31, 23, 59, 59), 3);
    EXPECT_EQ(readFile(alarmHistoryPath()),
              padded("2026/12/31,23:59:59,10,12,Off alarm clear") +
                  padded("2026/12/31,23:59:59,10,12,On alarm clear"));
}

TEST_F(AlarmHistoryTest, JapaneseRecordsAreShiftJisBytes) {
    languageFlag = 0;
    appendAlarmHistory(1, 0, makeTime(2026, 1, 2, 3, 4, 5), 1);
    liveConfiguration.pen(1, 1).isDiscrete = 1;
    appendAlarmHistory(1, 1, makeTime(2026, 1, 2, 3, 4, 5), 2);
    std::string expected =
        padded("2026/01/02,03:04:05,01,01,\x89\xBA\x8C\xC0\xB1\xD7\xB0\xD1\x89\xF0\x8F\x9C") +
        padded("2026/01/02,03:04:05,01,02,\xB5\xDD\xB1\xD7\xB0\xD1");
    EXPECT_EQ(readFile(alarmHistoryPath()), expected);
    EXPECT_EQ(readFile(alarmHistoryPath()).size(), 102u);
}

TEST_F(AlarmHistoryTest, EventsThatCannotBeWrittenAreKeptAndWrittenLater) {
    // The history path is taken by a folder: opening it for appending fails.
    ASSERT_EQ(mkdir(alarmHistoryPath(), 0777), 0);
    appendAlarmHistory(3, 0, makeTime(2026, 5, 5, 5, 5, 5), 0);
    appendAlarmHistory(3, 0, makeTime(2026, 5, 5, 5, 5, 6), 1);
    EXPECT_EQ(pendingAlarmHistoryCount(), 2);
    retryPendingAlarmHistory();
    EXPECT_EQ(pendingAlarmHistoryCount(), 2);

    ASSERT_EQ(rmdir(alarmHistoryPath()), 0);
    appendAlarmHistory(3, 0, makeTime(2026, 5, 5, 5, 5, 7), 0);
    EXPECT_EQ(pendingAlarmHistoryCount(), 0);
    EXPECT_EQ(readFile(alarmHistoryPath()),
              padded("2026/05/05,05:05:05,03,01,Lower alarm") +
                  padded("2026/05/05,05:05:06,03,01,Lower alarm clear") +
                  padded("2026/05/05,05:05:07,03,01,Lower alarm"));
    EXPECT_EQ(droppedAlarmRecords.load(), 0);
}

TEST_F(AlarmHistoryTest, FullBacklogCountsWhatItDrops) {
    ASSERT_EQ(mkdir(alarmHistoryPath(), 0777), 0);
    for (int event = 0; event < 1030; ++event) {
        appendAlarmHistory(1, 0, makeTime(2026, 5, 5, 5, 5, 5), 0);
    }
    EXPECT_EQ(pendingAlarmHistoryCount(), 1024);
    EXPECT_EQ(droppedAlarmRecords.load(), 6);
}

TEST_F(AlarmHistoryTest, TheBacklogLeftAtExitIsCountedAsDropped) {
    ASSERT_EQ(mkdir(alarmHistoryPath(), 0777), 0);
    appendAlarmHistory(1, 0, makeTime(2026, 5, 5, 5, 5, 5), 0);
    appendAlarmHistory(1, 0, makeTime(2026, 5, 5, 5, 5, 6), 1);
    dropAlarmHistoryLeftAtExit();
    EXPECT_EQ(pendingAlarmHistoryCount(), 0);
    EXPECT_EQ(droppedAlarmRecords.load(), 2);
}

TEST_F(AlarmHistoryTest, GroupsOutsideOneToTenWriteNothing) {
    appendAlarmHistory(0, 0, makeTime(2026, 5, 5, 5, 5, 5), 0);
    appendAlarmHistory(11, 0, makeTime(2026, 5, 5, 5, 5, 5), 0);
    EXPECT_FALSE(test::fileExists(alarmHistoryPath()));
}

}  // namespace
}  // namespace kvt
