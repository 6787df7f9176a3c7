#include <string>
#include <vector>

#include "AcquisitionFixture.h"
#include "acquisition/AlarmEvaluation.h"
#include "acquisition/ValueConversion.h"

namespace kvt {
namespace {

using test::makeTime;

class AlarmEvaluationTest : public test::AcquisitionFixture {
protected:
    void SetUp() override {
        AcquisitionFixture::SetUp();
        PenSettings& pen = settings();
        pen.isDiscrete = 0;
        pen.inputLow = 0.0;
        pen.inputHigh = 100.0;
        pen.scaleLow = 0.0;
        pen.scaleHigh = 100.0;
    }

    PenSettings& settings() { return liveConfiguration.pen(kGroup, kPen); }

    // Sets the pen's current value and evaluates one stored sample.
    void sample(double value) {
        setCurrentValue(kGroup, kPen, value);
        evaluateAlarms(kGroup, kPen, stepTime);
    }

    int lower() { return lowerAlarmActive(kGroup, kPen); }
    int upper() { return upperAlarmActive(kGroup, kPen); }

    // Event texts of the alarm history file, oldest first.
    std::vector<std::string> events() {
        std::string file = test::readFile(alarmHistoryPath());
        std::vector<std::string> texts;
        for (size_t start = 0; start + kAlarmRecordLength <= file.size();
             start += kAlarmRecordLength) {
            std::string text = file.substr(start + 26, 24);
            texts.push_back(text.substr(0, text.find_last_not_of(' ') + 1));
        }
        return texts;
    }

