#include "platform/DisplayCheck.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace kvt {
namespace {

bool isSet(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && value[0] != '\0';
}

// Connects to a local X server socket: the abstract name first (what the
// X library tries first too), then the socket file.
bool unixSocketAnswers(const char* path, bool abstractName) {
    int descriptor = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (descriptor < 0) return false;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    size_t offset = abstractName ? 1 : 0;
    std::strncpy(address.sun_path + offset, path, sizeof address.sun_path - offset - 1);
    socklen_t length =
        static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + offset + std::strlen(path));
    bool answered = connect(descriptor, reinterpret_cast<sockaddr*>(&address), length) == 0;
    close(descriptor);
    return answered;
}

// ":N" and ":N.S" are local displays served through /tmp/.X11-unix/XN;
// other forms (remote hosts) cannot be checked without the X library.
bool x11DisplayReachable(const char* display) {
    if (display[0] != ':') return true;
    int number = std::atoi(display + 1);
    char socketPath[64];
    std::snprintf(socketPath, sizeof socketPath, "/tmp/.X11-unix/X%d", number);
    return unixSocketAnswers(socketPath, true) || unixSocketAnswers(socketPath, false);
}

}  // namespace

bool displayAvailable(const char* platformArgument, const char* displayArgument) {
    bool x11Asked = platformArgument != nullptr && std::strncmp(platformArgument, "xcb", 3) == 0;
    if (platformArgument != nullptr && !x11Asked) return true;
    if (!x11Asked && (isSet("QT_QPA_PLATFORM") || isSet("WAYLAND_DISPLAY"))) return true;
    if (displayArgument != nullptr) return x11DisplayReachable(displayArgument);
    if (!isSet("DISPLAY")) return false;
    return x11DisplayReachable(std::getenv("DISPLAY"));
}

}  // namespace kvt
