// A pipe where a file of the recorder belongs must neither hold a thread in
// open() for good nor take rows: it is refused as no plain file.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <future>
#include <string>
#include <thread>

#include "core/Defaults.h"
#include "core/RunFlags.h"
#include "core/SettingsBackup.h"
#include "core/SettingsFile.h"
#include "platform/Paths.h"
#include "recording/AlarmHistory.h"
#include "recording/AlarmHistoryFile.h"
#include "recording/CsvRow.h"
#include "recording/DayFile.h"
#include "support/DayFiles.h"
#include "support/FakeClock.h"
#include "support/TempHome.h"

namespace kvt {
namespace {

const SystemTime kNoon = test::makeTime(2026, 3, 7, 12, 0, 0);

struct OddFileUse {
    const char* name;
    std::string (*path)();
    bool (*refusedAsItShould)();
};

void PrintTo(const OddFileUse& use, std::ostream* os) { *os << use.name; }

class PipeInPlaceOfAFile : public ::testing::TestWithParam<OddFileUse> {
protected:
    void SetUp() override {
        fillDefaults(liveConfiguration, 1, {2026, 1, 1});
        makeDataFolder();
        mkdir((std::string(dataFolder()) + "/20260307").c_str(), 0777);
        discardPendingAlarmHistory();
    }
    void TearDown() override { discardPendingAlarmHistory(); }
    test::TempHome home;
};

TEST_P(PipeInPlaceOfAFile, IsRefusedWithoutWaiting) {
    std::string path = GetParam().path();
    ASSERT_EQ(mkfifo(path.c_str(), 0666), 0);
    std::packaged_task<bool()> use(GetParam().refusedAsItShould);
    std::future<bool> result = use.get_future();
    std::thread user(std::move(use));
    bool ended = result.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
    sighandler_t previous = std::signal(SIGPIPE, SIG_IGN);
    if (!ended) close(open(path.c_str(), O_RDWR | O_NONBLOCK));  // lets a stuck open() go on
    user.join();
    std::signal(SIGPIPE, previous);
    EXPECT_TRUE(ended) << "held in open() on the pipe";
    EXPECT_TRUE(result.get());
}

INSTANTIATE_TEST_SUITE_P(
    Files, PipeInPlaceOfAFile,
    ::testing::Values(
        // The event is kept, and written once the pipe has gone.
        OddFileUse{"AlarmHistoryAppend", [] { return std::string(alarmHistoryPath()); },
                   [] {
                       appendAlarmHistory(1, 0, kNoon, 2);
                       bool kept = pendingAlarmHistoryCount() == 1;
                       unlink(alarmHistoryPath());
                       retryPendingAlarmHistory();
                       return kept && test::readFile(alarmHistoryPath()).size() == 51;
                   }},
        OddFileUse{"AlarmHistoryViewer", [] { return std::string(alarmHistoryPath()); },
                   [] { return readAlarmHistory(alarmHistoryPath(), {}, 100).empty(); }},
        OddFileUse{"SettingsAtStartUp", [] { return std::string(settingsFilePath()); },
                   [] {
                       static ConfigurationRecord record;
                       loadSettingsFrom(settingsFilePath(), record, 1);
                       return record.nodeEnabled[0] == 1;  // the defaults
                   }},
        OddFileUse{"SettingsBackup", [] { return std::string(settingsFilePath()); },
                   [] { return keepDamagedSettings(settingsFilePath()) == -1; }},
        OddFileUse{"DayFileRow", [] { return test::dayFilePathOf(kNoon, 1); },
                   [] {
                       char row[kMaxRowLength] = {};
                       return !appendDayFileRow(liveConfiguration, 1, kNoon, row, kTrendRowLength);
                   }}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kvt
