#pragma once
#include <atomic>
#include <cstdint>
#include <mutex>

#include "platform/Clock.h"

namespace kvt::test {

// A clock that tests drive. Local time comes from an epoch-milliseconds
// value converted with the process time zone, unless an explicit reading is
// forced (for clocks out of range). sleepMs advances time by the amount
// slept when `advanceOnSleep` is set, so loops under test run in virtual time.
class FakeClock final : public Clock {
public:
    FakeClock();
    ~FakeClock() override;

    SystemTime localTime() override;
    int64_t epochSeconds() override;
    uint32_t tickCount() override;
    void sleepMs(uint32_t milliseconds) override;
    // Takes a signal already there; else sleeps (as sleepMs) the whole time.
    bool sleepUntilSignalled(WakeEvent& event, uint32_t milliseconds) override;

    // Sets local time (interpreted in the process time zone), ms included.
    void setLocal(int year, int month, int day, int hour, int minute, int second,
                  int milliseconds = 0);
    void advanceMs(int64_t milliseconds);  // wall clock and tick count
    void jumpWallClockMs(int64_t milliseconds);  // wall clock only
    void forceReading(const SystemTime& reading);  // every localTime() returns it
    void clearForcedReading();

    std::atomic<bool> advanceOnSleep{true};
    std::atomic<long> sleepCalls{0};

private:
    std::mutex mutex_;
    int64_t epochMs_ = 0;
    uint64_t ticks_ = 100000;
    bool forced_ = false;
    SystemTime forcedReading_{};
};

// Installs a FakeClock for the lifetime of the object.
class ScopedFakeClock {
public:
    ScopedFakeClock() { installClock(&clock); }
    ~ScopedFakeClock() { installClock(nullptr); }
    FakeClock clock;
};

SystemTime makeTime(int year, int month, int day, int hour, int minute, int second,
                    int milliseconds = 0);

// Seconds since the epoch of a local time in the process time zone.
int64_t localEpochSeconds(int year, int month, int day, int hour, int minute, int second);

// A time stamp as milliseconds on a UTC calendar and back, for arithmetic on
// stamps that no daylight-saving step gets in the way of.
int64_t stampMs(const SystemTime& time);
SystemTime stampFromMs(int64_t milliseconds);

}  // namespace kvt::test
