// A COM port that does not open is told once in the journal, naming the
// device behind the user's link and the reason.
#include <grp.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <functional>
#include <string>

#include "AcquisitionFixture.h"
#include "acquisition/ModbusLink.h"
#include "acquisition/SerialOpenReport.h"
#include "journal/Journal.h"
#include "journal/JournalLines.h"
#include "support/CapturedStderr.h"
#include "support/LinkTestState.h"
#include "support/ProgramRun.h"
#include "support/PtyPair.h"
#include "support/TempHome.h"

namespace kvt {
namespace {

using test::linesContaining;

class SerialOpenReportTest : public ::testing::Test, protected test::RunningLinkState {
protected:
    void SetUp() override {
        forgetSerialOpenFailures();
        discardJournal();
    }
    void TearDown() override { forgetSerialOpenFailures(); }
    // What the journal has written to the captured standard error.
    static std::string journalText(const test::CapturedStderr& captured) {
        flushJournal();
        return captured.text();
    }

    std::string link(int commPort) const {
        return test::comLinkPath(home.path(), commPort);
    }
    // Opens COM<commPort + 1> `attempts` times, as the polling reopens a
    // link after every failed exchange; each must fail.
    static void failToOpen(int commPort, int attempts) {
        liveConfiguration.commPort = commPort;
        for (int attempt = 0; attempt < attempts; ++attempt) {
            EXPECT_EQ(openLink(), -1);
            closeLink();
        }
    }

