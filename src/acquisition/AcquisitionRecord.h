#pragma once
#include <atomic>
#include <cstddef>
#include <cstdint>

#include "core/ConfigurationRecord.h"
#include "platform/SystemTime.h"

namespace kvt {

// The samples of one trend group carried by one acquisition record.
struct GroupBlock {
    uint8_t stored;  // 1 = this record carries a sample of the group
    int8_t trigger;  // the group's trigger state
    uint8_t reserved2[6];
    double values[kPensPerGroup];  // current value table at the step
    uint8_t status[kPensPerGroup];
    uint8_t reserved116[4];
};

// One half-second sample step, written by the acquisition thread and read by
// the recording scheduler.
struct AcquisitionRecord {
    int32_t active;  // acquisitionActive when the record was written
    SystemTime time;  // milliseconds is 0 or 500
    int32_t reserved20;
    uint8_t highSpeedPresent;
    int8_t highSpeedTrigger[10];
    uint8_t reserved35[5];
    double highSpeedValues[kHighSpeedPens][10];  // pen-major, 50 ms sub-samples
    GroupBlock groups[kTrendGroupCount];          // groups 1-10
};

static_assert(sizeof(GroupBlock) == 120);
static_assert(offsetof(GroupBlock, values) == 8);
static_assert(offsetof(GroupBlock, status) == 104);
static_assert(sizeof(AcquisitionRecord) == 1880);
static_assert(offsetof(AcquisitionRecord, time) == 4);
static_assert(offsetof(AcquisitionRecord, highSpeedPresent) == 24);
static_assert(offsetof(AcquisitionRecord, highSpeedTrigger) == 25);
static_assert(offsetof(AcquisitionRecord, highSpeedValues) == 40);
static_assert(offsetof(AcquisitionRecord, groups) == 680);

constexpr int kAcquisitionRingSize = 120;

// Single-writer ring: the acquisition thread fills records and then moves
// the write index (release); the scheduler reads up to the write index
// (acquire) and alone moves the read index. Empty when the indices are equal.
struct AcquisitionRing {
    AcquisitionRecord records[kAcquisitionRingSize];
    std::atomic<uint32_t> writeIndex{0};
    std::atomic<uint32_t> readIndex{0};
};

extern AcquisitionRing acquisitionRing;

// Zeroes every record and both indices (program start).
void clearAcquisitionRing();

}  // namespace kvt
