// PollingFreshness: how fresh the recorded values are when the recorder
// polls MOD-15 nodes that answer at the speed of a real line. The node
// simulator (kvt-nodesim) answers at 38,400 baud, on a pseudo-terminal
// (COM1) or as a Modbus/TCP gateway on port 502 in a private network
// namespace; the real worker threads poll N nodes whose pens lie in one
// block each, and the ten groups store every 0.5 s (group g reads node
// (g - 1) mod N + 1).
//
// Reported, over the measured span:
//   refresh_s       mean time between two reads of a node's block
//   refresh_max_s   the longest such time of any node
//   line_limit_s    the line's own limit: the line time of every byte
//                   exchanged (requests and answers, RTU form, 11 bits a
//                   character) per round of N block reads
//   vs_line         refresh_s / line_limit_s
//   write_share     alarm output writes among all exchanges
//   repeated_rows   share of recorded rows whose values repeat the row
//                   before (the node was not read in between)
//
// Usage: polling_freshness [--seconds=N] [benchmark flags]   (N defaults to 60)
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "BenchDuration.h"
#include "acquisition/ModbusLink.h"
#include "acquisition/NodeExchange.h"
#include "acquisition/RequestMailbox.h"
#include "app/RuntimeState.h"
#include "app/WorkerThreads.h"
#include "core/ConfigurationRecord.h"
#include "core/Defaults.h"
#include "core/DeviceTables.h"
#include "core/RunFlags.h"
#include "platform/Paths.h"
#include "recording/CsvRow.h"
#include "recording/RecordingWriter.h"
#include "support/Eventually.h"
#include "support/LinkTestState.h"
#include "support/NodeSimulator.h"
#include "support/TempHome.h"

