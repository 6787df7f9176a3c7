#pragma once

namespace kvt {

// The link and node polling operations the acquisition cycle calls. The
// acquisition thread goes through this table so that tests can stand in
// for the link (a gateway that refuses connections, a node that never
// answers); in the recorder it always holds the real functions.
struct AcquisitionLinkHooks {
    bool (*planNodes)();
    void (*resetPollingForRun)();
    void (*pollNextNode)();
    int (*openLink)();
    int (*closeLink)();
    bool (*requestGatewayConnection)();
    bool (*probeNodeOverTcp)(int node);
    void (*requestGatewayDisconnect)();
};

// The real operations of the node polling, serial link and TCP/IP link.
extern const AcquisitionLinkHooks kRealLinkHooks;

// The table in force; read only by the acquisition thread.
extern AcquisitionLinkHooks acquisitionLinkHooks;

}  // namespace kvt
