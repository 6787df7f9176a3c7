#include "acquisition/AlarmEvaluation.h"

#include <atomic>

#include "acquisition/AlarmStates.h"
#include "acquisition/CurrentValues.h"
#include "acquisition/StoringCycle.h"
#include "acquisition/ValueConversion.h"
#include "core/ThreadConfiguration.h"
#include "recording/AlarmHistory.h"

namespace kvt {
namespace {

struct PenAlarm {
    int group;
    int pen;
    const SystemTime& stepTime;
    const PenSettings& settings;
    GroupAlarmStates& states;
};

int stateOf(const std::atomic<int>& state) { return state.load(std::memory_order_relaxed); }
void setState(std::atomic<int>& state, int value) { state.store(value, std::memory_order_relaxed); }

void raise(const PenAlarm& alarm, std::atomic<int>& state, int event) {
    setState(state, 1);
    appendAlarmHistory(alarm.group, alarm.pen, alarm.stepTime, event);
}

void clear(const PenAlarm& alarm, std::atomic<int>& state, int event) {
    setState(state, 0);
    appendAlarmHistory(alarm.group, alarm.pen, alarm.stepTime, event);
}

double deadbandOrZero(double deadband) { return deadband == kNoData ? 0.0 : deadband; }

// Lower slot: raised strictly below the setpoint, cleared strictly above
// setpoint + dead band.
void evaluateLowerLimit(const PenAlarm& alarm, double value) {
    std::atomic<int>& state = alarm.states.lower[alarm.pen];
    double setpoint = alarm.settings.alarmLimitLow;
    if (setpoint == kNoData) {
        setState(state, 0);
        return;
    }
    if (stateOf(state) == 0 && value < setpoint) {
        raise(alarm, state, kLowerAlarm);
    } else if (stateOf(state) == 1 &&
               value > setpoint + deadbandOrZero(alarm.settings.deadbandLow)) {
        clear(alarm, state, kLowerAlarmClear);
    }
}

// Upper slot: raised strictly above the setpoint, cleared strictly below
// setpoint - dead band.
void evaluateUpperLimit(const PenAlarm& alarm, double value) {
    std::atomic<int>& state = alarm.states.upper[alarm.pen];
    double setpoint = alarm.settings.alarmLimitHigh;
    if (setpoint == kNoData) {
        setState(state, 0);
        return;
    }
    if (stateOf(state) == 0 && value > setpoint) {
        raise(alarm, state, kUpperAlarm);
    } else if (stateOf(state) == 1 &&
               value < setpoint - deadbandOrZero(alarm.settings.deadbandHigh)) {
        clear(alarm, state, kUpperAlarmClear);
    }
}

void evaluateAnalog(const PenAlarm& alarm, double value) {
    double engineering = toEngineering(alarm.group, alarm.pen, value);
    evaluateLowerLimit(alarm, engineering);
    evaluateUpperLimit(alarm, engineering);
}

// One discrete slot (0 = OFF, 1 = ON) after `elapsed` seconds in one state.
// When the pen is in the slot's alarming state the alarm is raised once the
// delay has passed; in the opposite state it is cleared after the same delay.
void evaluateDiscreteSlot(const PenAlarm& alarm, int slot, bool alarming, int elapsed) {
    std::atomic<int>& state =
        slot == 0 ? alarm.states.lower[alarm.pen] : alarm.states.upper[alarm.pen];
    if (alarm.settings.discreteAlarm[slot] != 1) {
        setState(state, 0);
        return;
    }
    if (elapsed < alarm.settings.discreteAlarmDelay[slot]) return;
    if (alarming && stateOf(state) == 0) {
        raise(alarm, state, slot == 0 ? kLowerAlarm : kUpperAlarm);
    } else if (!alarming && stateOf(state) == 1) {
        clear(alarm, state, slot == 0 ? kLowerAlarmClear : kUpperAlarmClear);
    }
}

int countedUp(int count) { return count < kMaxDiscreteCount ? count + 1 : kMaxDiscreteCount; }

void evaluateDiscrete(const PenAlarm& alarm, double value) {
    int& offCount = alarm.states.offCount[alarm.pen];
    int& onCount = alarm.states.onCount[alarm.pen];
    int cycle = threadConfiguration().group(alarm.group).storingCycle;
    if (value == 0.0) {
        offCount = countedUp(offCount);
        onCount = 0;
        int elapsed = storedSamplesToSeconds(cycle, offCount);
        evaluateDiscreteSlot(alarm, 0, true, elapsed);
        evaluateDiscreteSlot(alarm, 1, false, elapsed);
    } else if (value == 1.0) {
        onCount = countedUp(onCount);
        offCount = 0;
        int elapsed = storedSamplesToSeconds(cycle, onCount);
        evaluateDiscreteSlot(alarm, 1, true, elapsed);
        evaluateDiscreteSlot(alarm, 0, false, elapsed);
    } else {
        offCount = 0;
        onCount = 0;
    }
}

}  // namespace

void evaluateAlarms(int group, int pen, const SystemTime& stepTime) {
    if (group < 1 || group > kTrendGroupCount || pen < 0 || pen >= kPensPerGroup) return;
    double value = currentValue(group, pen);
    if (value == kNoData) return;
    PenAlarm alarm{group, pen, stepTime, threadConfiguration().pen(group, pen), alarmStates[group]};
    if (alarm.settings.isDiscrete == 0) {
        evaluateAnalog(alarm, value);
    } else {
        evaluateDiscrete(alarm, value);
    }
}

}  // namespace kvt
