#pragma once
#include <cstdint>

namespace kvt {

class TcpClient;

constexpr int kGatewayPort = 502;
constexpr int kGatewayAddressBytes = 16;  // "255.255.255.255" and its NUL

// The one Modbus/TCP client of the recorder. The object lives for the
// whole process, so the watchdog may cancel its calls at any time; only
// its connection comes and goes. Connected or not is published through
// the request mailbox's socket pointer (this object, or null).
TcpClient& gatewayClient();

// "%d.%d.%d.%d" of the four octets.
void formatGatewayAddress(const int32_t (&octets)[4], char (&text)[kGatewayAddressBytes]);

// "a.b.c.d:502", as the journal names the gateway.
constexpr int kGatewayEndpointBytes = kGatewayAddressBytes + 8;
void formatGatewayEndpoint(const int32_t (&octets)[4], char (&text)[kGatewayEndpointBytes]);

// Socket thread only. Connects to the live configuration's gateway
// address, port 502; publishes the connection on success. True when
// connected.
bool connectToGateway();
// Socket thread only. Closes the connection (if any) and publishes that
// there is none.
void closeGatewayConnection();
// Whether a connection is published.
bool gatewayConnected();

// Socket thread only. The journal hears of the gateway's connection: the
// first of a run, its loss for `reason` (a GatewayLoss; told once until
// it is made again, as is a connect that fails), and the connection made
// again with the failed attempts in between.
void noteGatewayLost(int reason);
// The run has ended: the next connection is told as the first again.
void forgetGatewayReports();
// Connections made since program start (diagnostics: every reconnect counts).
long gatewayConnectCount();

}  // namespace kvt
