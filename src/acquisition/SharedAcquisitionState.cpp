#include <cstring>

#include "acquisition/AcquisitionRecord.h"
#include "acquisition/AlarmStates.h"
#include "acquisition/CurrentValues.h"

namespace kvt {

AcquisitionRing acquisitionRing;
std::atomic<double> currentValues[kTrendPenCount];
std::atomic<uint8_t> penStatus[kTrendPenCount];
std::atomic<int8_t> groupTriggerByte[kGroupCount];
std::atomic<int> groupTriggerState[kGroupCount];
std::atomic<int> groupStoredFlag[kGroupCount];
GroupAlarmStates alarmStates[kGroupCount];

void clearAcquisitionRing() {
    std::memset(static_cast<void*>(acquisitionRing.records), 0, sizeof acquisitionRing.records);
    acquisitionRing.writeIndex.store(0, std::memory_order_release);
    acquisitionRing.readIndex.store(0, std::memory_order_release);
}

void resetCurrentValues() {
    for (int index = 0; index < kTrendPenCount; ++index) {
        currentValues[index].store(kNoData, std::memory_order_relaxed);
        penStatus[index].store(0, std::memory_order_relaxed);
    }
    for (int group = 0; group < kGroupCount; ++group) {
        groupStoredFlag[group].store(0, std::memory_order_relaxed);
    }
}

void clearAlarmStates() {
    for (GroupAlarmStates& group : alarmStates) {
        for (int pen = 0; pen < kPensPerGroup; ++pen) {
            group.lower[pen].store(0, std::memory_order_relaxed);
            group.upper[pen].store(0, std::memory_order_relaxed);
            group.offCount[pen] = 0;
            group.onCount[pen] = 0;
        }
    }
}

}  // namespace kvt
