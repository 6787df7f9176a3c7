// Ends that do not come through the "X" button, while the recorder
// measures and records: a termination signal, or the X server going away
// at logout. Each must end as the exit command does: the rows up to the end
// are in the day file, and the process ends with its code, not a core dump.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <ctime>
#include <string>

#include "recording/CsvRow.h"
#include "recording/DayFileRow.h"
#include "support/Eventually.h"
#include "support/ProgramRun.h"
#include "support/RecordedFiles.h"
#include "support/RecorderOnScreen.h"

namespace kvt {
namespace {

constexpr int kStartX = 440, kCommandY = 30;
constexpr int kWaitMs = test::XvfbSession::kWaitMs;
constexpr int kGroup = 1;
constexpr int kStepTenths = 5;  // the group records every 0.5 s

struct ProgramEnd {
    const char* name;
    int signal;  // 0: the X server ends
    int exitCode;
};

void PrintTo(const ProgramEnd& end, std::ostream* os) { *os << end.name; }

int tenthsOfDay(const RowTime& time) {
    return ((time.hour * 60 + time.minute) * 60 + time.second) * 10 + time.tenths;
}

int tenthsOfDayNow() {
    auto now = std::chrono::system_clock::now();
    time_t seconds = std::chrono::system_clock::to_time_t(now);
    tm local {};
    localtime_r(&seconds, &local);
    auto milliseconds = std::chrono::duration_cast<std::chrono::milliseconds>(
                            now.time_since_epoch()).count() % 1000;
    return ((local.tm_hour * 60 + local.tm_min) * 60 + local.tm_sec) * 10 +
           static_cast<int>(milliseconds / 100);
}

class EndWhileRecording : public test::DemoRecorderOnScreenTest,
                          public ::testing::WithParamInterface<ProgramEnd> {};

TEST_P(EndWhileRecording, WritesTheRowsUpToTheEndAndExitsCleanly) {
    ASSERT_TRUE(session().click(mainWindow, kStartX, kCommandY));
    ASSERT_TRUE(test::eventually(
        [&] { return test::fullestGroupOneDayFile(home.dataFolder()).rows >= 6; }, kWaitMs))
        << output();

    int endedAt = tenthsOfDayNow();
    if (GetParam().signal != 0) {
        kill(program, GetParam().signal);
    } else {
        session().endServer();
    }
    EXPECT_EQ(test::waitForExit(program, kWaitMs), GetParam().exitCode) << output();
    EXPECT_EQ(output().find("terminate"), std::string::npos) << output();

    std::string rows = test::readFile(test::fullestGroupOneDayFile(home.dataFolder()).path);
    ASSERT_GT(rows.size(), static_cast<size_t>(kDayFileHeaderSize));
    EXPECT_EQ((rows.size() - kDayFileHeaderSize) % kTrendRowLength, 0u);  // whole rows
    int previous = -1;
    for (size_t at = kDayFileHeaderSize; at + kTrendRowLength <= rows.size();
         at += kTrendRowLength) {
        RowTime time;
        ASSERT_TRUE(parseRowTime(rows.data() + at, kTrendRowLength, kGroup, time)) << at;
        if (previous >= 0) {
            ASSERT_EQ(tenthsOfDay(time), previous + kStepTenths) << "row at " << at;
        }
        previous = tenthsOfDay(time);
    }
    // The step under way when the end came, at the latest, is recorded.
    EXPECT_GE(previous, endedAt - 2 * kStepTenths) << output();
}

INSTANTIATE_TEST_SUITE_P(Ends, EndWhileRecording,
                         ::testing::Values(ProgramEnd{"Sigterm", SIGTERM, 0},
                                           ProgramEnd{"Sigint", SIGINT, 0},
                                           ProgramEnd{"Sighup", SIGHUP, 0},
                                           // The toolkit ends the process with exit(1).
                                           ProgramEnd{"XServerGone", 0, 1}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kvt
