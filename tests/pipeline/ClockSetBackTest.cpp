// The recorder's worker threads on the system clock under libfaketime, in
// central European time from 02:59:40 summer time on 25 October 2026 at four
// times the real speed: the clocks go back from 03:00 to 02:00, and the demo
// measurement records on through the repeated hour. The test starts its own
// program again under libfaketime for the measurement, then reads the day
// files and plays them back.
#include <glob.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "PipelineFiles.h"
#include "app/RuntimeState.h"
#include "app/WorkerThreads.h"
#include "core/ConfigurationRecord.h"
#include "core/Defaults.h"
#include "core/RunFlags.h"
#include "platform/Paths.h"
#include "recording/CsvRow.h"
#include "recording/DayFileRow.h"
#include "recording/PaneLoading.h"
#include "recording/PlaybackPanes.h"
#include "support/ProgramRun.h"
#include "support/ScopedTimeZone.h"
#include "support/TempHome.h"

namespace kvt {
namespace {

constexpr const char* kChildMark = "KVT_CLOCK_SET_BACK_CHILD";
constexpr int64_t kFakeStart = 1792889980;  // 2026-10-25 02:59:40 summer time (00:59:40 UTC)
constexpr int64_t kFold = 1792890000;       // 03:00 summer time is 02:00 winter time
constexpr int64_t kFakeEnd = kFold + 10;    // 02:00:10 the second time

std::string libfaketime() {
    glob_t found{};
    std::string path;
    if (glob("/usr/lib/*/faketime/libfaketimeMT.so.1", 0, nullptr, &found) == 0) {
        path = found.gl_pathv[0];
    }
    globfree(&found);
    return path;
}

std::string ownProgram() {
    char path[4096];
    ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    return length > 0 ? std::string(path, static_cast<size_t>(length)) : std::string();
}

// The child: a demo measurement, group 1 every 0.5 s and group 2 every
// second, from the fake start to 02:00:10 winter time.
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
    for (int wait = 0; wait < 1200 && time(nullptr) < kFakeEnd; ++wait) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    store(acquisitionRequested, 0);
    stopWorkerThreads();
    ASSERT_GE(time(nullptr), kFakeEnd) << "the fake clock did not run";
}

// "hh:mm:ss,mmm" of a row in milliseconds of the day (a blank column is 0).
int64_t rowMs(const std::string& row) {
    std::string millis = row.substr(9, 3);
    return ((std::stoi(row.substr(0, 2)) * 60 + std::stoi(row.substr(3, 2))) * 60 +
            std::stoi(row.substr(6, 2))) * 1000LL +
           (millis == "   " ? 0 : std::stoi(millis));
}

// Every row follows the one before by `stepMs` of real time: local time
// runs on by the step, except once, at the fold, where it goes back an hour.
// Returns the number of rows after the fold.
size_t expectRowsThroughTheFold(const std::vector<std::string>& rows, int64_t stepMs) {
    size_t fold = 0;
    for (size_t row = 1; row < rows.size(); ++row) {
        int64_t step = rowMs(rows[row]) - rowMs(rows[row - 1]);
        if (step == stepMs - 3600000) {
            EXPECT_EQ(fold, 0u) << "a second fold at " << rows[row];
            fold = row;
            EXPECT_EQ(rows[row].substr(0, 8), "02:00:00");
        } else {
            EXPECT_EQ(step, stepMs) << rows[row - 1] << rows[row];
        }
    }
    EXPECT_GT(fold, 0u) << "the rows end at "
                        << (rows.empty() ? "-" : rows.back().substr(0, 12));
    return fold > 0 ? rows.size() - fold : 0;
}

TEST(ClockSetBack, DemoRecordingGoesOnThroughTheRepeatedHourAndPlaysBackTheSecondPass) {
    if (std::getenv(kChildMark) != nullptr) {
        measureUnderFakeTime();
        return;
    }
    std::string faketime = libfaketime();
    if (faketime.empty()) GTEST_SKIP() << "libfaketime is needed (scripts/install-deps.sh)";
    test::TempHome home;
    std::vector<std::string> environment = test::bareEnvironment(home.path());
    environment.insert(environment.end(),
                       {std::string(kChildMark) + "=1", "LD_PRELOAD=" + faketime,
                        "FAKETIME_FMT=%s", "FAKETIME=@" + std::to_string(kFakeStart) + " x4",
                        std::string("TZ=") + test::kCentralEuropeTz});
    const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
    std::string filter =
        std::string("--gtest_filter=") + test->test_suite_name() + "." + test->name();
    test::ProgramRun run = test::runProgram(ownProgram(), {filter}, environment, 120000);
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;

    std::string day = home.dataFolder() + "/20261025/GR";
    test::DayFileContents halfSecond = test::readDayFile(day + "1.CSV", kTrendRowLength);
    test::DayFileContents fullSecond = test::readDayFile(day + "2.CSV", kTrendRowLength);
    ASSERT_FALSE(halfSecond.rows.empty());
    EXPECT_GE(expectRowsThroughTheFold(halfSecond.rows, 500), 18u);
    EXPECT_GE(expectRowsThroughTheFold(fullSecond.rows, 1000), 9u);

    // Playback at 02:00:05 winter time: the second pass in slots 0 to 10
    // (02:00:05 back to 02:00:00); the slots before are the first pass's
    // hour, which playback leaves empty.
    test::ScopedTimeZone zone(test::kCentralEuropeTz);
    PlaybackPane& pane = playbackPanes[0];
    pane.referenceTime[1] = kFold + 5;
    fillPane(pane, 1, kCycleHalfSecond);
    for (int slot = 0; slot < 20; ++slot) {
        const std::string* row = nullptr;
        for (size_t at = halfSecond.rows.size(); at-- > 0 && row == nullptr;) {
            if (rowMs(halfSecond.rows[at]) == (2 * 3600 + 5) * 1000LL - 500 * slot) {
                row = &halfSecond.rows[at];
            }
        }
        double values[kPensPerGroup];
        if (slot <= 10) {
            ASSERT_NE(row, nullptr) << slot;
            ASSERT_TRUE(parseRowValues(row->data(), row->size(), 1, values));
            EXPECT_EQ(pane.values[0][slot], values[0]) << *row;
        } else {
            EXPECT_EQ(pane.values[0][slot], kNoData) << slot;
        }
    }
}

}  // namespace
}  // namespace kvt
