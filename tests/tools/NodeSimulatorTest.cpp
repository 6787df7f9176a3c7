#include <gtest/gtest.h>
#include <signal.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "acquisition/ModbusFrames.h"
#include "acquisition/ModbusLink.h"
#include "acquisition/RequestMailbox.h"
#include "core/ConfigurationRecord.h"
#include "core/DeviceTables.h"
#include "core/RunFlags.h"
#include "platform/TcpClient.h"
#include "support/LinkTestState.h"
#include "support/NodeSimulator.h"
#include "support/PtyPair.h"
#include "support/TempHome.h"

namespace kvt {
namespace {

using Bytes = std::vector<uint8_t>;
using Strings = std::vector<std::string>;
using SteadyClock = std::chrono::steady_clock;
using std::chrono::microseconds;

// Register r (0-based within the answer) of a read answer in RTU form.
int answerRegister(const uint8_t* answer, int r) {
    return (answer[3 + 2 * r] << 8) | answer[4 + 2 * r];
}

// 32-bit reading: low word in register r, high word in r + 1.
int64_t answerLong(const uint8_t* answer, int r, bool isSigned) {
    uint32_t raw = static_cast<uint32_t>(answerRegister(answer, r)) |
                   (static_cast<uint32_t>(answerRegister(answer, r + 1)) << 16);
    return isSigned ? static_cast<int64_t>(static_cast<int32_t>(raw)) : static_cast<int64_t>(raw);
}

// The recorder's serial link on COM1, led by ~/.config/kvt936p/com1 to the
// simulator's pseudo-terminal.
class SimulatorOverRtu : public ::testing::Test, protected test::RunningLinkState {
protected:
    void startWith(Strings arguments) {
        Strings all = {"--link", test::comLinkPath(home.path(), 0)};
        all.insert(all.end(), arguments.begin(), arguments.end());
        ASSERT_TRUE(simulator.start(all)) << simulator.output();
        liveConfiguration.commPort = 0;
        ASSERT_EQ(openLink(), 0);
    }
    int probe(int node) {
        sendBlockRead(node, kProbeBlock, 0);
        usleep(50000);
        return readResponse(node, answer, 37);
    }

