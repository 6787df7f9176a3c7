#include "core/WorkerWakeups.h"

namespace kvt {

WakeEvent acquisitionWake;
WakeEvent schedulerWake;
WakeEvent writerWake;
WakeEvent socketThreadWake;
WakeEvent socketWatchdogWake;
WakeEvent mailboxServedWake;

void wakeEveryWorker() {
    for (WakeEvent* event : {&acquisitionWake, &schedulerWake, &writerWake, &socketThreadWake,
                             &socketWatchdogWake, &mailboxServedWake}) {
        event->raise();
    }
}

}  // namespace kvt
