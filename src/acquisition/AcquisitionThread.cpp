#include "acquisition/AcquisitionThread.h"

#include <atomic>

#include "acquisition/AcquisitionLinkHooks.h"
#include "acquisition/AcquisitionRun.h"
#include "acquisition/CurrentValues.h"
#include "acquisition/DemoValues.h"
#include "acquisition/SampleClock.h"
#include "acquisition/SampleStepWriter.h"
#include "core/RunFlags.h"
#include "core/ThreadConfiguration.h"
#include "core/WorkerWakeups.h"
#include "platform/Clock.h"
#include "recording/AlarmHistory.h"

namespace kvt {
namespace {

// Least time from one pass to the next while nodes are polled (the
// exchanges take longer than this on any real line), and while steps wait
// for room in the ring.
constexpr uint32_t kPassSleepMs = 10;
constexpr int kHalfStepMs = 500;
// Wake this long after the full second, so that the clock shows it.
constexpr uint32_t kPastTheSecondMs = 1;

SampleClock sampleClock;
// Tick count at the start of the last pass.
uint32_t passStartTick = 0;
// The second of local time the passes last saw, and the tick count of the
// first pass that saw it: the half-second step falls due 500 ms later.
int secondSeen = -1;
uint32_t secondSeenAtTick = 0;
// Steps that found the ring full wait for the next pass.
bool stepsStillDue = false;
std::atomic<int> threadRunning{0};
// What the thread reads while it runs; taken over whole at the start of a pass.
ConfigurationSnapshot acquisitionConfiguration;

bool runGoing() { return load(acquisitionActive) == 1 && load(acquisitionRequested) == 1; }

// Keeps the current values up to date while a run is going.
void produceValues() {
    if (!runGoing()) return;
    int mode = acquisitionRunMode();
    if (mode == kDemoMode) {
        generateDemoValues(sampleClock.lastSample());
        store(valuesValid, 1);
    } else if (mode == kNormalMode) {
        acquisitionLinkHooks.pollNextNode();
    }
}

// Restarts the sample clock at a fresh reading; false when exit interrupted it.
bool restartSampleClock() {
    SystemTime now = validatedLocalTime();
    if (!isPlausibleLocalTime(now)) return false;
    sampleClock.restart(now, activeClock().tickCount());
    return true;
}

// Starts or stops a run as requested; false when the pass ends here.
bool followRunRequest() {
    int active = load(acquisitionActive);
    int requested = load(acquisitionRequested);
    if (active == 0 && requested == 1) {
        switch (startAcquisitionRun()) {
        case RunStart::Started:
            return true;
        case RunStart::StartedOverTcp:
            // Connecting took time; that time must not become a backlog of steps.
            restartSampleClock();
            return false;
        case RunStart::Withdrawn:
        case RunStart::Failed:
        case RunStart::Abandoned:
            return false;
        }
    }
    if (active == 1 && requested == 0) stopAcquisitionRun();
    return true;
}

// Writes the due steps oldest first. Steps that find the ring full stay due
// and are written by a later pass once the scheduler has read on.
void writeDueSteps(int dueSteps) {
    int mode = acquisitionRunMode();
    bool storeGroups = runGoing() && (mode == kDemoMode || mode == kNormalMode);
    stepsStillDue = false;
    for (int step = 0; step < dueSteps; ++step) {
        if (acquisitionRingFull()) {
            stepsStillDue = true;
            return;
        }
        SystemTime stepTime = sampleClock.nextStep();
        writeSampleStep(stepTime, storeGroups);
        sampleClock.stepWritten(stepTime);
    }
}

void noteSecondSeen(const SystemTime& now, uint32_t ticks) {
    if (now.second == secondSeen) return;
    secondSeen = now.second;
    secondSeenAtTick = ticks;
}

// Until the next pass. While nodes are polled (or steps wait for room) the
// passes follow each other, at least kPassSleepMs apart. Otherwise a pass
// has nothing to do before the next step falls due: the next full second
// of local time, or the half second 500 ms of ticks after the full second
// was first seen.
uint32_t msUntilNextPass() {
    uint32_t ticks = activeClock().tickCount();
    if (stepsStillDue || (runGoing() && acquisitionRunMode() == kNormalMode)) {
        uint32_t passed = ticks - passStartTick;
        return passed >= kPassSleepMs ? 0 : kPassSleepMs - passed;
    }
    SystemTime now = activeClock().localTime();
    if (!isPlausibleLocalTime(now)) return kPassSleepMs;
    uint32_t untilFullSecond = 1000 - now.milliseconds + kPastTheSecondMs;
    if (now.second != secondSeen) return 0;  // the second turned after the pass
    uint32_t sinceFullSecond = ticks - secondSeenAtTick;
    if (sinceFullSecond >= kHalfStepMs) return untilFullSecond;
    uint32_t untilHalfStep = kHalfStepMs - sinceFullSecond;
    return untilHalfStep < untilFullSecond ? untilHalfStep : untilFullSecond;
}

// Sleeps until the next pass; a start or stop request (acquisitionWake)
// and exit end the sleep early.
void sleepUntilNextPass() {
    uint32_t sleepMs = msUntilNextPass();
    if (sleepMs > 0) activeClock().sleepUntilSignalled(acquisitionWake, sleepMs);
}

}  // namespace

bool beginAcquisitionThread() {
    for (int group = 0; group < kGroupCount; ++group) {
        groupTriggerState[group].store(0, std::memory_order_relaxed);
        groupTriggerByte[group].store(0, std::memory_order_relaxed);
    }
    if (!restartSampleClock()) return false;
    return load(exitRequested) == 0;
}

bool acquisitionPass() {
    passStartTick = activeClock().tickCount();
    refreshThreadConfiguration();
    retryPendingAlarmHistory();
    produceValues();
    SystemTime now = validatedLocalTime();
    if (!isPlausibleLocalTime(now)) return false;  // only when exit cut the wait short
    uint32_t ticks = activeClock().tickCount();
    noteSecondSeen(now, ticks);
    int dueSteps = sampleClock.dueSteps(now, ticks);
    if (dueSteps > 1) overrunCounter.fetch_add(1, std::memory_order_acq_rel);
    if (followRunRequest()) writeDueSteps(dueSteps);
    return load(exitRequested) == 0;
}

void acquisitionThreadMain() {
    ThreadConfigurationScope configuration(acquisitionConfiguration);
    store(threadRunning, 1);
    if (beginAcquisitionThread()) {
        do {
            sleepUntilNextPass();
        } while (acquisitionPass());
    }
    if (load(acquisitionActive) == 1) stopAcquisitionRun();
    retryPendingAlarmHistory();  // events kept from a failed write get one more try
    dropAlarmHistoryLeftAtExit();
    store(threadRunning, 0);
}

bool acquisitionThreadRunning() { return load(threadRunning) == 1; }

const SampleClock& acquisitionSampleClock() { return sampleClock; }

}  // namespace kvt
