#pragma once

namespace kvt {

// Publishes the live configuration, then starts the five worker threads in
// their order and priorities. There is no process-wide priority class
// here: each thread asks for its own priority, and a refused request is
// ignored.
void startWorkerThreads();

// Longest time stopWorkerThreads waits for the workers all together.
constexpr int kWorkerStopLimitMs = 5000;

// Sets exitRequested and joins every thread that was started, waiting at
// most kWorkerStopLimitMs in all: a worker stuck in a call that never
// returns (a hung file system) is left to end with the process, so the
// window always closes. Safe to call when none were started.
void stopWorkerThreads();

bool workerThreadsRunning();

// Workers a stop gave up on that have not ended yet (0 normally); no new
// workers start while any is left.
int workerThreadsLeftRunning();

}  // namespace kvt
