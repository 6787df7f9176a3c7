// The built recorder started as a process, without a real screen.
#include <gtest/gtest.h>
#include <pwd.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "app/Application.h"
#include "core/ConfigurationRecord.h"
#include "core/Defaults.h"
#include "support/CapturedStderr.h"
#include "support/Eventually.h"
#include "support/ProgramRun.h"
#include "support/RecordedFiles.h"
#include "support/TempHome.h"
#include "support/XvfbSession.h"

namespace kvt {
namespace {

using test::fileExists;
using test::readFile;

class ProgramTest : public ::testing::Test {
protected:
    ~ProgramTest() override {
        while (!started_.empty()) stop(started_.back());
    }

    // Starts the program in the bare environment of the temporary home and
    // `more`; its output goes to a file there.
    pid_t start(const std::vector<std::string>& more = {}) {
        std::vector<std::string> environment = test::bareEnvironment(home.path());
        environment.insert(environment.end(), more.begin(), more.end());
        pid_t child = test::startProgram(test::recorderProgram(), {}, environment, outputPath());
        if (child > 0) started_.push_back(child);
        return child;
    }
    std::string outputPath() const { return home.path() + "/output.txt"; }

    // The child's exit status once it ends within `timeoutMs`, else -1.
    int waitForExit(pid_t child, int timeoutMs) {
        int status = test::waitForExit(child, timeoutMs);
        if (status >= 0) forget(child);
        return status;
    }
    bool running(pid_t child) { return waitForExit(child, 0) < 0; }
    void stop(pid_t child) {
        test::awaitExit(child, 0);
        forget(child);
    }

    test::TempHome home;

private:
    void forget(pid_t child) { std::erase(started_, child); }

