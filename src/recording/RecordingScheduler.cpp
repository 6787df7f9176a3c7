#include "recording/RecordingScheduler.h"

#include "core/RunFlags.h"
#include "platform/Clock.h"

namespace kvt {

// Placeholder until the scheduler lands: idles until exit.
void recordingSchedulerMain() {
    while (!load(exitRequested)) activeClock().sleepMs(50);
}

void resetRecordingBuffers() {}

}  // namespace kvt
