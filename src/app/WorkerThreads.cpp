#include "app/WorkerThreads.h"

#include <pthread.h>

#include <atomic>
#include <thread>
#include <vector>

#include "acquisition/AcquisitionThread.h"
#include "acquisition/SocketThread.h"
#include "core/PublishedConfiguration.h"
#include "core/RunFlags.h"
#include "core/WorkerWakeups.h"
#include "platform/Clock.h"
#include "platform/ThreadStart.h"
#include "publish/Publisher.h"
#include "recording/RecordingScheduler.h"
#include "recording/RecordingWriter.h"

namespace kvt {
namespace {

constexpr int kWorkerCount = 5;
constexpr uint32_t kStopPollMs = 5;

struct Worker {
    std::thread thread;
    int index;
};

// Thread names, by index, for top, gdb and the measurement scripts.
constexpr const char* kWorkerNames[kWorkerCount] = {"kvt-acquisition", "kvt-socket",
                                                    "kvt-watchdog", "kvt-scheduler",
                                                    "kvt-writer"};

std::vector<Worker> workers;
// Set by each worker as its last act, so the stop can tell a thread that
// has ended from one that is stuck without waiting on it.
std::atomic<bool> workerEnded[kWorkerCount];
// Workers given up on at a stop and still running.
std::atomic<bool> workerAbandoned[kWorkerCount];

template <void (*Entry)(), int Index>
void runWorker() {
    pthread_setname_np(pthread_self(), kWorkerNames[Index]);
    Entry();
    workerEnded[Index].store(true, std::memory_order_release);
}

template <void (*Entry)(), int Index>
void startWorker(ThreadPriority priority) {
    workerEnded[Index].store(false, std::memory_order_relaxed);
    workerAbandoned[Index].store(false, std::memory_order_relaxed);
    workers.push_back({startThread(priority, runWorker<Entry, Index>), Index});
}

bool ended(const Worker& worker) {
    return workerEnded[worker.index].load(std::memory_order_acquire);
}

}  // namespace

void startWorkerThreads() {
    if (!workers.empty() || workerThreadsLeftRunning() > 0) return;
    // Each thread starts from the configuration in force.
    publishLiveConfiguration();
    startWorker<acquisitionThreadMain, 0>(ThreadPriority::TimeCritical);
    startWorker<socketThreadMain, 1>(ThreadPriority::TimeCritical);
    startWorker<socketWatchdogThreadMain, 2>(ThreadPriority::TimeCritical);
    startWorker<recordingSchedulerMain, 3>(ThreadPriority::AboveNormal);
    startWorker<recordingWriterMain, 4>(ThreadPriority::BelowNormal);
    startPublisher();
}

void stopWorkerThreads() {
    store(exitRequested, 1);
    wakeEveryWorker();
    int64_t deadline = monotonicMilliseconds() + kWorkerStopLimitMs;
    for (Worker& worker : workers) {
        while (!ended(worker) && monotonicMilliseconds() < deadline) {
            systemClock().sleepMs(kStopPollMs);
        }
        if (ended(worker)) {
            worker.thread.join();
        } else {
            // Stuck in a call that does not return (a hung disk, say): the
            // process ends without it.
            workerAbandoned[worker.index].store(true, std::memory_order_relaxed);
            worker.thread.detach();
        }
    }
    workers.clear();
    // Last: it takes the rows the writer wrote on its way out.
    stopPublisher();
}

bool workerThreadsRunning() { return !workers.empty(); }

int workerThreadsLeftRunning() {
    int running = 0;
    for (int index = 0; index < kWorkerCount; ++index) {
        if (workerAbandoned[index].load(std::memory_order_relaxed) &&
            !workerEnded[index].load(std::memory_order_acquire)) {
            ++running;
        }
    }
    return running;
}

}  // namespace kvt
