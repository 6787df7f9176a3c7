// Fuzz target: Modbus answers, RTU on a serial line and Modbus/TCP through
// the socket thread's mailbox, for every request the recorder sends: the
// probe, analog block reads, discrete input reads, output count reads and
// alarm output writes. The recorder's own polling code runs; a stand-in
// node answers every request it puts on the line (or in the mailbox) with
// an answer the input shapes: right or wrong address, function, byte count
// and CRC, exact, one byte short or long, an exception frame, cut off or
// silent, and register data of any value. It checks:
// - every request on the wire is well formed (CRC, lengths, registers) and
//   is the request the operation must send;
// - an answer is taken exactly when it is whole and belongs to the request;
// - the values of an accepted block read land in exactly the pens whose
//   registers it holds, decoded by data kind, and no other pen changes;
// - a refused answer changes nothing and reopens the link;
// - a learned output register count, however large, gives a write that
//   fits its frame and declares the count;
// - trigger inputs are read once per node and set exactly their groups.

#include <algorithm>
#include <cstring>
#include <vector>

#include "acquisition/AlarmOutputs.h"
#include "acquisition/CurrentValues.h"
#include "acquisition/GroupTriggers.h"
#include "acquisition/ModbusFrames.h"
#include "acquisition/ModbusLink.h"
#include "acquisition/NodeExchange.h"
#include "acquisition/NodeReadings.h"
#include "acquisition/PollingPlan.h"
#include "acquisition/RegisterDecoding.h"
#include "acquisition/RequestMailbox.h"
#include "acquisition/TcpLink.h"
#include "core/ConfigurationRecord.h"
#include "core/Defaults.h"
#include "core/DeviceTables.h"
#include "core/RunFlags.h"
#include "support/FuzzInput.h"
#include "support/ModbusStandIn.h"

