#include "platform/ServiceNotify.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstddef>
#include <cstdlib>
#include <cstring>

namespace kvt {

bool notifyServiceManager(const char* state) {
    const char* name = std::getenv("NOTIFY_SOCKET");
    sockaddr_un address{};
    size_t length = name != nullptr ? std::strlen(name) : 0;
    if (length < 2 || length >= sizeof address.sun_path || (name[0] != '/' && name[0] != '@')) {
        return false;
    }
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, name, length);
    if (name[0] == '@') address.sun_path[0] = '\0';  // the abstract namespace
    int sender = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (sender < 0) return false;
    socklen_t addressLength = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + length);
    ssize_t sent = sendto(sender, state, std::strlen(state), MSG_NOSIGNAL,
                          reinterpret_cast<const sockaddr*>(&address), addressLength);
    close(sender);
    return sent >= 0;
}

}  // namespace kvt
