#include <algorithm>
#include <string>
#include <vector>

#include "AcquisitionFixture.h"
#include "acquisition/AlarmOutputs.h"
#include "acquisition/ModbusFrames.h"
#include "acquisition/ModbusLink.h"
#include "acquisition/NodeExchange.h"
#include "acquisition/NodePolling.h"
#include "core/DeviceTables.h"

namespace kvt {
namespace {

using Strings = std::vector<std::string>;

// Nodes the tests script: registers by wire address, answers built the
// way a node builds them, every request logged.
struct FakeNode {
    uint16_t registers[0x2600] = {};
    bool silent = false;
    enum class Fault { None, WrongUnit, WrongFunction, Exception } fault = Fault::None;
};

struct FakeBus {
    FakeNode nodes[kNodeCount + 1];
    Strings requests;
    int reopens = 0;
};

FakeBus* bus = nullptr;

std::string describe(const NodeRequest& request) {
    std::string node = std::to_string(request.node);
    switch (request.kind) {
    case RequestKind::BlockRead:
        return "block " + node + ":" + std::to_string(request.block);
    case RequestKind::DiscreteRead:
        return std::string(request.receiveBuffer == kBufferB ? "trigger " : "discrete ") + node;
    case RequestKind::OutputCountRead:
        return "count " + node;
    case RequestKind::OutputWrite:
        return "write " + node + " bits=" + std::to_string(request.outputBits) +
               " registers=" + std::to_string(outputRegisterCount[request.node - 1]);
    }
    return "?";
}

int readAnswer(const FakeNode& node, int unit, int start, int count, uint8_t* answer) {
    answer[0] = static_cast<uint8_t>(unit);
    answer[1] = kReadHoldingRegisters;
    answer[2] = static_cast<uint8_t>(2 * count);
    for (int r = 0; r < count; ++r) {
        answer[3 + 2 * r] = static_cast<uint8_t>(node.registers[start + r] >> 8);
        answer[4 + 2 * r] = static_cast<uint8_t>(node.registers[start + r] & 0xFF);
    }
    return 5 + 2 * count;
}

int fakeExchange(const NodeRequest& request, uint8_t* answer) {
    bus->requests.push_back(describe(request));
    const FakeNode& node = bus->nodes[request.node];
    if (node.silent) return -1;
    if (node.fault == FakeNode::Fault::Exception) {
        answer[0] = static_cast<uint8_t>(request.node);
        answer[1] = 0x83;
        answer[2] = 2;
        return 5;
    }
    int length = 0;
    switch (request.kind) {
    case RequestKind::BlockRead:
        length = readAnswer(node, request.node, 64 * request.block, 64, answer);
        break;
    case RequestKind::DiscreteRead:
        length = readAnswer(node, request.node, kDiscreteInputRegister, 1, answer);
        break;
    case RequestKind::OutputCountRead:
        length = readAnswer(node, request.node, kOutputCountRegister, 1, answer);
        break;
    case RequestKind::OutputWrite:
        answer[0] = static_cast<uint8_t>(request.node);
        answer[1] = kWriteMultipleRegisters;
        length = 8;
        break;
    }
    if (node.fault == FakeNode::Fault::WrongUnit) {
        answer[0] = static_cast<uint8_t>(request.node + 1);
    }
    if (node.fault == FakeNode::Fault::WrongFunction) answer[1] = 4;
    return length;
}

void fakeReopen() { ++bus->reopens; }

class NodePollingTest : public test::AcquisitionFixture {
protected:
    void SetUp() override {
        AcquisitionFixture::SetUp();
        bus = &fakeBus;
        nodeTransport = {fakeExchange, fakeReopen};
        liveConfiguration.operatingMode = kNormalMode;
        for (auto& group : liveConfiguration.pens) {
            for (PenSettings& pen : group) pen.enabled = 0;
        }
        store(acquisitionRequested, 1);
        store(acquisitionActive, 1);
        resetPollingForRun();
        for (FakeNode& node : fakeBus.nodes) node.registers[kOutputCountRegister] = 4;
    }
    void TearDown() override {
        nodeTransport = kRealNodeTransport;
        bus = nullptr;
        resetNodePolling();
        AcquisitionFixture::TearDown();
    }

