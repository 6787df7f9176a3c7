#include "support/ScopedTimeZone.h"

#include <ctime>

namespace kvt::test {

ScopedTimeZone::ScopedTimeZone(const char* zone) {
    zone_.emplace("TZ", zone);
    tzset();
}

ScopedTimeZone::~ScopedTimeZone() {
    zone_.reset();
    tzset();
}

}  // namespace kvt::test
