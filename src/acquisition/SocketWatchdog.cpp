#include "acquisition/GatewayConnection.h"
#include "acquisition/RequestMailbox.h"
#include "acquisition/SocketThread.h"
#include "core/RunFlags.h"
#include "core/ThreadConfiguration.h"
#include "core/WorkerWakeups.h"
#include "platform/Clock.h"
#include "platform/TcpClient.h"

namespace kvt {
namespace {

// Sleep while no call is in progress or the port is not TCP/IP: a call
// that begins, a new configuration and exit wake the thread, so the
// time-out is only a safety net.
constexpr uint32_t kIdleSleepMs = 30000;
// After a cancel the call returns at once; look again this soon.
constexpr uint32_t kAfterCancelMs = 10;

// What the thread reads (the port); taken over whole before every look.
ConfigurationSnapshot watchdogConfiguration;

// The number of the call cancelled last, so that one call is cancelled once.
uint32_t cancelledCall = 0;

bool onTcp() { return threadConfiguration().commPort == kCommPortTcp; }
bool exiting() { return load(exitRequested) != 0; }

// Looks at the socket thread's call: cancels it once it has lasted its
// limit. Returns how long to sleep before looking again. Whoever begins a
// call reads watchdogLooksAtMs after publishing the call, and this
// publishes it before reading the call, so a call that begins meanwhile is
// either seen here or wakes the thread.
uint32_t lookAtTheCall() {
    RequestMailbox& box = requestMailbox;
    box.watchdogLooksAtMs.store(0);
    uint64_t word = box.watchedCall.load();
    if (!onTcp() || word == 0) return kIdleSleepMs;
    WatchedCall call = unpackWatchedCall(word);
    int64_t now = monotonicMilliseconds();
    if (now >= call.deadlineMs) {
        if (call.number != cancelledCall) gatewayClient().cancel();
        cancelledCall = call.number;
        return kAfterCancelMs;
    }
    box.watchdogLooksAtMs.store(call.deadlineMs);
    // A call that began meanwhile read the old time; look at it at once.
    if (box.watchedCall.load() != word) return 0;
    return static_cast<uint32_t>(call.deadlineMs - now);
}

}  // namespace

void socketWatchdogThreadMain() {
    ThreadConfigurationScope configuration(watchdogConfiguration);
    while (!exiting()) {
        refreshThreadConfiguration();
        uint32_t sleepMs = lookAtTheCall();
        if (sleepMs > 0) activeClock().sleepUntilSignalled(socketWatchdogWake, sleepMs);
    }
    // The socket thread must see exit too; end a call it may be blocked in.
    gatewayClient().cancel();
}

}  // namespace kvt
