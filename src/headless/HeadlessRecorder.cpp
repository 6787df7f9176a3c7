#include "headless/HeadlessRecorder.h"

#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>

#include "core/MeasurementStart.h"
#include "platform/Clock.h"
#include "platform/ServiceNotify.h"
#include "platform/TerminationSignals.h"
#include "platform/WindowCommands.h"

namespace kvt {
namespace {

constexpr int64_t kNoRetry = -1;

bool startFailedWith(int command) {
    return command == kCommandSocketError || command == kCommandNodeError;
}

int pollTimeoutMs(int64_t retryAt) {
    if (retryAt == kNoRetry) return -1;
    return static_cast<int>(std::max<int64_t>(0, retryAt - monotonicMilliseconds()));
}

// Sleeps until a command, a signal or the retry; false once a termination
// signal came.
bool waitForWork(int64_t retryAt) {
    pollfd watched[2] = {{windowCommandReadDescriptor(), POLLIN, 0},
                         {terminationSignalDescriptor(), POLLIN, 0}};
    if (poll(watched, 2, pollTimeoutMs(retryAt)) < 0 && errno != EINTR) {
        // Not to be had with valid descriptors; a pause keeps it from spinning.
        systemClock().sleepMs(100);
    }
    return takeTerminationSignal() == 0;
}

}  // namespace

int runHeadlessRecorder(const HeadlessParts& parts) {
    parts.startWorkers();
    notifyServiceManager("READY=1");
    requestMeasurementStart();
    int64_t retryAt = kNoRetry;
    while (waitForWork(retryAt)) {
        while (int command = takeWindowCommand()) {
            parts.takeCommand(command);
            if (startFailedWith(command)) retryAt = monotonicMilliseconds() + kStartRetryMs;
        }
        if (retryAt != kNoRetry && monotonicMilliseconds() >= retryAt) {
            retryAt = kNoRetry;
            requestMeasurementStart();
        }
    }
    notifyServiceManager("STOPPING=1");
    parts.stopWorkers();
    return 0;
}

}  // namespace kvt
