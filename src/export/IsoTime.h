#pragma once
#include <cstdint>

#include "platform/SystemTime.h"

namespace kvt {

// "2026-12-10T09:15:30.500+09:00": a local time with milliseconds and its
// offset from UTC, as the open ways out (export, published messages) write
// every time.
constexpr int kIsoTimeLength = 29;

// Writes exactly kIsoTimeLength characters (no NUL) of the local time given
// by its date, time of day and offset east of UTC in seconds.
void formatIsoTime(char* out, const CalendarDate& date, int hour, int minute, int second,
                   int milliseconds, int offsetSeconds);

// Milliseconds since the epoch of a local time with a known offset.
int64_t epochMillisecondsOf(const CalendarDate& date, int hour, int minute, int second,
                            int milliseconds, int offsetSeconds);

// The UTC offsets of the local times of recorded rows, which carry local
// time only. A local minute has one offset, none (skipped when the clocks
// went forward: the offset in force before the step is taken) or two (the
// hour repeated when they went back). Rows come in recording order, so a
// row that lies before the one before it, within a repeated hour, is on the
// second pass through that hour; the later offset is taken from there until
// the repeated hour ends. Keep one per stream of rows (a group's rows).
class RowOffsets {
public:
    int offsetOf(const CalendarDate& date, int hour, int minute, int second, int milliseconds);

private:
    struct MinuteOffsets {
        int earlier = 0;
        int later = 0;
    };
    MinuteOffsets offsetsOfMinute(const CalendarDate& date, int hour, int minute);

    CalendarDate cachedDate_{};
    int cachedMinute_ = -1;
    MinuteOffsets cached_;
    bool wholeHour_ = false;
    CalendarDate lastDate_{};
    int lastMillisecond_ = -1;
    bool secondPass_ = false;
};

}  // namespace kvt
