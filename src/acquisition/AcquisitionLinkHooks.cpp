#include "acquisition/AcquisitionLinkHooks.h"

#include "acquisition/ModbusLink.h"
#include "acquisition/NodePolling.h"
#include "acquisition/TcpLink.h"

namespace kvt {

const AcquisitionLinkHooks kRealLinkHooks = {
    planNodes, resetPollingForRun,       pollNextNode,     openLink,
    closeLink, requestGatewayConnection, probeNodeOverTcp, requestGatewayDisconnect,
};

AcquisitionLinkHooks acquisitionLinkHooks = kRealLinkHooks;

}  // namespace kvt
