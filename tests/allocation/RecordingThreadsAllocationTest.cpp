// Counts heap allocations made by the scheduler and writer threads while a
// measurement runs.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <new>
#include <thread>

#include "../recording/RecordingFixture.h"
#include "AllocationCounter.h"
#include "acquisition/SampleStepWriter.h"
#include "core/PublishedConfiguration.h"
#include "core/RunFlags.h"
#include "core/WorkerWakeups.h"
#include "platform/WindowCommands.h"
#include "publish/Publisher.h"
#include "recording/RecordingWriter.h"
#include "recording/WriteOutage.h"
#include "support/Eventually.h"
#include "support/MqttBroker.h"

namespace kvt {
namespace {

using test::addGroupSample;
using test::addHighSpeedBlock;
using test::addMilliseconds;
using test::makeRecord;
using test::makeTime;

// Real time, but 1 ms naps, so the threads run through the records quickly.
class ShortSleepClock final : public Clock {
public:
    SystemTime localTime() override { return systemClock().localTime(); }
    int64_t epochSeconds() override { return systemClock().epochSeconds(); }
    uint32_t tickCount() override { return systemClock().tickCount(); }
    void sleepMs(uint32_t) override { std::this_thread::sleep_for(std::chrono::milliseconds(1)); }
};

void runCounted(void (*threadMain)()) {
    test::countAllocationsOnThisThread(true);
    threadMain();
}

void waitUntil(bool (*done)()) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!done() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

// A real run hands over one record every half second, far fewer rows than
// the writer writes meanwhile. Here records come as fast as the threads
// take them, so on a loaded machine the writer, the lowest of the threads,
// could fall a whole ring of samples behind, and rows that far behind are
// lost by design. The next record waits until the scheduler has taken the
// last one (it takes every record waiting at once) and the writer is close
// enough.
constexpr uint32_t kMostRowsAhead = kRingSlotCount / 4;

bool schedulerTookEveryRecord() {
    return acquisitionRing.readIndex.load() == acquisitionRing.writeIndex.load();
}

bool readyForTheNextRecord() {
    return schedulerTookEveryRecord() && pendingRowCount() < kMostRowsAhead;
}

bool everythingWritten() {
    return acquisitionRing.readIndex.load() == acquisitionRing.writeIndex.load() &&
           pendingRowCount() == 0;
}

AcquisitionRecord recordAt(const SystemTime& time, int index) {
    AcquisitionRecord record = makeRecord(time);
    for (int group = 1; group <= 4; ++group) {
        addGroupSample(record, group, (index / 7) % 2, index * 0.25 - 3);
    }
    const int triggers[10] = {0, 0, 1, 1, 1, 0, 0, 1, 0, 1};
    addHighSpeedBlock(record, triggers, index);
    return record;
}

class SteadyStateAllocationTest : public test::RecordingTest {
protected:
    void SetUp() override {
        RecordingTest::SetUp();
        settings(1).storingMode = kNormal;
        settings(2).storingMode = kEventRecording;
        settings(2).preTriggerCount = 20;
        settings(2).postTriggerCount = 10;
        settings(3).storingMode = kRemoteTrigger;
        settings(4).storingMode = kAuto;
        settings(4).autoMethod = 1;
        settings(4).autoStartHour = 0;
        settings(4).autoStartMinute = 0;
        settings(4).autoStartSecond = 5;
        settings(4).autoDurationMinutes = 1;
        liveConfiguration.highSpeedRecording.storingMode = kEventRecording;
        liveConfiguration.highSpeedRecording.preTriggerCount = 30;
        liveConfiguration.highSpeedRecording.postTriggerCount = 15;
        liveConfiguration.pens[1][1].logScale = 1;
        liveConfiguration.pens[1][2].isDiscrete = 1;
        publishLiveConfiguration();
        installClock(&shortSleeps);
    }
    void TearDown() override { installClock(nullptr); }

