#pragma once
#include "platform/SystemTime.h"

namespace kvt {

// Alarm event codes handed to the alarm history, per slot.
enum AlarmEvent : int {
    kLowerAlarm = 0,  // analog lower alarm / discrete OFF alarm
    kLowerAlarmClear = 1,
    kUpperAlarm = 2,  // analog upper alarm / discrete ON alarm
    kUpperAlarmClear = 3,
};

// Evaluates both alarm slots of pen `pen` (0-11) of group `group` (1-10)
// against the pen's current value for the sample stamped `stepTime`,
// updating the alarm state table and appending an event to the alarm
// history for every change. Called on the acquisition thread for every pen
// of a group that stores a sample, before the value is copied. No value
// (1e10) changes nothing; indices outside 1-10 / 0-11 have no effect.
void evaluateAlarms(int group, int pen, const SystemTime& stepTime);

}  // namespace kvt
