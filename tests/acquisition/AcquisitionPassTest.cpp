#include <cmath>
#include <set>
#include <thread>

#include "AcquisitionFixture.h"
#include "acquisition/SampleClock.h"
#include "acquisition/StepTime.h"

namespace kvt {
namespace {

using test::stamp;

class AcquisitionPassTest : public test::AcquisitionFixture {
protected:
    void startDemoRun() {
        store(acquisitionRequested, 1);
        runFor(20);
        ASSERT_EQ(load(acquisitionActive), 1);
        ASSERT_EQ(load(valuesValid), 1);
    }

    // Every record follows its predecessor by exactly one half-second step.
    void expectConsecutiveStamps() {
        for (size_t index = 1; index < records.size(); ++index) {
            ASSERT_EQ(stamp(records[index].time), stamp(nextStepTime(records[index - 1].time)))
                << "record " << index;
        }
    }

    bool hasRecordAt(const std::string& text) {
        for (const AcquisitionRecord& record : records) {
            if (stamp(record.time) == text) return true;
        }
        return false;
    }
};

TEST_F(AcquisitionPassTest, IdleRecorderStillStampsEveryHalfSecondThroughMidnight) {
    startAt(2026, 6, 30, 23, 59, 58, 200);
    runFor(3000);
    ASSERT_FALSE(records.empty());
    EXPECT_EQ(stamp(records.front().time), "2026-06-30 23:59:59.000");
    EXPECT_TRUE(hasRecordAt("2026-06-30 23:59:59.500"));
    EXPECT_TRUE(hasRecordAt("2026-07-01 00:00:00.000"));
    EXPECT_TRUE(hasRecordAt("2026-07-01 00:00:00.500"));
    expectConsecutiveStamps();
    for (const AcquisitionRecord& record : records) {
        EXPECT_EQ(record.active, 0);
        EXPECT_EQ(record.groups[0].stored, 0);
    }
}

TEST_F(AcquisitionPassTest, FebruaryOfAYearNotDivisibleByFourEndsOnThe28th) {
    startAt(2027, 2, 28, 23, 59, 58, 100);
    runFor(3000);
    EXPECT_TRUE(hasRecordAt("2027-02-28 23:59:59.500"));
    EXPECT_TRUE(hasRecordAt("2027-03-01 00:00:00.000"));
    expectConsecutiveStamps();
}

TEST_F(AcquisitionPassTest, ClockSetBackGoesOnStampingTheRepeatedMinute) {
    startAt(2026, 6, 10, 9, 0, 0, 300);
    runFor(2000);
    ASSERT_EQ(stamp(records.back().time), "2026-06-10 09:00:02.000");
    size_t countBeforeJump = records.size();
    fake.clock.jumpWallClockMs(-60000);
    runFor(3000);
    ASSERT_EQ(records.size(), countBeforeJump + 7);
    EXPECT_EQ(stamp(records[countBeforeJump].time), "2026-06-10 08:59:02.000");
    EXPECT_EQ(stamp(records.back().time), "2026-06-10 08:59:05.000");
    records.erase(records.begin(), records.begin() + static_cast<long>(countBeforeJump));
    expectConsecutiveStamps();
}

TEST_F(AcquisitionPassTest, ForwardJumpOfTwoDaysResumesAtTheNewTime) {
    startAt(2026, 6, 10, 9, 0, 0, 300);
    runFor(2000);
    size_t countBeforeJump = records.size();
    fake.clock.jumpWallClockMs(2LL * 24 * 3600 * 1000);
    runFor(10);
    EXPECT_EQ(records.size(), countBeforeJump);
    runFor(3000);
    ASSERT_GT(records.size(), countBeforeJump);
    EXPECT_EQ(stamp(records[countBeforeJump].time), "2026-06-12 09:00:03.000");
    EXPECT_LE(records.size() - countBeforeJump, 6u);  // nothing backfilled
    EXPECT_EQ(acquisitionSampleClock().restartsByJump(), 1);
}

TEST_F(AcquisitionPassTest, LatePassIsCountedAsOverrunAndWritesEveryStep) {
    startAt(2026, 6, 10, 9, 0, 0, 300);
    runFor(1000);
    size_t before = records.size();
    int overruns = load(overrunCounter);
    runFor(3000, 3000);
    EXPECT_EQ(load(overrunCounter), overruns + 1);
    EXPECT_EQ(records.size() - before, 6u);
    expectConsecutiveStamps();
}

TEST_F(AcquisitionPassTest, FullRingHoldsStepsBackInsteadOfOverwritingUnreadRecords) {
    startAt(2026, 6, 10, 9, 0, 0, 300);
    for (int pass = 0; pass < 9000; ++pass) {  // 90 s without a reader
        fake.clock.advanceMs(10);
        acquisitionPass();
        uint32_t unread =
            (acquisitionRing.writeIndex + kAcquisitionRingSize - acquisitionRing.readIndex) %
            kAcquisitionRingSize;
        ASSERT_LE(unread, 119u);
    }
    takeRecords();
    EXPECT_EQ(records.size(), 119u);
    runFor(1000);  // the held steps follow at once, the clock carries on
    EXPECT_EQ(records.size(), 181u);
    EXPECT_EQ(stamp(records.back().time), "2026-06-10 09:01:31.000");
    expectConsecutiveStamps();
}

TEST_F(AcquisitionPassTest, DemoRunStartsWithNoDataAndStoresOnlyOnceValuesAreValid) {
    liveConfiguration.pen(1, 0).inputLow = 0.0;
    liveConfiguration.pen(1, 0).inputHigh = 100.0;
    startAt(2026, 6, 10, 9, 0, 0, 300);
    setCurrentValue(3, 4, 42.0);
    groupStoredFlag[2] = 1;
    alarmStates[1].upper[0] = 1;
    alarmStates[1].onCount[0] = 7;
    fake.clock.setLocal(2026, 6, 10, 9, 0, 0, 995);
    store(acquisitionRequested, 1);
    fake.clock.advanceMs(10);  // a step falls due in the starting pass
    acquisitionPass();
    EXPECT_EQ(load(acquisitionActive), 1);
    EXPECT_EQ(load(valuesValid), 0);
    EXPECT_EQ(currentValue(3, 4), kNoData);
    EXPECT_EQ(groupStoredFlag[2], 0);
    EXPECT_EQ(alarmStates[1].upper[0], 0);
    EXPECT_EQ(alarmStates[1].onCount[0], 0);
    takeRecords();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].active, 1);
    for (const GroupBlock& block : records[0].groups) EXPECT_EQ(block.stored, 0);

