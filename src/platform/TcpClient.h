#pragma once
#include <atomic>
#include <cstdint>

namespace kvt {

// A blocking-style TCP client over POSIX sockets. Calls block until done,
// failed, their optional time limit (-1 = none) has passed, or another
// thread calls cancel(). The object itself is long-lived: close() and a new
// connectTo() reuse it, so a pointer to it stays valid for cancel().
// Nothing is allocated after construction.
class TcpClient {
public:
    TcpClient();
    ~TcpClient();
    TcpClient(const TcpClient&) = delete;
    TcpClient& operator=(const TcpClient&) = delete;

    // Connects to a dotted IPv4 address ("200.200.200.200") and port.
    // Returns 0, or -1 on a bad address, refusal, time-out or cancel.
    int connectTo(const char* dottedAddress, int port, int timeoutMs = -1);
    void close();
    bool isOpen() const { return socket_.load(std::memory_order_acquire) >= 0; }

    // Sends every byte; returns `length`, or -1 on error, time-out or cancel.
    int sendAll(const uint8_t* bytes, int length, int timeoutMs = -1);

    // One receive: waits for data, then takes what is there, up to
    // `maxLength`. Returns the byte count, 0 when the peer closed, -1 on
    // error, time-out or cancel.
    int receiveSome(uint8_t* buffer, int maxLength, int timeoutMs = -1);

    // Receives until `length` bytes have arrived. Returns `length`, or the
    // bytes received so far when the peer closes, the time runs out or the
    // call is cancelled (-1 when there were none and it was an error).
    int receiveExactly(uint8_t* buffer, int length, int timeoutMs = -1);

    // Bytes waiting to be received, up to `maxBytes`, without taking them
    // and without waiting. -1 when the peer has closed or the socket failed.
    int peekAvailable(int maxBytes);

    // Throws away whatever has arrived unasked (for instance the late
    // answer to an earlier request). Returns the bytes discarded, or -1
    // when the peer has closed or the socket failed.
    int drainStaleInput();

    // Makes the blocking call in progress (if any) return -1 promptly. Safe
    // from any thread at any time; a cancel with no call in progress is lost.
    void cancel();
    // True while a thread is inside connectTo, sendAll or a receive.
    bool blockingCallInProgress() const { return callsInProgress_.load() > 0; }

private:
    enum class Wait { Ready, TimedOut, Cancelled, Failed };
    Wait waitFor(short events, int64_t deadline);
    void beginCall();
    void endCall();

    std::atomic<int> socket_{-1};
    int cancelEvent_ = -1;  // eventfd written by cancel()
    std::atomic<int> callsInProgress_{0};
};

}  // namespace kvt
