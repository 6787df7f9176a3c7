#include "acquisition/SerialDevicePath.h"

#include <sys/stat.h>

#include <cstdio>
#include <initializer_list>

#include "platform/Paths.h"

namespace kvt {
namespace {

constexpr int kSerialPortCount = 5;

bool fits(int written, int pathSize) { return written > 0 && written < pathSize; }

// "<folder>/com<commPort + 1>" in `path`, when that entry exists.
bool linkIn(const char* folder, int commPort, char* path, int pathSize) {
    struct stat status{};
    return fits(std::snprintf(path, pathSize, "%s/com%d", folder, commPort + 1), pathSize) &&
           lstat(path, &status) == 0;
}

}  // namespace

bool serialDevicePath(int commPort, char* path, int pathSize) {
    if (commPort < 0 || commPort >= kSerialPortCount || pathSize <= 0) return false;
    for (const char* folder : {configFolder(), legacyConfigFolder()}) {
        if (linkIn(folder, commPort, path, pathSize)) return true;
    }
    return fits(std::snprintf(path, pathSize, "/dev/ttyS%d", commPort), pathSize);
}

}  // namespace kvt
