#include "acquisition/SocketThread.h"

#include "acquisition/GatewayConnection.h"
#include "acquisition/RequestMailbox.h"
#include "acquisition/TcpAnswerReader.h"
#include "core/RunFlags.h"
#include "core/ThreadConfiguration.h"
#include "journal/JournalEvent.h"
#include "platform/Clock.h"
#include "platform/TcpClient.h"

namespace kvt {
namespace {

constexpr int kServeSleepMs = 20;
constexpr int kIdleSleepMs = 1000;
constexpr int kExitCheckMs = 50;
// Stop-gaps for when the watchdog is gone (exit); it ends a blocked send
// after about 0.8 s and a receive after about 0.6 s.
constexpr int kSendLimitMs = 2000;
constexpr int kReceiveLimitMs = 2000;

// What the thread reads (the port and the gateway address); taken over
// whole after every sleep.
ConfigurationSnapshot socketConfiguration;

RequestMailbox& box() { return requestMailbox; }

bool onTcp() { return threadConfiguration().commPort == kCommPortTcp; }
bool exiting() { return load(exitRequested) != 0; }

// Sleeps `milliseconds`, looking at exitRequested every 50 ms.
void sleepUnlessExit(int milliseconds) {
    for (int slept = 0; slept < milliseconds && !exiting(); slept += kExitCheckMs) {
        int step = milliseconds - slept < kExitCheckMs ? milliseconds - slept : kExitCheckMs;
        activeClock().sleepMs(static_cast<uint32_t>(step));
    }
}

// The loop's sleep: 20 ms while the port is TCP/IP, else 1000 ms at a time
// until it is (a connection left from before is closed meanwhile).
// False when exit was requested.
bool sleepUntilServing() {
    sleepUnlessExit(onTcp() ? kServeSleepMs : kIdleSleepMs);
    refreshThreadConfiguration();
    while (!onTcp() && !exiting()) {
        if (gatewayConnected()) closeGatewayConnection();
        sleepUnlessExit(kIdleSleepMs);
        refreshThreadConfiguration();
    }
    return !exiting();
}

// The connection is gone: the requester's exchange fails and the next
// pass reconnects.
void markConnectionLost(GatewayLoss reason) {
    noteGatewayLost(reason);
    closeGatewayConnection();
    store(box().connectRequest, 2);
}

void serveDisconnect() {
    if (load(box().disconnectRequest) == 0) return;
    closeGatewayConnection();
    forgetGatewayReports();
    // A pending reconnect ends with the connection; a fresh connect
    // request (1) made after the disconnect request stays.
    int lost = 2;
    box().connectRequest.compare_exchange_strong(lost, 0, std::memory_order_acq_rel);
    store(box().disconnectRequest, 0);
}

void serveConnect() {
    if (load(box().connectRequest) == 0) return;
    if (connectToGateway()) {
        store(box().failedConnects, 0);
        store(box().connectRequest, 0);
        return;
    }
    box().failedConnects.fetch_add(1, std::memory_order_acq_rel);
    // A failed request of the acquisition thread is answered (0); a failed
    // reconnect stays pending (2).
    int requested = 1;
    if (!box().connectRequest.compare_exchange_strong(requested, 0,
                                                      std::memory_order_acq_rel)) {
        store(box().connectRequest, 2);
    }
}

void serveSend() {
    TcpClient& client = gatewayClient();
    int length = box().sendLength.load(std::memory_order_acquire);
    if (gatewayConnected() && length > 0 && length <= kMailboxBufferBytes) {
        // A late answer to an earlier request must not be taken for the
        // next one; a peer that has closed shows up here.
        bool alive = client.drainStaleInput() >= 0;
        store(box().sendTicks, 0);
        if (!alive || client.sendAll(box().sendBuffer, length, kSendLimitMs) != length) {
            markConnectionLost(kGatewaySendFailed);
        }
    }
    store(box().sendRequest, 0);
}

void serveReceive(int request) {
    int expected = load(box().expectedLength);
    uint8_t* buffer = request == 2 ? box().bufferB : box().bufferA;
    int received = 0;
    if (gatewayConnected()) {
        store(box().receiveTicks, 0);
        if (expected > 0 && expected <= kMailboxBufferBytes) {
            received = receiveTcpAnswer(gatewayClient(), buffer, expected, kReceiveLimitMs);
        }
        // A whole answer of another length (an exception) leaves the stream
        // in step; anything else may still be on its way and would be taken
        // for the next answer, so the connection goes.
        if (received != expected && !tcpAnswerComplete(buffer, received)) {
            markConnectionLost(kGatewayAnswerIncomplete);
        }
    }
    store(box().receivedLength, received);
    store(box().receiveRequest, 0);
}

// One pass after the sleep: a disconnect, a connect, then at most one of
// send and receive.
void socketThreadPass() {
    if (exiting()) return;
    serveDisconnect();
    serveConnect();
    if (!onTcp() || exiting()) return;
    if (load(box().sendRequest) != 0) {
        serveSend();
        return;
    }
    int receive = load(box().receiveRequest);
    if (receive != 0) serveReceive(receive);
}

}  // namespace

void socketThreadMain() {
    ThreadConfigurationScope configuration(socketConfiguration);
    while (sleepUntilServing()) socketThreadPass();
    closeGatewayConnection();
}

}  // namespace kvt
