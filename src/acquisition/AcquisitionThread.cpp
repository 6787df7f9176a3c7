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
#include "platform/Clock.h"
#include "recording/AlarmHistory.h"

namespace kvt {
namespace {

constexpr uint32_t kPassSleepMs = 10;

SampleClock sampleClock;
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
    for (int step = 0; step < dueSteps; ++step) {
        if (acquisitionRingFull()) return;
        SystemTime stepTime = sampleClock.nextStep();
        writeSampleStep(stepTime, storeGroups);
        sampleClock.stepWritten(stepTime);
    }
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
    refreshThreadConfiguration();
    retryPendingAlarmHistory();
    produceValues();
    SystemTime now = validatedLocalTime();
    if (!isPlausibleLocalTime(now)) return false;  // only when exit cut the wait short
    int dueSteps = sampleClock.dueSteps(now, activeClock().tickCount());
    if (dueSteps > 1) overrunCounter.fetch_add(1, std::memory_order_acq_rel);
    if (followRunRequest()) writeDueSteps(dueSteps);
    return load(exitRequested) == 0;
}

void acquisitionThreadMain() {
    ThreadConfigurationScope configuration(acquisitionConfiguration);
    store(threadRunning, 1);
    if (beginAcquisitionThread()) {
        do {
            activeClock().sleepMs(kPassSleepMs);
        } while (acquisitionPass());
    }
    if (load(acquisitionActive) == 1) stopAcquisitionRun();
    retryPendingAlarmHistory();  // events kept from a failed write get one more try
    store(threadRunning, 0);
}

bool acquisitionThreadRunning() { return load(threadRunning) == 1; }

const SampleClock& acquisitionSampleClock() { return sampleClock; }

}  // namespace kvt
