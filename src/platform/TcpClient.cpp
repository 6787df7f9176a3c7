#include "platform/TcpClient.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>

#include "platform/Clock.h"

namespace kvt {
namespace {

constexpr int64_t kNoDeadline = -1;
constexpr int kDrainChunk = 1024;

int64_t deadlineAfter(int timeoutMs) {
    return timeoutMs < 0 ? kNoDeadline : monotonicMilliseconds() + timeoutMs;
}

int pollTimeout(int64_t deadline) {
    if (deadline == kNoDeadline) return -1;
    int64_t left = deadline - monotonicMilliseconds();
    return left > 0 ? static_cast<int>(left) : 0;
}

}  // namespace

TcpClient::TcpClient() { cancelEvent_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC); }

TcpClient::~TcpClient() {
    close();
    if (cancelEvent_ >= 0) ::close(cancelEvent_);
}

void TcpClient::beginCall() {
    callsInProgress_.fetch_add(1);
    // Forget cancels aimed at an earlier call.
    uint64_t pending = 0;
    while (::read(cancelEvent_, &pending, sizeof pending) > 0) {
    }
}

void TcpClient::endCall() { callsInProgress_.fetch_sub(1); }

void TcpClient::cancel() {
    if (callsInProgress_.load() == 0 || cancelEvent_ < 0) return;
    uint64_t one = 1;
    ssize_t written = ::write(cancelEvent_, &one, sizeof one);
    (void)written;
}

TcpClient::Wait TcpClient::waitFor(short events, int64_t deadline) {
    for (;;) {
        pollfd entries[2] = {{socket_.load(), events, 0}, {cancelEvent_, POLLIN, 0}};
        int result = poll(entries, 2, pollTimeout(deadline));
        if (result < 0) {
            if (errno == EINTR) continue;
            return Wait::Failed;
        }
        if (result == 0) return Wait::TimedOut;
        if (entries[1].revents & POLLIN) return Wait::Cancelled;
        if (entries[0].revents & (events | POLLERR | POLLHUP)) return Wait::Ready;
        if (entries[0].revents & POLLNVAL) return Wait::Failed;
    }
}

int TcpClient::connectTo(const char* dottedAddress, int port, int timeoutMs) {
    close();
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    if (port <= 0 || port > 65535 || inet_pton(AF_INET, dottedAddress, &address.sin_addr) != 1) {
        return -1;
    }
    int descriptor = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (descriptor < 0) return -1;
    int on = 1;
    setsockopt(descriptor, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    setsockopt(descriptor, SOL_SOCKET, SO_KEEPALIVE, &on, sizeof on);
    socket_.store(descriptor, std::memory_order_release);

    beginCall();
    int64_t deadline = deadlineAfter(timeoutMs);
    int result = ::connect(descriptor, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    if (result != 0 && errno == EINPROGRESS && waitFor(POLLOUT, deadline) == Wait::Ready) {
        int error = 0;
        socklen_t size = sizeof error;
        result = getsockopt(descriptor, SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0
                     ? 0
                     : -1;
    } else if (result != 0) {
        result = -1;
    }
    endCall();
    if (result != 0) close();
    return result;
}

void TcpClient::close() {
    int descriptor = socket_.exchange(-1, std::memory_order_acq_rel);
    if (descriptor >= 0) ::close(descriptor);
}

int TcpClient::sendAll(const uint8_t* bytes, int length, int timeoutMs) {
    int descriptor = socket_.load(std::memory_order_acquire);
    if (descriptor < 0) return -1;
    beginCall();
    int64_t deadline = deadlineAfter(timeoutMs);
    int sent = 0;
    while (sent < length) {
        ssize_t result = ::send(descriptor, bytes + sent, length - sent, MSG_NOSIGNAL);
        if (result > 0) {
            sent += static_cast<int>(result);
            continue;
        }
        if (result < 0 && errno != EAGAIN && errno != EINTR) break;
        if (waitFor(POLLOUT, deadline) != Wait::Ready) break;
    }
    endCall();
    return sent == length ? length : -1;
}

int TcpClient::receiveSome(uint8_t* buffer, int maxLength, int timeoutMs) {
    int descriptor = socket_.load(std::memory_order_acquire);
    if (descriptor < 0 || maxLength <= 0) return -1;
    beginCall();
    int64_t deadline = deadlineAfter(timeoutMs);
    int outcome = -1;
    for (;;) {
        ssize_t result = ::recv(descriptor, buffer, maxLength, 0);
        if (result >= 0) {
            outcome = static_cast<int>(result);
            break;
        }
        if (errno != EAGAIN && errno != EINTR) break;
        if (waitFor(POLLIN, deadline) != Wait::Ready) break;
    }
    endCall();
    return outcome;
}

int TcpClient::receiveExactly(uint8_t* buffer, int length, int timeoutMs) {
    int descriptor = socket_.load(std::memory_order_acquire);
    if (descriptor < 0 || length <= 0) return -1;
    beginCall();
    int64_t deadline = deadlineAfter(timeoutMs);
    int received = 0;
    bool failed = false;
    while (received < length) {
        ssize_t result = ::recv(descriptor, buffer + received, length - received, 0);
        if (result > 0) {
            received += static_cast<int>(result);
            continue;
        }
        if (result == 0) break;  // peer closed
        if (errno != EAGAIN && errno != EINTR) {
            failed = true;
            break;
        }
        if (waitFor(POLLIN, deadline) != Wait::Ready) break;
    }
    endCall();
    return received == 0 && failed ? -1 : received;
}

int TcpClient::peekAvailable(int maxBytes) {
    int descriptor = socket_.load(std::memory_order_acquire);
    if (descriptor < 0) return -1;
    uint8_t scratch[kDrainChunk];
    int limit = maxBytes < kDrainChunk ? maxBytes : kDrainChunk;
    ssize_t result = ::recv(descriptor, scratch, limit, MSG_PEEK | MSG_DONTWAIT);
    if (result > 0) return static_cast<int>(result);
    if (result == 0) return -1;  // orderly shutdown by the peer
    return (errno == EAGAIN || errno == EINTR) ? 0 : -1;
}

int TcpClient::drainStaleInput() {
    int descriptor = socket_.load(std::memory_order_acquire);
    if (descriptor < 0) return -1;
    uint8_t scratch[kDrainChunk];
    int discarded = 0;
    for (;;) {
        ssize_t result = ::recv(descriptor, scratch, sizeof scratch, MSG_DONTWAIT);
        if (result > 0) {
            discarded += static_cast<int>(result);
            continue;
        }
        if (result == 0) return -1;
        if (errno == EINTR) continue;
        return errno == EAGAIN ? discarded : -1;
    }
}

}  // namespace kvt
