#include "core/WorkerWakeups.h"

#include <initializer_list>

namespace kvt {

WakeEvent acquisitionWake;
WakeEvent schedulerWake;
WakeEvent writerWake;
WakeEvent socketThreadWake;
WakeEvent socketWatchdogWake;
WakeEvent mailboxServedWake;

void wakeLinkThreads() {
    socketThreadWake.signal();
    socketWatchdogWake.signal();
}

void wakeEveryWorker() {
    for (WakeEvent* event : {&acquisitionWake, &schedulerWake, &writerWake, &socketThreadWake,
                             &socketWatchdogWake, &mailboxServedWake}) {
        event->signal();
    }
}

}  // namespace kvt
