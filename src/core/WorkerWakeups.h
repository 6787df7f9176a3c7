#pragma once

#include "platform/WakeEvent.h"

namespace kvt {

// What wakes a worker thread that sleeps until its next piece of work (or
// its next due time). Whoever hands a thread work signals its event after
// publishing the work.
extern WakeEvent acquisitionWake;    // a run was requested or stopped
extern WakeEvent schedulerWake;      // an acquisition record was written
extern WakeEvent writerWake;         // rows were queued for the day files
extern WakeEvent socketThreadWake;   // a request flag of the request mailbox was set
extern WakeEvent socketWatchdogWake; // the socket thread began a blocking call
extern WakeEvent mailboxServedWake;  // the socket thread served a request

// Signals every one of them: after exitRequested is set, so that no thread
// sleeps on until its own time-out.
void wakeEveryWorker();

// Signals the socket thread and its watchdog, which sleep while the link
// is idle: after a new configuration was published (the port may have
// changed), so that they take it over at once.
void wakeLinkThreads();

}  // namespace kvt
