#pragma once
#include <optional>

#include "support/ScopedEnv.h"

namespace kvt::test {

// Local time follows the time zone `zone` (a TZ value such as
// "Europe/Berlin") for the lifetime of the object; the previous zone comes
// back afterwards.
class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const char* zone);
    ~ScopedTimeZone();
    ScopedTimeZone(const ScopedTimeZone&) = delete;
    ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

private:
    std::optional<ScopedEnv> zone_;
};

// Central European time: the clocks go forward 02:00 -> 03:00 on the last
// Sunday of March and back 03:00 -> 02:00 on the last Sunday of October.
constexpr const char* kCentralEuropeTz = "CET-1CEST,M3.5.0,M10.5.0/3";

}  // namespace kvt::test
