#pragma once

namespace kvt {

// Publishes the live configuration, then starts the five worker threads in
// their order and priorities. There is no process-wide priority class
// here: each thread asks for its own priority, and a refused request is
// ignored.
void startWorkerThreads();

// Sets exitRequested and joins every thread that was started, so no worker
// outlives the window. Safe to call when none were started.
void stopWorkerThreads();

bool workerThreadsRunning();

}  // namespace kvt
