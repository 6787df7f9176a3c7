#include <string>
#include <vector>

#include "AcquisitionFixture.h"
#include "acquisition/SampleClock.h"
#include "platform/WindowCommands.h"

namespace kvt {
namespace {

// A stand-in link whose answers the tests choose; it logs every call.
struct FakeLink {
    bool somethingToPoll = true;
    int connectFailures = 0;       // failed connect requests before one succeeds
    int connectDelayMs = 0;        // virtual time each connect request takes
    int silentNode = 0;            // node that never answers a probe
    int probeFailuresOfNode2 = 0;  // node 2 misses this many probes first
    int polls = 0;
    std::vector<std::string> calls;
    test::FakeClock* clock = nullptr;
};

FakeLink link;

void logCall(const std::string& call) { link.calls.push_back(call); }

const AcquisitionLinkHooks kFakeHooks = {
    [] {
        logCall("plan");
        return link.somethingToPoll;
    },
    [] { logCall("resetPolling"); },
    [] { ++link.polls; },
    [] {
        logCall("open");
        return 0;
    },
    [] {
        logCall("close");
        return 0;
    },
    [] {
        logCall("connect");
        if (link.clock) link.clock->advanceMs(link.connectDelayMs);
        if (link.connectFailures > 0) {
            --link.connectFailures;
            return false;
        }
        return true;
    },
    [](int node) {
        logCall("probe " + std::to_string(node));
        if (node == 2 && link.probeFailuresOfNode2 > 0) {
            --link.probeFailuresOfNode2;
            return false;
        }
        return node != link.silentNode;
    },
    [] { logCall("disconnect"); },
};

class RunStartTest : public test::AcquisitionFixture {
protected:
    void SetUp() override {
        AcquisitionFixture::SetUp();
        link = FakeLink{};
        link.clock = &fake.clock;
        acquisitionLinkHooks = kFakeHooks;
        liveConfiguration.operatingMode = kNormalMode;
        liveConfiguration.commPort = 0;
        startAt(2026, 6, 10, 9, 0, 0, 300);
    }

    void useTcp(std::initializer_list<int> enabledNodes) {
        liveConfiguration.commPort = kCommPortTcp;
        for (int& enabled : liveConfiguration.nodeEnabled) enabled = 0;
        for (int node : enabledNodes) liveConfiguration.nodeEnabled[node - 1] = 1;
    }

    void requestStart() {
        store(acquisitionRequested, 1);
        runFor(10);
    }

    long posted(int command) {
        return postedWindowCommandCount(command) - postedBefore[command - kCommandRefresh];
    }

    void remember() {
        for (int command = kCommandRefresh; command <= kCommandStopQuestion; ++command) {
            postedBefore[command - kCommandRefresh] = postedWindowCommandCount(command);
        }
    }

