#include "platform/InstanceLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "platform/Clock.h"

namespace kvt {
namespace {

constexpr int kRetryMs = 10;

// The runtime directory counts only when it is a directory of the user's
// own: under sudo it may still name the invoking user's one.
bool isOwnDirectory(const char* directory) {
    struct stat status {};
    return directory != nullptr && directory[0] != '\0' && stat(directory, &status) == 0 &&
           S_ISDIR(status.st_mode) && status.st_uid == geteuid();
}

// A lock file may be trusted only when it is a plain file of the user's
// own: another account could otherwise hold a lock on it for ever.
bool isOwnPlainFile(int descriptor) {
    struct stat status {};
    return fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode) &&
           status.st_uid == geteuid();
}

}  // namespace

const char* InstanceLock::lockFilePath() {
    static char path[1100];
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (isOwnDirectory(runtime)) {
        std::snprintf(path, sizeof path, "%s/KVT936PU-MUTEX", runtime);
        return path;
    }
    const char* temporary = std::getenv("TMPDIR");
    if (temporary == nullptr || temporary[0] == '\0') temporary = "/tmp";
    std::snprintf(path, sizeof path, "%s/KVT936PU-MUTEX-%lu", temporary,
                  static_cast<unsigned long>(geteuid()));
    return path;
}

InstanceLock::~InstanceLock() { release(); }

InstanceLock::Outcome InstanceLock::acquire(int waitMs) {
    if (descriptor_ >= 0) return Outcome::Owned;
    // No link is followed and the file is only ever the user's own, made
    // readable by nobody else.
    int descriptor = open(lockFilePath(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (descriptor < 0) return Outcome::Unavailable;
    if (!isOwnPlainFile(descriptor)) {
        close(descriptor);
        return Outcome::Unavailable;
    }
    for (int waited = 0;; waited += kRetryMs) {
        if (flock(descriptor, LOCK_EX | LOCK_NB) == 0) {
            descriptor_ = descriptor;
            return Outcome::Owned;
        }
        if (errno != EWOULDBLOCK) break;  // no locking here at all
        if (waited >= waitMs) {
            close(descriptor);
            return Outcome::HeldElsewhere;
        }
        systemClock().sleepMs(kRetryMs);
    }
    close(descriptor);
    return Outcome::Unavailable;
}

void InstanceLock::release() {
    if (descriptor_ < 0) return;
    flock(descriptor_, LOCK_UN);
    close(descriptor_);
    descriptor_ = -1;
}

}  // namespace kvt
