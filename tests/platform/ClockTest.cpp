#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "platform/Clock.h"
#include "support/FakeClock.h"

namespace kvt {
namespace {

using test::makeTime;
using test::ScopedFakeClock;

TEST(ValidatedLocalTime, AcceptsOnlyPlausibleReadings) {
    EXPECT_TRUE(isPlausibleLocalTime(makeTime(2000, 1, 1, 0, 0, 0)));
    EXPECT_TRUE(isPlausibleLocalTime(makeTime(2099, 12, 31, 23, 59, 59, 999)));
    EXPECT_FALSE(isPlausibleLocalTime(makeTime(1999, 12, 31, 23, 59, 59)));
    EXPECT_FALSE(isPlausibleLocalTime(makeTime(2100, 1, 1, 0, 0, 0)));
    EXPECT_FALSE(isPlausibleLocalTime(makeTime(2026, 13, 1, 0, 0, 0)));
    EXPECT_FALSE(isPlausibleLocalTime(makeTime(2026, 1, 0, 0, 0, 0)));
    EXPECT_FALSE(isPlausibleLocalTime(makeTime(2026, 1, 1, 24, 0, 0)));
    EXPECT_FALSE(isPlausibleLocalTime(makeTime(2026, 1, 1, 0, 0, 0, 1000)));
}

TEST(ValidatedLocalTime, RetriesEveryMillisecondUntilTheClockIsSane) {
    ScopedFakeClock fake;
    fake.clock.advanceOnSleep = false;
    fake.clock.forceReading(makeTime(1999, 6, 1, 0, 0, 0));
    std::atomic<int> stop{0};
    std::thread repair([&] {
        while (fake.clock.sleepCalls.load() < 5) std::this_thread::yield();
        fake.clock.clearForcedReading();
    });
    SystemTime reading = validatedLocalTime(stop);
    repair.join();
    EXPECT_EQ(reading.year, 2026);
    EXPECT_GE(fake.clock.sleepCalls.load(), 5);
}

TEST(ValidatedLocalTime, ReturnsOnceExitIsRequestedWhileTheClockIsBroken) {
    ScopedFakeClock fake;
    fake.clock.forceReading(makeTime(1999, 6, 1, 0, 0, 0));
    std::atomic<int> stop{0};
    std::thread requester([&] {
        while (fake.clock.sleepCalls.load() < 3) std::this_thread::yield();
        stop.store(1);
    });
    SystemTime reading = validatedLocalTime(stop);
    requester.join();
    EXPECT_EQ(reading.year, 1999);
}

// The day before a date, across month, year and Gregorian leap-year ends
// (2100 is no leap year, 2000 is one), and the order of two dates.
TEST(CalendarDates, DayBeforeAndOrder) {
    struct Case {
        CalendarDate date;
        CalendarDate before;
    };
    const Case cases[] = {
        {{2026, 3, 7}, {2026, 3, 6}},   {{2026, 3, 1}, {2026, 2, 28}},
        {{2024, 3, 1}, {2024, 2, 29}},  {{2100, 3, 1}, {2100, 2, 28}},
        {{2000, 3, 1}, {2000, 2, 29}},  {{2027, 1, 1}, {2026, 12, 31}},
        {{1901, 1, 1}, {1900, 12, 31}}, {{2026, 5, 1}, {2026, 4, 30}},
    };
    for (const Case& c : cases) {
        CalendarDate before = dayBefore(c.date);
        SCOPED_TRACE(std::to_string(c.date.year) + "-" + std::to_string(c.date.month));
        EXPECT_EQ(before.year, c.before.year);
        EXPECT_EQ(before.month, c.before.month);
        EXPECT_EQ(before.day, c.before.day);
        EXPECT_TRUE(isEarlier(before, c.date));
        EXPECT_FALSE(isEarlier(c.date, before));
        EXPECT_FALSE(isEarlier(c.date, c.date));
    }
}

}  // namespace
}  // namespace kvt
