#pragma once
#include <string>

#include "core/ConfigurationRecord.h"
#include "platform/SystemTime.h"

namespace kvt::test {

// What the files should hold, built with printf from the settings alone so
// that the checks do not share code with the writer.

// A header block of a group's day file: ",," and "," + tag (or unit) per pen,
// zero bytes, a line feed as byte 256.
std::string expectedHeaderBlock(const ConfigurationRecord& config, int group, bool units);

// The row of a sample of group 1-10 with the given stamp, trigger state and
// pen values (input-range units as acquired).
std::string expectedRow(const ConfigurationRecord& config, int group, const SystemTime& time,
                        int trigger, const double (&values)[kPensPerGroup]);

// The 51-byte alarm history record of an event text such as "Upper alarm".
std::string expectedAlarmRecord(int group, int pen, const SystemTime& time, const char* text);

}  // namespace kvt::test