namespace {

using namespace kvt;
using SteadyClock = std::chrono::steady_clock;

int measuredSeconds = 60;
constexpr int kBaud = 38400;
constexpr int kBitsPerCharacter = 11;
constexpr int kSettleMs = 2000;
constexpr int kReadRequestBytes = 8;

enum Transport { kSerial, kTcp };

// --- what the acquisition thread exchanged, timed -------------------------

struct NodeReads {
    long count = 0;
    double first = 0;
    double last = 0;
    double longestGap = 0;
};

struct ExchangeLog {
    std::atomic<bool> measuring{false};
    SteadyClock::time_point origin;
    NodeReads nodes[kNodeCount + 1];
    long lineCharacters = 0;
    long writes = 0;
    long exchanges = 0;
};
ExchangeLog exchangeLog;

// Called while the log is not measuring: the acquisition thread leaves it alone.
void startLog() {
    for (NodeReads& reads : exchangeLog.nodes) reads = NodeReads{};
    exchangeLog.lineCharacters = 0;
    exchangeLog.writes = 0;
    exchangeLog.exchanges = 0;
    exchangeLog.origin = SteadyClock::now();
    exchangeLog.measuring.store(true, std::memory_order_release);
}

double secondsSinceOrigin() {
    return std::chrono::duration<double>(SteadyClock::now() - exchangeLog.origin).count();
}

int requestBytes(const NodeRequest& request) {
    if (request.kind != RequestKind::OutputWrite) return kReadRequestBytes;
    return 9 + 2 * outputRegisterCount[request.node - 1];
}

void noteBlockRead(int node) {
    NodeReads& reads = exchangeLog.nodes[node];
    double now = secondsSinceOrigin();
    if (reads.count > 0) reads.longestGap = std::max(reads.longestGap, now - reads.last);
    else reads.first = now;
    reads.last = now;
    ++reads.count;
}

// Runs on the acquisition thread, in place of the real transport.
int loggedExchange(const NodeRequest& request, uint8_t* answer) {
    int characters = requestBytes(request);
    int length = kRealNodeTransport.exchange(request, answer);
    if (!exchangeLog.measuring.load(std::memory_order_acquire)) return length;
    bool complete = length == answerBytes(request);
    if (complete) characters += answerBytes(request);
    exchangeLog.lineCharacters += characters;
    ++exchangeLog.exchanges;
    if (request.kind == RequestKind::OutputWrite) ++exchangeLog.writes;
    if (complete && request.kind == RequestKind::BlockRead) noteBlockRead(request.node);
    return length;
}

// --- the recorder's settings ---------------------------------------------

// Pens 1-4 of group g read I1, I2, I3 and P of its node: values that move
// with every read.
void configure(Transport transport, int nodes) {
    fillDefaults(liveConfiguration, 1, {2026, 1, 1});
    liveConfiguration.operatingMode = kNormalMode;
    for (int node = 1; node <= kNodeCount; ++node) {
        liveConfiguration.nodeEnabled[node - 1] = node <= nodes ? 1 : 0;
        liveConfiguration.nodeType[node - 1] = kMod15Type;
    }
    constexpr int kChannels[] = {1, 3, 5, 17};
    for (int group = 1; group <= kTrendGroupCount; ++group) {
        liveConfiguration.group(group).storingCycle = kCycleHalfSecond;
        liveConfiguration.group(group).storingMode = kNormal;
        for (int pen = 0; pen < kPensPerGroup; ++pen) {
            PenSettings& settings = liveConfiguration.pen(group, pen);
            settings.enabled = pen < 4 ? 1 : 0;
            settings.isDiscrete = 0;
            settings.node = (group - 1) % nodes + 1;
            settings.channel = kChannels[pen % 4];
            settings.analogType = 0;
        }
    }
    if (transport == kSerial) liveConfiguration.commPort = 0;
    else test::useLoopbackGateway();
}

bool startSimulator(Transport transport, int nodes, const test::TempHome& home,
                    test::NodeSimulatorProcess& simulator, std::string& error) {
    std::vector<std::string> arguments = {"--nodes", "1-" + std::to_string(nodes), "--baud",
                                          std::to_string(kBaud)};
    if (transport == kSerial) {
        arguments.insert(arguments.end(), {"--link", home.path() + "/.kvt936p/com1"});
    } else {
        if (!test::enterPrivateNetwork(&error)) return false;
        arguments.insert(arguments.end(), {"--tcp", "--port", "502"});
    }
    if (simulator.start(arguments)) return true;
    error = "the simulator did not start: " + simulator.output();
    return false;
}

// --- the recorded rows -----------------------------------------------------

struct RowCount {
    long rows = 0;
    long repeated = 0;
};

// Rows of every group whose values (the columns after time, milliseconds
// and trigger) equal those of the row before in the same file.
RowCount countRepeatedRows() {
    RowCount count;
    for (const auto& day : std::filesystem::directory_iterator(dataFolder())) {
        if (!day.is_directory()) continue;
        for (int group = 1; group <= kTrendGroupCount; ++group) {
            std::string bytes =
                test::readFile(day.path().string() + "/GR" + std::to_string(group) + ".CSV");
            std::string previous;
            for (size_t at = kDayFileHeaderSize; at + kTrendRowLength <= bytes.size();
                 at += kTrendRowLength) {
                std::string row = bytes.substr(at, kTrendRowLength);
                size_t values = row.find(',', row.find(',', row.find(',') + 1) + 1);
                std::string current = row.substr(values);
                if (!previous.empty()) {
                    ++count.rows;
                    if (current == previous) ++count.repeated;
                }
                previous = current;
            }
        }
    }
    return count;
}

// --- the benchmark ---------------------------------------------------------

void report(benchmark::State& state, int nodes, double span, const RowCount& rows) {
    double allReads = 0;
    double meanInterval = 0;
    double longest = 0;
    for (int node = 1; node <= nodes; ++node) {
        const NodeReads& reads = exchangeLog.nodes[node];
        allReads += static_cast<double>(reads.count);
        if (reads.count > 1) {
            meanInterval += (reads.last - reads.first) / (reads.count - 1) / nodes;
        }
        longest = std::max(longest, reads.longestGap);
    }
    double rounds = allReads / nodes;
    double lineSeconds =
        static_cast<double>(exchangeLog.lineCharacters) * kBitsPerCharacter / kBaud;
    double lineLimit = rounds > 0 ? lineSeconds / rounds : 0;
    state.SetIterationTime(span);
    state.counters["refresh_s"] = meanInterval;
    state.counters["refresh_max_s"] = longest;
    state.counters["line_limit_s"] = lineLimit;
    state.counters["vs_line"] = lineLimit > 0 ? meanInterval / lineLimit : 0;
    state.counters["write_share"] =
        exchangeLog.exchanges > 0
            ? static_cast<double>(exchangeLog.writes) / static_cast<double>(exchangeLog.exchanges)
            : 0;
    state.counters["repeated_rows"] =
        rows.rows > 0 ? static_cast<double>(rows.repeated) / static_cast<double>(rows.rows) : 0;
    state.counters["rows"] = static_cast<double>(rows.rows);
}

void stopRecorder() {
    store(acquisitionRequested, 0);
    test::eventually([] { return load(acquisitionActive) == 0; }, 5000);
    test::eventually([] { return pendingRowCount() == 0; }, 5000);
    stopWorkerThreads();
    store(exitRequested, 0);
}

void pollingFreshness(benchmark::State& state, Transport transport, int nodes) {
    for (auto _ : state) {
        test::TempHome home;
        test::NodeSimulatorProcess simulator;
        std::string error;
        if (!startSimulator(transport, nodes, home, simulator, error)) {
            state.SkipWithError(error.c_str());
            break;
        }
        configure(transport, nodes);
        makeDataFolder();
        initialiseRuntimeState();
        clearRequestMailbox();
        nodeTransport = {loggedExchange, kRealNodeTransport.reopen};
        startWorkerThreads();
        store(acquisitionRequested, 1);
        bool polling = test::eventually([] { return load(valuesValid) == 1; }, 30000);
        std::this_thread::sleep_for(std::chrono::milliseconds(kSettleMs));

        startLog();
        std::this_thread::sleep_for(std::chrono::seconds(measuredSeconds));
        exchangeLog.measuring.store(false, std::memory_order_release);
        double span = secondsSinceOrigin();

        stopRecorder();
        nodeTransport = kRealNodeTransport;
        simulator.stop();
        if (!polling) {
            state.SkipWithError("the run did not get all nodes read");
            break;
        }
        report(state, nodes, span, countRepeatedRows());
    }
}

}  // namespace

int main(int argc, char** argv) {
    return kvt::bench::runMeasuredSpans(argc, argv, measuredSeconds, [] {
        for (Transport transport : {kSerial, kTcp}) {
            for (int nodes : {10, 2}) {
                kvt::bench::registerMeasuredSpan(std::string("PollingFreshness/") +
                                                     (transport == kSerial ? "serial" : "tcp") +
                                                     "/" + std::to_string(nodes),
                                                 pollingFreshness, transport, nodes);
            }
        }
    });
}
