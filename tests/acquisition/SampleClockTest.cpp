#include <gtest/gtest.h>

#include <vector>

#include "TimeStamps.h"
#include "acquisition/SampleClock.h"
#include "support/FakeClock.h"

namespace kvt {
namespace {

using test::makeTime;

constexpr uint32_t kTicks = 5000;

// A clock whose last sample is `last`, reached the way the recorder reaches
// it: restarted half a second earlier and one step written.
SampleClock clockAt(const SystemTime& last) {
    SampleClock clock;
    clock.restart(last, kTicks);
    clock.stepWritten(last);
    return clock;
}

void expectLastSample(const SampleClock& clock, const SystemTime& expected) {
    test::expectTime(clock.lastSample(), expected);
}

TEST(SampleClock, RestartWaitsForTheNextFullSecond) {
    SampleClock clock;
    clock.restart(makeTime(2026, 3, 7, 10, 0, 0, 120), kTicks);
    expectLastSample(clock, makeTime(2026, 3, 7, 10, 0, 0, 500));
    EXPECT_EQ(clock.dueSteps(makeTime(2026, 3, 7, 10, 0, 0, 990), kTicks + 870), 0);
    EXPECT_EQ(clock.dueSteps(makeTime(2026, 3, 7, 10, 0, 1, 5), kTicks + 885), 1);
    expectLastSample(clock, makeTime(2026, 3, 7, 10, 0, 0, 500));  // only written steps move it
}

TEST(SampleClock, HalfSecondStepFollowsTheFullSecondBy500MsOfTicks) {
    SampleClock clock = clockAt(makeTime(2026, 3, 7, 10, 0, 0, 500));
    ASSERT_EQ(clock.dueSteps(makeTime(2026, 3, 7, 10, 0, 1, 40), 10000), 1);
    clock.stepWritten(clock.nextStep());
    EXPECT_EQ(clock.lastSample().milliseconds, 0);
    // Local time's milliseconds do not matter, only the ticks since the second was seen.
    EXPECT_EQ(clock.dueSteps(makeTime(2026, 3, 7, 10, 0, 1, 700), 10499), 0);
    EXPECT_EQ(clock.dueSteps(makeTime(2026, 3, 7, 10, 0, 1, 700), 10500), 1);
    clock.stepWritten(clock.nextStep());
    EXPECT_EQ(clock.dueSteps(makeTime(2026, 3, 7, 10, 0, 1, 990), 11000), 0);
}

TEST(SampleClock, LatePassesOweEveryMissedStep) {
    SampleClock halfSecond = clockAt(makeTime(2026, 3, 7, 10, 0, 0, 500));
    EXPECT_EQ(halfSecond.dueSteps(makeTime(2026, 3, 7, 10, 0, 3, 100), kTicks), 5);
    SampleClock fullSecond = clockAt(makeTime(2026, 3, 7, 10, 0, 0, 0));
    EXPECT_EQ(fullSecond.dueSteps(makeTime(2026, 3, 7, 10, 0, 3, 100), kTicks), 6);
    SampleClock acrossTheHour = clockAt(makeTime(2026, 3, 7, 10, 59, 58, 500));
    EXPECT_EQ(acrossTheHour.dueSteps(makeTime(2026, 3, 7, 11, 0, 1, 0), kTicks), 5);
    EXPECT_EQ(acrossTheHour.restartsByJump(), 0);
}

TEST(SampleClock, MidnightAndMonthEndsAreOrdinarySteps) {
    SampleClock midnight = clockAt(makeTime(2026, 6, 30, 23, 59, 59, 500));
    EXPECT_EQ(midnight.dueSteps(makeTime(2026, 7, 1, 0, 0, 0, 20), kTicks), 1);
    SampleClock yearEnd = clockAt(makeTime(2026, 12, 31, 23, 59, 59, 500));
    EXPECT_EQ(yearEnd.dueSteps(makeTime(2027, 1, 1, 0, 0, 0, 20), kTicks), 1);
    SampleClock leapDay = clockAt(makeTime(2100, 2, 28, 23, 59, 59, 500));
    ASSERT_EQ(leapDay.dueSteps(makeTime(2100, 2, 29, 0, 0, 0, 20), kTicks), 1);
    SystemTime step = leapDay.nextStep();
    EXPECT_EQ(step.month, 2);
    EXPECT_EQ(step.day, 29);
    EXPECT_EQ(leapDay.restartsByJump(), 0);
}

// The stamps a clock writes while local time and the tick count run on
// together from `reading` for `milliseconds`, read every 10 ms.
std::vector<SystemTime> stepsWhileRunning(SampleClock& clock, const SystemTime& reading,
                                          int milliseconds) {
    std::vector<SystemTime> written;
    for (int elapsed = 0; elapsed <= milliseconds; elapsed += 10) {
        SystemTime now = test::stampFromMs(test::stampMs(reading) + elapsed);
        for (int due = clock.dueSteps(now, kTicks + elapsed); due > 0; --due) {
            written.push_back(clock.nextStep());
            clock.stepWritten(written.back());
            // Stamped with the local time the step happens at: its own half second.
            EXPECT_LE(test::stampMs(written.back()), test::stampMs(now)) << test::stamp(now);
            EXPECT_GT(test::stampMs(written.back()) + 500, test::stampMs(now)) << test::stamp(now);
        }
    }
    return written;
}

// A clock set back (summer time ends, a user or a time service corrects
// it) goes on from the reading: the half second the reading lies in at
// once, then every half second, into the day, month or year before, too.
TEST(SampleClock, ClockSetBackGoesOnFromTheReading) {
    const SystemTime cases[][3] = {  // last sample, reading, first step after it
        {makeTime(2026, 10, 25, 2, 59, 59, 500), makeTime(2026, 10, 25, 2, 0, 0, 10),
         makeTime(2026, 10, 25, 2, 0, 0, 0)},
        {makeTime(2026, 3, 7, 10, 30, 0, 500), makeTime(2026, 3, 7, 10, 29, 55, 700),
         makeTime(2026, 3, 7, 10, 29, 55, 500)},
        {makeTime(2026, 3, 7, 10, 0, 1, 0), makeTime(2026, 3, 7, 10, 0, 0, 800),
         makeTime(2026, 3, 7, 10, 0, 0, 500)},
        {makeTime(2026, 3, 8, 0, 5, 0, 500), makeTime(2026, 3, 7, 23, 50, 0, 100),
         makeTime(2026, 3, 7, 23, 50, 0, 0)},
        {makeTime(2026, 3, 7, 10, 0, 0, 0), makeTime(2026, 3, 1, 0, 0, 0, 200),
         makeTime(2026, 3, 1, 0, 0, 0, 0)},
        {makeTime(2027, 1, 1, 0, 0, 0, 0), makeTime(2026, 12, 31, 23, 59, 59, 600),
         makeTime(2026, 12, 31, 23, 59, 59, 500)},
    };
    for (const auto& [last, reading, firstStep] : cases) {
        SCOPED_TRACE(test::stamp(reading));
        SampleClock clock = clockAt(last);
        std::vector<SystemTime> steps = stepsWhileRunning(clock, reading, 2000);
        ASSERT_EQ(steps.size(), 5u);  // every half second of the 2 s
        for (size_t step = 0; step < steps.size(); ++step) {
            EXPECT_EQ(test::stampMs(steps[step]), test::stampMs(firstStep) + 500 * int64_t(step));
        }
        EXPECT_EQ(clock.stepsBack(), 1);
        EXPECT_EQ(clock.restartsByJump(), 0);
    }
}

// A pass that comes late to a set-back first stamps the steps whose half
// second had passed before the reading's began, on from the last sample,
// then goes back. Steps are written one per pass here, as when the ring
// has room for one at a time.
TEST(SampleClock, LatePassAtASetBackStampsTheStepsOwedFirst) {
    struct Case {
        SystemTime last;
        SystemTime reading;
        uint32_t ticksAfterLast;  // the last sample's second was seen at kTicks
        std::vector<std::string> steps;
    };
    const Case cases[] = {
        {makeTime(2026, 10, 25, 2, 59, 59, 0), makeTime(2026, 10, 25, 2, 0, 0, 10), 1010,
         {"2026-10-25 02:59:59.500", "2026-10-25 02:00:00.000"}},
        {makeTime(2026, 10, 25, 2, 59, 59, 500), makeTime(2026, 10, 25, 2, 0, 0, 700), 2200,
         {"2026-10-25 03:00:00.000", "2026-10-25 03:00:00.500", "2026-10-25 02:00:00.500"}},
        // On time: nothing owed, straight back.
        {makeTime(2026, 10, 25, 2, 59, 59, 500), makeTime(2026, 10, 25, 2, 0, 0, 10), 1010,
         {"2026-10-25 02:00:00.000"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(test::stamp(c.last));
        SampleClock clock = clockAt(c.last);
        std::vector<std::string> written;
        for (int pass = 0; pass < 10 && clock.dueSteps(c.reading, kTicks + c.ticksAfterLast) > 0;
             ++pass) {
            written.push_back(test::stamp(clock.nextStep()));
            clock.stepWritten(clock.nextStep());
        }
        EXPECT_EQ(written, c.steps);
        EXPECT_EQ(clock.stepsBack(), 1);
        // Then every half second on from the step gone back to.
        SystemTime later = test::stampFromMs(test::stampMs(c.reading) + 500);
        ASSERT_EQ(clock.dueSteps(later, kTicks + c.ticksAfterLast + 500), 1);
        EXPECT_EQ(test::stampMs(clock.nextStep()), test::stampMs(clock.lastSample()) + 500);
    }
}

TEST(SampleClock, JumpBeyondTheLimitsRestartsAtTheNewTimeWithoutBackfill) {
    SampleClock clock = clockAt(makeTime(2026, 3, 7, 10, 30, 0, 500));
    EXPECT_EQ(clock.dueSteps(makeTime(2026, 3, 9, 10, 30, 0, 300), kTicks), 0);
    EXPECT_EQ(clock.restartsByJump(), 1);
    expectLastSample(clock, makeTime(2026, 3, 9, 10, 30, 0, 500));
    EXPECT_EQ(clock.dueSteps(makeTime(2026, 3, 9, 10, 30, 1, 10), kTicks + 710), 1);
}

TEST(SampleClock, JumpsThatTheStepsCannotBridgeRestartToo) {
    // Exactly one hour ahead: the minute and second agree, the hour does not.
    SampleClock hour = clockAt(makeTime(2026, 3, 7, 10, 30, 0, 500));
    EXPECT_EQ(hour.dueSteps(makeTime(2026, 3, 7, 11, 30, 0, 100), kTicks), 0);
    EXPECT_EQ(hour.restartsByJump(), 1);
    expectLastSample(hour, makeTime(2026, 3, 7, 11, 30, 0, 500));
    // One hour and ten seconds ahead would otherwise owe only ten seconds.
    SampleClock more = clockAt(makeTime(2026, 3, 7, 10, 30, 0, 500));
    EXPECT_EQ(more.dueSteps(makeTime(2026, 3, 7, 11, 30, 10, 100), kTicks), 0);
    EXPECT_EQ(more.restartsByJump(), 1);
    // A month ahead and a day back passes the field checks but is no short delay.
    SampleClock month = clockAt(makeTime(2026, 3, 7, 10, 30, 0, 500));
    EXPECT_EQ(month.dueSteps(makeTime(2026, 4, 6, 10, 30, 5, 0), kTicks), 0);
    EXPECT_EQ(month.restartsByJump(), 1);
}

TEST(SampleClock, ForwardJumpWithinTheHourIsBackfilled) {
    SampleClock clock = clockAt(makeTime(2026, 3, 7, 10, 0, 0, 0));
    EXPECT_EQ(clock.dueSteps(makeTime(2026, 3, 7, 10, 30, 0, 0), kTicks), 3600);
    EXPECT_EQ(clock.restartsByJump(), 0);
}

TEST(SampleClock, PlausibilityLimitsOfEachField) {
    SystemTime last = makeTime(2026, 12, 31, 23, 59, 59);
    EXPECT_TRUE(isPlausibleAdvance(last, makeTime(2027, 1, 1, 0, 0, 0)));
    EXPECT_FALSE(isPlausibleAdvance(last, makeTime(2028, 1, 1, 0, 0, 0)));
    SystemTime may = makeTime(2026, 5, 31, 10, 0, 0);
    EXPECT_TRUE(isPlausibleAdvance(may, makeTime(2026, 6, 1, 10, 0, 0)));
    EXPECT_FALSE(isPlausibleAdvance(may, makeTime(2026, 7, 1, 10, 0, 0)));
    EXPECT_FALSE(isPlausibleAdvance(may, makeTime(2027, 4, 1, 10, 0, 0)));
    EXPECT_TRUE(isPlausibleAdvance(may, makeTime(2026, 5, 31, 11, 0, 0)));
    EXPECT_FALSE(isPlausibleAdvance(may, makeTime(2026, 5, 31, 12, 0, 0)));
    EXPECT_FALSE(isPlausibleAdvance(may, makeTime(2026, 6, 1, 9, 0, 0)));
    EXPECT_FALSE(
        isPlausibleAdvance(makeTime(2026, 5, 10, 10, 0, 0), makeTime(2026, 5, 12, 10, 0, 0)));
}

}  // namespace
}  // namespace kvt
