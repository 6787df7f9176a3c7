#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "RecordingFixture.h"
#include "recording/StoringModes.h"

namespace kvt {
namespace {

using test::addGroupSample;
using test::addHighSpeedBlock;
using test::addMilliseconds;
using test::feed;
using test::makeRecord;
using test::makeTime;
using test::queuedSamples;
using test::queuedValues;

using Values = std::vector<double>;

class StoringModeTest : public test::RecordingTest {
protected:
    // Feeds one sample of `group` per half second; sample k carries the
    // value `firstValue + k` and trigger state triggers[k].
    void run(int group, const std::vector<int>& triggers, double firstValue = 0) {
        for (size_t index = 0; index < triggers.size(); ++index) {
            AcquisitionRecord record = makeRecord(time);
            addGroupSample(record, group, triggers[index], firstValue + index);
            feed(record);
            time = addMilliseconds(time, 500);
        }
    }
    void useEventRecording(int group, int condition, int pre, int post) {
        settings(group).storingMode = kEventRecording;
        settings(group).triggerCondition = condition;
        settings(group).preTriggerCount = pre;
        settings(group).postTriggerCount = post;
    }
    void useAuto(int group, int method, int hour, int minute, int second, int hours,
                 int minutes) {
        GroupRecordingSettings& group_ = settings(group);
        group_.storingMode = kAuto;
        group_.autoMethod = method;
        group_.autoStartYear = 2026;
        group_.autoStartMonth = 3;
        group_.autoStartDay = 7;
        group_.autoStartHour = hour;
        group_.autoStartMinute = minute;
        group_.autoStartSecond = second;
        group_.autoDurationHours = hours;
        group_.autoDurationMinutes = minutes;
    }
};

TEST_F(StoringModeTest, NormalRecordsEverySampleAndNoRecordingNone) {
    settings(1).storingMode = kNormal;
    settings(2).storingMode = kNoRecording;
    for (int index = 0; index < 4; ++index) {
        AcquisitionRecord record = makeRecord(time);
        addGroupSample(record, 1, 0, index);
        addGroupSample(record, 2, 0, index);
        feed(record);
        time = addMilliseconds(time, 500);
    }
    EXPECT_EQ(queuedValues(1), (Values{0, 1, 2, 3}));
    EXPECT_TRUE(queuedValues(2).empty());
    EXPECT_EQ(groupRecordingRings[1].recording.load(), 1);
    EXPECT_EQ(groupRecordingRings[2].recording.load(), 0);
    EXPECT_EQ(recordedSampleRings[1].count.load(), 4u);
    EXPECT_EQ(recordedSampleRings[2].count.load(), 0u);
}

TEST_F(StoringModeTest, RemoteTriggerRecordsExactlyTheSamplesInTheWantedState) {
    settings(3).storingMode = kRemoteTrigger;
    settings(3).triggerCondition = 1;  // OFF
    run(3, {1, 0, 0, 1, 1, 0, 1, 0});
    EXPECT_EQ(queuedValues(3), (Values{1, 2, 5, 7}));
    EXPECT_EQ(groupRecordingRings[3].recording.load(), 1);

    settings(3).triggerCondition = 0;  // ON
    run(3, {1, 0, 1}, 100);
    EXPECT_EQ(queuedValues(3), (Values{1, 2, 5, 7, 100, 102}));
    EXPECT_EQ(groupRecordingRings[3].recording.load(), 1);
    run(3, {0}, 200);
    EXPECT_EQ(groupRecordingRings[3].recording.load(), 0);
}

TEST_F(StoringModeTest, EventAfterThreeSamplesWritesThemThenTheEdgeAndFourMore) {
    useEventRecording(1, 0, 10, 5);
    run(1, {0, 0, 0, 1, 1, 1, 1, 1, 1, 1, 0, 0});
    EXPECT_EQ(queuedValues(1), (Values{0, 1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(groupRecordingRings[1].recording.load(), 0);
}

TEST_F(StoringModeTest, EventPretriggerIsCappedAtTheCountAndKeptInTimeOrder) {
    useEventRecording(4, 0, 10, 2);
    std::vector<int> triggers(30, 0);
    triggers[25] = 1;
    run(4, triggers);
    EXPECT_EQ(queuedValues(4), (Values{15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26}));
}

TEST_F(StoringModeTest, EventPretriggerWrapsAroundTheRingEnd) {
    useEventRecording(2, 0, 3, 1);
    std::vector<int> triggers(kRingSlotCount + 2, 0);
    triggers[kRingSlotCount + 1] = 1;  // lands in slot 1: pretrigger slots 1598, 1599, 0
    run(2, triggers);
    EXPECT_EQ(queuedValues(2), (Values{1598, 1599, 1600, 1601}));
}

TEST_F(StoringModeTest, EventWithPosttriggerZeroWritesOnlyThePretrigger) {
    useEventRecording(1, 0, 2, 0);
    run(1, {0, 0, 0, 0, 0, 1, 1, 0, 1});
    // Two events: samples 3 and 4 before the first edge, 6 and 7 before the second.
    EXPECT_EQ(queuedValues(1), (Values{3, 4, 6, 7}));
    EXPECT_EQ(groupRecordingRings[1].recording.load(), 0);
}

TEST_F(StoringModeTest, EventSinkAndIgnoredEdgesWithinASpan) {
    useEventRecording(5, 1, 1, 4);
    run(5, {1, 1, 0, 1, 0, 1, 1, 0});
    // Falling edge at 2: pretrigger 1, then 2-5; the edge at 4 is inside the
    // span; the next falling edge at 7 starts a new span with pretrigger 6.
    EXPECT_EQ(queuedValues(5), (Values{1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(groupRecordingRings[5].recording.load(), 1);
}

TEST_F(StoringModeTest, FirstSampleAfterAStartNeverTriggers) {
    useEventRecording(1, 0, 5, 3);
    run(1, {0, 0});
    stopMeasurement();
    run(1, {1, 1, 1}, 10);  // previous run ended at 0: still no edge
    EXPECT_TRUE(queuedValues(1).empty());

    useEventRecording(1, 1, 5, 3);
    stopMeasurement();
    run(1, {0, 0}, 20);
    EXPECT_TRUE(queuedValues(1).empty());
}

TEST_F(StoringModeTest, StopInTheMiddleOfASpanDoesNotResumeIt) {
    useEventRecording(1, 0, 0, 100);
    run(1, {0, 1, 1, 1});
    EXPECT_EQ(queuedValues(1), (Values{1, 2, 3}));
    stopMeasurement();
    EXPECT_EQ(groupRecordingRings[1].recording.load(), 0);
    run(1, {1, 1, 1}, 10);
    EXPECT_EQ(queuedValues(1), (Values{1, 2, 3}));
}

TEST_F(StoringModeTest, AutoEveryDaySpansExactlyTheDurationFromTheFullSecond) {
    useAuto(1, 1, 8, 0, 0, 0, 1);
    time = makeTime(2026, 3, 9, 7, 59, 58);
    run(1, std::vector<int>(4 + 120 + 10, 0));
    std::vector<SampleData> samples = queuedSamples(1);
    ASSERT_EQ(samples.size(), 120u);
    EXPECT_EQ(samples.front().time.hour, 8);
    EXPECT_EQ(samples.front().time.minute, 0);
    EXPECT_EQ(samples.front().time.second, 0);
    EXPECT_EQ(samples.front().time.milliseconds, 0);
    EXPECT_EQ(samples.back().time.minute, 0);
    EXPECT_EQ(samples.back().time.second, 59);
    EXPECT_EQ(samples.back().time.milliseconds, 500);
    EXPECT_EQ(groupRecordingRings[1].recording.load(), 0);
}

TEST_F(StoringModeTest, AutoNeverStartsOnAHalfSecond) {
    useAuto(1, 1, 8, 0, 0, 0, 1);
    time = makeTime(2026, 3, 9, 8, 0, 0, 500);
    run(1, std::vector<int>(20, 0));
    EXPECT_TRUE(queuedValues(1).empty());
}

// The clock set back over the start time (daylight saving time ends) does
// not start a second span of the same day; the next day starts one.
TEST_F(StoringModeTest, AutoStartsOnceWhenTheClockRepeatsItsStartTime) {
    useAuto(1, 1, 2, 30, 0, 0, 0);  // every day at 02:30:00, the start sample only
    const SystemTime passes[] = {makeTime(2026, 10, 25, 2, 29, 59),
                                 makeTime(2026, 10, 25, 2, 29, 59),  // set back an hour
                                 makeTime(2026, 10, 26, 2, 29, 59)};
    for (const SystemTime& from : passes) {
        time = from;
        run(1, std::vector<int>(4, 0));
    }
    std::vector<SampleData> samples = queuedSamples(1);
    ASSERT_EQ(samples.size(), 2u);
    EXPECT_EQ(samples[0].time.day, 25);
    EXPECT_EQ(samples[1].time.day, 26);
}

TEST_F(StoringModeTest, AutoOneTimeOnlyNeedsTheDateAndNeverFiresInThePast) {
    useAuto(1, 0, 10, 0, 1, 0, 0);  // 7 March 2026 10:00:01, zero duration
    settings(1).storingCycle = kCycle1s;
    settings(2) = settings(1);
    settings(2).autoStartYear = 2025;  // a start time before the measurement
    for (int second = 0; second < 5; ++second) {
        AcquisitionRecord record = makeRecord(time);
        addGroupSample(record, 1, 0, second);
        addGroupSample(record, 2, 0, second);
        feed(record);
        time = addMilliseconds(time, 1000);
    }
    // A zero duration still records the starting sample.
    EXPECT_EQ(queuedValues(1), (Values{1}));
    EXPECT_TRUE(queuedValues(2).empty());
}

// Durations from a damaged settings file: the span length is worked out
// wide and held to what a span counter can count, never wrapped round.
TEST_F(StoringModeTest, AbsurdAutoDurationsAreClampedNotWrapped) {
    constexpr int32_t kLongest = std::numeric_limits<int32_t>::max();
    constexpr int32_t kLowest = std::numeric_limits<int32_t>::min();
    struct Case {
        int cycle, hours, minutes;
        int32_t expected;
    };
    const Case cases[] = {
        {kCycleHalfSecond, 40000000, 0, kLongest},  // hours x 60 alone overflows
        {kCycleHalfSecond, 298262, 0, kLongest},    // the product with 120 overflows
        {kCycleHalfSecond, 298261, 0, 298261 * 7200},
        {kCycle1min, kLongest, kLongest, kLongest},
        {kCycle1min, 0, kLongest, kLongest},
        {kCycleHalfSecond, 23, 59, 1439 * 120},  // the longest span the dialog allows
        {kCycle1s, -5, 0, 0},
        {kCycle1s, kLowest, kLowest, 0},
        {kCycle1s, 1, -61, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(autoSpanLength(c.cycle, c.hours, c.minutes), c.expected)
            << c.cycle << " " << c.hours << " " << c.minutes;
    }
    // Such a span records on until the measurement stops.
    useAuto(1, 1, 10, 0, 0, 40000000, 0);
    run(1, std::vector<int>(50, 0));
    EXPECT_EQ(queuedValues(1).size(), 50u);
    EXPECT_EQ(groupRecordingRings[1].recording.load(), 1);
}

TEST_F(StoringModeTest, AutoSpanLengthFollowsTheStoringCycle) {
    EXPECT_EQ(autoSpanLength(kCycleHalfSecond, 1, 30), 90 * 120);
    EXPECT_EQ(autoSpanLength(kCycle1s, 0, 2), 120);
    EXPECT_EQ(autoSpanLength(kCycle2s, 0, 2), 60);
    EXPECT_EQ(autoSpanLength(kCycle5s, 0, 2), 24);
    EXPECT_EQ(autoSpanLength(kCycle10s, 0, 2), 12);
    EXPECT_EQ(autoSpanLength(kCycle1min, 2, 0), 120);
}

TEST_F(StoringModeTest, AutoStopInTheMiddleOfASpanDoesNotResumeIt) {
    useAuto(1, 1, 10, 0, 0, 1, 0);
    run(1, {0, 0, 0});
    stopMeasurement();
    run(1, {0, 0}, 10);
    EXPECT_EQ(queuedValues(1), (Values{0, 1, 2}));
}

class HighSpeedModeTest : public StoringModeTest {
protected:
    void feedHighSpeed(const int (&triggers)[10], double firstValue) {
        AcquisitionRecord record = makeRecord(time);
        addHighSpeedBlock(record, triggers, firstValue);
        feed(record);
        time = addMilliseconds(time, 500);
    }
    HighSpeedRecordingSettings& highSpeed() { return liveConfiguration.highSpeedRecording; }
};

TEST_F(HighSpeedModeTest, NormalRecordsTenSubSamplesFiftyMillisecondsApart) {
    highSpeed().storingMode = kNormal;
    const int off[10] = {};
    feedHighSpeed(off, 0);
    feedHighSpeed(off, 10);
    std::vector<SampleData> samples = queuedSamples(0);
    ASSERT_EQ(samples.size(), 20u);
    for (int index = 0; index < 20; ++index) {
        EXPECT_EQ(samples[index].values[0], index);
        EXPECT_EQ(samples[index].values[7], index);
        EXPECT_EQ(samples[index].values[8], kNoData);
        EXPECT_EQ(samples[index].time.milliseconds, 50 * index);
        EXPECT_EQ(samples[index].time.second, 0);
    }
    EXPECT_EQ(groupRecordingRings[0].writeSlot.load(), 20u);
    EXPECT_EQ(groupRecordingRings[0].filledCount.load(), 20u);
}

TEST_F(HighSpeedModeTest, RemoteTriggerFollowsEachSubSample) {
    highSpeed().storingMode = kRemoteTrigger;
    highSpeed().triggerCondition = 0;
    feedHighSpeed({0, 1, 1, 0, 0, 0, 1, 0, 1, 0}, 0);
    EXPECT_EQ(queuedValues(0), (Values{1, 2, 6, 8}));
}

TEST_F(HighSpeedModeTest, EventSpansSubSamplesAndRecords) {
    highSpeed().storingMode = kEventRecording;
    highSpeed().triggerCondition = 0;
    highSpeed().preTriggerCount = 3;
    highSpeed().postTriggerCount = 12;
    feedHighSpeed({0, 0, 0, 0, 0, 0, 0, 0, 1, 1}, 0);
    feedHighSpeed({1, 1, 1, 1, 1, 1, 1, 1, 1, 1}, 10);
    Values expected;
    for (int value = 5; value <= 19; ++value) expected.push_back(value);
    EXPECT_EQ(queuedValues(0), expected);
    // The trigger state goes with every sample.
    std::vector<SampleData> samples = queuedSamples(0);
    EXPECT_EQ(samples[2].trigger, 0);
    EXPECT_EQ(samples[3].trigger, 1);
}

TEST_F(HighSpeedModeTest, AutoIsNotAHighSpeedMode) {
    highSpeed().storingMode = kAuto;
    const int off[10] = {};
    feedHighSpeed(off, 0);
    EXPECT_TRUE(queuedValues(0).empty());
    EXPECT_EQ(groupRecordingRings[0].filledCount.load(), 10u);
}

}  // namespace
}  // namespace kvt
