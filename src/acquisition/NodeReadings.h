#pragma once

#include "core/ConfigurationRecord.h"

namespace kvt {

// Reads the analog blocks of `node` that hold polled pens (one exchange per
// block) and stores the decoded values and power-factor status bytes of
// the node's pens. A block whose read fails reopens the link; its pens
// keep their values.
void readAnalogBlocks(const ConfigurationRecord& config, int node);

// Reads the discrete input of `node` and gives every polled discrete pen
// on it 1.0 (input on) or 0.0. A failed read reopens the link; the pens
// keep their values.
void readDiscreteInput(const ConfigurationRecord& config, int node);

// Stores the pens of `node` that lie in block `block` from its answer
// (RTU layout, `registerCount` registers). Pens whose registers are not
// all in the answer keep their values.
void storeBlockValues(const ConfigurationRecord& config, int node, int block,
                      const uint8_t* answer, int registerCount);

}  // namespace kvt
