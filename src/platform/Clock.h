#pragma once
#include <atomic>
#include <cstdint>

#include "platform/SystemTime.h"

namespace kvt {

class WakeEvent;

// The one way the recorder reads time and sleeps, so that tests can drive
// time instead of waiting for it.
class Clock {
public:
    virtual ~Clock() = default;
    virtual SystemTime localTime() = 0;        // local wall-clock time
    virtual int64_t epochSeconds() = 0;        // calendar time in seconds
    virtual uint32_t tickCount() = 0;          // milliseconds, monotonic, wraps
    virtual void sleepMs(uint32_t milliseconds) = 0;
    // Sleeps until `event` is signalled (true, the signal taken) or
    // `milliseconds` have passed (false): how a worker thread waits for
    // its next piece of work.
    virtual bool sleepUntilSignalled(WakeEvent& event, uint32_t milliseconds);
};

// Real monotonic milliseconds, for I/O deadlines of the serial port and the
// socket, which must hold whatever clock a test installed.
int64_t monotonicMilliseconds();

// The clock in force; the system clock unless a test installed another.
Clock& systemClock();
Clock& activeClock();
void installClock(Clock* clock);  // nullptr restores the system clock

// Reads the local clock until it gives a plausible reading, trying again
// every millisecond. Returns early with the last (implausible) reading when
// `stopFlag` becomes non-zero, so shutdown never waits on a broken clock.
SystemTime validatedLocalTime(const std::atomic<int>& stopFlag);

// Same, stopping when the recorder's exitRequested flag is set.
SystemTime validatedLocalTime();

}  // namespace kvt
