#pragma once
#include "platform/SystemTime.h"

namespace kvt {

// Ways out beside the files: whoever wants every recorded row and every
// alarm history event as they are made (the MQTT publisher) registers a
// function here. The row outlet runs on the recording writer's thread once
// a row is in its day file, the alarm outlet on the acquisition thread for
// every event of the alarm history: an outlet must neither block nor
// allocate. Unregistered, a call costs one atomic load.
using RowOutlet = void (*)(int group, const SystemTime& time, const char* row, int length);
using AlarmOutlet = void (*)(int group, int pen, const SystemTime& time, int code);

void setRecordedOutlets(RowOutlet rows, AlarmOutlet alarms);

void passRowOn(int group, const SystemTime& time, const char* row, int length);
void passAlarmOn(int group, int pen, const SystemTime& time, int code);

}  // namespace kvt
