#pragma once

#include "core/ConfigurationRecord.h"

namespace kvt {

// The discrete inputs of trigger nodes read during one poll: each node is
// read at most once per poll, however many groups it triggers.
class TriggerInputCache {
public:
    enum class Input { Unknown, Off, On, Failed };

    Input input(int node) const { return inputs_[node - 1]; }
    void remember(int node, Input input) { inputs_[node - 1] = input; }

private:
    Input inputs_[kNodeCount] = {};
};

// The trigger state of every group 1-10 for this poll. Groups in remote
// trigger or event recording mode follow their trigger node: the value of
// a polled discrete pen on channel 1 of that node once values are valid,
// else the node's discrete input read through `cache` (a failed read keeps
// the group's previous state and reopens the link). Other groups get 0.
void updateGroupTriggers(const ConfigurationRecord& config, TriggerInputCache& cache);

}  // namespace kvt
