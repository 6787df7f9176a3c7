#pragma once
#include <cstdint>

namespace kvt::nodesim {

// Registers 1-2176 of a MOD-15 power meter: wire addresses 0-2175.
constexpr int kMeterRegisterCount = 2176;

// Fills registers[0..2175] (wire addresses) with the meter's readings at
// `seconds` since the simulator started. `node` shifts the phase of every
// quantity so that nodes read differently. 32-bit quantities are stored low
// word first (wire address r), high word in r + 1.
void fillMeterRegisters(uint16_t* registers, double seconds, int node);

// Deterministic contents: register number N (wire address N - 1) holds N.
void fillFixedRegisters(uint16_t* registers);

}  // namespace kvt::nodesim