    PenSettings& analogPen(int group, int pen, int node, int channel, int analogType = 0) {
        PenSettings& settings = liveConfiguration.pen(group, pen);
        settings.enabled = 1;
        settings.isDiscrete = 0;
        settings.node = node;
        settings.channel = channel;
        settings.analogType = analogType;
        return settings;
    }
    PenSettings& discretePen(int group, int pen, int node, int channel) {
        PenSettings& settings = analogPen(group, pen, node, channel);
        settings.isDiscrete = 1;
        return settings;
    }
    void enableNodes(std::initializer_list<int> nodes) {
        for (int node : nodes) liveConfiguration.nodeEnabled[node - 1] = 1;
    }
    // Register number (1-based channel) of a node.
    void setRegister(int node, int channel, uint16_t value) {
        fakeBus.nodes[node].registers[channel - 1] = value;
    }
    void setLong(int node, int channel, uint32_t value) {
        setRegister(node, channel, static_cast<uint16_t>(value & 0xFFFF));
        setRegister(node, channel + 1, static_cast<uint16_t>(value >> 16));
    }
    void poll() {
        fakeBus.requests.clear();
        pollNextNode();
    }
    Strings requestsLike(const std::string& prefix) const {
        Strings matching;
        for (const std::string& request : fakeBus.requests) {
            if (request.rfind(prefix, 0) == 0) matching.push_back(request);
        }
        return matching;
    }
    void allGroupsStored() {
        for (int group = 1; group <= kTrendGroupCount; ++group) groupStoredFlag[group] = 1;
    }