    std::vector<pid_t> started_;  // not yet reaped
};

TEST_F(ProgramTest, FirstStartWritesTheDefaultRecordAndASecondCopyLeavesItRunning) {
    pid_t first = start({"QT_QPA_PLATFORM=offscreen"});
    ASSERT_GT(first, 0);
    std::string settings = home.dataFolder() + "/KVT936P.LPPU";
    std::string saved;
    ASSERT_TRUE(test::eventually(
        [&] { return (saved = readFile(settings)).size() == kConfigurationRecordSize; }, 30000))
        << readFile(outputPath());
    const auto* record = reinterpret_cast<const ConfigurationRecord*>(saved.data());
    EXPECT_EQ(record->nodeEnabled[0], 1);
    EXPECT_EQ(record->nodeType[0], 14);
    for (int pen = 0; pen < 12; ++pen) {
        EXPECT_EQ(record->pens[1][pen].enabled, 1) << pen;
        EXPECT_EQ(record->pens[0][pen].enabled, pen < 8 ? 1 : 0) << pen;
    }
    CalendarDate expected = yesterday();
    EXPECT_EQ(record->oldestKeptDate[0], expected.year);
    EXPECT_EQ(record->oldestKeptDate[1], expected.month);
    EXPECT_EQ(record->oldestKeptDate[2], expected.day);
    usleep(300000);
    EXPECT_TRUE(running(first)) << readFile(outputPath());

    // The second copy finds the lock taken: it waits on its message and
    // never reaches the settings, and the first keeps running.
    struct stat before {};
    stat(settings.c_str(), &before);
    pid_t second = start({"QT_QPA_PLATFORM=offscreen"});
    ASSERT_GT(second, 0);
    usleep(1500000);
    struct stat after {};
    stat(settings.c_str(), &after);
    EXPECT_EQ(before.st_mtim.tv_sec, after.st_mtim.tv_sec);
    EXPECT_EQ(before.st_mtim.tv_nsec, after.st_mtim.tv_nsec);
    EXPECT_TRUE(running(first));
    EXPECT_TRUE(running(second));
    stop(second);
    EXPECT_TRUE(running(first));
}

// A cookie file (any address, MIT-MAGIC-COOKIE-1) the server takes as
// its only way in.
std::string writeCookieFile(const std::string& folder) {
    std::string path = folder + "/cookie";
    test::writeFile(path, std::string("\xFF\xFF\0\0\0\0\0\x12MIT-MAGIC-COOKIE-1\0\x10", 28) +
                              "0123456789abcdef");
    return path;
}

// No display, none at the address given, and one that lets only its
// cookie holders in: one line each naming the
// display and why, exit code 1, no abort in the toolkit.
TEST_F(ProgramTest, ADisplayThatCannotBeOpenedIsNamedInOneLineAndEndsIt) {
    test::XvfbSession guarded(800, 600, writeCookieFile(home.path()));
    ASSERT_TRUE(guarded.ready());
    struct Case {
        std::string display;
        std::string said;
    };
    const Case cases[] = {
        {"", "no display found (DISPLAY is not set); start kvt936p on a desktop, or on a "
             "machine with no screen as: xvfb-run kvt936p"},
        {"127.0.0.1:977", "cannot open the display \"127.0.0.1:977\": no X server listens"},
        {guarded.display(), "cannot open the display \"" + guarded.display() +
                                "\": the X server refused the connection: "},
    };
    for (const Case& given : cases) {
        std::vector<std::string> environment = test::bareEnvironment(home.path());
        if (!given.display.empty()) environment.push_back("DISPLAY=" + given.display);
        test::ProgramRun run = test::runProgram(test::recorderProgram(), {}, environment);
        EXPECT_EQ(run.exitCode, kExitNoDisplay) << given.display << ": " << run.err;
        EXPECT_EQ(run.err.find("kvt936p: " + given.said), 0u) << run.err;
        EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;  // one line
        EXPECT_EQ(run.out, "");
    }
    EXPECT_FALSE(fileExists(home.dataFolder()));
}

// Without a home folder of its own the recorder says so and does not
// start: a data folder elsewhere (under /tmp, say) could have been
// prepared by another account.
TEST_F(ProgramTest, WithoutAHomeFolderOfItsOwnItSaysSoInOneLineAndDoesNotStart) {
    std::string shared = home.path() + "/shared";  // like /tmp
    std::string others = home.path() + "/others";
    ASSERT_EQ(mkdir(shared.c_str(), 0777), 0);
    ASSERT_EQ(chmod(shared.c_str(), 01777), 0);
    const passwd* other = getpwnam("nobody");
    bool root = geteuid() == 0 && other != nullptr;
    ASSERT_EQ(mkdir(others.c_str(), 0755), 0);
    if (root) {
        ASSERT_EQ(chown(others.c_str(), other->pw_uid, 0), 0);
    }
    // No HOME, an empty one, one every account may write to, another's.
    for (const std::string& entry : {std::string("NO_HOME="), std::string("HOME="),
                                     "HOME=" + shared, root ? "HOME=" + others : "NO_HOME="}) {
        std::vector<std::string> environment = test::bareEnvironment(home.path());
        environment.front() = entry;  // in place of HOME
        test::ProgramRun run = test::runProgram(test::recorderProgram(), {}, environment);
        EXPECT_EQ(run.exitCode, kExitNoHome) << entry << run.err;
        EXPECT_EQ(run.err.rfind("kvt936p: HOME", 0), 0u) << run.err;
        EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
    }
    EXPECT_TRUE(test::filesEndingIn(home.path(), "KVT936P_U_DATA").empty());
}

// Without the outline font (a font configuration that knows no font at
// all) the recorder says which font and package are missing and runs on.
TEST_F(ProgramTest, AMissingFontIsNamedWithItsPackageAndTheProgramRunsOn) {
    test::writeFile(home.path() + "/no-fonts.conf", "<fontconfig></fontconfig>\n");
    pid_t child = start({"QT_QPA_PLATFORM=offscreen", "FONTCONFIG_FILE=" + home.path() + "/no-fonts.conf"});
    ASSERT_GT(child, 0);
    const std::string line =
        "kvt936p: font IPAGothic not found; install the package fonts-ipafont-gothic";
    std::string said;
    EXPECT_TRUE(test::eventually(
        [&] { return (said = readFile(outputPath())).find(line) != std::string::npos; }, 30000));
    EXPECT_EQ(test::linesContaining(said, line), 1) << said;
    EXPECT_EQ(said.find("cannot use font"), std::string::npos) << said;  // the bitmap faces are there
    EXPECT_TRUE(test::eventually(
        [&] { return fileExists(home.dataFolder() + "/KVT936P.LPPU"); }, 30000));
    EXPECT_TRUE(running(child)) << readFile(outputPath());
}

}  // namespace
}  // namespace kvt
