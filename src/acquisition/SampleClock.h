#pragma once
#include <cstdint>

#include "platform/SystemTime.h"

namespace kvt {

// The half-second sample clock on local time. It is fed readings of the
// local clock and of the millisecond tick count and says how many sample
// steps are due; it reads no clock itself.
//
// Steps are stamped at every full second of local time and at the half
// second that follows it by 500 ms of tick count. A reading in a second
// before the last sample's (the clock was set back: the end of daylight
// saving time, a user, a time service) makes the clock go on from the
// reading: the half second the reading lies in is due at once, and the
// steps after it follow local time from there, so recording goes on through
// a repeated stretch of local time, which the day files then hold twice.
// Steps whose half second of ticks had ended before the reading's half
// second began (the pass came late, and the clock went back meanwhile) are
// stamped first, on from the last sample, so a late pass at a set-back
// loses no step either. A
// set-back within the last sample's own second only delays the next step
// (by less than a second). A reading later than the last sample that the
// steps cannot bridge (a jump of days, or one that the field-wise checks
// let through but the minute and second difference does not cover, such as
// exactly one hour) restarts the clock at that reading instead of leaving
// every later stamp behind local time for good.
class SampleClock {
public:
    // The last sample becomes `now` with milliseconds 500, so the next step
    // falls on the next full second and nothing is backfilled.
    void restart(const SystemTime& now, uint32_t ticks);

    // Number of steps due at `now` (0 when none, or after a restart).
    int dueSteps(const SystemTime& now, uint32_t ticks);

    // The stamp of the next step (last sample + 500 ms, or the step the
    // clock goes back to once the steps owed before a set-back are written).
    SystemTime nextStep() const;

    // Makes `step` the last sample once its record has been written.
    void stepWritten(const SystemTime& step);

    const SystemTime& lastSample() const { return last_; }
    long restartsByJump() const { return restartsByJump_; }
    long stepsBack() const { return stepsBack_; }

private:
    int resynchronise(const SystemTime& now, uint32_t ticks);
    int followStepBack(const SystemTime& now, uint32_t ticks);
    int stepsOwedAtStepBack(const SystemTime& now, uint32_t ticks) const;
    int stepsLeftBeforeStepBack() const;

    SystemTime last_{};
    uint32_t halfSecondBase_ = 0;
    long restartsByJump_ = 0;
    long stepsBack_ = 0;
    // A set-back taken while owed steps of the old time are still to be
    // written: after `owedLast_` comes `stepBackTo_`.
    bool steppingBack_ = false;
    SystemTime owedLast_{};
    SystemTime stepBackTo_{};
};

// The field-wise limits a reading must keep relative to the last sample:
// the year grows by at most 1, the month by at most 1 or falls by 11
// (December to January), the day grows by at most 1 (any fall), the hour
// grows by at most 1 or falls by 23.
bool isPlausibleAdvance(const SystemTime& last, const SystemTime& now);

}  // namespace kvt
