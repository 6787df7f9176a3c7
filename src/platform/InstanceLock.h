#pragma once

namespace kvt {

// Who holds the single-instance lock, as the holder writes it into the lock
// file: its process id on the first line. Further facts about the holder
// go on lines of their own after that one, so every reader of the first
// line keeps working.
struct LockHolder {
    long pid = 0;  // 0: not known (a holder still writing it, say)
    // Second line "headless" for a recorder without a window ("window"
    // otherwise, or nothing from an older one).
    bool windowless = false;

    static LockHolder thisProcess(bool windowless = false);
};

// The single-instance guard: an exclusive lock (flock) on the file
// "KVT936PU-MUTEX" in the data folder, since what must never have two
// writers is the data folder. The file is opened without following a link
// and is only ever a plain file of the account's own, readable and
// writable by it alone. The kernel drops the lock when the process ends,
// so a crashed instance never blocks the next start.
class InstanceLock {
public:
    enum class Outcome {
        Owned,          // this process holds the lock now
        HeldElsewhere,  // another instance holds it: already running
        Unavailable,    // no lock file of the account's own could be made or locked
    };

    InstanceLock() = default;
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;
    ~InstanceLock();

    // Makes the data folder when missing and tries for at most `waitMs`
    // milliseconds. Owned: `self` is written into the lock file (as far
    // as the disk takes it). HeldElsewhere, only for a lock that another
    // process really holds: holder() tells what it wrote. Unavailable: the
    // file cannot be made, opened (a link, a folder, another account's file
    // stands there) or locked; unavailableReason() is the errno value of why.
    Outcome acquire(int waitMs = 100, const LockHolder& self = LockHolder::thisProcess());
    void release();
    bool owned() const { return descriptor_ >= 0; }
    const LockHolder& holder() const { return holder_; }
    int unavailableReason() const { return reason_; }

    // "<data folder>/KVT936PU-MUTEX", from HOME as it is now.
    static const char* lockFilePath();

private:
    Outcome lock(int descriptor, int waitMs, const LockHolder& self);

    int descriptor_ = -1;
    LockHolder holder_;
    int reason_ = 0;
};

}  // namespace kvt
