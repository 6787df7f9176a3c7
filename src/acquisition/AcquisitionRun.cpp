#include "acquisition/AcquisitionRun.h"

#include "acquisition/AcquisitionLinkHooks.h"
#include "acquisition/AlarmStates.h"
#include "acquisition/CurrentValues.h"
#include "acquisition/NodeHealth.h"
#include "acquisition/RunReport.h"
#include "acquisition/SerialOpenReport.h"
#include "core/RunFlags.h"
#include "core/ThreadConfiguration.h"
#include "platform/Clock.h"
#include "platform/WindowCommands.h"

namespace kvt {
namespace {

constexpr int kConnectAttempts = 2;
constexpr int kProbeAttempts = 2;
constexpr int kPauseAfterProbeMs = 10;

int runMode = kDemoMode;
bool runOverTcp = false;

void resetRunState() {
    resetCurrentValues();
    store(valuesValid, 0);
    // The acquisition thread is the only writer of the alarm states, so it
    // also clears them for the new run.
    clearAlarmStates();
    acquisitionLinkHooks.resetPollingForRun();
    resetNodeHealth();
    forgetSerialOpenFailures();
}

bool connectToGateway() {
    for (int attempt = 0; attempt < kConnectAttempts; ++attempt) {
        if (acquisitionLinkHooks.requestGatewayConnection()) return true;
        if (load(exitRequested)) return false;
    }
    return false;
}

bool probeNode(int node) {
    for (int attempt = 0; attempt < kProbeAttempts; ++attempt) {
        if (acquisitionLinkHooks.probeNodeOverTcp(node)) {
            activeClock().sleepMs(kPauseAfterProbeMs);
            return true;
        }
        if (load(exitRequested)) return false;
    }
    return false;
}

// Node number (1-31) of the first enabled node that does not answer, else 0.
int firstSilentNode() {
    for (int node = 1; node <= kNodeCount; ++node) {
        if (threadConfiguration().nodeEnabled[node - 1] != 1) continue;
        if (!probeNode(node)) return node;
    }
    return 0;
}

RunStart abandonStart() {
    acquisitionLinkHooks.requestGatewayDisconnect();
    store(acquisitionActive, 0);
    return RunStart::Abandoned;
}

RunStart failStart(int command, int node) {
    acquisitionLinkHooks.requestGatewayDisconnect();
    if (node != 0) store(failedNode, node);
    reportRunStartFailed(node);
    store(startFailed, 1);
    store(acquisitionRequested, 0);
    store(acquisitionActive, 0);
    postWindowCommand(command);
    return RunStart::Failed;
}

RunStart startOverTcp() {
    if (!connectToGateway()) {
        return load(exitRequested) ? abandonStart() : failStart(kCommandSocketError, 0);
    }
    int silentNode = firstSilentNode();
    if (silentNode != 0) {
        return load(exitRequested) ? abandonStart() : failStart(kCommandNodeError, silentNode);
    }
    return RunStart::StartedOverTcp;
}

RunStart startPolling() {
    if (!acquisitionLinkHooks.planNodes()) {
        store(acquisitionRequested, 0);
        return RunStart::Withdrawn;
    }
    store(acquisitionActive, 1);
    acquisitionLinkHooks.openLink();
    return runOverTcp ? startOverTcp() : RunStart::Started;
}

RunStart beginRun() {
    resetRunState();
    const ConfigurationRecord& config = threadConfiguration();
    runMode = config.operatingMode;
    runOverTcp = runMode == kNormalMode && config.commPort == kCommPortTcp;
    if (runMode == kNormalMode) return startPolling();
    store(acquisitionActive, 1);
    return RunStart::Started;
}

}  // namespace

RunStart startAcquisitionRun() {
    RunStart start = beginRun();
    if (start == RunStart::Started || start == RunStart::StartedOverTcp) reportRunStarted();
    return start;
}

void stopAcquisitionRun() {
    if (runMode != kDemoMode) acquisitionLinkHooks.closeLink();
    if (runOverTcp) acquisitionLinkHooks.requestGatewayDisconnect();
    store(acquisitionActive, 0);
    reportRunStopped();
}

int acquisitionRunMode() { return runMode; }

}  // namespace kvt
