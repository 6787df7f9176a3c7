#include "acquisition/PollingPlan.h"

#include "acquisition/NodePolling.h"
#include "core/DeviceTables.h"
#include "core/ThreadConfiguration.h"

namespace kvt {
namespace {

int nodeTypeOf(const ConfigurationRecord& config, int node) {
    return config.nodeType[node - 1];
}

// Highest analog channel a pen on a node of `type` may use.
int highestAnalogChannel(int type) {
    if (type == kMod15Type) return kMod15HighestChannel;
    return kMod15BlockCount * kMod15BlockRegisterCount;
}

}  // namespace

PollingPlan pollingPlan;

bool isPolledNode(const ConfigurationRecord& config, int node) {
    if (node < 1 || node > kNodeCount) return false;
    int type = nodeTypeOf(config, node);
    return config.nodeEnabled[node - 1] == 1 && type >= 0 && type < kDeviceTypeCount;
}

bool isPolledAnalogPen(const ConfigurationRecord& config, const PenSettings& pen) {
    if (pen.enabled != 1 || pen.isDiscrete != 0 || !isPolledNode(config, pen.node)) {
        return false;
    }
    int type = nodeTypeOf(config, pen.node);
    // A type without analog registers has nothing to read.
    if (deviceTypes[type].registerCount <= 0) return false;
    return pen.channel >= 1 && pen.channel <= highestAnalogChannel(type);
}

bool isPolledDiscretePen(const ConfigurationRecord& config, const PenSettings& pen) {
    if (pen.enabled != 1 || pen.isDiscrete == 0 || !isPolledNode(config, pen.node)) {
        return false;
    }
    int highest = deviceTypes[nodeTypeOf(config, pen.node)].highestDiscreteChannel;
    return pen.channel >= 1 && pen.channel <= highest;
}

uint64_t polledBlocks(const ConfigurationRecord& config, int node) {
    static_assert(kMod15BlockCount <= 64);
    uint64_t blocks = 0;
    for (int group = 1; group <= kTrendGroupCount; ++group) {
        for (const PenSettings& pen : config.pens[group]) {
            // A polled pen's channel is 1 to at most 34 x 64, so its block is 0-33.
            if (pen.node != node || !isPolledAnalogPen(config, pen)) continue;
            blocks |= uint64_t{1} << ((pen.channel - 1) / kMod15BlockRegisterCount);
        }
    }
    return blocks;
}

bool blockHasPolledPens(const ConfigurationRecord& config, int node, int block) {
    if (block < 0 || block >= kMod15BlockCount) return false;
    return ((polledBlocks(config, node) >> block) & 1) != 0;
}

bool buildPollingPlan(const ConfigurationRecord& config, PollingPlan& plan) {
    plan = PollingPlan{};
    bool any = false;
    for (int group = 1; group <= kTrendGroupCount; ++group) {
        for (const PenSettings& pen : config.pens[group]) {
            if (isPolledAnalogPen(config, pen)) {
                plan.analog[pen.node - 1] = true;
                any = true;
            } else if (isPolledDiscretePen(config, pen)) {
                plan.discrete[pen.node - 1] = true;
                any = true;
            }
        }
    }
    return any;
}

bool planNodes() { return buildPollingPlan(threadConfiguration(), pollingPlan); }

}  // namespace kvt
