#include "platform/DisplayCheck.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace kvt {
namespace {

bool isSet(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && value[0] != '\0';
}

// ":N" and ":N.S" are local displays served through /tmp/.X11-unix/XN;
// other forms (remote hosts) cannot be checked without connecting.
bool x11DisplayReachable(const char* display) {
    if (display[0] != ':') return true;
    int number = std::atoi(display + 1);
    char socketPath[64];
    std::snprintf(socketPath, sizeof socketPath, "/tmp/.X11-unix/X%d", number);
    struct stat status {};
    return stat(socketPath, &status) == 0;
}

}  // namespace

bool displayAvailable() {
    if (isSet("QT_QPA_PLATFORM") || isSet("WAYLAND_DISPLAY")) return true;
    if (!isSet("DISPLAY")) return false;
    return x11DisplayReachable(std::getenv("DISPLAY"));
}

}  // namespace kvt
