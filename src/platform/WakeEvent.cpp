#include "platform/WakeEvent.h"

#include <linux/futex.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <ctime>

#include "platform/Clock.h"

namespace kvt {
namespace {

uint32_t* futexWord(std::atomic<uint32_t>& word) {
    static_assert(sizeof(std::atomic<uint32_t>) == sizeof(uint32_t));
    return reinterpret_cast<uint32_t*>(&word);
}

// Sleeps while the word still reads `expected`, at most `milliseconds`.
void futexWait(std::atomic<uint32_t>& word, uint32_t expected, int64_t milliseconds) {
    timespec timeout{static_cast<time_t>(milliseconds / 1000),
                     static_cast<long>(milliseconds % 1000) * 1000000L};
    syscall(SYS_futex, futexWord(word), FUTEX_WAIT_PRIVATE, expected, &timeout, nullptr, 0);
}

}  // namespace

void WakeEvent::raise() {
    if (raised_.exchange(1, std::memory_order_acq_rel) == 0) {
        syscall(SYS_futex, futexWord(raised_), FUTEX_WAKE_PRIVATE, INT_MAX, nullptr, nullptr, 0);
    }
}

bool WakeEvent::take() { return raised_.exchange(0, std::memory_order_acq_rel) != 0; }

bool WakeEvent::waitMs(uint32_t milliseconds) {
    int64_t deadline = monotonicMilliseconds() + milliseconds;
    for (;;) {
        if (take()) return true;
        int64_t left = deadline - monotonicMilliseconds();
        if (left <= 0) return false;
        futexWait(raised_, 0, left);
    }
}

}  // namespace kvt
