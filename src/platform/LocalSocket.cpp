#include "platform/LocalSocket.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "platform/Clock.h"

namespace kvt {
namespace {

bool addressOf(const char* path, sockaddr_un& address) {
    address = sockaddr_un{};
    address.sun_family = AF_UNIX;
    int length = std::snprintf(address.sun_path, sizeof address.sun_path, "%s", path);
    if (length <= 0 || length >= static_cast<int>(sizeof address.sun_path)) {
        errno = ENAMETOOLONG;
        return false;
    }
    return true;
}

int newSocket() { return socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0); }

// Waits for `events` until the deadline; true when they came.
bool waitFor(int descriptor, short events, int64_t deadlineMs) {
    for (;;) {
        int64_t left = deadlineMs - monotonicMilliseconds();
        if (left <= 0) return false;
        pollfd watched{descriptor, events, 0};
        int ready = poll(&watched, 1, static_cast<int>(left));
        if (ready > 0) return true;
        if (ready < 0 && errno != EINTR) return false;
    }
}

void closeKeepingErrno(int descriptor) {
    int error = errno;
    close(descriptor);
    errno = error;
}

}  // namespace

int listenLocal(const char* path) {
    sockaddr_un address;
    if (!addressOf(path, address)) return -1;
    int descriptor = newSocket();
    if (descriptor < 0) return -1;
    // The folder is the user's own already; the file is made owner-only too.
    if (bind(descriptor, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        chmod(path, 0600) != 0 || listen(descriptor, 8) != 0) {
        closeKeepingErrno(descriptor);
        return -1;
    }
    return descriptor;
}

int connectLocal(const char* path, int64_t deadlineMs) {
    sockaddr_un address;
    if (!addressOf(path, address)) return -1;
    int descriptor = newSocket();
    if (descriptor < 0) return -1;
    if (connect(descriptor, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
        return descriptor;
    }
    if ((errno == EINPROGRESS || errno == EAGAIN) && waitFor(descriptor, POLLOUT, deadlineMs)) {
        int error = 0;
        socklen_t size = sizeof error;
        if (getsockopt(descriptor, SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0) {
            return descriptor;
        }
        errno = error != 0 ? error : ECONNREFUSED;
    }
    closeKeepingErrno(descriptor);
    return -1;
}

int acceptLocal(int listening) { return accept4(listening, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC); }

bool peerIsSameUser(int descriptor) {
    ucred peer{};
    socklen_t size = sizeof peer;
    return getsockopt(descriptor, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 &&
           peer.uid == geteuid();
}

bool sendAllBefore(int descriptor, const char* data, size_t length, int64_t deadlineMs) {
    while (length > 0) {
        ssize_t sent = send(descriptor, data, length, MSG_NOSIGNAL);
        if (sent > 0) {
            data += sent;
            length -= static_cast<size_t>(sent);
        } else if (sent < 0 && errno == EINTR) {
            continue;
        } else if (sent < 0 && errno == EAGAIN) {
            if (!waitFor(descriptor, POLLOUT, deadlineMs)) return false;
        } else {
            return false;
        }
    }
    return true;
}

bool receiveBefore(int descriptor, std::string& data, size_t most, char stopAfter,
                   int64_t deadlineMs) {
    char buffer[4096];
    while (data.size() < most) {
        ssize_t got = recv(descriptor, buffer, sizeof buffer, 0);
        if (got == 0) return true;
        if (got > 0) {
            data.append(buffer, static_cast<size_t>(got));
            if (stopAfter != '\0' && data.find(stopAfter) != std::string::npos) return true;
        } else if (errno == EINTR) {
            continue;
        } else if (errno != EAGAIN || !waitFor(descriptor, POLLIN, deadlineMs)) {
            return false;
        }
    }
    return false;
}

}  // namespace kvt
