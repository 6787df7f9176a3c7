#include "platform/WakeEvent.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

namespace kvt {

WakeEvent::WakeEvent() : descriptor_(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}

WakeEvent::~WakeEvent() {
    if (descriptor_ >= 0) close(descriptor_);
}

void WakeEvent::signal() {
    uint64_t one = 1;
    // A full counter means the waiter has plenty to wake for already.
    ssize_t written = write(descriptor_, &one, sizeof one);
    (void)written;
}

bool WakeEvent::wait(int timeoutMs) {
    pollfd watched{descriptor_, POLLIN, 0};
    int ready = poll(&watched, 1, timeoutMs);
    if (ready <= 0) return false;  // time is up (or a signal handler ran)
    clear();
    return true;
}

void WakeEvent::clear() {
    uint64_t count = 0;
    ssize_t taken = read(descriptor_, &count, sizeof count);
    (void)taken;
}

}  // namespace kvt
