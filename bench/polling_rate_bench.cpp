// How often normal-mode polling serves one MOD-15 node whose pens lie in
// one block, when the node answers at once: one iteration is one pass of
// the acquisition thread (its least 10 ms between passes and one
// pollNextNode call), which costs the block read and, once a second, the
// alarm output write. The peer is an in-process node that answers at once,
// over Modbus/TCP on loopback port 502 in a private network namespace, and
// over a pseudo-terminal. PollingFreshness (polling_freshness.cpp) measures
// against nodes that take line time.
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "acquisition/ModbusFrames.h"
#include "acquisition/ModbusLink.h"
#include "acquisition/NodeExchange.h"
#include "acquisition/NodePolling.h"
#include "acquisition/RequestMailbox.h"
#include "acquisition/SocketThread.h"
#include "acquisition/TcpLink.h"
#include "core/ConfigurationRecord.h"
#include "core/Defaults.h"
#include "core/PublishedConfiguration.h"
#include "core/RunFlags.h"
#include "core/WorkerWakeups.h"
#include "platform/Clock.h"
#include "support/LinkTestState.h"
#include "support/NodeSimulator.h"
#include "support/PtyPair.h"
#include "support/TempHome.h"

namespace {

using SteadyClock = std::chrono::steady_clock;

// --- where the time goes: every exchange is timed by kind ---------------

struct ExchangeTimes {
    long writes = 0;
    long reads = 0;
    double writeSeconds = 0;
    double readSeconds = 0;
};
ExchangeTimes times;

int timedExchange(const kvt::NodeRequest& request, uint8_t* answer) {
    auto start = SteadyClock::now();
    int length = kvt::kRealNodeTransport.exchange(request, answer);
    double seconds = std::chrono::duration<double>(SteadyClock::now() - start).count();
    if (request.kind == kvt::RequestKind::OutputWrite) {
        ++times.writes;
        times.writeSeconds += seconds;
    } else {
        ++times.reads;
        times.readSeconds += seconds;
    }
    return length;
}

// --- the node: answers reads with zeros and acknowledges writes ---------

// The answer (Modbus part, unit id first) to a request's Modbus part.
std::vector<uint8_t> answerTo(const uint8_t* request) {
    std::vector<uint8_t> body(2 + 4);
    body[0] = request[0];
    body[1] = request[1];
    if (request[1] == kvt::kReadHoldingRegisters) {
        int count = (request[4] << 8) | request[5];
        body.resize(3 + 2 * count, 0);
        body[2] = static_cast<uint8_t>(2 * count);
    } else {
        for (int index = 2; index < 6; ++index) body[index] = request[index];
    }
    return body;
}

std::atomic<bool> peerStopping{false};

bool readable(int descriptor, int timeoutMs) {
    pollfd entry{descriptor, POLLIN, 0};
    return poll(&entry, 1, timeoutMs) > 0;
}

void tcpPeer(int listener) {
    while (!peerStopping) {
        if (!readable(listener, 20)) continue;
        int client = accept(listener, nullptr, nullptr);
        int on = 1;
        setsockopt(client, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        uint8_t request[300];
        while (!peerStopping) {
            if (!readable(client, 20)) continue;
            if (recv(client, request, sizeof request, 0) < 12) break;
            std::vector<uint8_t> body = answerTo(request + 6);
            std::vector<uint8_t> frame = {0, 0, 0, 0, 0, static_cast<uint8_t>(body.size())};
            frame.insert(frame.end(), body.begin(), body.end());
            send(client, frame.data(), frame.size(), MSG_NOSIGNAL);
        }
        close(client);
    }
}

void rtuPeer(int master) {
    std::vector<uint8_t> pending;
    while (!peerStopping) {
        if (!readable(master, 20)) continue;
        uint8_t bytes[300];
        ssize_t count = read(master, bytes, sizeof bytes);
        if (count <= 0) continue;
        pending.insert(pending.end(), bytes, bytes + count);
        while (pending.size() >= 8) {
            size_t length = pending[1] == kvt::kWriteMultipleRegisters ? 9 + pending[6] : 8;
            if (pending.size() < length) break;
            std::vector<uint8_t> frame = answerTo(pending.data());
            uint16_t crc = kvt::modbusCrc(frame.data(), static_cast<int>(frame.size()));
            frame.push_back(static_cast<uint8_t>(crc & 0xFF));
            frame.push_back(static_cast<uint8_t>(crc >> 8));
            ssize_t written = write(master, frame.data(), frame.size());
            (void)written;
            pending.erase(pending.begin(), pending.begin() + static_cast<long>(length));
        }
    }
}

// --- set-up ---------------------------------------------------------------

int listenOn502() {
    int listener = socket(AF_INET, SOCK_STREAM, 0);
    int on = 1;
    setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(502);
    inet_pton(AF_INET, "127.0.0.1", &address.sin_addr);
    if (bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(listener, 4) != 0) {
        close(listener);
        return -1;
    }
    return listener;
}

// One MOD-15 node (node 1) with the 12 default pens of group 1 on
// channels 1-12: one block read and one output write per call.
void configureOneNode() {
    kvt::fillDefaults(kvt::liveConfiguration, 1, {2026, 1, 1});
    kvt::liveConfiguration.operatingMode = kvt::kNormalMode;
    kvt::store(kvt::exitRequested, 0);
    kvt::store(kvt::acquisitionRequested, 1);
    kvt::store(kvt::acquisitionActive, 1);
    kvt::planNodes();
    kvt::resetPollingForRun();
    times = ExchangeTimes{};
    kvt::nodeTransport = {timedExchange, kvt::kRealNodeTransport.reopen};
}

// Iterations are passes: the acquisition thread's 10 ms sleep and a poll.
void runPasses(benchmark::State& state) {
    for (int warmUp = 0; warmUp < 3; ++warmUp) kvt::pollNextNode();
    times = ExchangeTimes{};
    for (auto _ : state) {
        kvt::activeClock().sleepMs(10);
        kvt::pollNextNode();
    }
    double calls = static_cast<double>(state.iterations());
    state.counters["calls_per_s"] = benchmark::Counter(calls, benchmark::Counter::kIsRate);
    state.counters["exchanges_per_s"] =
        benchmark::Counter(static_cast<double>(times.writes + times.reads),
                           benchmark::Counter::kIsRate);
    if (times.writes > 0) state.counters["write_ms"] = 1000 * times.writeSeconds / times.writes;
    if (times.reads > 0) state.counters["read_ms"] = 1000 * times.readSeconds / times.reads;
}

void finishRun() {
    kvt::store(kvt::acquisitionRequested, 0);
    kvt::store(kvt::acquisitionActive, 0);
    kvt::nodeTransport = kvt::kRealNodeTransport;
}

void pollingOverTcp(benchmark::State& state) {
    int listener = kvt::test::enterPrivateNetwork() ? listenOn502() : -1;
    if (listener < 0) {
        state.SkipWithError("no private network namespace with port 502");
        return;
    }
    configureOneNode();
    kvt::test::useLoopbackGateway();
    kvt::publishLiveConfiguration();  // the socket threads read the published copy
    kvt::clearRequestMailbox();
    peerStopping = false;
    std::thread peer(tcpPeer, listener);
    std::thread socketThread(kvt::socketThreadMain);
    std::thread watchdog(kvt::socketWatchdogThreadMain);
    if (kvt::requestGatewayConnection()) {
        runPasses(state);
    } else {
        state.SkipWithError("connect failed");
    }
    finishRun();
    kvt::store(kvt::exitRequested, 1);
    kvt::wakeEveryWorker();
    socketThread.join();
    watchdog.join();
    peerStopping = true;
    peer.join();
    close(listener);
    kvt::store(kvt::exitRequested, 0);
}
BENCHMARK(pollingOverTcp)->Unit(benchmark::kMillisecond)->MinTime(5.0)->UseRealTime();

void pollingOverSerial(benchmark::State& state) {
    kvt::test::TempHome home;
    kvt::test::PtyPair line;
    if (!line.ok() || !kvt::test::linkCom1To(home.path(), line.slavePath())) {
        state.SkipWithError("no pseudo-terminal on COM1");
        return;
    }
    configureOneNode();
    kvt::liveConfiguration.commPort = 0;
    peerStopping = false;
    std::thread peer(rtuPeer, line.master());
    if (kvt::openLink() == 0) {
        runPasses(state);
    } else {
        state.SkipWithError("cannot open the pseudo-terminal");
    }
    finishRun();
    kvt::closeLink();
    peerStopping = true;
    peer.join();
}
BENCHMARK(pollingOverSerial)->Unit(benchmark::kMillisecond)->MinTime(5.0)->UseRealTime();

}  // namespace
