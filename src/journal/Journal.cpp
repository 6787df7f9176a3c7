#include "journal/Journal.h"

#include <pthread.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <limits>
#include <mutex>
#include <thread>

#include "journal/JournalLines.h"
#include "journal/JournalRing.h"
#include "journal/RepeatSummary.h"
#include "platform/Clock.h"
#include "platform/WakeEvent.h"

namespace kvt {
namespace {

constexpr int kFlushWaitMs = 1000;
constexpr int64_t kEndOfTime = std::numeric_limits<int64_t>::max();

JournalRing ring;
WakeEvent wake;
std::atomic<bool> stopping{false};
std::thread writer;

// The reader's side: one reader at a time, the thread or a flush without it.
std::mutex readerMutex;
RepeatSummary summary;
int output = 2;

// How far the writing has got, for flushJournal.
std::mutex progressMutex;
std::condition_variable progressed;
uint32_t written = 0;

void writeAll(const char* text, int length) {
    while (length > 0) {
        ssize_t done = ::write(output, text, static_cast<size_t>(length));
        if (done < 0 && errno == EINTR) continue;
        if (done <= 0) return;  // nowhere to write: the lines go
        text += done;
        length -= static_cast<int>(done);
    }
}

void writeLine(const JournalEvent& event, int times) {
    char line[kJournalLineBytes];
    writeAll(line, formatJournalLine(event, times, line, sizeof line));
}

void writeLostCount() {
    uint32_t lost = ring.takeLostCount();
    if (lost == 0) return;
    JournalEvent event;
    event.kind = JournalEventKind::EventsLost;
    event.count = lost;
    writeLine(event, 0);
}

void writeSummariesDue(int64_t nowMs) {
    JournalEvent event;
    int times = 0;
    while (summary.takeDueSummary(nowMs, event, times)) writeLine(event, times);
}

// Reader only: writes what has been posted and the summaries due.
void writePending(int64_t summariesUpToMs) {
    JournalEvent event;
    while (ring.pop(event)) {
        // A summary whose minute ended before the event comes first.
        writeSummariesDue(event.monotonicMs);
        if (summary.admit(event)) writeLine(event, 0);
    }
    writeLostCount();
    writeSummariesDue(summariesUpToMs);
    std::lock_guard<std::mutex> lock(progressMutex);
    written = ring.poppedCount();
    progressed.notify_all();
}

int msUntilNextSummary() {
    int64_t due = summary.nextDueMs();
    if (due < 0) return -1;
    int64_t left = due - monotonicMilliseconds();
    return left <= 0 ? 0 : static_cast<int>(left);
}

void writerMain() {
    pthread_setname_np(pthread_self(), "kvt-journal");
    for (;;) {
        int waitMs = 0;
        {
            std::lock_guard<std::mutex> lock(readerMutex);
            bool ending = stopping.load(std::memory_order_acquire);
            writePending(ending ? kEndOfTime : monotonicMilliseconds());
            if (ending) return;
            waitMs = msUntilNextSummary();
        }
        wake.wait(waitMs);
    }
}

bool reached(uint32_t position, uint32_t target) {
    return static_cast<int32_t>(position - target) >= 0;
}

}  // namespace

void postJournalEvent(const JournalEvent& event) {
    JournalEvent stamped = event;
    stamped.monotonicMs = monotonicMilliseconds();
    ring.push(stamped);
    wake.signal();
}

void startJournal(int descriptor) {
    if (writer.joinable()) return;
    output = descriptor;
    stopping.store(false, std::memory_order_release);
    writer = std::thread(writerMain);
}

void stopJournal() {
    if (!writer.joinable()) {
        std::lock_guard<std::mutex> lock(readerMutex);
        writePending(kEndOfTime);
        return;
    }
    stopping.store(true, std::memory_order_release);
    wake.signal();
    writer.join();
    output = 2;
}

void flushJournal() {
    uint32_t target = ring.pushedCount();
    if (!writer.joinable()) {
        std::lock_guard<std::mutex> lock(readerMutex);
        writePending(monotonicMilliseconds());
        return;
    }
    wake.signal();
    std::unique_lock<std::mutex> lock(progressMutex);
    progressed.wait_for(lock, std::chrono::milliseconds(kFlushWaitMs),
                        [target] { return reached(written, target); });
}

void discardJournal() {
    std::lock_guard<std::mutex> lock(readerMutex);
    JournalEvent event;
    while (ring.pop(event)) {
    }
    ring.takeLostCount();
    summary = RepeatSummary{};
}

}  // namespace kvt
