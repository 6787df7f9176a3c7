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

    // Counters of the socket watchdog (10 ms ticks).
    std::atomic<int> connectTicks{0};
    std::atomic<int> sendTicks{0};
    std::atomic<int> receiveTicks{0};
};

extern RequestMailbox requestMailbox;

// Program start: every flag, length, counter and buffer to zero (the
// socket pointer is left to its owner).
void clearRequestMailbox();

}  // namespace kvt
