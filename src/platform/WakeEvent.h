#pragma once
#include <atomic>
#include <cstdint>

namespace kvt {

// A flag one thread sleeps on until another raises it: the hand-over of
// "there is work" between worker threads, so that a waiting thread wakes
// when its work arrives instead of looking every few milliseconds. A raise
// before the wait is kept until a wait or take() consumes it; several
// raises before that count as one. One word, a futex: neither side
// allocates or takes a lock. Use it alongside the data it announces, which
// must be published (release) before raise().
class WakeEvent {
public:
    WakeEvent() = default;
    WakeEvent(const WakeEvent&) = delete;
    WakeEvent& operator=(const WakeEvent&) = delete;

    // Raises the flag and wakes the waiting thread, if any.
    void raise();
    // Consumes a raised flag without waiting; true when it was raised.
    bool take();
    // Sleeps until the flag is raised (consuming it: true) or `milliseconds`
    // of real time have passed (false). 0 only takes.
    bool waitMs(uint32_t milliseconds);

private:
    std::atomic<uint32_t> raised_{0};
};

}  // namespace kvt
