#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "RecordingFixture.h"
#include "acquisition/AlarmStates.h"
#include "core/RunFlags.h"
#include "platform/WindowCommands.h"

namespace kvt {
namespace {

using test::addGroupSample;
using test::addMilliseconds;
using test::feed;
using test::fileExists;
using test::makeRecord;
using test::makeTime;
using test::pushRecord;
using test::queuedValues;

class RecordingSchedulerTest : public test::RecordingTest {
protected:
    // Newest sample of a ring, read the way the display reads it.
    double newestValue(int group) {
        const GroupRecordingRing& ring = groupRecordingRings[group];
        uint32_t slot = (ring.writeSlot.load() + kRingSlotCount - 1) % kRingSlotCount;
        return slotData(ring.slots[slot]).values[0];
    }
};

TEST_F(RecordingSchedulerTest, EmptyRingIsANoOpAndEveryRecordAdvancesTheReadIndex) {
    EXPECT_EQ(schedulerPass(), 0);
    for (int index = 0; index < kAcquisitionRingSize + 5; ++index) {
        pushRecord(makeRecord(time, 0));
        ASSERT_EQ(schedulerPass(), 1);
        time = addMilliseconds(time, 500);
    }
    EXPECT_EQ(acquisitionRing.readIndex.load(), 5u);
    EXPECT_EQ(schedulerPass(), 0);
}

TEST_F(RecordingSchedulerTest, OneRecordPerPassInArrivalOrder) {
    for (int index = 0; index < 3; ++index) {
        AcquisitionRecord record = makeRecord(time);
        addGroupSample(record, 1, 0, index);
        pushRecord(record);
        time = addMilliseconds(time, 500);
    }
    EXPECT_EQ(schedulerPass(), 1);
    EXPECT_EQ(groupRecordingRings[1].filledCount.load(), 1u);
    EXPECT_EQ(schedulerPass(), 1);
    EXPECT_EQ(schedulerPass(), 1);
    EXPECT_EQ(schedulerPass(), 0);
    EXPECT_EQ(newestValue(1), 2);
}

TEST_F(RecordingSchedulerTest, SlotsCarryTimeTriggerValuesAndStatus) {
    AcquisitionRecord record = makeRecord(time);
    addGroupSample(record, 7, 1, 42.5);
    record.groups[6].values[11] = kNoData;
    feed(record);
    const SampleData sample = slotData(groupRecordingRings[7].slots[0]);
    EXPECT_EQ(sample.time.hour, 10);
    EXPECT_EQ(sample.trigger, 1);
    EXPECT_EQ(sample.values[0], 42.5);
    EXPECT_EQ(sample.values[11], kNoData);
    EXPECT_EQ(sample.status[5], 5);
    EXPECT_EQ(groupRecordingRings[7].slots[0].version.load() % 2, 0u);
    EXPECT_EQ(groupRecordingRings[6].filledCount.load(), 0u);  // no block, no sample
}

TEST_F(RecordingSchedulerTest, WriteSlotWrapsAndFilledCountHoldsAtTheRingSize) {
    settings(2).storingMode = kNormal;
    feedSamples(2, kRingSlotCount + 7);
    const GroupRecordingRing& ring = groupRecordingRings[2];
    EXPECT_EQ(ring.writeSlot.load(), 7u);
    EXPECT_EQ(ring.filledCount.load(), static_cast<uint32_t>(kRingSlotCount));
    EXPECT_EQ(ring.samplesSinceStart, static_cast<uint32_t>(kRingSlotCount));
    EXPECT_EQ(newestValue(2), kRingSlotCount + 6);
    EXPECT_EQ(recordedSampleRings[2].writeIndex.load(), 7u);
    EXPECT_EQ(recordedSampleRings[2].count.load(), static_cast<uint32_t>(kRingSlotCount));
}

TEST_F(RecordingSchedulerTest, RecordedRingHoldsOnlyRecordedSamples) {
    settings(1).storingMode = kRemoteTrigger;
    int triggers[] = {1, 0, 1, 1};
    for (int index = 0; index < 4; ++index) {
        AcquisitionRecord record = makeRecord(time);
        addGroupSample(record, 1, triggers[index], index);
        feed(record);
        time = addMilliseconds(time, 500);
    }
    const RecordedSamplesRing& recorded = recordedSampleRings[1];
    ASSERT_EQ(recorded.count.load(), 3u);
    EXPECT_EQ(slotData(recorded.slots[0]).values[0], 0);
    EXPECT_EQ(slotData(recorded.slots[1]).values[0], 2);
    EXPECT_EQ(slotData(recorded.slots[2]).values[0], 3);
    EXPECT_EQ(slotData(recorded.slots[2]).status[3], 3);
}

TEST_F(RecordingSchedulerTest, AStartEmptiesOnlyTheGroupsWhoseCycleChanged) {
    feedSamples(1, 5);
    feedSamples(2, 5);
    AcquisitionRecord highSpeed = makeRecord(time);
    highSpeed.highSpeedPresent = 1;
    feed(highSpeed);
    stopMeasurement();
    settings(2).storingCycle = kCycle10s;
    feed(makeRecord(time));  // the next start
    EXPECT_EQ(groupRecordingRings[1].filledCount.load(), 5u);
    EXPECT_EQ(groupRecordingRings[2].filledCount.load(), 0u);
    EXPECT_EQ(groupRecordingRings[2].writeSlot.load(), 0u);
    EXPECT_EQ(recordedSampleRings[2].count.load(), 0u);
    EXPECT_EQ(groupRecordingRings[2].seenStoringCycle, kCycle10s);
    EXPECT_EQ(groupRecordingRings[0].filledCount.load(), 10u);  // never emptied
    // The same cycle at the following start keeps the new samples.
    feedSamples(2, 3);
    stopMeasurement();
    feed(makeRecord(time));
    EXPECT_EQ(groupRecordingRings[2].filledCount.load(), 3u);
}

TEST_F(RecordingSchedulerTest, ResetTakesTheConfiguredCycleAsTheOneSeenAtTheLastStart) {
    settings(4).storingCycle = kCycle5s;
    resetRecordingBuffers();
    EXPECT_EQ(groupRecordingRings[4].seenStoringCycle, kCycle5s);
    EXPECT_EQ(groupRecordingRings[3].seenStoringCycle, kCycleHalfSecond);
    feedSamples(4, 2);
    stopMeasurement();
    feed(makeRecord(time));
    EXPECT_EQ(groupRecordingRings[4].filledCount.load(), 2u);
}

TEST_F(RecordingSchedulerTest, StartResetsSamplesSinceStartSoPretriggerStaysInTheRun) {
    settings(1).storingMode = kEventRecording;
    settings(1).preTriggerCount = 10;
    settings(1).postTriggerCount = 1;
    feedSamples(1, 6);
    stopMeasurement();
    for (int index = 0; index < 3; ++index) {
        AcquisitionRecord record = makeRecord(time);
        addGroupSample(record, 1, index == 2 ? 1 : 0, 100 + index);
        feed(record);
        time = addMilliseconds(time, 500);
    }
    EXPECT_EQ(queuedValues(1), (std::vector<double>{100, 101, 102}));
}

TEST_F(RecordingSchedulerTest, BlinkTogglesOnFullSecondsAndEveryRecordPostsARefresh) {
    long refreshes = postedWindowCommandCount(kCommandRefresh);
    store(blinkFlag, 0);
    feed(makeRecord(makeTime(2026, 3, 7, 10, 0, 0), 0));
    EXPECT_EQ(load(blinkFlag), 1);
    feed(makeRecord(makeTime(2026, 3, 7, 10, 0, 0, 500), 0));
    EXPECT_EQ(load(blinkFlag), 1);
    feed(makeRecord(makeTime(2026, 3, 7, 10, 0, 1), 1));
    EXPECT_EQ(load(blinkFlag), 0);
    EXPECT_EQ(postedWindowCommandCount(kCommandRefresh), refreshes + 3);
    while (takeWindowCommand() != 0) {
    }
}

TEST_F(RecordingSchedulerTest, EveryRecordProbesTheDisk) {
    store(diskLow, 7);
    feed(makeRecord(time, 0));
    EXPECT_EQ(load(diskLow), 0);  // the test machine has more than 500 MiB free
    store(diskLow, 7);
    feed(makeRecord(addMilliseconds(time, 500), 0));
    EXPECT_EQ(load(diskLow), 0);
}

TEST_F(RecordingSchedulerTest, MidnightRecordRunsTheStorageCleanupOnce) {
    clock.clock.setLocal(2026, 3, 31, 0, 0, 0);
    liveConfiguration.storagePeriodDays = 30;
    liveConfiguration.oldestKeptDate[0] = 2026;
    liveConfiguration.oldestKeptDate[1] = 2;
    liveConfiguration.oldestKeptDate[2] = 27;
    std::string oldDay = std::string(dataFolder()) + "/20260228";
    mkdir(oldDay.c_str(), 0777);
    test::writeFile(oldDay + "/GR3.CSV", "old");

    AcquisitionRecord record = makeRecord(makeTime(2026, 3, 31, 0, 0, 0));
    addGroupSample(record, 1, 0, 5);
    feed(record);
    EXPECT_FALSE(fileExists(oldDay));
    EXPECT_EQ(liveConfiguration.oldestKeptDate[2], 27);  // walked back to it
    EXPECT_EQ(groupRecordingRings[1].filledCount.load(), 1u);

    // Half a second later: no second cleanup.
    mkdir(oldDay.c_str(), 0777);
    feed(makeRecord(makeTime(2026, 3, 31, 0, 0, 0, 500)));
    EXPECT_TRUE(fileExists(oldDay));
    feed(makeRecord(makeTime(2026, 3, 31, 12, 0, 0)));
    EXPECT_TRUE(fileExists(oldDay));
}

TEST_F(RecordingSchedulerTest, AlarmStatesAreLeftToTheAcquisitionThreadAtAStart) {
    alarmStates[3].upper[2].store(1);
    feed(makeRecord(time));
    EXPECT_EQ(upperAlarmActive(3, 2), 1);
    alarmStates[3].upper[2].store(0);
}

TEST_F(RecordingSchedulerTest, StopClearsEveryRecordingFlag) {
    settings(1).storingMode = kNormal;
    settings(9).storingMode = kNormal;
    liveConfiguration.highSpeedRecording.storingMode = kNormal;
    AcquisitionRecord record = makeRecord(time);
    addGroupSample(record, 1, 0, 1);
    addGroupSample(record, 9, 0, 1);
    record.highSpeedPresent = 1;
    feed(record);
    EXPECT_EQ(groupRecordingRings[0].recording.load(), 1);
    EXPECT_EQ(groupRecordingRings[9].recording.load(), 1);
    stopMeasurement();
    for (const GroupRecordingRing& ring : groupRecordingRings) EXPECT_EQ(ring.recording.load(), 0);
}

TEST_F(RecordingSchedulerTest, SchedulerThreadRunsUntilExitIsRequested) {
    store(exitRequested, 0);
    AcquisitionRecord record = makeRecord(time);
    addGroupSample(record, 1, 0, 9);
    pushRecord(record);
    std::thread scheduler(recordingSchedulerMain);
    // Taken, and the thread gone back to sleep before it is asked to end.
    auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while ((acquisitionRing.readIndex.load() != acquisitionRing.writeIndex.load() ||
            clock.clock.sleepCalls.load() == 0) &&
           std::chrono::steady_clock::now() < giveUp) {
        std::this_thread::yield();
    }
    store(exitRequested, 1);
    scheduler.join();
    store(exitRequested, 0);
    EXPECT_EQ(newestValue(1), 9);
    EXPECT_GE(clock.clock.sleepCalls.load(), 1);
}

}  // namespace
}  // namespace kvt
