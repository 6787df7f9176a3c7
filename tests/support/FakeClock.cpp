#include "support/FakeClock.h"

#include <ctime>

#include "platform/WakeEvent.h"

namespace kvt::test {

FakeClock::FakeClock() { setLocal(2026, 3, 7, 12, 0, 0); }
FakeClock::~FakeClock() = default;

SystemTime FakeClock::localTime() {
    std::lock_guard lock(mutex_);
    if (forced_) return forcedReading_;
    return localTimeOf(epochMs_ / 1000, static_cast<int>(epochMs_ % 1000));
}

int64_t FakeClock::epochSeconds() {
    std::lock_guard lock(mutex_);
    return epochMs_ / 1000;
}

uint32_t FakeClock::tickCount() {
    std::lock_guard lock(mutex_);
    return static_cast<uint32_t>(ticks_);
}

void FakeClock::sleepMs(uint32_t milliseconds) {
    sleepCalls.fetch_add(1, std::memory_order_relaxed);
    if (advanceOnSleep.load()) advanceMs(milliseconds);
}

bool FakeClock::sleepUntilSignalled(WakeEvent& event, uint32_t milliseconds) {
    if (event.wait(0)) return true;
    sleepMs(milliseconds);
    return event.wait(0);
}

void FakeClock::setLocal(int year, int month, int day, int hour, int minute, int second,
                         int milliseconds) {
    int64_t seconds = localEpochSeconds(year, month, day, hour, minute, second);
    std::lock_guard lock(mutex_);
    epochMs_ = seconds * 1000 + milliseconds;
}

void FakeClock::advanceMs(int64_t milliseconds) {
    std::lock_guard lock(mutex_);
    epochMs_ += milliseconds;
    ticks_ += static_cast<uint64_t>(milliseconds);
}

void FakeClock::jumpWallClockMs(int64_t milliseconds) {
    std::lock_guard lock(mutex_);
    epochMs_ += milliseconds;
}

void FakeClock::forceReading(const SystemTime& reading) {
    std::lock_guard lock(mutex_);
    forced_ = true;
    forcedReading_ = reading;
}

void FakeClock::clearForcedReading() {
    std::lock_guard lock(mutex_);
    forced_ = false;
}

int64_t localEpochSeconds(int year, int month, int day, int hour, int minute, int second) {
    return epochSecondsOfLocal({year, month, day}, hour, minute, second);
}

SystemTime makeTime(int year, int month, int day, int hour, int minute, int second,
                    int milliseconds) {
    SystemTime time;
    time.year = static_cast<uint16_t>(year);
    time.month = static_cast<uint16_t>(month);
    time.day = static_cast<uint16_t>(day);
    time.hour = static_cast<uint16_t>(hour);
    time.minute = static_cast<uint16_t>(minute);
    time.second = static_cast<uint16_t>(second);
    time.milliseconds = static_cast<uint16_t>(milliseconds);
    return time;
}

int64_t stampMs(const SystemTime& time) {
    tm calendar{};
    calendar.tm_year = time.year - 1900;
    calendar.tm_mon = time.month - 1;
    calendar.tm_mday = time.day;
    calendar.tm_hour = time.hour;
    calendar.tm_min = time.minute;
    calendar.tm_sec = time.second;
    return static_cast<int64_t>(timegm(&calendar)) * 1000 + time.milliseconds;
}

SystemTime stampFromMs(int64_t milliseconds) {
    time_t seconds = static_cast<time_t>(milliseconds / 1000);
    tm calendar{};
    gmtime_r(&seconds, &calendar);
    return toSystemTime(calendar, static_cast<int>(milliseconds % 1000));
}

}  // namespace kvt::test
