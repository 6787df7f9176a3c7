#include "acquisition/GatewayConnection.h"
#include "acquisition/RequestMailbox.h"
#include "acquisition/SocketThread.h"
#include "core/RunFlags.h"
#include "core/ThreadConfiguration.h"
#include "platform/Clock.h"
#include "platform/TcpClient.h"

namespace kvt {
namespace {

constexpr int kTickMs = 10;
constexpr int kIdleSleepMs = 1000;
constexpr int kExitCheckMs = 50;

// What the thread reads (the port); taken over whole before every tick.
ConfigurationSnapshot watchdogConfiguration;

bool onTcp() { return threadConfiguration().commPort == kCommPortTcp; }
bool exiting() { return load(exitRequested) != 0; }

// Counts a tick while `pending`, else starts over. True when the counter
// reached `limit` (and was reset).
bool countTick(std::atomic<int>& ticks, bool pending, int limit) {
    if (!pending) {
        ticks.store(0, std::memory_order_release);
        return false;
    }
    if (ticks.fetch_add(1, std::memory_order_acq_rel) + 1 < limit) return false;
    ticks.store(0, std::memory_order_release);
    return true;
}

void idleUntilTcpOrExit() {
    refreshThreadConfiguration();
    while (!onTcp() && !exiting()) {
        for (int slept = 0; slept < kIdleSleepMs && !exiting(); slept += kExitCheckMs) {
            activeClock().sleepMs(kExitCheckMs);
        }
        refreshThreadConfiguration();
    }
}

// One 10 ms tick: counts the pending requests and cancels the blocked call
// when one has waited too long.
void socketWatchdogTick() {
    RequestMailbox& box = requestMailbox;
    // Reconnects (2) are bounded like first connects: a gateway that has
    // vanished must not hold the socket thread for the system's long
    // connect time-out.
    bool overdue = countTick(box.connectTicks, load(box.connectRequest) != 0, kConnectTickLimit);
    overdue |= countTick(box.sendTicks, load(box.sendRequest) != 0, kSendTickLimit);
    overdue |= countTick(box.receiveTicks, load(box.receiveRequest) != 0, kReceiveTickLimit);
    if (overdue) gatewayClient().cancel();
}

}  // namespace

void socketWatchdogThreadMain() {
    ThreadConfigurationScope configuration(watchdogConfiguration);
    for (;;) {
        idleUntilTcpOrExit();
        if (exiting()) break;
        activeClock().sleepMs(kTickMs);
        socketWatchdogTick();
    }
    // The socket thread must see exit too; end a call it may be blocked in.
    gatewayClient().cancel();
}

}  // namespace kvt
