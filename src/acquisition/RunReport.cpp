#include "acquisition/RunReport.h"

#include <atomic>

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

}  // namespace

void resetRunReport() { setMeasuring(false); }

void reportRunStarted() {
    const ConfigurationRecord& config = threadConfiguration();
    char gateway[kGatewayEndpointBytes];
    gatewayOfThisThread(gateway);
    journalMeasurementStarted(config.operatingMode, config.commPort, gateway);
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
