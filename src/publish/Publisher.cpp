#include "publish/Publisher.h"

#include <pthread.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <thread>

#include "platform/Clock.h"
#include "platform/Paths.h"
#include "publish/PublisherLoop.h"
#include "recording/RecordedOutlets.h"

namespace kvt {
namespace {

constexpr const char* kSpoolName = "/publish.spool";

void reportOnStandardError(int priority, const char* text, uint64_t dropped) {
    if (dropped > 0) {
        std::fprintf(stderr, "<%d>kvt936p: publish: %llu messages dropped: %s\n", priority,
                     static_cast<unsigned long long>(dropped), text);
    } else {
        std::fprintf(stderr, "<%d>kvt936p: publish: %s\n", priority, text);
    }
}

std::atomic<PublisherReportSink> reportSink{reportOnStandardError};

// Made once, at the first start, and kept: a producer may still hold it.
std::atomic<PublisherQueues*> queues{nullptr};
PublisherCounters counters;

struct Running {
    std::unique_ptr<PublisherLoop> loop;
    std::thread thread;
    std::atomic<bool> stop{false};
    std::atomic<bool> ended{false};
};
std::unique_ptr<Running> running;

void publisherThreadMain(Running* publisher, std::string spoolPath) {
    // Named for top -H and the CPU measurement (the network library names
    // its own thread "mosquitto loop").
    pthread_setname_np(pthread_self(), kPublisherThreadName);
    publisher->loop->run(spoolPath, publisher->stop);
    publisher->ended.store(true, std::memory_order_release);
}

}  // namespace

PublisherStatus publisherStatus() {
    PublisherStatus status;
    status.configured = counters.configured.load();
    status.connected = counters.connected.load();
    status.spooledMessages = counters.spooled.load(std::memory_order_relaxed);
    PublisherQueues* handOvers = queues.load(std::memory_order_acquire);
    status.droppedMessages = counters.dropped.load(std::memory_order_relaxed) +
                             (handOvers != nullptr ? handOvers->dropped.load(std::memory_order_relaxed) : 0);
    status.problem = static_cast<PublishProblem>(counters.problem.load());
    if (status.configured) {
        PublisherTexts texts = counters.texts.load();
        std::memcpy(status.broker, texts.broker, sizeof status.broker);
        std::memcpy(status.lastError, texts.lastError, sizeof status.lastError);
    }
    return status;
}

void publishRow(int group, const SystemTime& time, const char* row, int length) {
    PublisherQueues* target = queues.load(std::memory_order_acquire);
    if (target == nullptr || length <= 0 || length > kMaxRowLength) return;
    HandedRow handed;
    handed.group = group;
    handed.length = length;
    handed.time = time;
    std::memcpy(handed.row, row, static_cast<size_t>(length));
    if (!target->rows.push(handed)) target->dropped.fetch_add(1, std::memory_order_relaxed);
}

void publishAlarm(int group, int pen, const SystemTime& time, int code) {
    PublisherQueues* target = queues.load(std::memory_order_acquire);
    if (target == nullptr) return;
    if (!target->alarms.push({group, pen, code, time})) {
        target->dropped.fetch_add(1, std::memory_order_relaxed);
    }
}

void startPublisher() {
    if (running) {
        // One that runs, or one given up on at a stop that has not ended:
        // the hand-overs have room for one consumer only.
        if (!running->ended.load(std::memory_order_acquire)) return;
        if (running->thread.joinable()) running->thread.join();
        running.reset();
    }
    std::string path = publishConfigPath();
    PublishConfig config = readPublishConfig(path);
    counters.configured.store(config.outcome == PublishConfig::Outcome::Valid);
    if (config.outcome == PublishConfig::Outcome::Absent) return;
    if (config.outcome == PublishConfig::Outcome::Invalid) {
        counters.problem.store(static_cast<int>(PublishProblem::Configuration));
        reportPublisherEvent(3, (path + ": " + config.problem + "; publishing is off").c_str());
        return;
    }
    if (queues.load() == nullptr) queues.store(new PublisherQueues, std::memory_order_release);
    running = std::make_unique<Running>();
    running->loop = std::make_unique<PublisherLoop>(config.settings, *queues.load(), counters);
    setRecordedOutlets(publishRow, publishAlarm);
    running->thread = std::thread(publisherThreadMain, running.get(),
                                  std::string(dataFolder()) + kSpoolName);
}

void stopPublisher() {
    if (!running || !running->thread.joinable()) return;
    running->stop.store(true, std::memory_order_release);
    running->loop->wake();
    int64_t deadline = monotonicMilliseconds() + kPublisherStopLimitMs;
    while (!running->ended.load(std::memory_order_acquire) && monotonicMilliseconds() < deadline) {
        systemClock().sleepMs(5);
    }
    setRecordedOutlets(nullptr, nullptr);
    if (running->ended.load(std::memory_order_acquire)) {
        running->thread.join();
        running.reset();
    } else {
        // Stuck in the network library or a hung disk: it ends with the
        // process, and keeps what it uses.
        running->thread.detach();
    }
}

void setPublisherReportSink(PublisherReportSink sink) {
    reportSink.store(sink != nullptr ? sink : reportOnStandardError);
}

void reportPublisherEvent(int priority, const char* text, uint64_t dropped) {
    reportSink.load()(priority, text, dropped);
}

}  // namespace kvt
