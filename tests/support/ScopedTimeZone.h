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

}  // namespace kvt::test