    ShortSleepClock shortSleeps;
};

TEST_F(SteadyStateAllocationTest, SchedulerAndWriterAllocateNothingDuringARun) {
    // The first record of the run, handled here: it makes the day folder and
    // files and sets up whatever the library sets up lazily.
    SystemTime time = makeTime(2026, 3, 7, 23, 59, 0);
    test::pushRecord(recordAt(time, 0));
    ASSERT_EQ(schedulerPass(), 1);
    while (writerPass() > 0) {
    }
    time = addMilliseconds(time, 500);

    // Publishing on: every row written goes into the publisher's hand-over.
    test::PublishConfFile conf(home.path(), "host = 127.0.0.1\nport = " +
                                                std::to_string(test::unusedPort()) + "\n");
    startPublisher();
    store(exitRequested, 0);
    test::resetCountedAllocations();
    std::thread scheduler(runCounted, recordingSchedulerMain);
    std::thread writer(runCounted, recordingWriterMain);
    for (int index = 1; index <= 400; ++index) {  // crosses midnight
        waitUntil(readyForTheNextRecord);
        test::pushRecord(recordAt(time, index));
        time = addMilliseconds(time, 500);
    }
    waitUntil(everythingWritten);
    store(exitRequested, 1);
    wakeEveryWorker();
    scheduler.join();
    writer.join();
    store(exitRequested, 0);

    EXPECT_TRUE(everythingWritten());
    EXPECT_EQ(droppedRowCount.load(), 0u);
    EXPECT_EQ(test::countedAllocations(), 0);
    EXPECT_TRUE(test::eventually([] { return publisherStatus().spooledMessages >= 400; }));
    stopPublisher();
    std::string nextDay = std::string(dataFolder()) + "/20260308/GR1.CSV";
    // 00:00:00.000 to 00:02:20.000 of the next day.
    EXPECT_EQ(test::readFile(nextDay).size(), 512u + 281u * 171u);
}

// Every tick read is a second later: the outage is told within a few records.
class RushingTicksClock final : public Clock {
public:
    SystemTime localTime() override { return systemClock().localTime(); }
    int64_t epochSeconds() override { return systemClock().epochSeconds(); }
    uint32_t tickCount() override { return ticks_.fetch_add(1000) + 1000; }
    void sleepMs(uint32_t) override { std::this_thread::sleep_for(std::chrono::milliseconds(1)); }

private:
    std::atomic<uint32_t> ticks_{0};
};

TEST_F(SteadyStateAllocationTest, FailedWritesAndTheirReportsAllocateNothing) {
    RushingTicksClock rushingTicks;
    installClock(&rushingTicks);
    std::string day = std::string(dataFolder()) + "/20260307";
    test::writeFile(day, "in the way");
    SystemTime time = makeTime(2026, 3, 7, 12, 0, 0);
    test::pushRecord(recordAt(time, 0));
    ASSERT_EQ(schedulerPass(), 1);
    writerPass();  // the first failure, noted outside the count

    long told = postedWindowCommandCount(kCommandWriteFailed);
    long resumed = postedWindowCommandCount(kCommandWritingResumed);
    store(exitRequested, 0);
    test::resetCountedAllocations();
    std::thread scheduler(runCounted, recordingSchedulerMain);
    std::thread writer(runCounted, recordingWriterMain);
    // Records go on until the scheduler has seen the writing resume.
    for (int index = 1; index <= 100 || (writeOutageShown() && index < 5000); ++index) {
        if (index == 50) {
            waitUntil(writeOutageShown);
            unlink(day.c_str());
        }
        // Rows wait behind the failure meanwhile, far fewer than a share holds.
        waitUntil(schedulerTookEveryRecord);
        time = addMilliseconds(time, 500);
        test::pushRecord(recordAt(time, index));
    }
    waitUntil(everythingWritten);
    store(exitRequested, 1);
    scheduler.join();
    writer.join();
    store(exitRequested, 0);

    EXPECT_EQ(postedWindowCommandCount(kCommandWriteFailed), told + 1);
    EXPECT_EQ(postedWindowCommandCount(kCommandWritingResumed), resumed + 1);
    EXPECT_EQ(test::countedAllocations(), 0);
}

}  // namespace
}  // namespace kvt
