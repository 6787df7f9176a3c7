#pragma once

namespace kvt {

// The single-instance guard: an exclusive lock on the file "KVT936PU-MUTEX"
// in the runtime directory (XDG_RUNTIME_DIR, else /tmp). The kernel drops
// the lock when the process ends, so a crashed instance never blocks the
// next start.
class InstanceLock {
public:
    InstanceLock() = default;
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;
    ~InstanceLock();

    // Tries for at most `waitMs` milliseconds. True when this process now
    // owns the lock (kept until release or process end).
    bool acquire(int waitMs = 100);
    void release();
    bool owned() const { return descriptor_ >= 0; }

    static const char* lockFilePath();

private:
    int descriptor_ = -1;
};

}  // namespace kvt
