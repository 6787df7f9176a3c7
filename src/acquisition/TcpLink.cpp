#include "acquisition/TcpLink.h"

#include <cstring>

#include "acquisition/ModbusFrames.h"
#include "acquisition/NodeExchange.h"
#include "acquisition/RequestMailbox.h"
#include "core/RunFlags.h"
#include "core/WorkerWakeups.h"
#include "platform/Clock.h"

namespace kvt {
namespace {

// Only a stop-gap: the socket thread signals mailboxServedWake when it has
// served a request, and exit signals it too.
constexpr uint32_t kServedCheckMs = 100;
// The TCP answer is the RTU answer without its CRC (2 bytes) behind a
// 6-byte header: 4 bytes longer.
constexpr int kTcpExtraBytes = kTcpResponseHeaderBytes - 2;

RequestMailbox& box() { return requestMailbox; }

// Sets a request flag and wakes the socket thread.
void request(std::atomic<int>& flag, int value) {
    store(flag, value);
    socketThreadWake.signal();
}

// Sleeps until the socket thread has served, that is `flag` reads 0. False
// when exit was requested first.
bool waitUntilServed(const std::atomic<int>& flag) {
    while (load(flag) != 0) {
        if (load(exitRequested) != 0) return false;
        activeClock().sleepUntilSignalled(mailboxServedWake, kServedCheckMs);
    }
    return true;
}

// True when the connection is up for an exchange. A connection lost by
// the exchange before (a node that did not answer in time) is made again
// by the socket thread's next pass: wait for that attempt rather than fail
// every other node's exchange meanwhile. Once an attempt has failed the
// gateway is unreachable, and exchanges fail at once until the socket
// thread, retrying on its own, gets through (so a vanished gateway costs
// one connect bound, not one per exchange).
bool connectionReady() {
    while (load(box().connectRequest) != 0) {
        if (load(box().failedConnects) != 0 || load(exitRequested) != 0) return false;
        activeClock().sleepUntilSignalled(mailboxServedWake, kServedCheckMs);
    }
    return true;
}

bool sendThroughSocketThread() {
    if (box().sendLength.load(std::memory_order_relaxed) <= 0) return false;
    request(box().sendRequest, 1);
    if (!waitUntilServed(box().sendRequest)) return false;
    // A failed send marks the connection lost.
    return load(box().connectRequest) == 0;
}

// Receives the answer; returns the received length (acquired with the flag).
int receiveThroughSocketThread(int expected, int buffer) {
    store(box().expectedLength, expected);
    request(box().receiveRequest, buffer == kBufferB ? kBufferB : kBufferA);
    if (!waitUntilServed(box().receiveRequest)) return 0;
    return load(box().receivedLength);
}

}  // namespace

bool requestGatewayConnection() {
    request(box().connectRequest, 1);
    if (!waitUntilServed(box().connectRequest)) return false;
    return box().socket.load(std::memory_order_acquire) != nullptr;
}

void requestGatewayDisconnect() { request(box().disconnectRequest, 1); }

int tcpExchange(const NodeRequest& request, uint8_t* answer) {
    int rtuLength = answerBytes(request);
    if (rtuLength < 2 || rtuLength + kTcpExtraBytes > kMailboxBufferBytes) return 0;
    if (!connectionReady()) return 0;
    if (!putRequest(request)) return 0;
    if (!sendThroughSocketThread()) return 0;
    int received = receiveThroughSocketThread(rtuLength + kTcpExtraBytes, request.receiveBuffer);
    const uint8_t* source = request.receiveBuffer == kBufferB ? box().bufferB : box().bufferA;
    std::memcpy(answer, source + kTcpResponseHeaderBytes, rtuLength - 2);
    return received > kTcpExtraBytes ? received - kTcpExtraBytes : 0;
}

bool probeNodeOverTcp(int node) {
    NodeRequest probe{.kind = RequestKind::BlockRead, .node = node, .blockKind = kProbeBlock};
    uint8_t answer[kAnswerBufferBytes];
    return tcpExchange(probe, answer) == answerBytes(probe) && answerMatches(probe, answer);
}

}  // namespace kvt
