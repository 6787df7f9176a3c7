#include "acquisition/SocketThread.h"

#include "acquisition/GatewayConnection.h"
#include "acquisition/RequestMailbox.h"
#include "acquisition/TcpAnswerReader.h"
#include "core/RunFlags.h"
#include "core/ThreadConfiguration.h"
#include "core/WorkerWakeups.h"
#include "journal/JournalEvent.h"
#include "platform/Clock.h"
#include "platform/TcpClient.h"

namespace kvt {
namespace {

// A lost connection is made again after this pause, attempt after attempt.
constexpr uint32_t kReconnectPauseMs = 20;
// Sleep while nothing is asked, and while the port is not TCP/IP: requests,
// a new configuration and exit wake the thread, so the time-out is only a
// safety net and costs an idle recorder no wake-up a second.
constexpr uint32_t kIdleSleepMs = 30000;
// Stop-gaps for when the watchdog is gone (exit); it ends a blocked send
// after about 0.8 s and a receive after about 0.6 s.
constexpr int kSendStopGapMs = 2000;
constexpr int kReceiveStopGapMs = 2000;

// What the thread reads (the port and the gateway address); taken over
// whole after every sleep.
ConfigurationSnapshot socketConfiguration;

RequestMailbox& box() { return requestMailbox; }

bool onTcp() { return threadConfiguration().commPort == kCommPortTcp; }
bool exiting() { return load(exitRequested) != 0; }

bool requestPending() {
    return load(box().connectRequest) == 1 || load(box().disconnectRequest) != 0 ||
           load(box().sendRequest) != 0 || load(box().receiveRequest) != 0;
}

// The loop's sleep: none while a request waits, 20 ms before the next
// attempt at a lost connection, else until a request or a new
// configuration comes; then again until the port is TCP/IP (a connection
// left from before is closed meanwhile). False when exit was requested.
bool sleepUntilServing() {
    uint32_t sleepMs = kIdleSleepMs;
    if (onTcp() && requestPending()) sleepMs = 0;
    else if (onTcp() && load(box().connectRequest) == 2) sleepMs = kReconnectPauseMs;
    if (sleepMs > 0) activeClock().sleepUntilSignalled(socketThreadWake, sleepMs);
    refreshThreadConfiguration();
    while (!onTcp() && !exiting()) {
        if (gatewayConnected()) closeGatewayConnection();
        activeClock().sleepUntilSignalled(socketThreadWake, kIdleSleepMs);
        refreshThreadConfiguration();
    }
    return !exiting();
}

// Tells the requester that a request was served.
void served(std::atomic<int>& flag, int value) {
    store(flag, value);
    mailboxServedWake.signal();
}

// Marks the blocking call the thread is about to make, for the watchdog,
// and wakes the watchdog unless it looks again before the call's limit.
void beginWatchedCall(int64_t limitMs) {
    static uint32_t calls = 0;
    WatchedCall call{monotonicMilliseconds() + limitMs, ++calls};
    box().watchedCall.store(packWatchedCall(call));
    int64_t looksAt = box().watchdogLooksAtMs.load();
    if (looksAt == 0 || looksAt > call.deadlineMs) socketWatchdogWake.signal();
}

void endWatchedCall() { box().watchedCall.store(0); }

// The connection is gone: the requester's exchange fails and the next
// pass reconnects.
void markConnectionLost(GatewayLoss reason) {
    noteGatewayLost(reason);
    closeGatewayConnection();
    served(box().connectRequest, 2);
}

void serveDisconnect() {
    if (load(box().disconnectRequest) == 0) return;
    closeGatewayConnection();
    forgetGatewayReports();
    // A pending reconnect ends with the connection; a fresh connect
    // request (1) made after the disconnect request stays.
    int lost = 2;
    box().connectRequest.compare_exchange_strong(lost, 0, std::memory_order_acq_rel);
    served(box().disconnectRequest, 0);
}

void serveConnect() {
    if (load(box().connectRequest) == 0) return;
    beginWatchedCall(kConnectLimitMs);
    bool connected = connectToGateway();
    endWatchedCall();
    if (connected) {
        store(box().failedConnects, 0);
        served(box().connectRequest, 0);
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
    mailboxServedWake.signal();
}

void serveSend() {
    TcpClient& client = gatewayClient();
    int length = box().sendLength.load(std::memory_order_acquire);
    if (gatewayConnected() && length > 0 && length <= kMailboxBufferBytes) {
        // A late answer to an earlier request must not be taken for the
        // next one; a peer that has closed shows up here.
        bool alive = client.drainStaleInput() >= 0;
        beginWatchedCall(kSendLimitMs);
        bool sent = alive && client.sendAll(box().sendBuffer, length, kSendStopGapMs) == length;
        endWatchedCall();
        if (!sent) markConnectionLost(kGatewaySendFailed);
    }
    served(box().sendRequest, 0);
}

void serveReceive(int request) {
    int expected = load(box().expectedLength);
    uint8_t* buffer = request == 2 ? box().bufferB : box().bufferA;
    int received = 0;
    if (gatewayConnected()) {
        if (expected > 0 && expected <= kMailboxBufferBytes) {
            beginWatchedCall(kReceiveLimitMs);
            received = receiveTcpAnswer(gatewayClient(), buffer, expected, kReceiveStopGapMs);
            endWatchedCall();
        }
        // A whole answer of another length (an exception) leaves the stream
        // in step; anything else may still be on its way and would be taken
        // for the next answer, so the connection goes.
        if (received != expected && !tcpAnswerComplete(buffer, received)) {
            markConnectionLost(kGatewayAnswerIncomplete);
        }
    }
    store(box().receivedLength, received);
    served(box().receiveRequest, 0);
}

// One pass after the sleep: a disconnect, a connect, then at most one of
// send and receive (the requester asks for the receive once the send is
// served).
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