    FakeBus fakeBus;
};

TEST_F(NodePollingTest, VisitsPlannedNodesInTurnAndValidatesAfterTheFirstRound) {
    enableNodes({3, 30});
    analogPen(1, 0, 3, 1);
    discretePen(1, 1, 30, 1);
    ASSERT_TRUE(planNodes());
    poll();
    EXPECT_EQ(currentPolledNode(), 3);
    EXPECT_EQ(load(valuesValid), 0);
    poll();
    EXPECT_EQ(currentPolledNode(), 30);
    EXPECT_EQ(requestsLike("discrete"), (Strings{"discrete 30"}));
    EXPECT_TRUE(requestsLike("block").empty());
    EXPECT_EQ(load(valuesValid), 0);
    poll();
    EXPECT_EQ(currentPolledNode(), 3);
    EXPECT_EQ(load(valuesValid), 1);
    EXPECT_EQ(requestsLike("block"), (Strings{"block 3:0"}));
    resetPollingForRun();
    poll();
    EXPECT_EQ(currentPolledNode(), 3);
}

TEST_F(NodePollingTest, EmptyPlanPollsNothing) {
    EXPECT_FALSE(planNodes());
    liveConfiguration.nodeEnabled[0] = 0;  // no MOD-15 output writes either
    poll();
    EXPECT_TRUE(fakeBus.requests.empty());
    EXPECT_EQ(currentPolledNode(), 0);
}

TEST_F(NodePollingTest, ReadsOnlyBlocksWithPensAndDecodesEveryKind) {
    analogPen(1, 0, 1, 1);                            // I, kind 21
    analogPen(1, 1, 1, 9, 1);                         // U, kind 23
    analogPen(1, 2, 1, 193, 8);                       // EP, kind 22, unsigned
    analogPen(1, 3, 1, 11, kAnalogTypePowerFactor);   // kind 24, status in 15
    analogPen(1, 4, 1, 2142, 13);                     // HD, kind 25, block 33
    analogPen(1, 5, 1, 2143);                         // never read
    analogPen(1, 6, 1, 192);                          // signed, last register of block 2
    setLong(1, 1, 123456);
    setLong(1, 9, 23012);
    setLong(1, 193, 0xFFFFFFFF);
    setLong(1, 11, 0xFFFFD8F0);  // -10000
    setRegister(1, 15, 0x0301);
    setRegister(1, 2142, 0xFFF6);
    ASSERT_TRUE(planNodes());
    poll();
    EXPECT_EQ(requestsLike("block"),
              (Strings{"block 1:0", "block 1:2", "block 1:3", "block 1:33"}));
    EXPECT_EQ(currentValue(1, 0), 123456.0);
    EXPECT_DOUBLE_EQ(currentValue(1, 1), 230.12);
    EXPECT_DOUBLE_EQ(currentValue(1, 2), 429496729.5);
    EXPECT_DOUBLE_EQ(currentValue(1, 3), -1.0);
    EXPECT_EQ(penStatus[penIndex(1, 3)].load(), 1);
    EXPECT_EQ(currentValue(1, 4), -1.0);
    EXPECT_EQ(currentValue(1, 5), kNoData);
    // Its high word lies beyond the block: no value rather than a guess.
    EXPECT_EQ(currentValue(1, 6), kNoData);
}

TEST_F(NodePollingTest, StatusBytesOfThePhasePowerFactors) {
    analogPen(2, 0, 1, 71, kAnalogTypePowerFactor);
    analogPen(2, 1, 1, 73, kAnalogTypePowerFactor);
    analogPen(2, 2, 1, 75, kAnalogTypePowerFactor);
    analogPen(2, 3, 1, 77);  // a plain pen on a status register has no status
    setRegister(1, 77, 0x0001);
    setRegister(1, 79, 0x0000);
    setRegister(1, 81, 0x00FF);
    ASSERT_TRUE(planNodes());
    poll();
    EXPECT_EQ(penStatus[penIndex(2, 0)].load(), 1);
    EXPECT_EQ(penStatus[penIndex(2, 1)].load(), 0);
    EXPECT_EQ(penStatus[penIndex(2, 2)].load(), 0xFF);
    EXPECT_EQ(penStatus[penIndex(2, 3)].load(), 0);
}

TEST_F(NodePollingTest, FailedReadsKeepValuesAndReopenTheLink) {
    enableNodes({2});
    analogPen(1, 0, 1, 1);
    analogPen(1, 1, 1, 65);
    analogPen(1, 2, 2, 1);
    setLong(1, 1, 10);
    setLong(1, 65, 20);
    setLong(2, 1, 30);
    ASSERT_TRUE(planNodes());
    poll();
    poll();
    EXPECT_EQ(currentValue(1, 0), 10.0);
    EXPECT_EQ(currentValue(1, 1), 20.0);
    EXPECT_EQ(currentValue(1, 2), 30.0);
    fakeBus.nodes[1].silent = true;
    setLong(2, 1, 31);
    int reopens = fakeBus.reopens;
    poll();
    // Both blocks are still asked for; each failure reopens the link. The
    // silent node's output write fails too, but its result is not checked.
    EXPECT_EQ(requestsLike("block"), (Strings{"block 1:0", "block 1:1"}));
    EXPECT_EQ(fakeBus.reopens - reopens, 2);
    poll();
    EXPECT_EQ(currentValue(1, 0), 10.0);
    EXPECT_EQ(currentValue(1, 1), 20.0);
    EXPECT_EQ(currentValue(1, 2), 31.0);
}

TEST_F(NodePollingTest, AnswersThatDoNotBelongToTheRequestAreNotData) {
    analogPen(1, 0, 1, 1);
    discretePen(1, 1, 1, 1);
    setLong(1, 1, 5);
    fakeBus.nodes[1].registers[kDiscreteInputRegister] = 1;
    ASSERT_TRUE(planNodes());
    for (FakeNode::Fault fault : {FakeNode::Fault::WrongUnit, FakeNode::Fault::WrongFunction,
                                  FakeNode::Fault::Exception}) {
        fakeBus.nodes[1].fault = fault;
        int reopens = fakeBus.reopens;
        poll();
        EXPECT_EQ(currentValue(1, 0), kNoData);
        EXPECT_EQ(currentValue(1, 1), kNoData);
        EXPECT_EQ(fakeBus.reopens - reopens, 3);  // output count, block, discrete input
    }
    fakeBus.nodes[1].fault = FakeNode::Fault::None;
    poll();
    EXPECT_EQ(currentValue(1, 0), 5.0);
    EXPECT_EQ(currentValue(1, 1), 1.0);
}

TEST_F(NodePollingTest, DiscretePensFollowTheInputWord) {
    discretePen(1, 0, 1, 1);
    discretePen(1, 1, 1, 2);  // beyond MOD-15's one discrete channel
    ASSERT_TRUE(planNodes());
    fakeBus.nodes[1].registers[kDiscreteInputRegister] = 0x0100;  // low byte 0
    poll();
    EXPECT_EQ(currentValue(1, 0), 0.0);
    fakeBus.nodes[1].registers[kDiscreteInputRegister] = 0x0004;
    poll();
    EXPECT_EQ(currentValue(1, 0), 1.0);
    EXPECT_EQ(currentValue(1, 1), kNoData);
}

// Outputs go out once every group driving them has stored a sample; then
// a change goes out on the call that sees it, and unchanged outputs once
// a second.
TEST_F(NodePollingTest, OutputsWaitForEveryDrivingGroupThenFollowTheAlarms) {
    enableNodes({2});
    PenSettings& high = analogPen(1, 0, 1, 1);
    high.alarmOutput[1] = 1;
    high.alarmLimitHigh = 50.0;
    high.alarmOutputNode[1] = 2;
    high.alarmOutputChannel[1] = 3;
    PenSettings& off = discretePen(2, 0, 1, 1);
    off.discreteAlarm[0] = 1;
    off.discreteOutputNode[0] = 2;
    off.discreteOutputChannel[0] = 1;
    ASSERT_TRUE(planNodes());
    alarmStates[1].upper[0] = 1;
    alarmStates[2].lower[0] = 1;

    poll();  // nobody stored yet: node 2 is held back, node 1 drives nothing
    EXPECT_EQ(requestsLike("count"), (Strings{"count 1"}));
    EXPECT_EQ(requestsLike("write"), (Strings{"write 1 bits=0 registers=4"}));
    groupStoredFlag[1] = 1;
    poll();  // group 2 still drives node 2; node 1 has its outputs
    EXPECT_TRUE(requestsLike("write").empty());
    groupStoredFlag[2] = 1;
    poll();
    EXPECT_EQ(requestsLike("count"), (Strings{"count 2"}));
    EXPECT_EQ(requestsLike("write"), (Strings{"write 2 bits=5 registers=4"}));
    alarmStates[1].upper[0] = 0;
    poll();
    EXPECT_TRUE(requestsLike("count").empty());  // learned once per run
    EXPECT_EQ(requestsLike("write"), (Strings{"write 2 bits=1 registers=4"}));
    fake.clock.advanceMs(kOutputRefreshMs - 1);
    poll();
    EXPECT_TRUE(requestsLike("write").empty());
    fake.clock.advanceMs(1);
    poll();
    EXPECT_EQ(requestsLike("write"),
              (Strings{"write 1 bits=0 registers=4", "write 2 bits=1 registers=4"}));
}

TEST_F(NodePollingTest, SlotsWithoutSetpointOrValidTargetDriveNothing) {
    enableNodes({2});
    allGroupsStored();
    PenSettings& pen = analogPen(1, 0, 1, 1);
    pen.alarmOutput[0] = 1;
    pen.alarmLimitLow = kNoData;  // no setpoint
    pen.alarmOutputNode[0] = 2;
    pen.alarmOutputChannel[0] = 1;
    pen.alarmOutput[1] = 1;
    pen.alarmLimitHigh = 1.0;
    pen.alarmOutputNode[1] = 2;
    pen.alarmOutputChannel[1] = 5;  // no such output
    PenSettings& disabled = analogPen(1, 1, 1, 2);
    disabled.alarmOutput[1] = 1;
    disabled.alarmLimitHigh = 1.0;
    disabled.alarmOutputNode[1] = 2;
    disabled.alarmOutputChannel[1] = 2;
    disabled.enabled = 0;
    alarmStates[1].lower[0] = 1;
    alarmStates[1].upper[0] = 1;
    alarmStates[1].upper[1] = 1;
    ASSERT_TRUE(planNodes());
    poll();
    EXPECT_EQ(requestsLike("write"),
              (Strings{"write 1 bits=0 registers=4", "write 2 bits=0 registers=4"}));
}

TEST_F(NodePollingTest, OnlyEnabledPowerMetersGetOutputWrites) {
    enableNodes({2, 3});
    liveConfiguration.nodeType[2] = 12;  // node 3 is a MOD-13
    analogPen(1, 0, 1, 1);
    ASSERT_TRUE(planNodes());
    poll();
    EXPECT_EQ(requestsLike("count"), (Strings{"count 1", "count 2"}));
    EXPECT_EQ(requestsLike("write").size(), 2u);
}

TEST_F(NodePollingTest, OutputCountIsLearnedAsASignedByteOfAtLeastOne) {
    analogPen(1, 0, 1, 1);
    ASSERT_TRUE(planNodes());
    struct Case {
        uint16_t word;
        int count;
    };
    for (Case c : {Case{0x0000, 1}, Case{0x0001, 1}, Case{0x0102, 2}, Case{0x0007, 7},
                   Case{0x00FF, 1}, Case{0x0080, 1}}) {
        SCOPED_TRACE(c.word);
        resetPollingForRun();
        fakeBus.nodes[1].registers[kOutputCountRegister] = c.word;
        poll();
        EXPECT_EQ(outputRegisterCount[0], c.count);
        EXPECT_EQ(requestsLike("write"),
                  (Strings{"write 1 bits=0 registers=" + std::to_string(c.count)}));
    }
}

TEST_F(NodePollingTest, FailedCountReadWritesNothingAndTriesAgainNextCall) {
    analogPen(1, 0, 1, 1);
    ASSERT_TRUE(planNodes());
    fakeBus.nodes[1].silent = true;
    long sleeps = fake.clock.sleepCalls.load();
    poll();
    EXPECT_GE(fake.clock.sleepCalls.load() - sleeps, 1);  // the pause after the count read
    EXPECT_EQ(outputRegisterCount[0], -1);
    EXPECT_TRUE(requestsLike("write").empty());
    fakeBus.nodes[1].silent = false;
    poll();
    EXPECT_EQ(requestsLike("count"), (Strings{"count 1"}));
    EXPECT_EQ(outputRegisterCount[0], 4);
    EXPECT_EQ(requestsLike("write").size(), 1u);
}

TEST_F(NodePollingTest, TriggerNodeIsReadOncePerCallForAllItsGroups) {
    enableNodes({2});
    analogPen(1, 0, 1, 1);
    liveConfiguration.group(3).storingMode = kRemoteTrigger;
    liveConfiguration.group(3).triggerNode = 2;
    liveConfiguration.group(5).storingMode = kEventRecording;
    liveConfiguration.group(5).triggerNode = 2;
    liveConfiguration.group(6).storingMode = kNormal;
    liveConfiguration.group(6).triggerNode = 2;
    groupTriggerState[6] = 1;
    ASSERT_TRUE(planNodes());
    fakeBus.nodes[2].registers[kDiscreteInputRegister] = 1;
    poll();
    EXPECT_EQ(requestsLike("trigger"), (Strings{"trigger 2"}));
    EXPECT_EQ(groupTriggerState[3].load(), 1);
    EXPECT_EQ(groupTriggerByte[3].load(), 1);
    EXPECT_EQ(groupTriggerState[5].load(), 1);
    EXPECT_EQ(groupTriggerState[6].load(), 0);
    fakeBus.nodes[2].registers[kDiscreteInputRegister] = 0;
    poll();
    EXPECT_EQ(requestsLike("trigger"), (Strings{"trigger 2"}));
    EXPECT_EQ(groupTriggerState[3].load(), 0);
    EXPECT_EQ(groupTriggerByte[5].load(), 0);
}

TEST_F(NodePollingTest, FailedTriggerReadKeepsTheStatesAndIsNotRepeatedInTheCall) {
    enableNodes({2});
    analogPen(1, 0, 1, 1);
    for (int group : {2, 4}) {
        liveConfiguration.group(group).storingMode = kRemoteTrigger;
        liveConfiguration.group(group).triggerNode = 2;
    }
    ASSERT_TRUE(planNodes());
    fakeBus.nodes[2].registers[kDiscreteInputRegister] = 1;
    poll();
    ASSERT_EQ(groupTriggerState[2].load(), 1);
    fakeBus.nodes[2].silent = true;
    int reopens = fakeBus.reopens;
    poll();
    EXPECT_EQ(requestsLike("trigger"), (Strings{"trigger 2"}));
    EXPECT_EQ(fakeBus.reopens - reopens, 1);
    EXPECT_EQ(groupTriggerState[2].load(), 1);
    EXPECT_EQ(groupTriggerState[4].load(), 1);
}

TEST_F(NodePollingTest, PolledTriggerPenSavesTheReadOnceValuesAreValid) {
    analogPen(1, 0, 1, 1);
    discretePen(2, 5, 1, 1);
    liveConfiguration.group(3).storingMode = kRemoteTrigger;
    liveConfiguration.group(3).triggerNode = 1;
    ASSERT_TRUE(planNodes());
    fakeBus.nodes[1].registers[kDiscreteInputRegister] = 1;
    poll();  // values not valid yet: the node is asked directly
    EXPECT_EQ(requestsLike("trigger"), (Strings{"trigger 1"}));
    EXPECT_EQ(groupTriggerState[3].load(), 1);
    poll();
    ASSERT_EQ(load(valuesValid), 1);
    EXPECT_TRUE(requestsLike("trigger").empty());
    EXPECT_EQ(groupTriggerState[3].load(), 1);
    fakeBus.nodes[1].registers[kDiscreteInputRegister] = 0;
    poll();
    EXPECT_EQ(currentValue(2, 5), 0.0);
    EXPECT_EQ(groupTriggerState[3].load(), 0);
}

TEST_F(NodePollingTest, TriggerNodeOutsideTheRangeIsNeverAsked) {
    analogPen(1, 0, 1, 1);
    liveConfiguration.group(1).storingMode = kRemoteTrigger;
    liveConfiguration.group(1).triggerNode = 0;
    groupTriggerState[1] = 1;
    ASSERT_TRUE(planNodes());
    int reopens = fakeBus.reopens;
    poll();
    EXPECT_TRUE(requestsLike("trigger").empty());
    EXPECT_EQ(fakeBus.reopens, reopens);
    EXPECT_EQ(groupTriggerState[1].load(), 1);
}

TEST_F(NodePollingTest, StopRequestEndsTheCallBeforeTheReads) {
    analogPen(1, 0, 1, 1);
    analogPen(1, 1, 1, 100);
    ASSERT_TRUE(planNodes());
    store(acquisitionRequested, 0);
    poll();
    EXPECT_TRUE(requestsLike("block").empty());
}

}  // namespace
}  // namespace kvt
