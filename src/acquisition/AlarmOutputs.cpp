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

constexpr int kPauseAfterCountReadMs = 20;

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
    } else {
        reopenLink();
    }
    activeClock().sleepMs(kPauseAfterCountReadMs);
}

void writeOutputs(int node, int bits) {
    NodeRequest request{.kind = RequestKind::OutputWrite, .node = node, .outputBits = bits};
    uint8_t answer[kAnswerBufferBytes];
    exchangeWithNode(request, answer);  // the outcome changes nothing
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
        if (outputRegisterCount[node - 1] >= 1) writeOutputs(node, plan.bits[node - 1]);
    }
}

}  // namespace kvt
