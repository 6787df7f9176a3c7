// The worker threads of a demo measurement on the system clock, run by this
// test program again under libfaketime: central European time from 02:59:50
// summer time on 25 October 2026 at twice the real speed, so that the clock
// goes back from 03:00 to 02:00 after 5 s (a half-second step lasts 250 ms
// of real time, which a loaded test machine keeps to). Recording goes on
// through the repeated hour.
#include <glob.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "PipelineFiles.h"
#include "app/RuntimeState.h"
#include "app/WorkerThreads.h"
#include "core/Defaults.h"
#include "core/RunFlags.h"
#include "platform/Paths.h"
#include "recording/CsvRow.h"
#include "support/ProgramRun.h"
#include "support/ScopedTimeZone.h"
#include "support/TempHome.h"

namespace kvt {
namespace {

constexpr const char* kChildMark = "KVT_CLOCK_SET_BACK_CHILD";
constexpr int64_t kFakeStart = 1792889990;  // 02:59:50 summer time (00:59:50 UTC)
constexpr int64_t kFold = 1792890000;       // 03:00 summer time, 02:00 winter time

std::string libfaketime() {
    glob_t found{};
    bool any = glob("/usr/lib/*/faketime/libfaketimeMT.so.1", 0, nullptr, &found) == 0;
    std::string path = any ? found.gl_pathv[0] : "";
    globfree(&found);
    return path;
}

// The child: group 1 every 0.5 s and group 2 every second until 02:00:10.
void measureUnderFakeTime() {
    fillDefaults(liveConfiguration, 1, yesterday());
    liveConfiguration.operatingMode = kDemoMode;
    for (int group = 1; group <= kTrendGroupCount; ++group) {
        liveConfiguration.group(group).storingMode = group <= 2 ? kNormal : kNoRecording;
        liveConfiguration.group(group).storingCycle = group == 1 ? kCycleHalfSecond : kCycle1s;
    }
    makeDataFolder();
    initialiseRuntimeState();
    startWorkerThreads();
    store(acquisitionRequested, 1);
    for (int wait = 0; wait < 1200 && time(nullptr) < kFold + 10; ++wait) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    store(acquisitionRequested, 0);
    stopWorkerThreads();
}

// "hh:mm:ss,mmm" of a row as milliseconds of the day.
int64_t rowMs(const std::string& row) {
    int64_t seconds = (std::stoi(row.substr(0, 2)) * 60 + std::stoi(row.substr(3, 2))) * 60 +
                      std::stoi(row.substr(6, 2));
    return seconds * 1000 + (row[9] == ' ' ? 0 : std::stoi(row.substr(9, 3)));
}

// Each row follows the one before by one step of real time: local time runs
// on by the step, except once, where it goes back an hour to 02:00:00.
// Returns the number of rows from the fold on.
size_t rowsFromTheFold(const std::vector<std::string>& rows, int64_t stepMs) {
    size_t fold = 0;
    for (size_t row = 1; row < rows.size(); ++row) {
        int64_t step = rowMs(rows[row]) - rowMs(rows[row - 1]);
        bool folds = step == stepMs - 3600000 && fold == 0 && rows[row].rfind("02:00:00", 0) == 0;
        if (folds) fold = row;
        EXPECT_TRUE(folds || step == stepMs) << rows[row - 1].substr(0, 12) << " " << rows[row];
    }
    EXPECT_GT(fold, 0u) << "the rows end at " << (rows.empty() ? "" : rows.back().substr(0, 12));
    return fold > 0 ? rows.size() - fold : 0;
}

TEST(ClockSetBack, DemoRecordingGoesOnThroughTheRepeatedHour) {
    if (std::getenv(kChildMark) != nullptr) return measureUnderFakeTime();
    if (std::getenv("ASAN_OPTIONS") != nullptr || std::getenv("TSAN_OPTIONS") != nullptr) {
        GTEST_SKIP() << "libfaketime and the sanitizer runtimes both wrap the clock and sleeps";
    }
    if (libfaketime().empty()) GTEST_SKIP() << "libfaketime is needed (scripts/install-deps.sh)";
    test::TempHome home;
    std::vector<std::string> environment = test::bareEnvironment(home.path());
    environment.insert(environment.end(),
                       {std::string(kChildMark) + "=1", "LD_PRELOAD=" + libfaketime(),
                        "FAKETIME_FMT=%s", "FAKETIME=@" + std::to_string(kFakeStart) + " x2",
                        std::string("TZ=") + test::kCentralEuropeTz});
    const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
    std::string filter = std::string("--gtest_filter=ClockSetBack.") + test->name();
    char program[4096] = {};
    ASSERT_GT(readlink("/proc/self/exe", program, sizeof program - 1), 0);
    test::ProgramRun run = test::runProgram(program, {filter}, environment, 120000);
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;

    std::string day = home.dataFolder() + "/20261025/GR";
    EXPECT_GE(rowsFromTheFold(test::readDayFile(day + "1.CSV", kTrendRowLength).rows, 500), 18u);
    EXPECT_GE(rowsFromTheFold(test::readDayFile(day + "2.CSV", kTrendRowLength).rows, 1000), 9u);
}

}  // namespace
}  // namespace kvt
