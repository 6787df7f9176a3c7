#pragma once
#include <cstdint>

namespace kvt {

struct NodeRequest;

// Requester side of the Modbus/TCP mailbox, used by the acquisition
// thread. Every request wakes the socket thread; every wait ends when the
// socket thread has served (mailboxServedWake) and gives up when
// exitRequested is set.

// One connect request: sleeps until the socket thread has served it; true
// when a connection exists afterwards.
bool requestGatewayConnection();
// One probe exchange with a node; true when the full answer arrived and
// belongs to the probe.
bool probeNodeOverTcp(int node);
// Asks the socket thread to close the connection (does not wait).
void requestGatewayDisconnect();

// One request and its answer through the socket thread: puts the request
// into the send buffer, has it sent and the answer received into the
// request's receive buffer (sleeping until the socket thread has served
// each: it wakes the requester as soon as the answer is in), then copies the answer's Modbus part into `answer` in RTU layout without
// the CRC. Returns the received length less the 4 bytes the TCP form adds
// to the RTU length, or 0 when no more than those came or the exchange
// could not be attempted (no connection, a reconnect that failed, nothing
// to send, exit). A reconnect
// still pending from an earlier exchange is waited for.
int tcpExchange(const NodeRequest& request, uint8_t* answer);

}  // namespace kvt