    test::TempHome home;
    test::NodeSimulatorProcess simulator;
    uint8_t answer[256] = {};
};

TEST_F(SimulatorOverRtu, TwoNodesShareOneLine) {
    startWith({"--nodes", "1,2", "--fixed"});
    for (int node : {1, 2, 3, 1, 2}) {
        SCOPED_TRACE(node);
        if (node == 3) {
            EXPECT_EQ(probe(node), -1);  // nobody at address 3: silence
            continue;
        }
        ASSERT_EQ(probe(node), 37);
        EXPECT_EQ(answer[0], node);
        EXPECT_EQ(answer[1], 3);
        EXPECT_EQ(answer[2], 32);
        for (int r = 0; r < 16; ++r) EXPECT_EQ(answerRegister(answer, r), r + 1);
    }
}

TEST_F(SimulatorOverRtu, FixedAndSetRegistersDecodeAsPredicted) {
    startWith({"--fixed", "--set", "193=0xFFFF,0xFFFF", "--set", "1:2142=-10"});
    sendBlockRead(1, kAnalogBlock, 3);  // registers 193-256
    usleep(50000);
    ASSERT_EQ(readResponse(1, answer, 133), 133);
    EXPECT_EQ(answerLong(answer, 0, false), 4294967295LL);  // channel 193, unsigned
    EXPECT_EQ(answerLong(answer, 0, true), -1);
    EXPECT_EQ(answerLong(answer, 2, true), 196LL * 65536 + 195);  // channel 195 reads N, N+1
    sendBlockRead(1, kAnalogBlock, 33);
    usleep(50000);
    ASSERT_EQ(readResponse(1, answer, 133), 133);
    EXPECT_EQ(static_cast<int16_t>(answerRegister(answer, 2141 - 2112)), -10);
    EXPECT_EQ(answerRegister(answer, 63), 2176);
}

TEST_F(SimulatorOverRtu, OutputCountAndAlarmOutputsReachTheNode) {
    startWith({"--fixed", "--outputs", "2"});
    sendOutputCountRead(1);
    usleep(50000);
    ASSERT_EQ(readResponse(1, answer, 7), 7);
    EXPECT_EQ(answerRegister(answer, 0), 2);
    outputRegisterCount[0] = 2;
    sendOutputWrite(1, 0b01);
    usleep(30000);
    ASSERT_EQ(readResponse(1, answer, 8), 8);
    EXPECT_EQ(Bytes(answer, answer + 6), (Bytes{0x01, 0x10, 0x0C, 0x20, 0x00, 0x02}));
    EXPECT_TRUE(simulator.waitForOutput("write node=1 address=0x0C20 values=1,0\n"));
}

TEST_F(SimulatorOverRtu, DiscreteInputFollowsCommands) {
    startWith({"--discrete", "on"});
    sendDiscreteRead(1);
    usleep(50000);
    ASSERT_EQ(readResponse(1, answer, 7), 7);
    EXPECT_EQ(answer[4], 1);
    ASSERT_TRUE(simulator.command("discrete off"));
    sendDiscreteRead(1);
    usleep(50000);
    ASSERT_EQ(readResponse(1, answer, 7), 7);
    EXPECT_EQ(answer[4], 0);
}

TEST_F(SimulatorOverRtu, ExceptionSwitchGivesExceptionAnswers) {
    startWith({"--exception", "4"});
    EXPECT_EQ(probe(1), kResponseException);
    sendDiscreteRead(1);
    uint8_t raw[8] = {};
    ASSERT_EQ(linkSerialPort().read(raw, 5), 5);
    EXPECT_EQ(Bytes(raw, raw + 5), test::withCrc({0x01, 0x83, 0x04}));
    ASSERT_TRUE(simulator.command("exception off"));
    EXPECT_EQ(probe(1), 37);
}

TEST_F(SimulatorOverRtu, CorruptedCrcIsRejected) {
    startWith({"--corrupt-crc", "2"});
    EXPECT_EQ(probe(1), 37);
    EXPECT_EQ(probe(1), -2);
    EXPECT_EQ(probe(1), 37);
}

TEST_F(SimulatorOverRtu, SilentNodeComesBackOnCommand) {
    startWith({"--nodes", "1-2", "--silent", "2"});
    EXPECT_EQ(probe(2), -1);
    EXPECT_EQ(probe(1), 37);
    ASSERT_TRUE(simulator.command("answer 2"));
    EXPECT_EQ(probe(2), 37);
}

TEST_F(SimulatorOverRtu, GarbageOnTheLineDoesNotStopTheNextAnswer) {
    startWith({});
    Bytes garbage = {0x01, 0x03, 0x00, 0x07, 0x55, 0xAA, 0x01};
    linkSerialPort().write(garbage.data(), static_cast<int>(garbage.size()));
    usleep(60000);
    EXPECT_EQ(probe(1), 37);
}

TEST_F(SimulatorOverRtu, RealisticValuesLookLikeAPowerMeter) {
    startWith({"--nodes", "3"});
    sendBlockRead(3, kAnalogBlock, 0);
    usleep(50000);
    ASSERT_EQ(readResponse(3, answer, 133), 133);
    int64_t current = answerLong(answer, 0, true);  // channel 1: I1 in mA
    EXPECT_GT(current, 90000);
    EXPECT_LT(current, 150000);
    double frequency = answerLong(answer, 12, true) * 0.01;  // channel 13
    EXPECT_NEAR(frequency, 50.0, 0.2);
    double powerFactor = answerLong(answer, 10, true) * 0.0001;  // channel 11
    EXPECT_GT(powerFactor, 0.8);
    EXPECT_LE(powerFactor, 1.0);
    EXPECT_LE(answerRegister(answer, 14), 1);  // its status register 15
    sendBlockRead(3, kAnalogBlock, 1);  // registers 65-128
    usleep(50000);
    ASSERT_EQ(readResponse(3, answer, 133), 133);
    EXPECT_EQ(answerRegister(answer, 79 - 65), 1);  // status register 79: channel 73 leads
    EXPECT_EQ(answerRegister(answer, 77 - 65), 0);  // status register 77: channel 71 lags
    sendBlockRead(3, kAnalogBlock, 3);
    usleep(50000);
    ASSERT_EQ(readResponse(3, answer, 133), 133);
    EXPECT_GT(answerLong(answer, 0, false), 1000000);  // energy counter, 0.1 kWh
}

// A block read is 8 + 133 characters of 11 bits: 40.4 ms at 38,400 baud,
// the default on RTU, and 161.6 ms at 9,600. Only the lower bound is the
// simulator's to keep.
TEST_F(SimulatorOverRtu, AnswersTakeTheirTimeOnTheLine) {
    startWith({"--turnaround", "5"});
    for (auto [baud, least] : {std::pair{"", 45400}, std::pair{"baud 9600", 166600}}) {
        SCOPED_TRACE(baud);
        if (*baud != '\0') {
            ASSERT_TRUE(simulator.command(baud));
        }
        auto start = SteadyClock::now();
        sendBlockRead(1, kAnalogBlock, 0);
        ASSERT_EQ(readResponse(1, answer, 133), 133);
        EXPECT_GE(SteadyClock::now() - start, microseconds(least));
    }
}

// Modbus/TCP on port 502 in a private network namespace; the requests come
// from the recorder's mailbox form and travel through its TCP client.
class SimulatorOverTcp : public ::testing::Test, protected test::RunningLinkState {
protected:
    void SetUp() override {
        std::string reason;
        if (!test::enterPrivateNetwork(&reason)) GTEST_SKIP() << reason;
        liveConfiguration.commPort = kCommPortTcp;
    }
    void startWith(Strings arguments) {
        Strings all = {"--tcp", "--port", "502"};
        all.insert(all.end(), arguments.begin(), arguments.end());
        ASSERT_TRUE(simulator.start(all)) << simulator.output();
        ASSERT_EQ(client.connectTo("127.0.0.1", 502, 2000), 0);
    }
    // Sends the mailbox request; receives `expected` bytes.
    int exchange(int expected) {
        int length = requestMailbox.sendLength.load();
        if (client.sendAll(requestMailbox.sendBuffer, length, 2000) != length) return -1;
        return client.receiveExactly(answer, expected, 2000);
    }

