#include "acquisition/AlarmOutputs.h"

#include "acquisition/AlarmStates.h"
#include "acquisition/CurrentValues.h"
#include "acquisition/ModbusLink.h"
#include "acquisition/NodeExchange.h"
#include "core/DeviceTables.h"
#include "core/RunFlags.h"
#include "platform/Clock.h"

namespace kvt {
namespace {

constexpr int kPauseAfterFailedCountReadMs = 20;
constexpr int kNothingWritten = -1;

// The last output write of each node in this run: its bits (kNothingWritten
// before the first) and the tick count it went out at.
int writtenBits[kNodeCount] = {
    -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1,
    -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
uint32_t writtenAtTick[kNodeCount] = {};

bool validOutput(int node, int channel) {
    return node >= 1 && node <= kNodeCount && channel >= 1 && channel <= kAlarmOutputsPerNode;
}

bool slotInAlarm(int group, int pen, int slot) {
    return slot == 0 ? lowerAlarmActive(group, pen) != 0 : upperAlarmActive(group, pen) != 0;
}

// Learns the node's output register count: the register's low byte as a
// signed byte, at least 1. A failed read leaves it unknown and reopens the
// link.
void learnOutputCount(int node) {
    NodeRequest request{.kind = RequestKind::OutputCountRead, .node = node};
    uint8_t answer[kAnswerBufferBytes];
    if (exchangeWithNode(request, answer)) {
        int count = static_cast<int8_t>(answer[4]);
        outputRegisterCount[node - 1] = count < 2 ? 1 : count;
        return;
    }
    reopenLink();
    activeClock().sleepMs(kPauseAfterFailedCountReadMs);
}

// A node's outputs go out when they change and otherwise once a second, so
// that a node that restarted has them back within a second.
bool outputWriteDue(int node, int bits, uint32_t now) {
    return writtenBits[node - 1] != bits || now - writtenAtTick[node - 1] >= kOutputRefreshMs;
}

void writeOutputs(int node, int bits, uint32_t now) {
    NodeRequest request{.kind = RequestKind::OutputWrite, .node = node, .outputBits = bits};
    uint8_t answer[kAnswerBufferBytes];
    exchangeWithNode(request, answer);  // the outcome changes nothing
    writtenBits[node - 1] = bits;
    writtenAtTick[node - 1] = now;
}

}  // namespace

bool slotDrivesOutput(const PenSettings& pen, int slot, int& node, int& channel) {
    if (pen.isDiscrete != 0) {
        node = pen.discreteOutputNode[slot];
        channel = pen.discreteOutputChannel[slot];
        return pen.discreteAlarm[slot] == 1 && validOutput(node, channel);
    }
    node = pen.alarmOutputNode[slot];
    channel = pen.alarmOutputChannel[slot];
    double setpoint = slot == 0 ? pen.alarmLimitLow : pen.alarmLimitHigh;
    return pen.alarmOutput[slot] == 1 && setpoint != kNoData && validOutput(node, channel);
}

void planAlarmOutputs(const ConfigurationRecord& config, AlarmOutputPlan& plan) {
    plan = AlarmOutputPlan{};
    for (int group = 1; group <= kTrendGroupCount; ++group) {
        bool groupStored = groupStoredFlag[group].load(std::memory_order_relaxed) != 0;
        for (int pen = 0; pen < kPensPerGroup; ++pen) {
            const PenSettings& settings = config.pen(group, pen);
            if (settings.enabled != 1) continue;
            for (int slot = 0; slot < 2; ++slot) {
                int node = 0;
                int channel = 0;
                if (!slotDrivesOutput(settings, slot, node, channel)) continue;
                if (!groupStored) plan.heldBack[node - 1] = true;
                if (slotInAlarm(group, pen, slot)) plan.bits[node - 1] |= 1 << (channel - 1);
            }
        }
    }
}

void writeAlarmOutputs(const ConfigurationRecord& config, const AlarmOutputPlan& plan) {
    for (int node = 1; node <= kNodeCount; ++node) {
        if (load(exitRequested) != 0) return;
        if (config.nodeEnabled[node - 1] != 1 || config.nodeType[node - 1] != kMod15Type) continue;
        if (plan.heldBack[node - 1]) continue;
        if (outputRegisterCount[node - 1] == -1) learnOutputCount(node);
        if (outputRegisterCount[node - 1] < 1) continue;
        int bits = plan.bits[node - 1];
        uint32_t now = activeClock().tickCount();
        if (outputWriteDue(node, bits, now)) writeOutputs(node, bits, now);
    }
}

void forgetWrittenOutputs() {
    for (int& bits : writtenBits) bits = kNothingWritten;
}

}  // namespace kvt
