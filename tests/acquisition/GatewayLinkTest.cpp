#include <gtest/gtest.h>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "ScriptedGateway.h"
#include "acquisition/GatewayConnection.h"
#include "acquisition/NodeExchange.h"
#include "acquisition/RequestMailbox.h"
#include "acquisition/SocketThread.h"
#include "acquisition/TcpAnswerReader.h"
#include "acquisition/TcpLink.h"
#include "core/ConfigurationRecord.h"
#include "core/DeviceTables.h"
#include "core/PublishedConfiguration.h"
#include "core/RunFlags.h"
#include "core/WorkerWakeups.h"
#include "platform/TcpClient.h"
#include "support/Eventually.h"
#include "support/LinkTestState.h"
#include "support/NodeSimulator.h"

namespace kvt {
namespace {

using Clock = std::chrono::steady_clock;
using Gateway = test::ScriptedGateway;
using test::eventually;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// The socket thread and its watchdog against a gateway on 127.0.0.1:502
// in a private network namespace; the test plays the acquisition thread.
class GatewayLinkTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string reason;
        if (!test::enterPrivateNetwork(&reason)) GTEST_SKIP() << reason;
        saved_ = liveConfiguration;
        test::useLoopbackGateway();
        liveConfiguration.operatingMode = kNormalMode;
        for (int& type : liveConfiguration.nodeType) type = kMod15Type;
        store(exitRequested, 0);
        clearRequestMailbox();
    }
    void TearDown() override {
        if (IsSkipped()) return;
        stopThreads();
        closeGatewayConnection();
        clearRequestMailbox();
        liveConfiguration = saved_;
    }
    // The threads start from the configuration the test has set up.
    void startThreads() {
        publishLiveConfiguration();
        socketThread = std::thread(socketThreadMain);
        watchdogThread = std::thread(socketWatchdogThreadMain);
    }
    void stopThreads() {
        store(exitRequested, 1);
        wakeEveryWorker();
        if (socketThread.joinable()) socketThread.join();
        if (watchdogThread.joinable()) watchdogThread.join();
        store(exitRequested, 0);
    }
    static bool connectedAgain() {
        return load(requestMailbox.connectRequest) == 0 && gatewayConnected();
    }
    static bool discreteRead(int node) {
        NodeRequest request{
            .kind = RequestKind::DiscreteRead, .node = node, .receiveBuffer = kBufferB};
        uint8_t answer[kAnswerBufferBytes];
        return tcpExchange(request, answer) == 7 && answerMatches(request, answer);
    }
    // A listener whose accept queue is full: connects to it hang.
    void fillListener() {
        ASSERT_TRUE(gateway.start(0, false));
        filler = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(502);
        inet_pton(AF_INET, "127.0.0.1", &address.sin_addr);
        ASSERT_EQ(connect(filler, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    }

    Gateway gateway;
    std::thread socketThread;
    std::thread watchdogThread;
    int filler = -1;
    ConfigurationRecord saved_;

public:
    ~GatewayLinkTest() override {
        if (filler >= 0) close(filler);
    }
};

TEST(GatewayAddress, OctetsFormatAsDottedText) {
    char text[kGatewayAddressBytes];
    formatGatewayAddress({200, 200, 200, 200}, text);
    EXPECT_STREQ(text, "200.200.200.200");
    formatGatewayAddress({10, 0, 0, 7}, text);
    EXPECT_STREQ(text, "10.0.0.7");
    formatGatewayAddress({1000, 2000, 3000, 4000}, text);
    EXPECT_STREQ(text, "");  // no address rather than a cut one
}

// Only bytes that are exactly one frame by their own header leave the
// stream in step.
TEST(TcpAnswerFraming, OnlyAWholeFrameCountsAsComplete) {
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
        bool complete;
    };
    const std::vector<Case> cases = {
        {"exception", {0, 0, 0, 0, 0, 3, 1, 0x83, 0x0B}, true},
        {"discrete read", {0, 0, 0, 0, 0, 5, 1, 3, 2, 0, 1}, true},
        {"cut exception", {0, 0, 0, 0, 0, 3, 1, 0x83}, false},
        {"exception and more", {0, 0, 0, 0, 0, 3, 1, 0x83, 0x0B, 0}, false},
        {"header only", {0, 0, 0, 0, 0, 0}, false},
        {"no function", {0, 0, 0, 0, 0, 1, 1}, false},
        {"other protocol", {0, 0, 0, 1, 0, 3, 1, 0x83, 0x0B}, false},
        {"nothing", {}, false},
    };
    for (const Case& item : cases) {
        EXPECT_EQ(tcpAnswerComplete(item.bytes.data(), static_cast<int>(item.bytes.size())),
                  item.complete)
            << item.what;
    }
}

TEST_F(GatewayLinkTest, ConnectsExchangesAndDisconnects) {
    ASSERT_TRUE(gateway.start());
    startThreads();
    ASSERT_TRUE(requestGatewayConnection());
    // The gateway's accept may return a little after the client's connect.
    EXPECT_TRUE(eventually([this] { return gateway.accepted.load() == 1; }));
    EXPECT_TRUE(probeNodeOverTcp(1));
    EXPECT_TRUE(discreteRead(3));
    EXPECT_EQ(gateway.requests.load(), 2);
    requestGatewayDisconnect();
    EXPECT_TRUE(eventually([] { return load(requestMailbox.disconnectRequest) == 0; }));
    EXPECT_FALSE(gatewayConnected());
    EXPECT_FALSE(probeNodeOverTcp(1));
    EXPECT_EQ(gateway.accepted.load(), 1);  // a disconnect is not repaired
}

TEST_F(GatewayLinkTest, NothingListeningFailsTheConnectAtOnce) {
    startThreads();
    auto start = Clock::now();
    EXPECT_FALSE(requestGatewayConnection());
    EXPECT_LT(secondsSince(start), 1.0);
    EXPECT_EQ(load(requestMailbox.connectRequest), 0);
    EXPECT_FALSE(gatewayConnected());
}

// An exception is a whole answer: the exchange fails, the stream is in
// step and the connection stays.
TEST_F(GatewayLinkTest, ExceptionAnswerFailsTheExchangeAndKeepsTheConnection) {
    ASSERT_TRUE(gateway.start());
    startThreads();
    ASSERT_TRUE(requestGatewayConnection());
    gateway.behaviour = Gateway::Behaviour::Exception;
    auto start = Clock::now();
    EXPECT_FALSE(probeNodeOverTcp(1));
    EXPECT_FALSE(discreteRead(2));
    // The answer's own header says it is complete: no waiting for more.
    EXPECT_LT(secondsSince(start), 0.4);
    EXPECT_TRUE(connectedAgain());
    gateway.behaviour = Gateway::Behaviour::Answer;
    EXPECT_TRUE(probeNodeOverTcp(1));
    EXPECT_EQ(gateway.accepted.load(), 1);
}

TEST_F(GatewayLinkTest, AnswerFromAnotherUnitIsAFailedRead) {
    ASSERT_TRUE(gateway.start());
    startThreads();
    ASSERT_TRUE(requestGatewayConnection());
    gateway.behaviour = Gateway::Behaviour::WrongUnit;
    EXPECT_FALSE(probeNodeOverTcp(1));
    EXPECT_FALSE(discreteRead(2));
    gateway.behaviour = Gateway::Behaviour::Answer;
    ASSERT_TRUE(eventually(connectedAgain));
    EXPECT_TRUE(probeNodeOverTcp(1));
}

TEST_F(GatewayLinkTest, StaleAnswerIsDrainedBeforeTheNextRequest) {
    ASSERT_TRUE(gateway.start());
    startThreads();
    ASSERT_TRUE(requestGatewayConnection());
    gateway.behaviour = Gateway::Behaviour::AnswerTwice;
    EXPECT_TRUE(probeNodeOverTcp(1));
    gateway.behaviour = Gateway::Behaviour::Answer;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_TRUE(discreteRead(1));  // not the 41-byte leftover
    EXPECT_TRUE(probeNodeOverTcp(1));
    EXPECT_EQ(gateway.accepted.load(), 1);
}

// A node that answers too late (or never) costs its own exchange and a new
// connection; the next exchange waits for that connection and goes out,
// and the late answer, sent to the old connection, is never taken for it.
TEST_F(GatewayLinkTest, LateOrMissingAnswerIsCutOffAndTheNextExchangeGoesOut) {
    ASSERT_TRUE(gateway.start());
    startThreads();
    ASSERT_TRUE(requestGatewayConnection());
    ASSERT_TRUE(eventually([this] { return gateway.accepted.load() == 1; }));
    for (Gateway::Behaviour fault : {Gateway::Behaviour::Silent, Gateway::Behaviour::Late}) {
        int accepted = gateway.accepted.load();
        gateway.behaviour = fault;
        auto start = Clock::now();
        EXPECT_FALSE(probeNodeOverTcp(1));
        double waited = secondsSince(start);
        EXPECT_GT(waited, 0.5);
        EXPECT_LT(waited, 1.3);
        gateway.behaviour = Gateway::Behaviour::Answer;
        EXPECT_TRUE(discreteRead(1));  // not the 41-byte late answer
        EXPECT_TRUE(probeNodeOverTcp(1));
        EXPECT_EQ(gateway.accepted.load(), accepted + 1);
    }
}

// Once a reconnect has failed the gateway is out of reach: exchanges fail
// at once instead of each waiting for a connect of its own.
TEST_F(GatewayLinkTest, UnreachableGatewayFailsExchangesAtOnce) {
    fillListener();
    startThreads();
    EXPECT_FALSE(requestGatewayConnection());  // hangs until the watchdog ends it
    store(requestMailbox.connectRequest, 2);   // the socket thread keeps trying
    auto start = Clock::now();
    for (int node = 1; node <= 5; ++node) EXPECT_FALSE(discreteRead(node));
    EXPECT_LT(secondsSince(start), 0.2);
}

TEST_F(GatewayLinkTest, ThreadsIdleWithoutASocketWhileThePortIsSerial) {
    ASSERT_TRUE(gateway.start());
    liveConfiguration.commPort = 0;
    startThreads();
    store(requestMailbox.connectRequest, 1);
    store(requestMailbox.sendRequest, 1);
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    EXPECT_EQ(gateway.accepted.load(), 0);
    EXPECT_EQ(load(requestMailbox.connectRequest), 1);
    EXPECT_EQ(load(requestMailbox.sendRequest), 1);
    EXPECT_EQ(requestMailbox.watchedCall.load(), 0u);
    EXPECT_FALSE(gatewayClient().isOpen());
    liveConfiguration.commPort = kCommPortTcp;
    publishLiveConfiguration();
    EXPECT_TRUE(eventually([] { return load(requestMailbox.connectRequest) == 0; }));
    // The gateway's accept may return a little after the client's connect.
    EXPECT_TRUE(eventually([this] { return gateway.accepted.load() == 1; }));
}

TEST_F(GatewayLinkTest, WatchdogEndsAConnectThatHangs) {
    fillListener();
    startThreads();
    auto start = Clock::now();
    EXPECT_FALSE(requestGatewayConnection());
    double waited = secondsSince(start);
    EXPECT_GT(waited, 0.5);
    EXPECT_LT(waited, 1.3);
    EXPECT_FALSE(gatewayConnected());
}

TEST_F(GatewayLinkTest, ReconnectsAreBoundedLikeConnects) {
    fillListener();
    startThreads();
    store(requestMailbox.connectRequest, 2);  // a lost connection, as the thread leaves it
    socketThreadWake.signal();                // ... and goes on from at once
    ASSERT_TRUE(eventually([] { return gatewayClient().blockingCallInProgress(); }));
    auto start = Clock::now();
    ASSERT_TRUE(eventually([] { return !gatewayClient().blockingCallInProgress(); }));
    EXPECT_LT(secondsSince(start), 1.3);
    EXPECT_EQ(load(requestMailbox.connectRequest), 2);  // still trying
    requestGatewayDisconnect();
    EXPECT_TRUE(eventually([] { return load(requestMailbox.connectRequest) == 0; }));
}

TEST_F(GatewayLinkTest, ExitJoinsBothThreadsInTheMiddleOfAConnect) {
    fillListener();
    startThreads();
    store(requestMailbox.connectRequest, 1);
    socketThreadWake.signal();  // as a requester does
    ASSERT_TRUE(eventually([] { return gatewayClient().blockingCallInProgress(); }));
    auto start = Clock::now();
    stopThreads();
    EXPECT_LT(secondsSince(start), 0.3);
}

TEST_F(GatewayLinkTest, RequesterWaitsEndWithExit) {
    // No socket thread: nobody serves the mailbox.
    std::thread requester([] {
        EXPECT_FALSE(requestGatewayConnection());
        store(requestMailbox.connectRequest, 0);
        EXPECT_FALSE(probeNodeOverTcp(1));
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    auto start = Clock::now();
    store(exitRequested, 1);
    requester.join();
    EXPECT_LT(secondsSince(start), 0.3);
    store(exitRequested, 0);
}

}  // namespace
}  // namespace kvt
