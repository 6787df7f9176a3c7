#pragma once

#include "core/ConfigurationRecord.h"

namespace kvt {

// Alarm outputs of the nodes, worked out afresh on every poll.
struct AlarmOutputPlan {
    int bits[kNodeCount] = {};            // bit c - 1 = output channel c of node (index + 1)
    bool heldBack[kNodeCount] = {};       // a driving group has not stored a sample yet
};

// The output node (1-31) and channel (1-4) that slot `slot` (0 lower / OFF,
// 1 upper / ON) of `pen` drives, or false when the slot drives none. An
// analog slot needs its output switch, a set setpoint and a valid node and
// channel; a discrete slot needs its alarm switch and a valid node and
// channel.
bool slotDrivesOutput(const PenSettings& pen, int slot, int& node, int& channel);

// From the enabled pens of groups 1-10: the output bits of every node
// (a bit is set while the slot driving it is in alarm) and which nodes
// are held back because a group driving them has not yet stored a sample
// in this run. Reads the alarm states and the group stored flags.
void planAlarmOutputs(const ConfigurationRecord& config, AlarmOutputPlan& plan);

// Longest time a node's unchanged outputs go without a write.
constexpr uint32_t kOutputRefreshMs = 1000;

// Writes the outputs of every enabled MOD-15 node that is not held back,
// learning the node's output register count first when it is unknown (on
// every call until a read succeeds; a failed one reopens the link and
// pauses 20 ms). A node's outputs are written when its bits differ from
// the last write of the run, or kOutputRefreshMs after that write
// (activeClock ticks). Write answers are taken but not checked.
void writeAlarmOutputs(const ConfigurationRecord& config, const AlarmOutputPlan& plan);

// Run start: no node has had its outputs written.
void forgetWrittenOutputs();

}  // namespace kvt
