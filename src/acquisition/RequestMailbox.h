#pragma once
#include <atomic>
#include <cstdint>

namespace kvt {

class TcpClient;

constexpr int kMailboxBufferBytes = 256;
// A Modbus/TCP response carries 6 header bytes before the unit id.
constexpr int kTcpResponseHeaderBytes = 6;

// Hand-over between the acquisition thread (requester) and the socket
// thread (servant) for Modbus/TCP. The requester fills the buffers and
// lengths and then sets a request flag; the servant does the work, fills the
// receive buffer and received length and then clears the flag. Flags are
// stored with release and loaded with acquire (see RunFlags.h `load`/`store`).
struct RequestMailbox {
    // The open connection, or null. Written only by the socket thread; the
    // watchdog reads it to cancel a blocked call, so the object it points to
    // must outlive every cancel (the socket thread keeps one for good).
    std::atomic<TcpClient*> socket{nullptr};

    std::atomic<int> connectRequest{0};     // 1 connect, 0 served, 2 lost: reconnect
    std::atomic<int> disconnectRequest{0};  // 1 close the connection
    std::atomic<int> sendRequest{0};        // 1 send the send buffer
    std::atomic<int> receiveRequest{0};     // 1 receive into buffer A, 2 into buffer B
    // Connect attempts that failed in a row; 0 once one succeeds. Written
    // by the socket thread before it stores connectRequest, so a requester
    // waiting on a reconnect learns that the attempt failed.
    std::atomic<int> failedConnects{0};

    uint8_t sendBuffer[kMailboxBufferBytes] = {};
    std::atomic<int> sendLength{0};
    std::atomic<int> expectedLength{0};  // response bytes including the 6-byte header
    std::atomic<int> receivedLength{0};  // 0 when there is no connection
    uint8_t bufferA[kMailboxBufferBytes] = {};
    uint8_t bufferB[kMailboxBufferBytes] = {};

    // The blocking socket call the socket thread is in, for the watchdog,
    // in one word so that it is read whole (see WatchedCall); 0 while
    // there is none.
    std::atomic<uint64_t> watchedCall{0};
    // When the watchdog looks at the call next (monotonic milliseconds); 0
    // while it sleeps until a call begins.
    std::atomic<int64_t> watchdogLooksAtMs{0};
};

// A blocking socket call: the monotonic millisecond by which it must have
// ended, and its number (counted up by every call, 24 bits).
struct WatchedCall {
    int64_t deadlineMs = 0;
    uint32_t number = 0;
};
constexpr int kWatchedCallNumberBits = 24;
inline uint64_t packWatchedCall(const WatchedCall& call) {
    uint32_t number = call.number & ((1u << kWatchedCallNumberBits) - 1);
    return (static_cast<uint64_t>(call.deadlineMs) << kWatchedCallNumberBits) | number;
}
inline WatchedCall unpackWatchedCall(uint64_t word) {
    return {static_cast<int64_t>(word >> kWatchedCallNumberBits),
            static_cast<uint32_t>(word & ((1u << kWatchedCallNumberBits) - 1))};
}

extern RequestMailbox requestMailbox;

// Program start: every flag, length, counter and buffer to zero (the
// socket pointer is left to its owner).
void clearRequestMailbox();

}  // namespace kvt
