#pragma once
#include "platform/SystemTime.h"

namespace kvt {

// Length of a month in the recorder's calendar: February has 29 days in
// every year divisible by 4 (2100 included: stamps stay consistent with the
// day files written by earlier versions).
int daysInMonth(int year, int month);

// The sample step that follows `last` by 500 ms, with milliseconds carried
// into seconds, seconds into minutes and so on up to the year. The day of
// the week moves on with the day.
SystemTime nextStepTime(const SystemTime& last);

// The sample step 500 ms before `step` (milliseconds 0 or 500), with
// borrows down to the year; the day of the week moves back with the day.
SystemTime previousStepTime(const SystemTime& step);

// `time` moved forward by `seconds` (0 or more) with the same carries;
// milliseconds are kept.
SystemTime addSeconds(const SystemTime& time, int seconds);

// Orders two readings by year, month, day, hour, minute and second
// (milliseconds ignored): negative, 0 or positive.
int compareToTheSecond(const SystemTime& a, const SystemTime& b);

}  // namespace kvt