namespace kvt {
namespace {

using test::Served;
using test::WireRequest;
using Bytes = std::vector<uint8_t>;

test::ModbusStandIn* node = nullptr;

// ------------------------------------------------------------ expectations

ConfigurationRecord& config = liveConfiguration;

bool highSpeed() { return config.operatingMode == kHighSpeedMode; }

int blockDeviceType(int nodeNumber) {
    if (highSpeed()) return config.highSpeedNode.type;
    return nodeNumber >= 1 && nodeNumber <= kNodeCount ? config.nodeType[nodeNumber - 1] : -1;
}

// The read a block request must put on the wire, or false for none.
bool expectedBlockRead(int nodeNumber, int kind, int block, WireRequest& request) {
    int type = blockDeviceType(nodeNumber);
    if (nodeNumber < 1 || nodeNumber > kNodeCount || type < 0 || type >= kDeviceTypeCount) {
        return false;
    }
    request = {nodeNumber, kReadHoldingRegisters, deviceTypes[type].startRegister, 16};
    if (kind == kAnalogBlock) {
        request.count = deviceTypes[type].registerCount;
        if (type == kMod15Type && !highSpeed()) {
            if (block < 0 || block >= kMod15BlockCount) return false;
            request.start = 64 * block;
        }
    }
    return request.count >= 1;
}

WireRequest singleRegisterRead(int nodeNumber, int start) {
    return {nodeNumber, kReadHoldingRegisters, start, 1};
}

// The alarm output write of a node whose output register count is
// `learned`: at most the registers a write frame holds, outputs 1-4 set.
WireRequest outputWrite(int nodeNumber, int learned, int outputBits) {
    int registers = std::min(learned, kMaxOutputWriteRegisters);
    return {nodeNumber, kWriteMultipleRegisters, kAlarmOutputRegister, registers,
            outputBits & ((1 << std::min(registers, kAlarmOutputsPerNode)) - 1)};
}

bool expectedRequest(const NodeRequest& request, WireRequest& wire) {
    bool validNode = request.node >= 1 && request.node <= kNodeCount;
    switch (request.kind) {
    case RequestKind::BlockRead:
        return expectedBlockRead(request.node, request.blockKind, request.block, wire);
    case RequestKind::DiscreteRead:
        wire = singleRegisterRead(request.node, kDiscreteInputRegister);
        return validNode;
    case RequestKind::OutputCountRead:
        wire = singleRegisterRead(request.node, kOutputCountRegister);
        return validNode;
    case RequestKind::OutputWrite: {
        if (!validNode || outputRegisterCount[request.node - 1] < 1) return false;
        wire = outputWrite(request.node, outputRegisterCount[request.node - 1], request.outputBits);
        return true;
    }
    }
    return false;
}

void printRequests(const char* title, const std::vector<WireRequest>& requests) {
    std::fprintf(stderr, "%s:", title);
    for (const WireRequest& request : requests) {
        std::fprintf(stderr, " [node %d function %d start %d count %d bits %d]", request.node,
                     request.function, request.start, request.count, request.outputBits);
    }
    std::fprintf(stderr, "\n");
}

void checkServedExactly(const std::vector<WireRequest>& expected) {
    std::vector<WireRequest> served;
    for (const Served& entry : node->served()) served.push_back(entry.request);
    if (!(served == expected)) {
        printRequests("requests expected", expected);
        printRequests("requests served", served);
    }
    FUZZ_CHECK(!node->malformedRequest());
    FUZZ_CHECK(served == expected);
}

// ------------------------------------------------------------- operations

int nodeFrom(test::FuzzInput& input) { return input.intInRange(0, kNodeCount + 1); }

void setNodeType(int nodeNumber, int type) {
    if (nodeNumber >= 1 && nodeNumber <= kNodeCount) config.nodeType[nodeNumber - 1] = type;
}

// One request of any kind through exchangeWithNode (or, for a probe over
// TCP, the run start's probe): taken exactly when the node's answer must be.
void exchangeOnce(test::FuzzInput& input) {
    NodeRequest request;
    request.kind = static_cast<RequestKind>(input.intInRange(0, 3));
    request.node = nodeFrom(input);
    request.blockKind = input.flag() ? kProbeBlock : kAnalogBlock;
    request.block = input.intInRange(-1, kMod15BlockCount);
    request.outputBits = input.intInRange(0, 15);
    request.receiveBuffer = input.flag() ? kBufferB : kBufferA;
    setNodeType(request.node, input.intInRange(-1, kDeviceTypeCount));
    if (request.node >= 1 && request.node <= kNodeCount) {
        outputRegisterCount[request.node - 1] = input.intInRange(-2, 130);
    }
    bool probe = request.kind == RequestKind::BlockRead && request.blockKind == kProbeBlock;
    bool runStartProbe = probe && node->overTcp() && input.flag();
    uint8_t answer[kAnswerBufferBytes];
    bool taken = runStartProbe ? probeNodeOverTcp(request.node) : exchangeWithNode(request, answer);
    WireRequest wire;
    std::vector<WireRequest> expected;
    if (expectedRequest(request, wire)) expected.push_back(wire);
    checkServedExactly(expected);
    FUZZ_CHECK(taken == (!node->served().empty() && node->served()[0].accepted));
    if (node->overTcp() && !node->served().empty()) {
        int buffer = runStartProbe ? kBufferA : request.receiveBuffer;
        FUZZ_CHECK(node->served()[0].request.receiveBuffer == buffer);
    }
}

// --- analog blocks

struct PenPlace {
    int group;
    int pen;
};

void placePens(test::FuzzInput& input, int nodeNumber) {
    int pens = input.intInRange(1, 12);
    int baseBlock = input.intInRange(0, kMod15BlockCount - 1);
    for (int index = 0; index < pens; ++index) {
        PenPlace place{input.intInRange(1, kTrendGroupCount), input.intInRange(0, kPensPerGroup - 1)};
        PenSettings& pen = config.pen(place.group, place.pen);
        pen.enabled = input.intInRange(0, 7) == 0 ? 0 : 1;
        pen.isDiscrete = 0;
        // Most pens on the node near one block; some on a neighbour node.
        pen.node = input.intInRange(0, 7) == 0 ? nodeNumber % kNodeCount + 1 : nodeNumber;
        int spread = input.intInRange(-8, 140);
        pen.channel = input.flag() ? input.intInRange(-2, 2200) : 64 * baseBlock + spread;
        pen.analogType = input.intInRange(-1, kAnalogTypeRows);
    }
}

// The served read's answer in the layout the decoders take: a header of
// kAnswerDataOffset bytes, then the register data.
Bytes answerOf(const Served& served) {
    Bytes answer(kAnswerDataOffset, 0);
    answer.insert(answer.end(), served.data.begin(), served.data.end());
    return answer;
}

// The register decoders have their own tests; here the answer's registers
// must reach exactly the polled pens of the node and block that was read.
void expectPenAfterBlock(const PenSettings& pen, const Served& served, int block, double& value,
                         uint8_t& status) {
    if (pen.node != served.request.node || !isPolledAnalogPen(config, pen)) return;
    if (!served.accepted || (pen.channel - 1) / 64 != block) return;
    Bytes answer = answerOf(served);
    int kind = dataKindOf(pen.analogType);
    decodeAnalogValue(answer.data(), served.request.count, block, pen.channel, kind, value);
    if (kind == kKindPowerFactor) {
        decodeStatusByte(answer.data(), served.request.count, block,
                         powerFactorStatusChannel(pen.channel), status);
    }
}

bool sameValue(double left, double right) {
    return std::memcmp(&left, &right, sizeof left) == 0 || left == right;
}

void checkPens(const std::vector<int>& blockOfServed) {
    for (int group = 1; group <= kTrendGroupCount; ++group) {
        for (int pen = 0; pen < kPensPerGroup; ++pen) {
            double value = kNoData;
            uint8_t status = 0;
            for (size_t index = 0; index < node->served().size(); ++index) {
                expectPenAfterBlock(config.pen(group, pen), node->served()[index],
                                    blockOfServed[index], value, status);
            }
            FUZZ_CHECK(sameValue(currentValue(group, pen), value));
            FUZZ_CHECK(penStatus[penIndex(group, pen)].load() == status);
        }
    }
}

// The analog blocks of a node with pens spread over its channels: one read
// per block holding a polled pen, in block order.
void readBlocks(test::FuzzInput& input) {
    int nodeNumber = input.intInRange(1, kNodeCount);
    config.nodeEnabled[nodeNumber - 1] = input.intInRange(0, 15) == 0 ? 0 : 1;
    config.nodeType[nodeNumber - 1] = input.flag() ? kMod15Type : input.intInRange(-1, kDeviceTypeCount);
    placePens(input, nodeNumber);
    resetCurrentValues();

    readAnalogBlocks(config, nodeNumber);

    std::vector<WireRequest> expected;
    std::vector<int> blockOfRead;
    uint64_t blocks = polledBlocks(config, nodeNumber);
    for (int block = 0; block < kMod15BlockCount; ++block) {
        WireRequest wire;
        if (((blocks >> block) & 1) == 0 || !expectedBlockRead(nodeNumber, kAnalogBlock, block, wire)) continue;
        expected.push_back(wire);
        blockOfRead.push_back(block);
    }
    checkServedExactly(expected);
    FUZZ_CHECK(node->reopens() == node->refusedCount());
    checkPens(blockOfRead);
}

// --- discrete input

void readDiscrete(test::FuzzInput& input) {
    int nodeNumber = input.intInRange(1, kNodeCount);
    int type = input.intInRange(0, kDeviceTypeCount - 1);
    config.nodeEnabled[nodeNumber - 1] = 1;
    config.nodeType[nodeNumber - 1] = type;
    PenPlace place{input.intInRange(1, kTrendGroupCount), input.intInRange(0, kPensPerGroup - 1)};
    PenSettings& pen = config.pen(place.group, place.pen);
    pen.enabled = 1;
    pen.isDiscrete = 1;
    pen.node = nodeNumber;
    pen.channel = input.intInRange(0, 3);
    resetCurrentValues();

    readDiscreteInput(config, nodeNumber);

    checkServedExactly({singleRegisterRead(nodeNumber, kDiscreteInputRegister)});
    FUZZ_CHECK(node->reopens() == node->refusedCount());
    const Served& served = node->served()[0];
    double expected = kNoData;
    if (served.accepted && isPolledDiscretePen(config, pen)) expected = served.data[1] != 0 ? 1.0 : 0.0;
    FUZZ_CHECK(sameValue(currentValue(place.group, place.pen), expected));
}

// --- alarm outputs

// A MOD-15 node whose output register count is learned (whatever it
// reports) and whose outputs are then written with that many registers.
void writeOutputs(test::FuzzInput& input) {
    int nodeNumber = input.intInRange(1, kNodeCount);
    config.nodeEnabled[nodeNumber - 1] = 1;
    config.nodeType[nodeNumber - 1] = kMod15Type;
    int known = input.flag() ? input.intInRange(1, 130) : -1;
    outputRegisterCount[nodeNumber - 1] = known;
    AlarmOutputPlan plan;
    plan.bits[nodeNumber - 1] = input.intInRange(0, 15);

    writeAlarmOutputs(config, plan);

    std::vector<WireRequest> expected;
    int learned = known;
    if (known == -1) {
        expected.push_back(singleRegisterRead(nodeNumber, kOutputCountRegister));
        if (!node->served().empty() && node->served()[0].accepted) {
            int reported = static_cast<int8_t>(node->served()[0].data[1]);
            learned = reported < 2 ? 1 : reported;
        }
    }
    FUZZ_CHECK(outputRegisterCount[nodeNumber - 1] == learned);
    if (learned >= 1) expected.push_back(outputWrite(nodeNumber, learned, plan.bits[nodeNumber - 1]));
    checkServedExactly(expected);
}

// --- trigger inputs

constexpr int kStateBefore = 7;  // a trigger state no read gives

bool followsTrigger(int group) {
    int mode = config.group(group).storingMode;
    return mode == kRemoteTrigger || mode == kEventRecording;
}

// Groups in remote trigger or event recording mode follow the discrete
// input of their trigger node, read once per poll however many groups
// share the node (into the mailbox's second buffer over TCP); a refused
// answer keeps the group's state and reopens the link.
void readTriggers(test::FuzzInput& input) {
    int nodeNumber = input.intInRange(1, kNodeCount);
    std::vector<WireRequest> expected;
    std::vector<int> nodeOfGroup(kGroupCount, 0);
    for (int group = 1; group <= kTrendGroupCount; ++group) {
        GroupRecordingSettings& recording = config.group(group);
        recording.storingMode = input.intInRange(0, 4);
        // Mostly the step's node; sometimes another or none at all.
        recording.triggerNode = input.intInRange(0, 3) != 0 ? nodeNumber : input.intInRange(-1, 33);
        groupTriggerState[group].store(kStateBefore);
        groupTriggerByte[group].store(kStateBefore);
        int trigger = recording.triggerNode;
        if (!followsTrigger(group) || trigger < 1 || trigger > kNodeCount) continue;
        nodeOfGroup[group] = trigger;
        WireRequest read = singleRegisterRead(trigger, kDiscreteInputRegister);
        if (std::find(expected.begin(), expected.end(), read) == expected.end()) expected.push_back(read);
    }
    store(valuesValid, 0);
    TriggerInputCache cache;

    updateGroupTriggers(config, cache);

    checkServedExactly(expected);
    FUZZ_CHECK(node->reopens() == node->refusedCount());
    for (int group = 1; group <= kTrendGroupCount; ++group) {
        int state = followsTrigger(group) ? kStateBefore : 0;
        for (const Served& served : node->served()) {
            if (served.request.node != nodeOfGroup[group] || !served.accepted) continue;
            state = served.data[1] != 0 ? 1 : 0;
        }
        FUZZ_CHECK(groupTriggerState[group].load() == state);
        FUZZ_CHECK(groupTriggerByte[group].load() == state);
    }
    if (node->overTcp()) {
        for (const Served& served : node->served()) FUZZ_CHECK(served.request.receiveBuffer == kBufferB);
    }
}

// -------------------------------------------------------------- each input

// Every step starts from the defaults with every node off and every pen of
// groups 1-10 disabled, so that only the step's own node and pens count.
void resetConfiguration(test::FuzzInput& input, bool overTcp) {
    node->beginStep(input, overTcp);
    fillDefaults(config, 1, CalendarDate{2026, 3, 6});
    for (int& enabled : config.nodeEnabled) enabled = 0;
    for (int group = 1; group <= kTrendGroupCount; ++group) {
        for (PenSettings& pen : config.pens[group]) pen.enabled = 0;
    }
    config.commPort = overTcp ? kCommPortTcp : 0;
    config.operatingMode = kNormalMode;
    forgetOutputRegisterCounts();
    forgetWrittenOutputs();
}

void runStep(test::FuzzInput& input, bool overTcp, int operation) {
    resetConfiguration(input, overTcp);
    switch (operation) {
    case 0:
        // The high-speed node's type stands in for every node's in high-speed mode.
        if (input.intInRange(0, 7) == 0) config.operatingMode = kHighSpeedMode;
        config.highSpeedNode.type = input.intInRange(-1, kDeviceTypeCount);
        exchangeOnce(input);
        break;
    case 1:
        readBlocks(input);
        break;
    case 2:
        readDiscrete(input);
        break;
    case 3:
        readTriggers(input);
        break;
    default:
        writeOutputs(input);
        break;
    }
}

}  // namespace
}  // namespace kvt

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    kvt::node = &kvt::test::ModbusStandIn::install();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace kvt;
    test::FuzzInput input(data, size);
    bool overTcp = input.flag();
    for (int step = 0; step < 6 && !input.empty(); ++step) {
        runStep(input, overTcp, input.intInRange(0, 4));
    }
    node->endInput();
    return 0;
}
