#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "core/ConfigurationRecord.h"
#include "recording/RecordingBuffers.h"

namespace kvt::test {

// Makes every pen of every group an enabled analogue pen with equal input
// and scale ranges and 3 decimals, so that rows hold the values unchanged.
void makePensPlain(ConfigurationRecord& config);

// The value pen `pen` holds in sample number `number` of samplesEvery; exact
// in 3 decimals, and telling pens apart.
inline double plainPenValue(double number, int pen) { return number + pen / 8.0; }

// `count` samples every `spacingMs` from `firstEpochMs` (milliseconds since
// the epoch), stamped in local time as the recorder stamps them; sample k is
// number `firstNumber + k`.
std::vector<SampleData> samplesEvery(int64_t firstEpochMs, int spacingMs, int count,
                                     double firstNumber = 0);

// "<data folder>/YYYYMMDD/GR<group>.CSV" of a stamp's date.
std::string dayFilePathOf(const SystemTime& time, int group);

// Appends the samples, in order, as rows to the group's day files of their
// dates in the data folder, formatted with `config` as the recording writer
// formats them; a missing file gets its header blocks first.
void writeDayFiles(const ConfigurationRecord& config, int group,
                   const std::vector<SampleData>& samples);

}  // namespace kvt::test