    test::NodeSimulatorProcess simulator;
    TcpClient client;
    uint8_t answer[256] = {};
};

TEST_F(SimulatorOverTcp, AnswersEveryRequestOfTheRecorder) {
    startWith({"--nodes", "1,2", "--fixed", "--outputs", "1:3"});
    sendBlockRead(2, kProbeBlock, 0);
    ASSERT_EQ(exchange(41), 41);
    EXPECT_EQ(Bytes(answer, answer + 9), (Bytes{0, 0, 0, 0, 0, 35, 2, 3, 32}));
    EXPECT_EQ(answer[9], 0);
    EXPECT_EQ(answer[10], 1);  // register 1 holds 1

    sendOutputCountRead(1);
    ASSERT_EQ(exchange(11), 11);
    EXPECT_EQ(answer[10], 3);

    outputRegisterCount[0] = 3;
    sendOutputWrite(1, 0b110);
    ASSERT_EQ(exchange(12), 12);
    EXPECT_EQ(Bytes(answer, answer + 12), (Bytes{0, 0, 0, 0, 0, 6, 1, 0x10, 0x0C, 0x20, 0, 3}));
    EXPECT_TRUE(simulator.waitForOutput("write node=1 address=0x0C20 values=0,1,1\n"));

    sendDiscreteRead(2);
    EXPECT_EQ(exchange(11), 11);
}

TEST_F(SimulatorOverTcp, ExceptionsForUnknownUnitsAndOnRequest) {
    startWith({"--nodes", "1"});
    sendBlockRead(5, kProbeBlock, 0);
    ASSERT_EQ(exchange(9), 9);
    EXPECT_EQ(Bytes(answer, answer + 9), (Bytes{0, 0, 0, 0, 0, 3, 5, 0x83, 0x0B}));
    ASSERT_TRUE(simulator.command("exception 1:2"));
    sendBlockRead(1, kProbeBlock, 0);
    ASSERT_EQ(exchange(9), 9);
    EXPECT_EQ(Bytes(answer + 6, answer + 9), (Bytes{1, 0x83, 0x02}));
}

// A gateway's late 0x0B for a missing node, and a node that refuses writes
// but answers reads; neither concerns the other node.
TEST_F(SimulatorOverTcp, LateExceptionAndWriteExceptionHitOnlyTheirNode) {
    startWith({"--nodes", "1,2", "--delay", "3:400", "--write-exception", "1:1"});
    using Clock = std::chrono::steady_clock;
    auto start = Clock::now();
    sendDiscreteRead(3);
    ASSERT_EQ(exchange(9), 9);
    EXPECT_EQ(Bytes(answer + 6, answer + 9), (Bytes{3, 0x83, 0x0B}));
    EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(350));
    start = Clock::now();
    sendDiscreteRead(1);
    EXPECT_EQ(exchange(11), 11);
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(300));

