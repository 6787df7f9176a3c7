#include "acquisition/NodePolling.h"

#include "acquisition/AlarmOutputs.h"
#include "acquisition/GroupTriggers.h"
#include "acquisition/ModbusLink.h"
#include "acquisition/NodeReadings.h"
#include "acquisition/PollingPlan.h"
#include "core/RunFlags.h"
#include "core/ThreadConfiguration.h"

namespace kvt {
namespace {

constexpr int kBeforeFirstNode = -1;

int currentNodeIndex = kBeforeFirstNode;  // 0-30

// Moves to the next planned node; passing node 31 completes a round.
// False when the plan has no node at all.
bool advanceToNextPlannedNode() {
    if (pollingPlan.empty()) return false;
    for (;;) {
        ++currentNodeIndex;
        if (currentNodeIndex >= kNodeCount) {
            currentNodeIndex = 0;
            store(valuesValid, 1);
        }
        if (pollingPlan.hasNode(currentNodeIndex + 1)) return true;
    }
}

}  // namespace

void pollNextNode() {
    if (!advanceToNextPlannedNode()) return;
    const ConfigurationRecord& config = threadConfiguration();
    int node = currentNodeIndex + 1;

    AlarmOutputPlan outputs;
    planAlarmOutputs(config, outputs);
    writeAlarmOutputs(config, outputs);

    if (pollingPlan.analog[node - 1]) readAnalogBlocks(config, node);
    if (pollingPlan.discrete[node - 1]) readDiscreteInput(config, node);

    if (load(exitRequested) != 0) return;
    TriggerInputCache triggerInputs;
    updateGroupTriggers(config, triggerInputs);
}

void resetPollingForRun() {
    currentNodeIndex = kBeforeFirstNode;
    forgetOutputRegisterCounts();
    forgetWrittenOutputs();
}

void resetNodePolling() {
    pollingPlan = PollingPlan{};
    resetPollingForRun();
}

int currentPolledNode() { return currentNodeIndex < 0 ? 0 : currentNodeIndex + 1; }

}  // namespace kvt
