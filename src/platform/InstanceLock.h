#pragma once

namespace kvt {

// The single-instance guard: an exclusive lock on a file of the user's own.
// The file is "KVT936PU-MUTEX" in XDG_RUNTIME_DIR when that is a directory
// of the user's, else "KVT936PU-MUTEX-<uid>" in TMPDIR (or /tmp), so every
// account has its own lock and never needs write access to another
// account's file. The kernel drops the lock when the process ends, so a
// crashed instance never blocks the next start.
class InstanceLock {
public:
    enum class Outcome {
        Owned,          // this process holds the lock now
        HeldElsewhere,  // another instance of this user holds it: already running
        Unavailable,    // no lock file of the user's own could be made or locked
    };

    InstanceLock() = default;
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;
    ~InstanceLock();

    // Tries for at most `waitMs` milliseconds. Only a lock that another
    // process really holds gives HeldElsewhere; a lock file that cannot be
    // opened, is not a plain file of the user's (a link, another account's
    // file) or cannot be locked at all gives Unavailable.
    Outcome acquire(int waitMs = 100);
    void release();
    bool owned() const { return descriptor_ >= 0; }

    // Where the lock file is, from the environment as it is now.
    static const char* lockFilePath();

private:
    int descriptor_ = -1;
};

}  // namespace kvt