    outputRegisterCount[0] = 4;
    outputRegisterCount[1] = 4;
    sendOutputWrite(1, 0b1);
    ASSERT_EQ(exchange(9), 9);
    EXPECT_EQ(Bytes(answer + 6, answer + 9), (Bytes{1, 0x90, 0x01}));
    sendOutputWrite(2, 0b1);
    EXPECT_EQ(exchange(12), 12);
    EXPECT_TRUE(simulator.waitForOutput("write node=2 address=0x0C20 values=1,0,0,0\n"));
    EXPECT_EQ(simulator.output().find("write node=1"), std::string::npos);

    ASSERT_TRUE(simulator.command("write-exception off"));
    ASSERT_TRUE(simulator.command("delay off"));
    sendOutputWrite(1, 0b1);
    EXPECT_EQ(exchange(12), 12);
}

// Behind the gateway the RTU form counts, as with a node on its line.
TEST_F(SimulatorOverTcp, LineTimeWhenAsked) {
    startWith({"--baud", "38400"});
    auto start = SteadyClock::now();
    sendBlockRead(1, kAnalogBlock, 0);
    ASSERT_EQ(exchange(137), 137);
    EXPECT_GE(SteadyClock::now() - start, microseconds(40400));
}

TEST_F(SimulatorOverTcp, SplitSwitchSendsTwoSegments) {
    startWith({"--split", "150"});
    sendBlockRead(1, kProbeBlock, 0);
    int length = requestMailbox.sendLength.load();
    ASSERT_EQ(client.sendAll(requestMailbox.sendBuffer, length, 2000), length);
    int first = client.receiveSome(answer, 41, 2000);
    EXPECT_GT(first, 0);
    EXPECT_LT(first, 41);
    EXPECT_EQ(client.receiveExactly(answer + first, 41 - first, 2000), 41 - first);
    EXPECT_EQ(answer[6], 1);
}

TEST_F(SimulatorOverTcp, DropSwitchClosesTheConnection) {
    startWith({"--drop-every", "2", "--verbose"});
    sendDiscreteRead(1);
    EXPECT_EQ(exchange(11), 11);
    EXPECT_EQ(exchange(11), 0);  // closed instead of answered
    EXPECT_TRUE(simulator.waitForOutput("disconnect tcp\n"));
    ASSERT_EQ(client.connectTo("127.0.0.1", 502, 2000), 0);
    EXPECT_EQ(exchange(11), 11);
    // Comings and goings are logged, for counting reconnects; the second
    // connect may reach the log after its answer reached us.
    EXPECT_TRUE(simulator.waitForOutput("disconnect tcp\nconnect tcp\n"));
    std::istringstream log(simulator.output());
    Strings events;
    for (std::string line; std::getline(log, line);) {
        if (line.find("connect tcp") != std::string::npos) events.push_back(line);
    }
    EXPECT_EQ(events, (Strings{"connect tcp", "disconnect tcp", "connect tcp"}));
}

TEST(NodeSimulatorProcess, FailedStartLeavesNoProcessBehind) {
    test::NodeSimulatorProcess simulator;
    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(simulator.start({"--no-such-option"}));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(4));
    EXPECT_FALSE(simulator.running());
}

TEST(NodeSimulatorProcess, StopEndsTheChildAndRemovesItsLink) {
    test::TempHome home;
    std::string link = home.path() + "/.kvt936p/com3";
    test::NodeSimulatorProcess simulator;
    ASSERT_TRUE(simulator.start({"--link", link}));
    pid_t pid = simulator.pid();
    EXPECT_TRUE(test::fileExists(link));
    EXPECT_FALSE(simulator.ptyPath().empty());
    simulator.stop();
    EXPECT_EQ(kill(pid, 0), -1);
    EXPECT_EQ(errno, ESRCH);
    EXPECT_FALSE(test::fileExists(link));
}

}  // namespace
}  // namespace kvt
