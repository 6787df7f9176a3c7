#include "app/WorkerThreads.h"

#include <thread>
#include <vector>

#include "acquisition/AcquisitionThread.h"
#include "acquisition/SocketThread.h"
#include "core/PublishedConfiguration.h"
#include "core/RunFlags.h"
#include "platform/ThreadStart.h"
#include "recording/RecordingScheduler.h"
#include "recording/RecordingWriter.h"

namespace kvt {
namespace {

std::vector<std::thread> workers;

}  // namespace

void startWorkerThreads() {
    if (!workers.empty()) return;
    // Each thread starts from the configuration in force.
    publishLiveConfiguration();
    workers.push_back(startThread(ThreadPriority::TimeCritical, acquisitionThreadMain));
    workers.push_back(startThread(ThreadPriority::TimeCritical, socketThreadMain));
    workers.push_back(startThread(ThreadPriority::TimeCritical, socketWatchdogThreadMain));
    workers.push_back(startThread(ThreadPriority::AboveNormal, recordingSchedulerMain));
    workers.push_back(startThread(ThreadPriority::BelowNormal, recordingWriterMain));
}

void stopWorkerThreads() {
    store(exitRequested, 1);
    for (std::thread& worker : workers) {
        if (worker.joinable()) worker.join();
    }
    workers.clear();
}

bool workerThreadsRunning() { return !workers.empty(); }

}  // namespace kvt
