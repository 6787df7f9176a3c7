// Ending the program during a measurement: the records and rows still on
// their way to the files when exit is requested are written before the
// recording threads end, as far as the disk lets them in bounded time.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <future>
#include <string>
#include <thread>

#include "../recording/RecordingFixture.h"
#include "acquisition/AcquisitionThread.h"
#include "app/WorkerThreads.h"
#include "core/PublishedConfiguration.h"
#include "core/RunFlags.h"
#include "recording/CsvRow.h"
#include "recording/RecordingStatus.h"
#include "recording/RecordingWriter.h"
#include "support/HungFolder.h"
#include "support/RecordedFiles.h"

namespace kvt {
namespace {

using test::addGroupSample;
using test::addMilliseconds;
using test::makeRecord;
using test::makeTime;

class ShutdownDrainTest : public test::RecordingTest {
protected:
    void SetUp() override {
        RecordingTest::SetUp();
        settings(1).storingMode = kNormal;
        settings(2).storingMode = kNormal;
        publishLiveConfiguration();  // the thread functions run below read it
        store(exitRequested, 0);
    }
    void TearDown() override { store(exitRequested, 0); }

    // Records of `count` half-second steps from 12:00:00 carrying groups 1
    // and 2 (the ring holds at most 119 unread records).
    void pushSteps(int count) {
        SystemTime time = makeTime(2026, 3, 7, 12, 0, 0);
        for (int step = 0; step < count; ++step) {
            if (step % 100 == 99) {
                while (schedulerPass() == 1) {
                }
            }
            AcquisitionRecord record = makeRecord(time);
            addGroupSample(record, 1, 0, step);
            addGroupSample(record, 2, 0, step);
            test::pushRecord(record);
            time = addMilliseconds(time, 500);
        }
    }

    std::string dayFile(int group) const {
        return std::string(dataFolder()) + "/20260307/GR" + std::to_string(group) + ".CSV";
    }
};

TEST_F(ShutdownDrainTest, RecordsAndRowsLeftAtExitStillReachTheFiles) {
    ASSERT_FALSE(acquisitionThreadRunning());
    pushSteps(40);
    store(exitRequested, 1);
    recordingSchedulerMain();  // exit is already requested: only the final handling runs
    EXPECT_EQ(acquisitionRing.readIndex.load(), acquisitionRing.writeIndex.load());
    EXPECT_FALSE(recordingSchedulerRunning());
    EXPECT_EQ(pendingRowCount(), 80u);
    recordingWriterMain();
    EXPECT_EQ(pendingRowCount(), 0u);
    for (int group = 1; group <= 2; ++group) {
        EXPECT_EQ(test::readFile(dayFile(group)).size(), 512u + 40u * kTrendRowLength);
    }
}

TEST_F(ShutdownDrainTest, ExitDoesNotWaitForRowsTheDiskRefuses) {
    pushSteps(300);  // 600 rows: more than one writer pass
    // A plain file where the day folder belongs: no row of the day can be written.
    test::writeFile(std::string(dataFolder()) + "/20260307", "not a folder");
    store(exitRequested, 1);
    recordingSchedulerMain();
    uint32_t queued = pendingRowCount();
    EXPECT_EQ(queued, 600u);
    long sleepsBefore = clock.clock.sleepCalls.load();
    recordingWriterMain();
    // Given up at once, and counted as dropped rather than left unsaid.
    EXPECT_EQ(pendingRowCount(), 0u);
    EXPECT_EQ(droppedRowCount.load(), queued);
    EXPECT_EQ(clock.clock.sleepCalls.load(), sleepsBefore);
}

// A disk that stops answering: the writer's next open of a day file never
// returns. Exit must still end within its bound; the stuck writer goes on once the
// disk answers again, and then gives up the rows left after its own bound,
// counting them as dropped.
TEST(ShutdownOnAHungDisk, StoppingTheWorkersDoesNotWaitForTheDisk) {
    using std::chrono::milliseconds;
    using std::chrono::steady_clock;
    test::TempHome home;
    makeDataFolder();
    fillDefaults(liveConfiguration, 1, {2026, 3, 1});
    liveConfiguration.group(1).storingMode = kNormal;
    clearAcquisitionRing();
    resetRecordingBuffers();
    store(exitRequested, 0);
    SystemTime time = makeTime(2026, 3, 7, 12, 0, 0);
    for (int step = 0; step < 300; ++step) {
        AcquisitionRecord record = makeRecord(time);
        addGroupSample(record, 1, 0, step);
        test::feed(record);
        time = addMilliseconds(time, 500);
    }
    std::string day = std::string(dataFolder()) + "/20260307";
    ASSERT_EQ(mkdir(day.c_str(), 0777), 0);
    test::HungFolder disk(day);
    if (!disk.ready()) GTEST_SKIP() << "a hanging folder needs CAP_SYS_ADMIN (root)";

    startWorkerThreads();
    // Wait until the writer is stuck: rows stay queued.
    uint32_t pending = pendingRowCount();
    for (int still = 0; still < 20; std::this_thread::sleep_for(milliseconds(50))) {
        uint32_t now = pendingRowCount();
        still = now == pending ? still + 1 : 0;
        pending = now;
    }
    ASSERT_GT(pending, 100u);

    steady_clock::time_point asked = steady_clock::now();
    std::future<void> stopping = std::async(std::launch::async, stopWorkerThreads);
    bool stopped = stopping.wait_for(std::chrono::seconds(15)) == std::future_status::ready;
    auto took = std::chrono::duration_cast<milliseconds>(steady_clock::now() - asked);
    EXPECT_TRUE(stopped) << "stopping the workers waits for the disk";
    EXPECT_LE(took.count(), kWorkerStopLimitMs + 1000);
    EXPECT_EQ(workerThreadsLeftRunning(), stopped ? 1 : 0);

    // The disk answers again, slowly: a row every 30 ms. The writer goes on,
    // and ends once its drain bound has passed.
    auto stillRunning = [&] {
        return stopped ? workerThreadsLeftRunning() > 0
                       : stopping.wait_for(milliseconds(0)) != std::future_status::ready;
    };
    for (int reads = 0; stillRunning() && reads < 2000; ++reads) {
        disk.answer();
        std::this_thread::sleep_for(milliseconds(30));
    }
    EXPECT_FALSE(stillRunning());
    // Whether the writer got through every row before its bound depends on
    // how the disk's answers fell; each row is either written or told dropped.
    EXPECT_EQ(pendingRowCount(), 0u);
    EXPECT_EQ(test::fullestGroupOneDayFile(dataFolder()).rows + static_cast<int>(rowsDropped(1)), 300);
    store(exitRequested, 0);
}

}  // namespace
}  // namespace kvt
