// The command lines of the recorder and, for consistency, of its two tools,
// given to the built programs.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ProgramVersion.h"
#include "support/Eventually.h"
#include "support/NodeSimulator.h"
#include "support/ProgramRun.h"
#include "support/TempHome.h"

namespace kvt {
namespace {

TEST(ProgramCommandLines, HelpVersionAndUnknownOptionsAnswerAlikeWithoutADisplay) {
    test::TempHome home;
    const std::pair<std::string, std::string> programs[] = {
        {"kvt936p", test::recorderProgram()},
        {"kvt-nodesim", test::NodeSimulatorProcess::programPath()},
        {"kvt-simsettings", test::simulatorSettingsProgram()},
    };
    for (const auto& [name, path] : programs) {
        SCOPED_TRACE(name);
        // No DISPLAY, no toolkit platform: what a shell on a plant PC
        // without a session, or a package check, gives the programs.
        std::vector<std::string> environment = test::bareEnvironment(home.path());

        test::ProgramRun help = test::runProgram(path, {"--help"}, environment);
        EXPECT_EQ(help.exitCode, 0) << help.err;
        EXPECT_EQ(help.out.rfind("Usage: " + name + " ", 0), 0u) << help.out;
        EXPECT_GT(help.out.size(), 200u);
        EXPECT_EQ(help.err, "");

        test::ProgramRun version = test::runProgram(path, {"--version"}, environment);
        EXPECT_EQ(version.exitCode, 0) << version.err;
        EXPECT_EQ(version.out, name + " " KVT_PROGRAM_VERSION "\n");

        test::ProgramRun bogus = test::runProgram(path, {"--bogus"}, environment);
        EXPECT_EQ(bogus.exitCode, 2);
        EXPECT_EQ(bogus.out, "");
        std::string firstLines = name + ": unknown option: --bogus\nUsage: " + name + " ";
        EXPECT_EQ(bogus.err.rfind(firstLines, 0), 0u) << bogus.err;
        EXPECT_EQ(bogus.err.find('\n', firstLines.size()), bogus.err.size() - 1) << bogus.err;
    }
    EXPECT_FALSE(test::fileExists(home.dataFolder()));  // none of them touched the data
}

// The recorder starts and runs: it saves its settings and keeps going.
TEST(ProgramCommandLines, ToolkitPlatformOptionStandsInForADisplay) {
    test::TempHome home;
    std::string output = home.path() + "/output.txt";
    pid_t child = test::startProgram(test::recorderProgram(), {"-platform", "offscreen"},
                                     test::bareEnvironment(home.path()), output);
    ASSERT_GT(child, 0);
    EXPECT_TRUE(test::eventually(
        [&] { return test::fileExists(home.dataFolder() + "/KVT936P.LPPU"); }, 20000));
    int status = test::waitForExit(child, 500);
    EXPECT_EQ(status, -1) << "ended: " << test::readFile(output);
    if (status < 0) test::awaitExit(child, 0);
}

}  // namespace
}  // namespace kvt
