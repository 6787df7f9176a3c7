#pragma once
#include <modbus.h>

#include <chrono>
#include <cstdint>
#include <map>
#include <vector>

#include "SimulatorOptions.h"

namespace kvt::nodesim {

constexpr int kDiscreteInputAddress = 0x0C00;
constexpr int kOutputCountAddress = 0x2598;
constexpr int kMappedRegisters = 0x2600;  // wire addresses 0 to 0x25FF exist

// The holding registers of every simulated node, kept current from the
// options (model, fixed values, settings, discrete input, output count).
class NodeBank {
public:
    explicit NodeBank(const SimulatorOptions& options);
    ~NodeBank();
    NodeBank(const NodeBank&) = delete;
    NodeBank& operator=(const NodeBank&) = delete;

    bool serves(int node) const { return mappings_.count(node) != 0; }
    // The node's registers brought up to date; null when not served.
    modbus_mapping_t* refreshedMapping(int node);

private:
    void refresh(int node, modbus_mapping_t* mapping);
    void applySettings(int node, uint16_t* registers) const;
    int outputCountOf(int node) const;
    int discreteInput() const;

    const SimulatorOptions& options_;
    std::map<int, modbus_mapping_t*> mappings_;
    std::chrono::steady_clock::time_point started_;
};

}  // namespace kvt::nodesim
