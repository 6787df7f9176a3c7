// The command line of the recorder and, for consistency, of its two tools.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ProgramVersion.h"
#include "app/CommandLine.h"
#include "support/NodeSimulator.h"
#include "support/ProgramRun.h"
#include "support/TempHome.h"

namespace kvt {
namespace {

using Request = CommandLineRequest;

struct ReadCase {
    std::vector<const char*> arguments;
    Request request;
    const char* error = "";
    const char* platform = nullptr;
    const char* display = nullptr;
};

std::string textOr(const char* text) { return text != nullptr ? text : "(none)"; }

TEST(CommandLine, AnswersItsOwnOptionsAndLeavesTheToolkitsAlone) {
    const ReadCase cases[] = {
        {{}, Request::Run},
        {{"--help"}, Request::Help},
        {{"-h"}, Request::Help},
        {{"--version"}, Request::Version},
        {{"-platform", "offscreen"}, Request::Run, "", "offscreen"},
        {{"--platform=minimal", "-display", ":3"}, Request::Run, "", "minimal", ":3"},
        {{"-style=fusion", "-reverse", "-session", "s1", "--version"}, Request::Version},
        {{"-reverse", "--bogus", "--help"}, Request::UsageError, "unknown option: --bogus"},
        {{"-reverse=1"}, Request::UsageError, "unknown option: -reverse=1"},
        {{"-platformx"}, Request::UsageError, "unknown option: -platformx"},
        {{"---platform", "xcb"}, Request::UsageError, "unknown option: ---platform"},
        {{"-display"}, Request::UsageError, "missing value after -display"},
        {{"day.csv"}, Request::UsageError, "unexpected argument: day.csv"},
        {{"-"}, Request::UsageError, "unknown option: -"},
        {{""}, Request::UsageError, "unexpected argument: "},
    };
    for (const ReadCase& expected : cases) {
        std::vector<const char*> argv{"kvt936p"};
        argv.insert(argv.end(), expected.arguments.begin(), expected.arguments.end());
        CommandLine read = readCommandLine(static_cast<int>(argv.size()), argv.data());
        std::string shown;
        for (const char* argument : expected.arguments) shown += std::string(argument) + " ";
        SCOPED_TRACE(shown);
        EXPECT_EQ(read.request, expected.request);
        EXPECT_STREQ(read.error, expected.error);
        EXPECT_EQ(textOr(read.platform), textOr(expected.platform));
        EXPECT_EQ(textOr(read.display), textOr(expected.display));
    }
}

// No DISPLAY, no toolkit platform: what a shell on a plant PC without a
// session, or a package check, gives the programs.
std::vector<std::string> environmentWithoutDisplay(const test::TempHome& home) {
    return {"HOME=" + home.path(), "XDG_RUNTIME_DIR=" + home.path(), "PATH=/usr/bin:/bin",
            "LC_ALL=C"};
}

TEST(ProgramCommandLines, HelpVersionAndUnknownOptionsAnswerAlikeWithoutADisplay) {
    test::TempHome home;
    const std::pair<std::string, std::string> programs[] = {
        {"kvt936p", test::recorderProgram()},
        {"kvt-nodesim", test::NodeSimulatorProcess::programPath()},
        {"kvt-simsettings", test::simulatorSettingsProgram()},
    };
    for (const auto& [name, path] : programs) {
        SCOPED_TRACE(name);
        std::vector<std::string> environment = environmentWithoutDisplay(home);

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

TEST(ProgramCommandLines, ToolkitPlatformOptionStandsInForADisplay) {
    test::TempHome home;
    test::ProgramRun run = test::runProgram(test::recorderProgram(), {"-platform", "offscreen"},
                                            environmentWithoutDisplay(home), 4000);
    EXPECT_TRUE(run.timedOut) << "ended with " << run.exitCode << ": " << run.err;
    EXPECT_TRUE(test::fileExists(home.dataFolder() + "/KVT936P.LPPU"));
}

}  // namespace
}  // namespace kvt
