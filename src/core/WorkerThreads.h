#pragma once

namespace kvt {

// Starts the five worker threads in their order and priorities. The
// process-wide real-time class of the original maps to the per-thread
// priorities; refused requests are kept silently.
void startWorkerThreads();

// Sets exitRequested and joins every thread that was started, so no worker
// outlives the window. Safe to call when none were started.
void stopWorkerThreads();

bool workerThreadsRunning();

}  // namespace kvt
