// Ends that do not come through the "X" button while the recorder records:
// a termination signal, or the X server going away at logout. Each ends as
// the exit command does: the rows up to the end are in the day file, and
// the process ends with its code, not a core dump.
#include <gtest/gtest.h>
#include <signal.h>

#include <string>

#include "support/Eventually.h"
#include "support/ProgramRun.h"
#include "support/RecordedFiles.h"
#include "support/RecorderOnScreen.h"

namespace kvt {
namespace {

constexpr int kStartX = 440, kCommandY = 30;
constexpr int kStepTenths = 5;  // group 1 records every 0.5 s

struct ProgramEnd {
    const char* name;
    int signal;  // 0: the X server ends
    int exitCode;
};

void PrintTo(const ProgramEnd& end, std::ostream* os) { *os << end.name; }

class EndWhileRecording : public test::DemoRecorderOnScreenTest,
                          public ::testing::WithParamInterface<ProgramEnd> {};

TEST_P(EndWhileRecording, WritesTheRowsUpToTheEndAndExitsCleanly) {
    ASSERT_TRUE(session().click(mainWindow, kStartX, kCommandY));
    ASSERT_TRUE(test::eventually(
        [&] { return test::fullestGroupOneDayFile(home.dataFolder()).rows >= 6; },
        test::XvfbSession::kWaitMs))
        << output();
    int endedAt = test::tenthsOfDayNow();
    if (GetParam().signal != 0) kill(program, GetParam().signal);
    if (GetParam().signal == 0) session().endServer();
    EXPECT_EQ(test::waitForExit(program, test::XvfbSession::kWaitMs), GetParam().exitCode)
        << output();
    EXPECT_EQ(output().find("terminate"), std::string::npos) << output();

    // Whole rows, one every half second, on to the step under way at the end.
    std::string rows = test::readFile(test::fullestGroupOneDayFile(home.dataFolder()).path);
    EXPECT_GE(test::lastOfHalfSecondRows(rows), endedAt - 2 * kStepTenths);
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
