// The command line of the recorder.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/CommandLine.h"

namespace kvt {
namespace {

using Request = CommandLineRequest;

struct ReadCase {
    std::vector<const char*> arguments;
    Request request;
    const char* error = "";
    const char* platform = nullptr;
    const char* display = nullptr;
    bool start = false;
    bool json = false;
    bool headless = false;
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
        {{"--start", "-platform", "offscreen"}, Request::Run, "", "offscreen", nullptr, true},
        {{"--status"}, Request::Status},
        {{"--json", "--status"}, Request::Status, "", nullptr, nullptr, false, true},
        {{"--json"}, Request::UsageError, "--json goes with --status"},
        {{"--status", "--start"}, Request::UsageError, "--start does not go with --status"},
        {{"--headless"}, Request::Run, "", nullptr, nullptr, false, false, true},
        {{"--headless", "--status"}, Request::UsageError, "--headless does not go with --status"},
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
        if (expected.request == Request::UsageError) continue;
        EXPECT_EQ(read.startMeasuring, expected.start);
        EXPECT_EQ(read.json, expected.json);
        EXPECT_EQ(read.headless, expected.headless);
    }
}

}  // namespace
}  // namespace kvt
