#include <gtest/gtest.h>

#include <atomic>
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

}  // namespace
}  // namespace kvt