    test::TempHome home;
    test::PtyPair line;
};

struct FailureCase {
    const char* name;
    int commPort;
    std::function<std::string(const std::string& home)> prepareDevice;  // returns the device
    const char* reason;
};

TEST_F(SerialOpenReportTest, EachFailingPortIsToldOnceWithItsDeviceAndReason) {
    ASSERT_TRUE(line.ok());
    SerialPort holder;  // another program holding a port
    ASSERT_EQ(holder.open(line.slavePath().c_str()), 0);
    const FailureCase cases[] = {
        {"unplugged", 1, [](const std::string&) { return std::string("/dev/kvt-unplugged"); },
         "no such device; is it plugged in?"},
        {"plain file", 2,
         [](const std::string& home) {
             test::writeFile(home + "/not-a-port", "");
             return home + "/not-a-port";
         },
         "not a serial device"},
        {"held", 3, [this](const std::string&) { return line.slavePath(); },
         "in use by another program"},
    };
    for (const FailureCase& failure : cases) {
        SCOPED_TRACE(failure.name);
        std::string device = failure.prepareDevice(home.path());
        ASSERT_TRUE(test::linkComTo(home.path(), failure.commPort, device));
        test::CapturedStderr captured;
        failToOpen(failure.commPort, 25);
        EXPECT_EQ(journalText(captured), "<3>COM" + std::to_string(failure.commPort + 1) +
                                             ": cannot open " + device + " (linked from " +
                                             link(failure.commPort) + "): " + failure.reason +
                                             "\n");
    }
}

TEST_F(SerialOpenReportTest, ToldAgainForANewReasonAndAfterThePortHasOpened) {
    ASSERT_TRUE(line.ok());
    test::CapturedStderr captured;
    ASSERT_TRUE(test::linkComTo(home.path(), 0, "/dev/kvt-unplugged"));
    failToOpen(0, 5);
    test::writeFile(home.path() + "/not-a-port", "");
    ASSERT_TRUE(test::linkComTo(home.path(), 0, home.path() + "/not-a-port"));
    failToOpen(0, 5);
    ASSERT_TRUE(test::linkComTo(home.path(), 0, "/dev/kvt-unplugged"));
    failToOpen(0, 5);  // both reasons told already
    std::string text = journalText(captured);
    EXPECT_EQ(linesContaining(text, "COM1: cannot open"), 2) << text;

    ASSERT_TRUE(test::linkComTo(home.path(), 0, line.slavePath()));
    ASSERT_EQ(openLink(), 0);
    closeLink();
    ASSERT_TRUE(test::linkComTo(home.path(), 0, "/dev/kvt-unplugged"));
    failToOpen(0, 5);
    // Told again, but within the minute as the journal's summary of it.
    stopJournal();
    text = captured.text();
    EXPECT_EQ(linesContaining(text, "no such device"), 2) << text;
    EXPECT_EQ(linesContaining(text, "no such device; is it plugged in? [1 more time in"), 1) << text;
    EXPECT_EQ(linesContaining(text, "cannot open"), 3) << text;
    EXPECT_EQ(linesContaining(text, "<5>COM1 open again after 15 failed attempts: " + link(0)), 1)
        << text;
}

TEST_F(SerialOpenReportTest, LineTellsTheUserWhatToDo) {
    struct Case {
        int error;
        const char* path;
        const char* expected;
    };
    const Case cases[] = {
        {EACCES, "/dev/kvt-usb0",
         "<3>COM1: cannot open /dev/kvt-usb0: permission denied; join the dialout group "
         "(sudo usermod -aG dialout $USER) and log in again\n"},
        {ENOENT, "/dev/kvt-no-port",
         "<3>COM1: cannot open /dev/kvt-no-port: no such device; link the port as "
         "~/.config/kvt936p/com1, for example ln -s /dev/serial/by-id/... "
         "~/.config/kvt936p/com1\n"},
        {EIO, "/dev/kvt-s0", "<3>COM1: cannot open /dev/kvt-s0: Input/output error\n"},
    };
    auto failureEvent = [](int commPort, const char* path, int error) {
        JournalEvent event;
        event.kind = JournalEventKind::SerialOpenFailed;
        event.number = commPort;
        event.reason = error;
        setJournalText(event.subject, path);
        return event;
    };
    for (const Case& failure : cases) {
        char text[400];
        int length = formatJournalLine(failureEvent(0, failure.path, failure.error), 0, text,
                                       sizeof text);
        EXPECT_EQ(std::string(text, length), failure.expected);
    }
    // A path too long for the line still gives one whole line.
    std::string longPath = "/dev/" + std::string(600, 'x');
    char shortLine[100];
    int length = formatJournalLine(failureEvent(4, longPath.c_str(), EIO), 0, shortLine,
                                   sizeof shortLine);
    EXPECT_EQ(length, 99);
    EXPECT_EQ(shortLine[98], '\n');
    EXPECT_EQ(shortLine[99], '\0');
}

using SerialOpenReportRun = test::AcquisitionFixture;

TEST_F(SerialOpenReportRun, MeasuringOnAnUnpluggedPortTellsItOnceWhileTheLinkRetries) {
    liveConfiguration.operatingMode = kNormalMode;
    liveConfiguration.commPort = 0;
    ASSERT_TRUE(test::linkCom1To(home.path(), "/dev/kvt-unplugged"));
    forgetSerialOpenFailures();
    discardJournal();
    test::CapturedStderr captured;
    startAt(2026, 6, 10, 9, 0, 0, 0);
    store(acquisitionRequested, 1);
    runFor(20000);  // every failed exchange closes and reopens the link
    EXPECT_EQ(load(acquisitionActive), 1);
    store(acquisitionRequested, 0);
    runFor(100);
    flushJournal();
    EXPECT_EQ(captured.text(), "<3>COM1: cannot open /dev/kvt-unplugged (linked from " +
                                   test::comLinkPath(home.path(), 0) +
                                   "): no such device; is it plugged in?\n"
                                   "<5>measurement started in normal mode on COM1\n"
                                   "<4>node 1 stopped answering: no answer in time\n"
                                   "<5>measurement stopped\n");
    forgetSerialOpenFailures();
}

// Drops to the unprivileged user "nobody" for good; false when that fails.
bool becomeNobody() {
    const passwd* nobody = getpwnam("nobody");
    uid_t user = nobody != nullptr ? nobody->pw_uid : 65534;
    gid_t group = nobody != nullptr ? nobody->pw_gid : 65534;
    return setgroups(0, nullptr) == 0 && setresgid(group, group, group) == 0 &&
           setresuid(user, user, user) == 0;
}

TEST_F(SerialOpenReportTest, DeviceWithoutPermissionAsksForTheDialoutGroup) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to run a child as another user";
    ASSERT_TRUE(line.ok());
    ASSERT_EQ(chmod(line.slavePath().c_str(), 0), 0);
    ASSERT_TRUE(test::linkCom1To(home.path(), line.slavePath()));
    // The unprivileged child must reach the link.
    for (const std::string& folder :
         {home.path(), home.path() + "/.config", home.path() + "/.config/kvt936p"}) {
        ASSERT_EQ(chmod(folder.c_str(), 0755), 0);
    }

    test::CapturedStderr captured;
    constexpr int kAttempts = 10;
    pid_t child = fork();
    if (child == 0) {
        if (!becomeNobody()) _exit(100);
        int failures = 0;
        for (int attempt = 0; attempt < kAttempts; ++attempt) {
            if (openLink() != 0) ++failures;
            closeLink();
        }
        flushJournal();
        _exit(failures);
    }
    ASSERT_GT(child, 0);
    ASSERT_EQ(test::awaitExit(child, 20000), kAttempts);
    EXPECT_EQ(captured.text(),
              "<3>COM1: cannot open " + line.slavePath() + " (linked from " + link(0) +
                  "): permission denied; join the dialout group (sudo usermod -aG dialout "
                  "$USER) and log in again\n");
}

}  // namespace
}  // namespace kvt
