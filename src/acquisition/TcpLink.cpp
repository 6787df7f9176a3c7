#include "acquisition/TcpLink.h"

namespace kvt {

// Placeholders until the TCP/IP link lands.
bool requestGatewayConnection() { return false; }
bool probeNodeOverTcp(int) { return false; }
void requestGatewayDisconnect() {}

}  // namespace kvt
