#include "acquisition/RunReport.h"

#include <atomic>
#include <cstdio>

#include "acquisition/GatewayConnection.h"
#include "core/ThreadConfiguration.h"
#include "journal/JournalPosts.h"
#include "platform/Clock.h"

namespace kvt {
namespace {

std::atomic<bool> runGoing{false};
std::atomic<int64_t> changedAt{0};

void setMeasuring(bool going) {
    changedAt.store(activeClock().epochSeconds(), std::memory_order_relaxed);
    runGoing.store(going, std::memory_order_release);
}

void gatewayOfThisThread(char (&gateway)[kGatewayEndpointBytes]) {
    formatGatewayEndpoint(threadConfiguration().ipAddress, gateway);
}

// "demo mode", "normal mode on COM1", "normal mode through gateway a.b.c.d:502".
void describeRun(const ConfigurationRecord& config, char (&how)[64]) {
    if (config.operatingMode == kDemoMode) {
        std::snprintf(how, sizeof how, "demo mode");
    } else if (config.operatingMode == kHighSpeedMode) {
        std::snprintf(how, sizeof how, "high speed mode");
    } else if (config.commPort == kCommPortTcp) {
        char gateway[kGatewayEndpointBytes];
        gatewayOfThisThread(gateway);
        std::snprintf(how, sizeof how, "normal mode through gateway %s", gateway);
    } else {
        std::snprintf(how, sizeof how, "normal mode on COM%d", config.commPort + 1);
    }
}

}  // namespace

void resetRunReport() { setMeasuring(false); }

void reportRunStarted() {
    char how[64];
    describeRun(threadConfiguration(), how);
    journalMeasurementStarted(how);
    setMeasuring(true);
}

void reportRunStartFailed(int silentNode) {
    char gateway[kGatewayEndpointBytes];
    gatewayOfThisThread(gateway);
    journalMeasurementStartFailed(silentNode, gateway);
}

void reportRunStopped() {
    if (!runGoing.load(std::memory_order_acquire)) return;
    journalMeasurementStopped();
    setMeasuring(false);
}

bool measuring() { return runGoing.load(std::memory_order_acquire); }

int64_t measuringChangedAt() { return changedAt.load(std::memory_order_relaxed); }

}  // namespace kvt
