#pragma once

namespace kvt {

// Wakes one waiting thread from any number of others. signal() never
// blocks and never allocates (one write to an event descriptor), so the
// acquisition threads may call it; the waiter sleeps in the kernel until a
// signal or its time limit, and costs nothing while nobody signals.
class WakeEvent {
public:
    WakeEvent();
    ~WakeEvent();
    WakeEvent(const WakeEvent&) = delete;
    WakeEvent& operator=(const WakeEvent&) = delete;

    void signal();
    // Sleeps until signalled (signals since the last wait count) or
    // `timeoutMs` has passed (-1: no limit). True when signalled.
    bool wait(int timeoutMs);
    // For poll() beside other descriptors; readable while signalled.
    int descriptor() const { return descriptor_; }
    // Takes the signals counted so far.
    void clear();

private:
    int descriptor_ = -1;
};

}  // namespace kvt
