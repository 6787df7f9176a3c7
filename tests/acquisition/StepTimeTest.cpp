#include <gtest/gtest.h>

#include "TimeStamps.h"
#include "acquisition/StepTime.h"
#include "support/FakeClock.h"

namespace kvt {
namespace {

using test::expectTime;
using test::makeTime;

SystemTime withWeekday(SystemTime time, int dayOfWeek) {
    time.dayOfWeek = static_cast<uint16_t>(dayOfWeek);
    return time;
}

TEST(StepTime, MonthLengthsWithFebruaryLeapEveryFourthYear) {
    EXPECT_EQ(daysInMonth(2026, 1), 31);
    EXPECT_EQ(daysInMonth(2026, 2), 28);
    EXPECT_EQ(daysInMonth(2028, 2), 29);
    EXPECT_EQ(daysInMonth(2100, 2), 29);
    EXPECT_EQ(daysInMonth(2026, 4), 30);
    EXPECT_EQ(daysInMonth(2026, 9), 30);
    EXPECT_EQ(daysInMonth(2026, 11), 30);
    EXPECT_EQ(daysInMonth(2026, 12), 31);
}

TEST(StepTime, HalfSecondStepsAlternateBetweenFullAndHalfSeconds) {
    expectTime(nextStepTime(makeTime(2026, 3, 7, 12, 0, 0, 0)),
               makeTime(2026, 3, 7, 12, 0, 0, 500));
    expectTime(nextStepTime(makeTime(2026, 3, 7, 12, 0, 0, 500)),
               makeTime(2026, 3, 7, 12, 0, 1, 0));
    expectTime(nextStepTime(makeTime(2026, 3, 7, 12, 0, 59, 500)),
               makeTime(2026, 3, 7, 12, 1, 0, 0));
    expectTime(nextStepTime(makeTime(2026, 3, 7, 12, 59, 59, 500)),
               makeTime(2026, 3, 7, 13, 0, 0, 0));
}

TEST(StepTime, CarriesThroughMidnightMonthEndsAndYearEnd) {
    SystemTime midnight = nextStepTime(withWeekday(makeTime(2026, 6, 30, 23, 59, 59, 500), 2));
    expectTime(midnight, makeTime(2026, 7, 1, 0, 0, 0, 0));
    EXPECT_EQ(midnight.dayOfWeek, 3);
    expectTime(nextStepTime(makeTime(2027, 2, 28, 23, 59, 59, 500)),
               makeTime(2027, 3, 1, 0, 0, 0, 0));
    expectTime(nextStepTime(makeTime(2028, 2, 28, 23, 59, 59, 500)),
               makeTime(2028, 2, 29, 0, 0, 0, 0));
    expectTime(nextStepTime(makeTime(2026, 4, 30, 23, 59, 59, 500)),
               makeTime(2026, 5, 1, 0, 0, 0, 0));
    SystemTime newYear = nextStepTime(withWeekday(makeTime(2026, 12, 31, 23, 59, 59, 500), 6));
    expectTime(newYear, makeTime(2027, 1, 1, 0, 0, 0, 0));
    EXPECT_EQ(newYear.dayOfWeek, 0);
}

TEST(StepTime, Year2100HasA29thOfFebruary) {
    SystemTime leapDay = nextStepTime(makeTime(2100, 2, 28, 23, 59, 59, 500));
    expectTime(leapDay, makeTime(2100, 2, 29, 0, 0, 0, 0));
    expectTime(nextStepTime(makeTime(2100, 2, 29, 23, 59, 59, 500)),
               makeTime(2100, 3, 1, 0, 0, 0, 0));
}

TEST(StepTime, AddSecondsCarriesUpToTheYearAndKeepsMilliseconds) {
    expectTime(addSeconds(makeTime(2026, 12, 31, 23, 30, 10, 500), 1800),
               makeTime(2027, 1, 1, 0, 0, 10, 500));
    expectTime(addSeconds(makeTime(2026, 3, 7, 10, 0, 0), 0), makeTime(2026, 3, 7, 10, 0, 0));
    expectTime(addSeconds(makeTime(2026, 3, 7, 10, 0, 0), 3599), makeTime(2026, 3, 7, 10, 59, 59));
}

TEST(StepTime, ComparisonIgnoresMillisecondsAndRanksLargerFieldsFirst) {
    EXPECT_EQ(
        compareToTheSecond(makeTime(2026, 3, 7, 10, 0, 0, 0), makeTime(2026, 3, 7, 10, 0, 0, 999)),
        0);
    EXPECT_LT(compareToTheSecond(makeTime(2026, 3, 7, 23, 59, 59), makeTime(2026, 3, 8, 0, 0, 0)),
              0);
    EXPECT_GT(compareToTheSecond(makeTime(2027, 1, 1, 0, 0, 0), makeTime(2026, 12, 31, 23, 59, 59)),
              0);
    EXPECT_LT(compareToTheSecond(makeTime(2026, 2, 28, 0, 0, 0), makeTime(2026, 3, 1, 0, 0, 0)), 0);
}

}  // namespace
}  // namespace kvt
