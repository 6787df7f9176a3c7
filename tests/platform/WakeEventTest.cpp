#include <gtest/gtest.h>

#include <thread>

#include "platform/WakeEvent.h"

namespace kvt {
namespace {

// A raise is kept until taken, counts once, and wakes a thread already
// asleep (the long limit would fail the test by time, not by a hang).
TEST(WakeEvent, RaiseIsKeptUntilTakenAndWakesTheSleeper) {
    WakeEvent event;
    EXPECT_FALSE(event.waitMs(5));
    event.raise();
    event.raise();
    EXPECT_TRUE(event.waitMs(0));
    EXPECT_FALSE(event.take());
    bool woken = false;
    std::thread sleeper([&] { woken = event.waitMs(60000); });
    event.raise();
    sleeper.join();
    EXPECT_TRUE(woken);
}

}  // namespace
}  // namespace kvt
