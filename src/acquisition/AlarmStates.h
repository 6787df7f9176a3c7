#pragma once
#include <atomic>

#include "core/ConfigurationRecord.h"

namespace kvt {

constexpr int kMaxDiscreteCount = 12000;

// Alarm states of one group's pens. Written by the alarm evaluation on the
// acquisition thread; the display and the output writes read the states.
struct GroupAlarmStates {
    std::atomic<int> lower[kPensPerGroup];  // lower (analog) or OFF (discrete) alarm active
    std::atomic<int> upper[kPensPerGroup];  // upper (analog) or ON (discrete) alarm active
    int offCount[kPensPerGroup];            // consecutive stored samples of 0.0
    int onCount[kPensPerGroup];             // consecutive stored samples of 1.0
};

// Indexed by group number; index 0 is unused.
extern GroupAlarmStates alarmStates[kGroupCount];

void clearAlarmStates();

inline int lowerAlarmActive(int group, int pen) {
    return alarmStates[group].lower[pen].load(std::memory_order_relaxed);
}
inline int upperAlarmActive(int group, int pen) {
    return alarmStates[group].upper[pen].load(std::memory_order_relaxed);
}

}  // namespace kvt
