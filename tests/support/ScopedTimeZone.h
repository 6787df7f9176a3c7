#pragma once
#include <ctime>
#include <optional>

#include "support/ScopedEnv.h"

namespace kvt::test {

// Runs the process in the time zone `tz` (a POSIX TZ text, so no zone
// database is needed) for the lifetime of the object.
class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const char* tz) : tz_(std::in_place, "TZ", tz) { tzset(); }
    ~ScopedTimeZone() {
        tz_.reset();
        tzset();
    }
    ScopedTimeZone(const ScopedTimeZone&) = delete;
    ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

private:
    std::optional<ScopedEnv> tz_;
};

// Central European time: the clocks go forward 02:00 -> 03:00 on the last
// Sunday of March and back 03:00 -> 02:00 on the last Sunday of October.
constexpr const char* kCentralEuropeTz = "CET-1CEST,M3.5.0,M10.5.0/3";

}  // namespace kvt::test
