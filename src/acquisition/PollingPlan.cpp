#include "acquisition/PollingPlan.h"

#include "acquisition/NodePolling.h"
#include "acquisition/RegisterDecoding.h"
#include "core/DeviceTables.h"

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

bool blockHasPolledPens(const ConfigurationRecord& config, int node, int block) {
    for (int group = 1; group <= kTrendGroupCount; ++group) {
        for (const PenSettings& pen : config.pens[group]) {
            if (pen.node == node && channelInBlock(pen.channel, block) &&
                isPolledAnalogPen(config, pen)) {
                return true;
            }
        }
    }
    return false;
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

bool planNodes() { return buildPollingPlan(liveConfiguration, pollingPlan); }

}  // namespace kvt
