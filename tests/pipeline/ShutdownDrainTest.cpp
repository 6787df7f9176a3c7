// Ending the program during a measurement: the records and rows still on
// their way to the files when exit is requested are written before the
// recording threads end.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "../recording/RecordingFixture.h"
#include "acquisition/AcquisitionThread.h"
#include "core/PublishedConfiguration.h"
#include "core/RunFlags.h"
#include "recording/CsvRow.h"
#include "recording/RecordingWriter.h"

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
    EXPECT_EQ(pendingRowCount(), queued);
    EXPECT_EQ(clock.clock.sleepCalls.load(), sleepsBefore);
}

}  // namespace
}  // namespace kvt