    runFor(10);
    EXPECT_EQ(load(valuesValid), 1);
    EXPECT_NE(currentValue(3, 4), kNoData);
    runFor(500);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[1].groups[0].stored, 1);
    EXPECT_EQ(groupStoredFlag[1], 1);
    EXPECT_GE(records[1].groups[0].values[0], 1.0 - 1e-9);
    EXPECT_LE(records[1].groups[0].values[0], 2.9 + 1e-9);
}

TEST_F(AcquisitionPassTest, StopEndsTheRunAndLaterRecordsCarryNoSamples) {
    startAt(2026, 6, 10, 9, 0, 0, 300);
    startDemoRun();
    runFor(2000);
    store(acquisitionRequested, 0);
    records.clear();
    runFor(2000);
    EXPECT_EQ(load(acquisitionActive), 0);
    ASSERT_FALSE(records.empty());
    for (const AcquisitionRecord& record : records) {
        EXPECT_EQ(record.active, 0);
        for (const GroupBlock& block : record.groups) EXPECT_EQ(block.stored, 0);
    }
}

TEST_F(AcquisitionPassTest, EachStoringCycleStoresOnlyAtItsOwnSteps) {
    const int cycles[6] = {kCycleHalfSecond, kCycle1s, kCycle2s, kCycle5s, kCycle10s, kCycle1min};
    for (int group = 1; group <= 6; ++group)
        liveConfiguration.group(group).storingCycle = cycles[group - 1];
    startAt(2026, 6, 10, 9, 0, 0, 300);
    startDemoRun();
    records.clear();
    runFor(125000);
    std::set<std::string> stored[7];
    for (const AcquisitionRecord& record : records) {
        for (int group = 1; group <= 6; ++group) {
            if (record.groups[group - 1].stored)
                stored[group].insert(stamp(record.time).substr(11));
        }
    }
    EXPECT_EQ(stored[1].size(), records.size());
    EXPECT_EQ(stored[2].size(), (records.size() + 1) / 2);
    EXPECT_EQ(stored[6], (std::set<std::string>{"09:01:00.000", "09:02:00.000"}));
    for (const std::string& text : stored[3])
        EXPECT_TRUE(text.ends_with("0.000") || text.ends_with("2.000") || text.ends_with("4.000") ||
                    text.ends_with("6.000") || text.ends_with("8.000"))
            << text;
    for (const std::string& text : stored[4]) {
        EXPECT_TRUE(text.ends_with("0.000") || text.ends_with("5.000")) << text;
    }
    for (const std::string& text : stored[5]) EXPECT_TRUE(text.ends_with("0.000")) << text;
    EXPECT_EQ(stored[4].size(), 25u);
    EXPECT_EQ(stored[5].size(), 12u);
}

