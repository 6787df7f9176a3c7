#include <gtest/gtest.h>

#include <thread>

#include "platform/WakeEvent.h"

namespace kvt {
namespace {

// A signal is kept until a wait takes it, signals before a wait count
// once, and a thread already asleep wakes (the long limit would fail the
// test by time, not by a hang).
TEST(WakeEvent, SignalIsKeptUntilTakenAndWakesTheSleeper) {
    WakeEvent event;
    EXPECT_FALSE(event.wait(5));
    event.signal();
    event.signal();
    EXPECT_TRUE(event.wait(0));
    EXPECT_FALSE(event.wait(0));
    bool woken = false;
    std::thread sleeper([&] { woken = event.wait(60000); });
    event.signal();
    sleeper.join();
    EXPECT_TRUE(woken);
}

}  // namespace
}  // namespace kvt
