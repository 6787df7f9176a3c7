#include "platform/Clock.h"

#include <ctime>
#include <thread>

#include "core/RunFlags.h"
#include "platform/WakeEvent.h"

namespace kvt {
namespace {

class PosixClock final : public Clock {
public:
    SystemTime localTime() override {
        timespec now{};
        clock_gettime(CLOCK_REALTIME, &now);
        return localTimeOf(now.tv_sec, static_cast<int>(now.tv_nsec / 1000000));
    }
    int64_t epochSeconds() override { return static_cast<int64_t>(time(nullptr)); }
    uint32_t tickCount() override { return static_cast<uint32_t>(monotonicMilliseconds()); }
    void sleepMs(uint32_t milliseconds) override {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    }
};

PosixClock posixClock;
std::atomic<Clock*> installedClock{nullptr};

}  // namespace

bool Clock::sleepUntilSignalled(WakeEvent& event, uint32_t milliseconds) {
    return event.wait(static_cast<int>(milliseconds));
}

Clock& systemClock() { return posixClock; }

int64_t monotonicMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

Clock& activeClock() {
    Clock* clock = installedClock.load(std::memory_order_acquire);
    return clock ? *clock : posixClock;
}

void installClock(Clock* clock) { installedClock.store(clock, std::memory_order_release); }

SystemTime toSystemTime(const tm& calendar, int milliseconds) {
    SystemTime time;
    time.year = static_cast<uint16_t>(calendar.tm_year + 1900);
    time.month = static_cast<uint16_t>(calendar.tm_mon + 1);
    time.dayOfWeek = static_cast<uint16_t>(calendar.tm_wday);
    time.day = static_cast<uint16_t>(calendar.tm_mday);
    time.hour = static_cast<uint16_t>(calendar.tm_hour);
    time.minute = static_cast<uint16_t>(calendar.tm_min);
    time.second = static_cast<uint16_t>(calendar.tm_sec > 59 ? 59 : calendar.tm_sec);
    time.milliseconds = static_cast<uint16_t>(milliseconds);
    return time;
}

bool isPlausibleLocalTime(const SystemTime& t) {
    return t.year >= 2000 && t.year <= 2099 && t.month >= 1 && t.month <= 12 && t.day >= 1 &&
           t.day <= 31 && t.hour <= 23 && t.minute <= 59 && t.second <= 59 &&
           t.milliseconds <= 999;
}

SystemTime localTimeOf(int64_t epochSeconds, int milliseconds) {
    time_t seconds = static_cast<time_t>(epochSeconds);
    tm local{};
    localtime_r(&seconds, &local);
    return toSystemTime(local, milliseconds);
}

CalendarDate localDateOf(int64_t epochSeconds) {
    SystemTime local = localTimeOf(epochSeconds, 0);
    return {local.year, local.month, local.day};
}

tm localCalendar(const CalendarDate& date, int hour, int minute, int second) {
    tm local{};
    local.tm_year = date.year - 1900;
    local.tm_mon = date.month - 1;
    local.tm_mday = date.day;
    local.tm_hour = hour;
    local.tm_min = minute;
    local.tm_sec = second;
    local.tm_isdst = -1;
    return local;
}

int64_t epochSecondsOfLocal(const CalendarDate& date, int hour, int minute, int second) {
    tm local = localCalendar(date, hour, minute, second);
    const tm asked = local;
    int64_t seconds = static_cast<int64_t>(mktime(&local));
    // Within a fold the C library picks either instant, by what it was
    // asked before; the later one is taken every time.
    for (int64_t fold : {3600, 1800}) {
        time_t later = static_cast<time_t>(seconds + fold);
        tm reading{};
        if (localtime_r(&later, &reading) != nullptr && reading.tm_mday == asked.tm_mday &&
            reading.tm_hour == asked.tm_hour && reading.tm_min == asked.tm_min &&
            reading.tm_sec == asked.tm_sec && reading.tm_mon == asked.tm_mon &&
            reading.tm_year == asked.tm_year) {
            return later;
        }
    }
    return seconds;
}

bool isEarlier(const CalendarDate& date, const CalendarDate& other) {
    if (date.year != other.year) return date.year < other.year;
    if (date.month != other.month) return date.month < other.month;
    return date.day < other.day;
}

namespace {

CalendarDate shiftedDay(const CalendarDate& date, int days) {
    tm calendar{};
    calendar.tm_year = date.year - 1900;
    calendar.tm_mon = date.month - 1;
    calendar.tm_mday = date.day + days;
    calendar.tm_hour = 12;
    time_t normalised = timegm(&calendar);
    gmtime_r(&normalised, &calendar);
    return {calendar.tm_year + 1900, calendar.tm_mon + 1, calendar.tm_mday};
}

}  // namespace

CalendarDate dayBefore(const CalendarDate& date) { return shiftedDay(date, -1); }

CalendarDate dayAfter(const CalendarDate& date) { return shiftedDay(date, 1); }

SystemTime validatedLocalTime(const std::atomic<int>& stopFlag) {
    Clock& clock = activeClock();
    SystemTime reading = clock.localTime();
    while (!isPlausibleLocalTime(reading)) {
        if (stopFlag.load(std::memory_order_acquire) != 0) break;
        clock.sleepMs(1);
        reading = clock.localTime();
    }
    return reading;
}

SystemTime validatedLocalTime() { return validatedLocalTime(exitRequested); }

}  // namespace kvt
