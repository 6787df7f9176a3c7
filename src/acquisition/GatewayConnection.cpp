#include "acquisition/GatewayConnection.h"

#include <atomic>
#include <cstdio>
#include <new>

#include "acquisition/RequestMailbox.h"
#include "core/ThreadConfiguration.h"
#include "journal/JournalPosts.h"
#include "platform/TcpClient.h"

namespace kvt {
namespace {

// Only a stop-gap for when the watchdog is gone (exit): the watchdog ends
// a blocked connect after about 0.6 s.
constexpr int kConnectLimitMs = 2000;

std::atomic<long> connectionsMade{0};

// What the journal has been told this run (socket thread only).
bool connectionTold = false;
bool connectionLost = false;
int64_t failedConnects = 0;

void tellConnected() {
    char address[kGatewayEndpointBytes];
    formatGatewayEndpoint(threadConfiguration().ipAddress, address);
    if (connectionLost) {
        journalGatewayReconnected(address, failedConnects);
    } else if (!connectionTold) {
        journalGatewayConnected(address);
    }
    connectionTold = true;
    connectionLost = false;
    failedConnects = 0;
}

}  // namespace

void noteGatewayLost(int reason) {
    if (reason == kGatewayConnectFailed) ++failedConnects;
    if (connectionLost) return;
    connectionLost = true;
    char address[kGatewayEndpointBytes];
    formatGatewayEndpoint(threadConfiguration().ipAddress, address);
    journalGatewayLost(address, static_cast<GatewayLoss>(reason), nullptr);
}

void forgetGatewayReports() {
    connectionTold = false;
    connectionLost = false;
    failedConnects = 0;
}

TcpClient& gatewayClient() {
    // Made in place and never destroyed: the socket threads may use it
    // until the process has ended, after the objects of the program go.
    alignas(TcpClient) static unsigned char place[sizeof(TcpClient)];
    static TcpClient& client = *new (place) TcpClient;
    return client;
}

void formatGatewayAddress(const int32_t (&octets)[4], char (&text)[kGatewayAddressBytes]) {
    int written = std::snprintf(text, sizeof text, "%d.%d.%d.%d", octets[0], octets[1],
                                octets[2], octets[3]);
    // Octets out of range do not fit and make no address.
    if (written < 0 || written >= static_cast<int>(sizeof text)) text[0] = '\0';
}

void formatGatewayEndpoint(const int32_t (&octets)[4], char (&text)[kGatewayEndpointBytes]) {
    char address[kGatewayAddressBytes];
    formatGatewayAddress(octets, address);
    std::snprintf(text, sizeof text, "%s:%d", address, kGatewayPort);
}

bool connectToGateway() {
    char address[kGatewayAddressBytes];
    formatGatewayAddress(threadConfiguration().ipAddress, address);
    TcpClient& client = gatewayClient();
    if (client.connectTo(address, kGatewayPort, kConnectLimitMs) == 0) {
        connectionsMade.fetch_add(1, std::memory_order_relaxed);
        requestMailbox.socket.store(&client, std::memory_order_release);
        tellConnected();
        return true;
    }
    closeGatewayConnection();
    noteGatewayLost(kGatewayConnectFailed);
    return false;
}

void closeGatewayConnection() {
    requestMailbox.socket.store(nullptr, std::memory_order_release);
    gatewayClient().close();
}

bool gatewayConnected() {
    return requestMailbox.socket.load(std::memory_order_acquire) != nullptr;
}

long gatewayConnectCount() { return connectionsMade.load(std::memory_order_relaxed); }

}  // namespace kvt
