#pragma once
#include <cstdint>

#include "core/ConfigurationRecord.h"

namespace kvt {

// Which pens and nodes normal-mode polling serves. The tests take the
// configuration as an argument so they can be checked on any record.

// Whether node 1-31 is enabled with a device type of the table.
bool isPolledNode(const ConfigurationRecord& config, int node);

// An enabled analog pen of a polled node whose channel the node can
// deliver (on MOD-15 registers 1-2142).
bool isPolledAnalogPen(const ConfigurationRecord& config, const PenSettings& pen);

// An enabled discrete pen of a polled node whose channel is 1 to the
// highest discrete channel of the node's type.
bool isPolledDiscretePen(const ConfigurationRecord& config, const PenSettings& pen);

// The blocks (bit b for block b, 0-33) in which node `node` has polled
// analog pens: one pass over the pens for all blocks of a poll.
uint64_t polledBlocks(const ConfigurationRecord& config, int node);

// Whether some polled analog pen of node `node` lies in block `block`.
bool blockHasPolledPens(const ConfigurationRecord& config, int node, int block);

// The polling plan of the current run: per node 1-31 whether it has
// polled analog or discrete pens (groups 1-10).
struct PollingPlan {
    bool analog[kNodeCount] = {};
    bool discrete[kNodeCount] = {};

    bool hasNode(int node) const { return analog[node - 1] || discrete[node - 1]; }
    bool empty() const {
        for (int node = 1; node <= kNodeCount; ++node) {
            if (hasNode(node)) return false;
        }
        return true;
    }
};

// Builds the plan from `config`; true when some node has a flag.
bool buildPollingPlan(const ConfigurationRecord& config, PollingPlan& plan);

// The plan of the acquisition thread (rebuilt by planNodes at run start).
extern PollingPlan pollingPlan;

}  // namespace kvt
