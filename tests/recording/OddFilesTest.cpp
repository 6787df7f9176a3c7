// Odd things where a file of the recorder belongs: a pipe (by mistake, or
// to hang it), or a link or another account's file planted to make it write
// elsewhere. The recorder neither waits on them for good nor writes, cuts
// short or deletes anything through them; it reports the row unwritten.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <pwd.h>
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
#include "recording/StorageCleanup.h"
#include "support/DayFiles.h"
#include "support/FakeClock.h"
#include "support/TempHome.h"

namespace kvt {
namespace {

const SystemTime kNoon = test::makeTime(2026, 3, 7, 12, 0, 0);
const std::string kTornFile = std::string(kDayFileHeaderSize, 'h') + "a torn tail";

std::string dayFolder() { return std::string(dataFolder()) + "/20260307"; }
std::string dayFile() { return test::dayFilePathOf(kNoon, 1); }

bool pipeAt(const std::string& path) { return mkfifo(path.c_str(), 0666) == 0; }
bool dayFolderLinked(const std::string& victim) {
    return symlink(victim.c_str(), dayFolder().c_str()) == 0;
}

bool rowRefused() {
    char row[kMaxRowLength] = {};
    DayFileSync sync;
    return !appendDayFileRow(liveConfiguration, 1, kNoon, row, kTrendRowLength, sync);
}

struct OddFile {
    const char* name;
    // Puts it in place; `victim` is a folder of another holding GR1.CSV.
    // False when it cannot be made here.
    bool (*plant)(const std::string& victim);
    bool (*recorderDidRight)();
};

void PrintTo(const OddFile& odd, std::ostream* os) { *os << odd.name; }

class OddFileInPlace : public ::testing::TestWithParam<OddFile> {
protected:
    test::TempHome home;
};

TEST_P(OddFileInPlace, IsRefusedWithoutWaitingAndLeavesOthersAlone) {
    fillDefaults(liveConfiguration, 1, {2026, 1, 1});
    makeDataFolder();
    discardPendingAlarmHistory();
    std::string victim = home.path() + "/victim";
    ASSERT_EQ(mkdir(victim.c_str(), 0777), 0);
    test::writeFile(victim + "/GR1.CSV", kTornFile);
    if (!GetParam().plant(victim)) GTEST_SKIP() << "needs root";

    std::packaged_task<bool()> use(GetParam().recorderDidRight);
    std::future<bool> result = use.get_future();
    std::thread user(std::move(use));
    bool ended = result.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
    sighandler_t previous = std::signal(SIGPIPE, SIG_IGN);
    while (result.wait_for(std::chrono::milliseconds(50)) != std::future_status::ready) {
        for (const std::string& pipe :
             {std::string(alarmHistoryPath()), std::string(settingsFilePath()), dayFile()}) {
            close(open(pipe.c_str(), O_RDWR | O_NONBLOCK));  // lets a stuck open() go on
        }
    }
    user.join();
    std::signal(SIGPIPE, previous);
    EXPECT_TRUE(ended) << "held in open() on a pipe";
    EXPECT_TRUE(result.get());
    EXPECT_EQ(test::readFile(victim + "/GR1.CSV"), kTornFile);
    discardPendingAlarmHistory();
}

INSTANTIATE_TEST_SUITE_P(
    Files, OddFileInPlace,
    ::testing::Values(
        // The event is kept, and written once the pipe has gone.
        OddFile{"PipeAtAlarmHistory", [](auto&) { return pipeAt(alarmHistoryPath()); },
                [] {
                    appendAlarmHistory(1, 0, kNoon, 2);
                    bool kept = pendingAlarmHistoryCount() == 1;
                    unlink(alarmHistoryPath());
                    retryPendingAlarmHistory();
                    return kept && test::readFile(alarmHistoryPath()).size() == 51;
                }},
        OddFile{"PipeAtAlarmHistoryViewed", [](auto&) { return pipeAt(alarmHistoryPath()); },
                [] { return readAlarmHistory(alarmHistoryPath(), {}, 100).empty(); }},
        OddFile{"PipeAtSettings", [](auto&) { return pipeAt(settingsFilePath()); },
                [] {
                    static ConfigurationRecord record;
                    loadSettingsFrom(settingsFilePath(), record, 1);
                    return record.nodeEnabled[0] == 1 &&  // the defaults
                           keepDamagedSettings(settingsFilePath()) == -1;
                }},
        OddFile{"PipeAtDayFile",
                [](auto&) { return mkdir(dayFolder().c_str(), 0777) == 0 && pipeAt(dayFile()); },
                rowRefused},
        OddFile{"LinkAtDayFile",
                [](const std::string& victim) {
                    return mkdir(dayFolder().c_str(), 0777) == 0 &&
                           symlink((victim + "/GR1.CSV").c_str(), dayFile().c_str()) == 0;
                },
                rowRefused},
        OddFile{"LinkAtDayFolder", dayFolderLinked, rowRefused},
        OddFile{"LinkAtDayFolderCleanedUp", dayFolderLinked,
                [] {
                    ConfigurationRecord& record = liveConfiguration;
                    record.storagePeriodDays = 2;
                    record.oldestKeptDate[0] = 2026, record.oldestKeptDate[1] = 3;
                    record.oldestKeptDate[2] = 7;
                    int64_t now = test::localEpochSeconds(2026, 3, 9, 0, 0, 0);
                    return cleanupDayFolders(record, dataFolder(), now) > 0;
                }},
        OddFile{"AnotherAccountsDayFile",
                [](const std::string& victim) {
                    const passwd* other = getpwnam("nobody");
                    std::string file = victim + "/GR1.CSV";
                    return geteuid() == 0 && other != nullptr &&
                           mkdir(dayFolder().c_str(), 0777) == 0 &&
                           chown(file.c_str(), other->pw_uid, 0) == 0 &&
                           link(file.c_str(), dayFile().c_str()) == 0;
                },
                rowRefused}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kvt
