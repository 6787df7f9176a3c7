#include "recording/StoringModes.h"

#include <algorithm>

#include "acquisition/StepTime.h"
#include "core/ThreadConfiguration.h"
#include "recording/RecordingBuffers.h"
#include "recording/SampleRecording.h"

namespace kvt {
namespace {

// The parts of a group's recording settings that the trigger modes use.
struct TriggerRules {
    int mode;
    int condition;  // 0 ON / rise, 1 OFF / sink
    int preTrigger;
    int postTrigger;
};

TriggerRules rulesOf(int group) {
    if (group == kHighSpeedGroup) {
        const HighSpeedRecordingSettings& settings = threadConfiguration().highSpeedRecording;
        // The high-speed group has no auto mode.
        int mode = settings.storingMode == kAuto ? kNoRecording : settings.storingMode;
        return {mode, settings.triggerCondition, settings.preTriggerCount,
                settings.postTriggerCount};
    }
    const GroupRecordingSettings& settings = threadConfiguration().group(group);
    return {settings.storingMode, settings.triggerCondition, settings.preTriggerCount,
            settings.postTriggerCount};
}

void setRecording(GroupRecordingRing& ring, int recording) {
    ring.recording.store(recording, std::memory_order_release);
}

bool isRecording(const GroupRecordingRing& ring) {
    return ring.recording.load(std::memory_order_relaxed) != 0;
}

void applyRemoteTrigger(int group, int slot, const TriggerRules& rules) {
    GroupRecordingRing& ring = groupRecordingRings[group];
    int wantedState = rules.condition == 0 ? 1 : 0;
    if (ring.currentTrigger == wantedState) {
        setRecording(ring, 1);
        recordSlot(group, slot);
    } else {
        setRecording(ring, 0);
    }
}

bool isTriggerEdge(const GroupRecordingRing& ring, int condition) {
    if (condition == 0) return ring.previousTrigger == 0 && ring.currentTrigger == 1;
    return ring.previousTrigger == 1 && ring.currentTrigger == 0;
}

void recordPretrigger(int group, int slot, int preTrigger) {
    const GroupRecordingRing& ring = groupRecordingRings[group];
    // At most the samples of this run, and never the slot being recorded.
    int count = std::min<int64_t>(preTrigger, ring.samplesSinceStart);
    count = std::min(count, kRingSlotCount - 1);
    for (int back = count; back >= 1; --back) recordSlot(group, slotBefore(slot, back));
}

void applyEventRecording(int group, int slot, const TriggerRules& rules) {
    GroupRecordingRing& ring = groupRecordingRings[group];
    if (!isRecording(ring) && isTriggerEdge(ring, rules.condition)) {
        setRecording(ring, 1);
        ring.spanCounter = 0;
        ring.spanLength = rules.postTrigger;
        recordPretrigger(group, slot, rules.preTrigger);
    }
    if (!isRecording(ring)) return;
    if (ring.spanCounter < ring.spanLength) {
        recordSlot(group, slot);
        ++ring.spanCounter;
    }
    if (ring.spanCounter >= ring.spanLength) setRecording(ring, 0);
}

bool isAutoStart(const SystemTime& time, const GroupRecordingSettings& settings) {
    if (time.milliseconds != 0) return false;
    bool clockMatches = time.hour == settings.autoStartHour &&
                        time.minute == settings.autoStartMinute &&
                        time.second == settings.autoStartSecond;
    if (settings.autoMethod == 1) return clockMatches;
    return clockMatches && time.year == settings.autoStartYear &&
           time.month == settings.autoStartMonth && time.day == settings.autoStartDay;
}

// A clock set back repeats local time; a stamp that has started a span this
// run does not start another (one span a day, one for a one-time start).
bool isRepeatedAutoStart(const GroupRecordingRing& ring, const SystemTime& time) {
    return compareToTheSecond(time, ring.lastAutoStart) == 0;
}

void applyAuto(int group, int slot) {
    GroupRecordingRing& ring = groupRecordingRings[group];
    const GroupRecordingSettings& settings = threadConfiguration().group(group);
    const SystemTime time = slotData(ring.slots[slot]).time;
    if (!isRecording(ring) && isAutoStart(time, settings) && !isRepeatedAutoStart(ring, time)) {
        ring.lastAutoStart = time;
        setRecording(ring, 1);
        ring.spanCounter = 0;
        ring.spanLength = autoSpanLength(settings.storingCycle, settings.autoDurationHours,
                                         settings.autoDurationMinutes);
    }
    if (!isRecording(ring)) return;
    // Records first and compares afterwards: a zero duration still records
    // the starting sample.
    recordSlot(group, slot);
    ++ring.spanCounter;
    if (ring.spanCounter >= ring.spanLength) setRecording(ring, 0);
}

}  // namespace

// Worked out in 64 bits: a damaged settings file may hold any duration, and
// the span must then be as long as a span counter can count (a negative one
// as short as a zero one), not whatever a wrapped product gives.
int32_t autoSpanLength(int storingCycle, int hours, int minutes) {
    static constexpr int64_t kSamplesPerMinute[] = {120, 60, 30, 12, 6, 1};
    if (storingCycle < 0 || storingCycle > kCycle1min) return 0;
    int64_t samples = (int64_t{hours} * 60 + minutes) * kSamplesPerMinute[storingCycle];
    return static_cast<int32_t>(std::clamp<int64_t>(samples, 0, INT32_MAX));
}

void applyStoringMode(int group, int slot) {
    TriggerRules rules = rulesOf(group);
    GroupRecordingRing& ring = groupRecordingRings[group];
    switch (rules.mode) {
    case kNormal:
        setRecording(ring, 1);
        recordSlot(group, slot);
        break;
    case kRemoteTrigger:
        applyRemoteTrigger(group, slot, rules);
        break;
    case kEventRecording:
        applyEventRecording(group, slot, rules);
        break;
    case kAuto:
        applyAuto(group, slot);
        break;
    default:
        // Not recording: the group is not inside a span whatever it was
        // doing before a settings change.
        setRecording(ring, 0);
        break;
    }
}

}  // namespace kvt
