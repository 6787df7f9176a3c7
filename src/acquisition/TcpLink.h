#pragma once

namespace kvt {

// Requester side of the Modbus/TCP mailbox, used by the acquisition thread.
// One connect request: waits until the socket thread has served it; true
// when a connection exists afterwards.
bool requestGatewayConnection();
// One probe exchange with a node; true when the full answer arrived.
bool probeNodeOverTcp(int node);
// Asks the socket thread to close the connection (does not wait).
void requestGatewayDisconnect();

}  // namespace kvt
