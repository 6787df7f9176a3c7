#include "platform/InstanceLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/Clock.h"
#include "platform/Paths.h"
#include "platform/PlainFiles.h"

namespace kvt {
namespace {

constexpr int kRetryMs = 10;
constexpr const char* kLockFileName = "KVT936PU-MUTEX";
constexpr int kHolderTextCapacity = 64;
constexpr const char* kWindowlessNote = "headless";

void writeHolder(int descriptor, const LockHolder& holder) {
    char text[kHolderTextCapacity];
    int length = std::snprintf(text, sizeof text, "%ld\n%s\n", holder.pid,
                               holder.windowless ? kWindowlessNote : "window");
    // The holder's note only informs a second start; the lock works without it.
    if (ftruncate(descriptor, 0) == 0) {
        [[maybe_unused]] ssize_t written = pwrite(descriptor, text, length, 0);
    }
}

LockHolder readHolder(int descriptor) {
    char text[kHolderTextCapacity] = {};
    ssize_t got = pread(descriptor, text, sizeof text - 1, 0);
    LockHolder holder;
    if (got <= 0) return holder;
    char* rest = nullptr;
    holder.pid = std::strtol(text, &rest, 10);
    holder.windowless = *rest == '\n' &&
                        std::strncmp(rest + 1, kWindowlessNote, std::strlen(kWindowlessNote)) == 0;
    return holder;
}

int openLockFile() {
    if (makeDataFolder() != 0) return -1;
    int folder = open(dataFolder(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0) return -1;
    int descriptor = openOwnPlainFileAt(folder, kLockFileName, O_RDWR | O_CREAT, 0600);
    int reason = errno;
    close(folder);
    // Owner-only whatever mode it was made with.
    if (descriptor >= 0 && fchmod(descriptor, 0600) != 0) {
        reason = errno;
        close(descriptor);
        descriptor = -1;
    }
    errno = reason;
    return descriptor;
}

}  // namespace

LockHolder LockHolder::thisProcess(bool windowless) {
    return {static_cast<long>(getpid()), windowless};
}

const char* InstanceLock::lockFilePath() {
    static char path[1200];
    std::snprintf(path, sizeof path, "%s/%s", dataFolder(), kLockFileName);
    return path;
}

InstanceLock::~InstanceLock() { release(); }

InstanceLock::Outcome InstanceLock::acquire(int waitMs, const LockHolder& self) {
    if (descriptor_ >= 0) return Outcome::Owned;
    holder_ = {};
    reason_ = 0;
    int descriptor = openLockFile();
    if (descriptor < 0) {
        reason_ = errno;
        return Outcome::Unavailable;
    }
    Outcome outcome = lock(descriptor, waitMs, self);
    if (outcome == Outcome::Owned) {
        descriptor_ = descriptor;
    } else {
        if (outcome == Outcome::HeldElsewhere) holder_ = readHolder(descriptor);
        close(descriptor);
    }
    return outcome;
}

InstanceLock::Outcome InstanceLock::lock(int descriptor, int waitMs, const LockHolder& self) {
    for (int waited = 0;; waited += kRetryMs) {
        if (flock(descriptor, LOCK_EX | LOCK_NB) == 0) break;
        if (errno != EWOULDBLOCK) {  // no locking here at all
            reason_ = errno;
            return Outcome::Unavailable;
        }
        if (waited >= waitMs) return Outcome::HeldElsewhere;
        systemClock().sleepMs(kRetryMs);
    }
    // The lock is what guards; the note of who holds it only informs (a
    // full disk may refuse it).
    writeHolder(descriptor, self);
    return Outcome::Owned;
}

void InstanceLock::release() {
    if (descriptor_ < 0) return;
    flock(descriptor_, LOCK_UN);
    close(descriptor_);
    descriptor_ = -1;
}

}  // namespace kvt