TEST_F(AcquisitionPassTest, DemoFirstPenShowsOneToTwoPointNineInTenthSteps) {
    PenSettings& pen = liveConfiguration.pen(2, 0);
    pen.inputLow = 0.0;
    pen.inputHigh = 100.0;
    startAt(2026, 6, 10, 9, 0, 0, 300);
    startDemoRun();
    std::set<long> tenths;
    for (int pass = 0; pass < 2000; ++pass) {
        runFor(10);
        double value = currentValue(2, 0);
        ASSERT_GE(value, 1.0 - 1e-9);
        ASSERT_LE(value, 2.9 + 1e-9);
        ASSERT_NEAR(value * 10, std::round(value * 10), 1e-6);
        tenths.insert(std::lround(value * 10));
    }
    EXPECT_EQ(tenths.size(), 20u);
}

TEST_F(AcquisitionPassTest, StoredSamplesAreCheckedForAlarmsWithTheirOwnValueAndStamp) {
    penCrossingItsSetpoint();
    startAt(2026, 6, 10, 9, 0, 0, 300);
    startDemoRun();
    records.clear();
    runFor(20000);
    // The events the recorded values must have caused, in order.
    std::string expected;
    bool active = false;
    for (const AcquisitionRecord& record : records) {
        if (!record.groups[0].stored) continue;
        double value = record.groups[0].values[0];
        const char* event = nullptr;
        if (!active && value > 1.95) event = "Upper alarm";
        if (active && value < 1.95) event = "Upper alarm clear";
        if (event == nullptr) continue;
        active = !active;
        char line[96];
        std::snprintf(line, sizeof line, "%04d/%02d/%02d,%02d:%02d:%02d,01,01,%-24s\n",
                      record.time.year, record.time.month, record.time.day, record.time.hour,
                      record.time.minute, record.time.second, event);
        expected += line;
    }
    EXPECT_GT(expected.size(), 10u * kAlarmRecordLength);
    EXPECT_EQ(test::readFile(alarmHistoryPath()), expected);
    EXPECT_EQ(upperAlarmActive(1, 0), active ? 1 : 0);
}

TEST_F(AcquisitionPassTest, HighSpeedRunsCarryTimeStampsOnly) {
    liveConfiguration.operatingMode = kHighSpeedMode;
    startAt(2026, 6, 10, 9, 0, 0, 300);
    store(acquisitionRequested, 1);
    runFor(3000);
    EXPECT_EQ(load(acquisitionActive), 1);
    EXPECT_EQ(load(valuesValid), 0);
    ASSERT_FALSE(records.empty());
    for (const AcquisitionRecord& record : records) {
        EXPECT_EQ(record.active, 1);
        EXPECT_EQ(record.highSpeedPresent, 0);
        for (const GroupBlock& block : record.groups) EXPECT_EQ(block.stored, 0);
    }
}

// The fixture's virtual time for a thread of its own, which exits at
// `endMs` (stampMs) so that the ring never fills; counts the sleeps.
class EndingClock final : public Clock {
public:
    EndingClock(test::FakeClock& time, int64_t endMs) : time_(time), endMs_(endMs) {}
    SystemTime localTime() override { return time_.localTime(); }
    int64_t epochSeconds() override { return time_.epochSeconds(); }
    uint32_t tickCount() override { return time_.tickCount(); }
    void sleepMs(uint32_t milliseconds) override { time_.sleepMs(milliseconds); }
    bool sleepUntilSignalled(WakeEvent& event, uint32_t milliseconds) override {
        ++sleeps;
        if (test::stampMs(time_.localTime()) + milliseconds < endMs_) {
            return time_.sleepUntilSignalled(event, milliseconds);
        }
        store(exitRequested, 1);
        return true;
    }
    long sleeps = 0;

private:
    test::FakeClock& time_;
    int64_t endMs_;
};

// In demo mode the thread sleeps from one step to the next: one sleep per
// record, every step on time and stamped as ever.
TEST_F(AcquisitionPassTest, DemoThreadSleepsOncePerStepAndMissesNone) {
    fake.clock.setLocal(2026, 6, 10, 9, 0, 0, 300);
    EndingClock clock(fake.clock, test::stampMs(fake.clock.localTime()) + 20000);
    installClock(&clock);
    store(acquisitionRequested, 1);
    std::thread(acquisitionThreadMain).join();
    installClock(&fake.clock);
    takeRecords();
    ASSERT_EQ(records.size(), 39u);
    EXPECT_EQ(stamp(records.front().time), "2026-06-10 09:00:01.000");
    expectConsecutiveStamps();
    EXPECT_EQ(load(overrunCounter), 0);
    EXPECT_LE(clock.sleeps, 41);
}

TEST_F(AcquisitionPassTest, ExitEndsThePassEvenWhileTheClockIsBroken) {
    startAt(2026, 6, 10, 9, 0, 0, 300);
    runFor(1000);
    size_t before = records.size();
    fake.clock.forceReading(test::makeTime(1999, 1, 1, 0, 0, 0));
    store(exitRequested, 1);
    EXPECT_FALSE(acquisitionPass());
    takeRecords();
    EXPECT_EQ(records.size(), before);
}

}  // namespace
}  // namespace kvt
