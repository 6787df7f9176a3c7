// The recorder without a window, as the user service starts it: no display
// at all, a service manager waiting for its readiness, group 1 recording
// every half second from the start; a second start, --status, and SIGTERM
// with every row up to the signal written. A start that fails is told in
// the journal as the window would show it, and the recorder waits on.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <cstring>
#include <string>
#include <vector>

#include "support/Eventually.h"
#include "support/NodeSimulator.h"
#include "support/ProgramRun.h"
#include "support/RecordedFiles.h"
#include "support/TempHome.h"

namespace kvt {
namespace {

constexpr int kStepTenths = 5;  // group 1 records every 0.5 s
constexpr int kWaitMs = 30000;

// The service manager's end of NOTIFY_SOCKET.
class NotifySocket {
public:
    explicit NotifySocket(const std::string& path) : path_(path) {
        descriptor_ = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
        bind(descriptor_, reinterpret_cast<const sockaddr*>(&address), sizeof address);
        timeval limit{kWaitMs / 1000, 0};
        setsockopt(descriptor_, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    }
    ~NotifySocket() { close(descriptor_); }
    // The next state the recorder sent; "" when none came in time.
    std::string next() {
        char state[256] = {};
        ssize_t got = recv(descriptor_, state, sizeof state - 1, 0);
        return got > 0 ? std::string(state, got) : "";
    }
    const std::string& path() const { return path_; }

private:
    std::string path_;
    int descriptor_ = -1;
};

class HeadlessRecorderTest : public ::testing::Test {
protected:
    ~HeadlessRecorderTest() override {
        if (recorder > 0) test::awaitExit(recorder, 0);
    }

    void writeSettings(const char* kind) {
        ASSERT_EQ(
            test::runProgram(test::simulatorSettingsProgram(), {kind}, environment).exitCode, 0);
    }
    void startHeadless() {
        recorder = test::startProgram(test::recorderProgram(), {"--headless"}, environment,
                                      home.path() + "/output.txt");
        ASSERT_GT(recorder, 0);
    }
    std::string journal() const { return test::readFile(home.path() + "/output.txt"); }
    bool journalHas(const std::string& text) {
        return test::eventually([&] { return journal().find(text) != std::string::npos; },
                                kWaitMs);
    }
    QJsonObject status() {
        test::ProgramRun run =
            test::runProgram(test::recorderProgram(), {"--status", "--json"}, environment);
        EXPECT_EQ(run.exitCode, 0) << run.err;
        return QJsonDocument::fromJson(QByteArray::fromStdString(run.out)).object();
    }

    test::TempHome home;
    std::vector<std::string> environment = test::bareEnvironment(home.path());  // no DISPLAY
    pid_t recorder = -1;
};

TEST_F(HeadlessRecorderTest, RecordsFromTheStartWithoutADisplayAndWritesEveryRowUpToSigterm) {
    writeSettings("demo");  // demonstration mode, group 1 every 0.5 s
    NotifySocket manager(home.path() + "/notify");
    environment.push_back("NOTIFY_SOCKET=" + manager.path());
    startHeadless();
    EXPECT_EQ(manager.next(), "READY=1");
    ASSERT_TRUE(test::eventually(
        [&] { return test::fullestGroupOneDayFile(home.dataFolder()).rows >= 6; }, kWaitMs))
        << journal();
    EXPECT_EQ(test::readFile(home.dataFolder() + "/KVT936PU-MUTEX"),
              std::to_string(recorder) + "\nheadless\n");
    QJsonObject answer = status();
    EXPECT_EQ(answer["holder"].toString().toStdString(), "headless");
    EXPECT_TRUE(answer["measuring"].toBool());

    // A second recorder without a window: one line, the exit of a second start.
    test::ProgramRun second = test::runProgram(test::recorderProgram(), {"--headless"},
                                               test::bareEnvironment(home.path()));
    EXPECT_EQ(second.exitCode, 1);
    EXPECT_EQ(second.err, "kvt936p: already running: a recorder without a window (kvt936p "
                          "--headless, process " + std::to_string(recorder) +
                          ") holds the data folder " + home.dataFolder() + "\n");

    int endedAt = test::tenthsOfDayNow();
    kill(recorder, SIGTERM);
    EXPECT_EQ(manager.next(), "STOPPING=1");
    EXPECT_EQ(test::awaitExit(recorder, kWaitMs), 0) << journal();
    recorder = -1;
    std::string rows = test::readFile(test::fullestGroupOneDayFile(home.dataFolder()).path);
    EXPECT_GE(test::lastOfHalfSecondRows(rows), endedAt - 2 * kStepTenths);
    std::string said = journal();
    EXPECT_EQ(said.find("<5>kvt936p "), 0u) << said;
    EXPECT_NE(said.find("<5>measurement started in demo mode\n"), std::string::npos) << said;
    EXPECT_NE(said.find(" ended (exit code 0)\n"), std::string::npos) << said;
    // Nothing but journal lines: no toolkit, no display.
    for (size_t at = 0; at < said.size(); at = said.find('\n', at) + 1) {
        EXPECT_EQ(said[at], '<') << said.substr(at, said.find('\n', at) - at);
    }
}

// No gateway answers (a private network without one): the window would show
// "Socket connect error!"; the journal has it as an error, and the recorder
// stays, ready to try again.
TEST_F(HeadlessRecorderTest, AStartThatFailsIsToldInTheJournalAndTheRecorderWaitsOn) {
    std::string why;
    if (!test::enterPrivateNetwork(&why)) GTEST_SKIP() << why;
    writeSettings("tcp");
    startHeadless();
    EXPECT_TRUE(journalHas("<3>message: Socket connect error!\n")) << journal();
    EXPECT_TRUE(journalHas("<3>measurement did not start: no connection to gateway ")) << journal();
    EXPECT_FALSE(status()["measuring"].toBool());
    EXPECT_EQ(test::waitForExit(recorder, 0), -1);  // still running
}

}  // namespace
}  // namespace kvt
