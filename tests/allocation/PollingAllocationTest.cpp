#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "AllocationCounter.h"
#include "acquisition/AlarmStates.h"
#include "acquisition/CurrentValues.h"
#include "acquisition/ModbusLink.h"
#include "acquisition/NodeHealth.h"
#include "acquisition/NodePolling.h"
#include "acquisition/RequestMailbox.h"
#include "acquisition/SocketThread.h"
#include "acquisition/TcpLink.h"
#include "core/ConfigurationRecord.h"
#include "core/Defaults.h"
#include "core/PublishedConfiguration.h"
#include "core/RunFlags.h"
#include "core/WorkerWakeups.h"
#include "journal/Journal.h"
#include "support/CapturedStderr.h"
#include "support/LinkTestState.h"
#include "support/NodeSimulator.h"
#include "support/TempHome.h"

namespace kvt {
namespace {

// Polling runs for months: a poll must not touch the heap, on either
// transport, and neither may the socket threads.
class PollingAllocationTest : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = liveConfiguration;
        fillDefaults(liveConfiguration, 1, {2026, 1, 1});
        liveConfiguration.operatingMode = kNormalMode;
        // Group 1 (all pens on node 1, channels 1-12), a trigger group and
        // an alarm output, so every step of a poll has work.
        liveConfiguration.group(2).storingMode = kRemoteTrigger;
        PenSettings& pen = liveConfiguration.pen(1, 0);
        pen.alarmOutput[1] = 1;
        pen.alarmLimitHigh = 10.0;
        groupStoredFlag[1] = 1;
        alarmStates[1].upper[0] = 1;
        store(exitRequested, 0);
        store(acquisitionRequested, 1);
        store(acquisitionActive, 1);
        clearRequestMailbox();
    }
    void TearDown() override {
        store(exitRequested, 1);
    wakeEveryWorker();
        for (std::thread* thread : {&socketThread, &watchdogThread}) {
            if (thread->joinable()) thread->join();
        }
        store(exitRequested, 0);
        closeLink();
        store(acquisitionRequested, 0);
        store(acquisitionActive, 0);
        resetNodePolling();
        resetCurrentValues();
        clearAlarmStates();
        clearRequestMailbox();
        liveConfiguration = saved_;
    }
    // Allocations of 30 polls after a warm-up round.
    long allocationsOfPolls() {
        EXPECT_TRUE(planNodes());
        resetPollingForRun();
        for (int poll = 0; poll < 3; ++poll) pollNextNode();
        long before = test::allocationsOnThisThread();
        for (int poll = 0; poll < 30; ++poll) pollNextNode();
        return test::allocationsOnThisThread() - before;
    }

    test::TempHome home;
    test::NodeSimulatorProcess simulator;
    std::thread socketThread;
    std::thread watchdogThread;
    ConfigurationRecord saved_;
};

TEST_F(PollingAllocationTest, SerialPollsAllocateNothing) {
    ASSERT_TRUE(simulator.start({"--link", test::comLinkPath(home.path(), 0), "--fixed"}));
    liveConfiguration.commPort = 0;
    ASSERT_EQ(openLink(), 0);
    EXPECT_EQ(allocationsOfPolls(), 0);
    EXPECT_EQ(currentValue(1, 0), 2 * 65536.0 + 1);
}

// A node falling silent and answering again is counted and journaled on
// the way, still without touching the heap.
TEST_F(PollingAllocationTest, SerialPollsOfANodeThatFallsSilentAndAnswersAgainAllocateNothing) {
    ASSERT_TRUE(simulator.start({"--link", home.path() + "/.kvt936p/com1", "--nodes", "1,2",
                                 "--fixed", "--silent", "2"}));
    liveConfiguration.commPort = 0;
    liveConfiguration.nodeEnabled[1] = 1;
    liveConfiguration.nodeType[1] = liveConfiguration.nodeType[0];
    liveConfiguration.pen(3, 0).enabled = 1;
    liveConfiguration.pen(3, 0).node = 2;
    ASSERT_EQ(openLink(), 0);
    ASSERT_TRUE(planNodes());
    resetPollingForRun();
    resetNodeHealth();
    discardJournal();
    long before = test::allocationsOnThisThread();
    for (int poll = 0; poll < 4; ++poll) pollNextNode();
    long silentPolls = test::allocationsOnThisThread() - before;
    ASSERT_TRUE(simulator.command("answer 2"));
    before = test::allocationsOnThisThread();
    for (int poll = 0; poll < 2; ++poll) pollNextNode();
    EXPECT_EQ(silentPolls + test::allocationsOnThisThread() - before, 0);
    test::CapturedStderr journal;
    flushJournal();
    EXPECT_EQ(test::linesContaining(journal.text(), "<4>node 2 stopped answering"), 1);
    EXPECT_EQ(test::linesContaining(journal.text(), "<5>node 2 answers again after"), 1);
    EXPECT_GT(nodeCounters(2).timeouts.load(), 2u);
    EXPECT_GT(nodeCounters(1).answers.load(), 0u);
}

TEST_F(PollingAllocationTest, TcpPollsAndTheSocketThreadsAllocateNothing) {
    std::string reason;
    if (!test::enterPrivateNetwork(&reason)) GTEST_SKIP() << reason;
    ASSERT_TRUE(simulator.start({"--tcp", "--port", "502", "--fixed", "--drop-every", "20"}));
    test::useLoopbackGateway();
    publishLiveConfiguration();
    std::atomic<long> socketThreadAllocations{-1};
    std::atomic<long> watchdogAllocations{-1};
    socketThread = std::thread([&] {
        socketThreadMain();
        socketThreadAllocations = test::allocationsOnThisThread();
    });
    watchdogThread = std::thread([&] {
        socketWatchdogThreadMain();
        watchdogAllocations = test::allocationsOnThisThread();
    });
    ASSERT_TRUE(requestGatewayConnection());
    // Reconnects included: the simulator drops the connection every 20 requests.
    EXPECT_EQ(allocationsOfPolls(), 0);
    EXPECT_EQ(currentValue(1, 0), 2 * 65536.0 + 1);
    store(exitRequested, 1);
    wakeEveryWorker();
    socketThread.join();
    watchdogThread.join();
    EXPECT_EQ(socketThreadAllocations.load(), 0);
    EXPECT_EQ(watchdogAllocations.load(), 0);
}

}  // namespace
}  // namespace kvt
