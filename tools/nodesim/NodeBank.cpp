#include "NodeBank.h"

#include "PowerMeterModel.h"

namespace kvt::nodesim {

NodeBank::NodeBank(const SimulatorOptions& options)
    : options_(options), started_(std::chrono::steady_clock::now()) {
    for (int node : options.nodes) {
        if (mappings_.count(node) != 0) continue;
        modbus_mapping_t* mapping = modbus_mapping_new(0, 0, kMappedRegisters, 0);
        if (mapping != nullptr) mappings_[node] = mapping;
    }
}

NodeBank::~NodeBank() {
    for (auto& entry : mappings_) modbus_mapping_free(entry.second);
}

modbus_mapping_t* NodeBank::refreshedMapping(int node) {
    auto found = mappings_.find(node);
    if (found == mappings_.end()) return nullptr;
    refresh(node, found->second);
    return found->second;
}

void NodeBank::refresh(int node, modbus_mapping_t* mapping) {
    uint16_t* registers = mapping->tab_registers;
    if (options_.fixed) {
        fillFixedRegisters(registers);
    } else {
        double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - started_).count();
        fillMeterRegisters(registers, seconds, node);
    }
    registers[kDiscreteInputAddress] = static_cast<uint16_t>(discreteInput());
    registers[kOutputCountAddress] = static_cast<uint16_t>(outputCountOf(node) & 0xFFFF);
    applySettings(node, registers);
}

// Settings win over the model; node-specific ones over those for all nodes.
void NodeBank::applySettings(int node, uint16_t* registers) const {
    for (int pass = 0; pass < 2; ++pass) {
        for (const RegisterSetting& setting : options_.settings) {
            bool matches = pass == 0 ? setting.node == kAllNodes : setting.node == node;
            if (!matches) continue;
            for (size_t index = 0; index < setting.values.size(); ++index) {
                size_t address = static_cast<size_t>(setting.address) + index;
                if (address < static_cast<size_t>(kMappedRegisters)) {
                    registers[address] = static_cast<uint16_t>(setting.values[index]);
                }
            }
        }
    }
}

int NodeBank::outputCountOf(int node) const {
    auto found = options_.outputCount.find(node);
    if (found == options_.outputCount.end()) found = options_.outputCount.find(kAllNodes);
    return found == options_.outputCount.end() ? 4 : found->second;
}

int NodeBank::discreteInput() const {
    switch (options_.discrete) {
        case DiscreteMode::On: return 1;
        case DiscreteMode::Off: return 0;
        case DiscreteMode::Toggle: break;
    }
    auto seconds = std::chrono::duration_cast<std::chrono::seconds>(
                       std::chrono::steady_clock::now() - started_)
                       .count();
    return static_cast<int>((seconds / options_.togglePeriodSeconds) % 2);
}

}  // namespace kvt::nodesim