    static constexpr int kGroup = 4;
    static constexpr int kPen = 6;
    SystemTime stepTime = makeTime(2026, 3, 7, 13, 5, 42, 500);
};

using Events = std::vector<std::string>;

TEST_F(AlarmEvaluationTest, UpperSetpointWithDeadBand) {
    settings().alarmLimitHigh = 80.0;
    settings().deadbandHigh = 5.0;
    sample(80.0);
    EXPECT_EQ(upper(), 0);
    sample(80.1);
    EXPECT_EQ(upper(), 1);
    sample(76.0);
    EXPECT_EQ(upper(), 1);
    sample(75.0);
    EXPECT_EQ(upper(), 1);
    sample(74.9);
    EXPECT_EQ(upper(), 0);
    EXPECT_EQ(lower(), 0);
    EXPECT_EQ(events(), (Events{"Upper alarm", "Upper alarm clear"}));
}

TEST_F(AlarmEvaluationTest, LowerSetpointWithoutDeadBand) {
    settings().alarmLimitLow = 10.0;
    sample(10.0);
    EXPECT_EQ(lower(), 0);
    sample(9.9);
    EXPECT_EQ(lower(), 1);
    sample(10.0);
    EXPECT_EQ(lower(), 1);
    sample(10.1);
    EXPECT_EQ(lower(), 0);
    EXPECT_EQ(events(), (Events{"Lower alarm", "Lower alarm clear"}));
}

TEST_F(AlarmEvaluationTest, LowerSlotIsEvaluatedBeforeTheUpperSlot) {
    settings().alarmLimitLow = 50.0;
    settings().alarmLimitHigh = 40.0;  // overlapping limits: both slots fire on one value
    sample(45.0);
    EXPECT_EQ(events(), (Events{"Lower alarm", "Upper alarm"}));
}

TEST_F(AlarmEvaluationTest, EventsAreStampedWithTheSampleTimeAndPen) {
    settings().alarmLimitHigh = 80.0;
    sample(90.0);
    std::string file = test::readFile(alarmHistoryPath());
    EXPECT_EQ(file.substr(0, 37), "2026/03/07,13:05:42,04,07,Upper alarm");
}

TEST_F(AlarmEvaluationTest, AlarmsCompareTheEngineeringValue) {
    settings().inputLow = 4.0;
    settings().inputHigh = 20.0;
    settings().alarmLimitHigh = 80.0;
    sample(16.0);  // 75
    EXPECT_EQ(upper(), 0);
    sample(17.0);  // 81.25
    EXPECT_EQ(upper(), 1);
}

TEST_F(AlarmEvaluationTest, NoDataKeepsEveryStateWithoutEvents) {
    settings().alarmLimitHigh = 80.0;
    settings().alarmLimitLow = 10.0;
    sample(90.0);
    sample(kNoData);
    sample(kNoData);
    EXPECT_EQ(upper(), 1);
    EXPECT_EQ(lower(), 0);
    EXPECT_EQ(events(), (Events{"Upper alarm"}));
}

TEST_F(AlarmEvaluationTest, UnsetSetpointDropsTheStateSilently) {
    settings().alarmLimitHigh = 80.0;
    sample(90.0);
    settings().alarmLimitHigh = kNoData;
    sample(90.0);
    EXPECT_EQ(upper(), 0);
    EXPECT_EQ(events(), (Events{"Upper alarm"}));
}

TEST_F(AlarmEvaluationTest, GroupsOutsideTheTrendGroupsAreIgnored) {
    liveConfiguration.pen(0, 0).alarmLimitHigh = 0.0;
    evaluateAlarms(0, 0, stepTime);
    evaluateAlarms(11, 0, stepTime);
    evaluateAlarms(1, 12, stepTime);
    evaluateAlarms(-1, -1, stepTime);
    EXPECT_TRUE(events().empty());
}

class DiscreteAlarmTest : public AlarmEvaluationTest {
protected:
    void SetUp() override {
        AlarmEvaluationTest::SetUp();
        settings().isDiscrete = 1;
        liveConfiguration.group(kGroup).storingCycle = kCycleHalfSecond;
    }
};

TEST_F(DiscreteAlarmTest, OnDelayOfTwoSecondsInAHalfSecondGroupNeedsFourSamples) {
    settings().discreteAlarm[1] = 1;
    settings().discreteAlarmDelay[1] = 2;
    for (int count = 1; count <= 3; ++count) {
        sample(1.0);
        EXPECT_EQ(upper(), 0) << count;
    }
    sample(1.0);
    EXPECT_EQ(upper(), 1);
    EXPECT_EQ(events(), (Events{"On alarm"}));
    for (int count = 1; count <= 3; ++count) {
        sample(0.0);
        EXPECT_EQ(upper(), 1) << count;
    }
    sample(0.0);
    EXPECT_EQ(upper(), 0);
    EXPECT_EQ(events(), (Events{"On alarm", "On alarm clear"}));
}

TEST_F(DiscreteAlarmTest, OffAlarmWithoutDelayFollowsEverySample) {
    liveConfiguration.group(kGroup).storingCycle = kCycle1min;
    settings().discreteAlarm[0] = 1;
    sample(0.0);
    EXPECT_EQ(lower(), 1);
    sample(0.0);
    sample(1.0);
    EXPECT_EQ(lower(), 0);
    EXPECT_EQ(upper(), 0);
    EXPECT_EQ(events(), (Events{"Off alarm", "Off alarm clear"}));
}

TEST_F(DiscreteAlarmTest, DelayCountsInTheGroupsStoringCycle) {
    liveConfiguration.group(kGroup).storingCycle = kCycle10s;
    settings().discreteAlarm[1] = 1;
    settings().discreteAlarmDelay[1] = 25;
    sample(1.0);
    sample(1.0);
    EXPECT_EQ(upper(), 0);
    sample(1.0);  // 30 s
    EXPECT_EQ(upper(), 1);
}

TEST_F(DiscreteAlarmTest, AnInvalidValueRestartsBothCounts) {
    settings().discreteAlarm[1] = 1;
    settings().discreteAlarmDelay[1] = 2;
    sample(1.0);
    sample(1.0);
    sample(1.0);
    sample(0.5);
    sample(1.0);
    EXPECT_EQ(upper(), 0);
    EXPECT_TRUE(events().empty());
    EXPECT_EQ(alarmStates[kGroup].onCount[kPen], 1);
}

TEST_F(DiscreteAlarmTest, CountsStopAtTwelveThousand) {
    settings().discreteAlarm[0] = 1;
    for (int count = 0; count < 12005; ++count) sample(0.0);
    EXPECT_EQ(alarmStates[kGroup].offCount[kPen], kMaxDiscreteCount);
    EXPECT_EQ(events(), (Events{"Off alarm"}));
}

TEST_F(DiscreteAlarmTest, DisabledSlotsStayInactive) {
    alarmStates[kGroup].upper[kPen] = 1;
    sample(1.0);
    EXPECT_EQ(upper(), 0);
    EXPECT_EQ(lower(), 0);
    EXPECT_TRUE(events().empty());
}

TEST(ValueConversion, MapsTheInputRangeOntoTheScale) {
    fillDefaults(liveConfiguration, 1, {2026, 1, 1});
    PenSettings& pen = liveConfiguration.pen(1, 0);
    pen.inputLow = 4.0;
    pen.inputHigh = 20.0;
    pen.scaleLow = 0.0;
    pen.scaleHigh = 100.0;
    EXPECT_EQ(toEngineering(1, 0, 12.0), 50.0);
    EXPECT_EQ(toEngineering(1, 0, 4.0), 0.0);
    EXPECT_EQ(toEngineering(1, 0, 20.0), 100.0);
    EXPECT_EQ(toEngineering(1, 0, 0.0), -25.0);
    pen.scaleLow = 100.0;
    pen.scaleHigh = 0.0;
    EXPECT_EQ(toEngineering(1, 0, 8.0), 75.0);
    pen.inputHigh = 4.0;
    EXPECT_EQ(toEngineering(1, 0, 12.0), 100.0);  // equal limits: scaleLow
    EXPECT_EQ(toEngineering(11, 0, 12.0), 12.0);
}

}  // namespace
}  // namespace kvt