    long postedBefore[8] = {};
};

using Calls = std::vector<std::string>;

TEST_F(RunStartTest, NothingToPollWithdrawsTheRequestSilently) {
    link.somethingToPoll = false;
    remember();
    requestStart();
    EXPECT_EQ(load(acquisitionRequested), 0);
    EXPECT_EQ(load(acquisitionActive), 0);
    EXPECT_EQ(load(startFailed), 0);
    EXPECT_EQ(posted(kCommandSocketError) + posted(kCommandNodeError), 0);
    EXPECT_EQ(link.calls, (Calls{"resetPolling", "plan"}));
    runFor(1000);
    EXPECT_EQ(link.polls, 0);
}

TEST_F(RunStartTest, SerialRunOpensThePortPollsEveryPassAndClosesOnStop) {
    requestStart();
    EXPECT_EQ(load(acquisitionActive), 1);
    EXPECT_EQ(link.calls, (Calls{"resetPolling", "plan", "open"}));
    runFor(100);
    EXPECT_EQ(link.polls, 10);
    // Polling has not completed a round, so nothing is stored yet.
    EXPECT_EQ(load(valuesValid), 0);
    for (const AcquisitionRecord& record : records) {
        EXPECT_EQ(record.active, 1);
        EXPECT_EQ(record.groups[0].stored, 0);
    }
    store(valuesValid, 1);
    records.clear();
    runFor(1000);
    ASSERT_FALSE(records.empty());
    EXPECT_EQ(records.back().groups[0].stored, 1);
    link.calls.clear();
    store(acquisitionRequested, 0);
    runFor(10);
    EXPECT_EQ(load(acquisitionActive), 0);
    EXPECT_EQ(link.calls, (Calls{"close"}));
}

TEST_F(RunStartTest, GatewayRefusingTwiceReportsTheSocketError) {
    useTcp({1});
    link.connectFailures = 2;
    remember();
    requestStart();
    EXPECT_EQ(link.calls,
              (Calls{"resetPolling", "plan", "open", "connect", "connect", "disconnect"}));
    EXPECT_EQ(load(startFailed), 1);
    EXPECT_EQ(load(acquisitionRequested), 0);
    EXPECT_EQ(load(acquisitionActive), 0);
    EXPECT_EQ(posted(kCommandSocketError), 1);
    EXPECT_EQ(posted(kCommandNodeError), 0);
}

TEST_F(RunStartTest, SecondConnectAttemptMaySucceed) {
    useTcp({1});
    link.connectFailures = 1;
    remember();
    requestStart();
    EXPECT_EQ(load(acquisitionActive), 1);
    EXPECT_EQ(load(startFailed), 0);
    EXPECT_EQ(posted(kCommandSocketError), 0);
}

TEST_F(RunStartTest, NodeFailingBothProbesIsReportedWithItsNumber) {
    useTcp({1, 3, 5});
    link.silentNode = 3;
    remember();
    requestStart();
    EXPECT_EQ(link.calls, (Calls{"resetPolling", "plan", "open", "connect", "probe 1", "probe 3",
                                 "probe 3", "disconnect"}));
    EXPECT_EQ(load(failedNode), 3);
    EXPECT_EQ(load(startFailed), 1);
    EXPECT_EQ(load(acquisitionRequested), 0);
    EXPECT_EQ(load(acquisitionActive), 0);
    EXPECT_EQ(posted(kCommandNodeError), 1);
    EXPECT_EQ(posted(kCommandSocketError), 0);
}

TEST_F(RunStartTest, ProbesEveryEnabledNodeInOrderWithASecondChance) {
    useTcp({2, 7, 31});
    link.probeFailuresOfNode2 = 1;
    requestStart();
    EXPECT_EQ(link.calls, (Calls{"resetPolling", "plan", "open", "connect", "probe 2", "probe 2",
                                 "probe 7", "probe 31"}));
    EXPECT_EQ(load(acquisitionActive), 1);
    EXPECT_EQ(load(startFailed), 0);
}

TEST_F(RunStartTest, SlowConnectLeavesNoBacklogOfSteps) {
    useTcp({1});
    link.connectDelayMs = 4000;
    int overruns = load(overrunCounter);
    requestStart();
    ASSERT_EQ(load(acquisitionActive), 1);
    const SystemTime& last = acquisitionSampleClock().lastSample();
    EXPECT_EQ(test::stamp(last), "2026-06-10 09:00:04.500");
    EXPECT_TRUE(records.empty());
    runFor(1000);
    ASSERT_FALSE(records.empty());
    EXPECT_EQ(test::stamp(records.front().time), "2026-06-10 09:00:05.000");
    EXPECT_EQ(load(overrunCounter), overruns);
}

TEST_F(RunStartTest, TcpStopClosesAndDisconnects) {
    useTcp({1});
    requestStart();
    link.calls.clear();
    store(acquisitionRequested, 0);
    runFor(10);
    EXPECT_EQ(link.calls, (Calls{"close", "disconnect"}));
    EXPECT_EQ(load(acquisitionActive), 0);
}

TEST_F(RunStartTest, ExitDuringProbingAbandonsTheStartWithoutAReport) {
    useTcp({1, 2});
    link.silentNode = 1;
    remember();
    acquisitionLinkHooks.probeNodeOverTcp = [](int node) {
        logCall("probe " + std::to_string(node));
        store(exitRequested, 1);
        return false;
    };
    store(acquisitionRequested, 1);
    EXPECT_FALSE(acquisitionPass());
    EXPECT_EQ(link.calls,
              (Calls{"resetPolling", "plan", "open", "connect", "probe 1", "disconnect"}));
    EXPECT_EQ(load(acquisitionActive), 0);
    EXPECT_EQ(load(startFailed), 0);
    EXPECT_EQ(posted(kCommandNodeError), 0);
}

TEST_F(RunStartTest, ThreadEndReleasesTheLinkOfARunningAcquisition) {
    requestStart();
    link.calls.clear();
    store(exitRequested, 1);
    acquisitionThreadMain();
    EXPECT_EQ(link.calls, (Calls{"close"}));
    EXPECT_EQ(load(acquisitionActive), 0);
}

}  // namespace
}  // namespace kvt
