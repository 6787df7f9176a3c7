#include "acquisition/GroupTriggers.h"

#include "acquisition/CurrentValues.h"
#include "acquisition/NodeExchange.h"
#include "acquisition/PollingPlan.h"
#include "core/RunFlags.h"

namespace kvt {
namespace {

using Input = TriggerInputCache::Input;

bool followsTrigger(int storingMode) {
    return storingMode == kRemoteTrigger || storingMode == kEventRecording;
}

// The current value of the first polled discrete pen on channel 1 of
// `node`; false when there is none.
bool triggerPenValue(const ConfigurationRecord& config, int node, double& value) {
    for (int group = 1; group <= kTrendGroupCount; ++group) {
        for (int pen = 0; pen < kPensPerGroup; ++pen) {
            const PenSettings& settings = config.pen(group, pen);
            if (settings.node != node || settings.channel != 1) continue;
            if (!isPolledDiscretePen(config, settings)) continue;
            value = currentValue(group, pen);
            return true;
        }
    }
    return false;
}

Input readTriggerInput(int node) {
    NodeRequest request{.kind = RequestKind::DiscreteRead, .node = node, .receiveBuffer = kBufferB};
    uint8_t answer[kAnswerBufferBytes];
    if (exchangeWithNode(request, answer)) return answer[4] != 0 ? Input::On : Input::Off;
    reopenLink();
    return Input::Failed;
}

// The node's discrete input, read once per poll.
Input triggerInput(int node, TriggerInputCache& cache) {
    if (node < 1 || node > kNodeCount) return Input::Failed;  // nobody to ask
    if (cache.input(node) == Input::Unknown) cache.remember(node, readTriggerInput(node));
    return cache.input(node);
}

void setTriggerState(int group, int state) {
    groupTriggerState[group].store(state, std::memory_order_relaxed);
    groupTriggerByte[group].store(static_cast<int8_t>(state), std::memory_order_relaxed);
}

}  // namespace

void updateGroupTriggers(const ConfigurationRecord& config, TriggerInputCache& cache) {
    for (int group = 1; group <= kTrendGroupCount; ++group) {
        const GroupRecordingSettings& recording = config.group(group);
        if (!followsTrigger(recording.storingMode)) {
            setTriggerState(group, 0);
            continue;
        }
        int node = recording.triggerNode;
        double value = 0.0;
        if (load(valuesValid) == 1 && triggerPenValue(config, node, value)) {
            setTriggerState(group, value == 1.0 ? 1 : 0);
            continue;
        }
        if (load(exitRequested) != 0) return;
        Input input = triggerInput(node, cache);
        if (input != Input::Failed) setTriggerState(group, input == Input::On ? 1 : 0);
    }
}

}  // namespace kvt
