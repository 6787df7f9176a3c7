#pragma once
#include <string>

#include "core/ConfigurationRecord.h"
#include "platform/SystemTime.h"

namespace kvt {

// The message of one alarm history event on <prefix>/alarm:
// {"time": "2026-12-10T09:15:30.500+09:00", "group": 2, "pen": 3,
//  "tag": "Flow", "slot": "upper", "state": "came"}
// The slot is "lower" or "upper" for an analogue pen, "off" or "on" for a
// discrete one; the state "came" when the alarm was raised, "went" when it
// cleared. `pen` is 0-11, `code` the alarm history's event code 0-3.
std::string alarmMessage(const char* isoTime, int group, int pen, int code,
                         const PenSettings& settings);

}  // namespace kvt
