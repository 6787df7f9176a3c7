#pragma once
#include <cstddef>

#include "core/ConfigurationRecord.h"

namespace kvt {

// Time of day of a day-file row: "HH:MM:SS" and the first two digits of
// its milliseconds column (a blank column reads as 0 ms).
struct RowTime {
    int hour = 0;
    int minute = 0;
    int second = 0;
    int tenths = 0;      // first milliseconds digit: 100 ms each
    int hundredths = 0;  // second milliseconds digit: 10 ms each
};

// Columns of a row: the trigger state (a digit, or a space when the group
// does not record on a trigger), and the 12-character field of pen `pen`.
constexpr int kRowTriggerColumn = 13;
constexpr int penFieldOffset(int pen) { return 15 + 13 * pen; }

// Readers of one row of a group's day file, given as a byte range that
// holds exactly one row (line feed included). Day files are outside input:
// a range of the wrong length, a misplaced separator or a byte that does not
// belong in a field makes the row unreadable, and nothing is read outside
// the range.

// The row's time, after checking the row's whole layout (time, milliseconds,
// trigger and pen columns, line feed). False for an unreadable row.
bool parseRowTime(const char* bytes, size_t length, int group, RowTime& time);

// The pen values of the row (12 pens, 8 for the high-speed group) as
// decimal numbers: a blank field reads as 0, a field that reads as infinite
// or not-a-number as the no-data value. False, with `values` in any state,
// when a field holds anything but a number between spaces.
bool parseRowValues(const char* bytes, size_t length, int group, double (&values)[kPensPerGroup]);

}  // namespace kvt
