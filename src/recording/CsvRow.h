#pragma once

#include "core/ConfigurationRecord.h"
#include "recording/RecordingBuffers.h"

namespace kvt {

constexpr int kHeaderBlockSize = 256;  // a header block, its line feed included
constexpr int kDayFileHeaderSize = 2 * kHeaderBlockSize;  // first row at this offset
constexpr int kTrendRowLength = 171;      // groups 1-10
constexpr int kHighSpeedRowLength = 119;  // group 0
constexpr int kMaxRowLength = kTrendRowLength;

enum class HeaderLine { Tags, Units };

// Fixed length of a row of the group's day file, line feed included.
constexpr int rowLengthOf(int group) {
    return group == kHighSpeedGroup ? kHighSpeedRowLength : kTrendRowLength;
}

// Whether the group's rows carry milliseconds and the trigger state, by the
// settings in `config`.
bool rowHasMilliseconds(const ConfigurationRecord& config, int group);
bool rowHasTriggerState(const ConfigurationRecord& config, int group);

// A header block: ",," then "," and the tag (or unit) of every pen of the
// group, zero bytes after it, and a line feed as the block's last byte.
void formatHeaderBlock(char (&block)[kHeaderBlockSize], const ConfigurationRecord& config,
                       int group, HeaderLine line);

// One day-file row of a sample, line feed included, with the pen settings of
// `config`. Writes exactly rowLengthOf(group) bytes and returns that length.
int formatCsvRow(char* row, const ConfigurationRecord& config, int group,
                 const SampleData& sample);

}  // namespace kvt
