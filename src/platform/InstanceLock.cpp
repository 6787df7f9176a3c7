#include "platform/InstanceLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "platform/Clock.h"

namespace kvt {

const char* InstanceLock::lockFilePath() {
    static char path[1100];
    const char* directory = std::getenv("XDG_RUNTIME_DIR");
    if (directory == nullptr || directory[0] == '\0') directory = "/tmp";
    std::snprintf(path, sizeof path, "%s/KVT936PU-MUTEX", directory);
    return path;
}

InstanceLock::~InstanceLock() { release(); }

bool InstanceLock::acquire(int waitMs) {
    if (descriptor_ >= 0) return true;
    int descriptor = open(lockFilePath(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (descriptor < 0) return false;
    for (int waited = 0;; waited += 10) {
        if (flock(descriptor, LOCK_EX | LOCK_NB) == 0) {
            descriptor_ = descriptor;
            return true;
        }
        if (waited >= waitMs) break;
        systemClock().sleepMs(10);
    }
    close(descriptor);
    return false;
}

void InstanceLock::release() {
    if (descriptor_ < 0) return;
    flock(descriptor_, LOCK_UN);
    close(descriptor_);
    descriptor_ = -1;
}

}  // namespace kvt
