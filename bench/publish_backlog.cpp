// The backlog after a broker outage: ten groups recording every 0.5 s for
// ten minutes make 12,000 row messages. They are handed over faster than
// real time while the broker is down; the broker stays away long enough
// for the reconnect back-off to reach its 30 s (about 65 s in all), then
// comes back. Reported: the seconds from its return until the publisher is
// connected, and until every message is acknowledged and has reached a
// subscriber (target: within 60 s of the return).
#include <benchmark/benchmark.h>

#include <chrono>
#include <thread>

#include "core/Defaults.h"
#include "core/PublishedConfiguration.h"
#include "export/IsoTime.h"
#include "platform/Paths.h"
#include "publish/Publisher.h"
#include "recording/CsvRow.h"
#include "support/DayFiles.h"
#include "support/Eventually.h"
#include "support/MqttBroker.h"
#include "support/TempHome.h"

namespace {

using namespace kvt;
using std::chrono::steady_clock;

constexpr int kOutageSeconds = 65;
constexpr int kRowsPerGroup = 1200;  // ten minutes at 0.5 s

double secondsSince(steady_clock::time_point start) {
    return std::chrono::duration<double>(steady_clock::now() - start).count();
}

// Hands the rows of ten minutes of groups 1 to 10 over, in recording order.
void handOverTenMinutes() {
    int64_t start = epochMillisecondsOf({2026, 12, 10}, 9, 0, 0, 0, 0);
    std::vector<SampleData> samples = test::samplesEvery(start, 500, kRowsPerGroup);
    char row[kMaxRowLength];
    for (const SampleData& sample : samples) {
        for (int group = 1; group <= kTrendGroupCount; ++group) {
            int length = formatCsvRow(row, liveConfiguration, group, sample);
            publishRow(group, sample.time, row, length);
        }
        // The hand-over holds 8192 rows: let the publisher keep up.
        while (publisherStatus().spooledMessages + 4000 <
               static_cast<uint64_t>(&sample - samples.data()) * kTrendGroupCount) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
}

void publishBacklog(benchmark::State& state) {
    constexpr uint64_t kMessages = uint64_t{kRowsPerGroup} * kTrendGroupCount;
    for (auto _ : state) {
        test::TempHome home;
        makeDataFolder();
        fillDefaults(liveConfiguration, 1, {2026, 1, 1});
        test::makePensPlain(liveConfiguration);
        publishLiveConfiguration();
        test::MqttBroker broker;
        test::PublishConfFile conf(home.path(), "host = 127.0.0.1\nport = " + std::to_string(broker.port()) +
                                                    "\ntopic_prefix = rec\n");
        steady_clock::time_point outage = steady_clock::now();
        startPublisher();
        handOverTenMinutes();
        test::eventually([] { return publisherStatus().spooledMessages == kMessages; }, 60000);
        state.counters["spooled"] = static_cast<double>(publisherStatus().spooledMessages);
        while (secondsSince(outage) < kOutageSeconds) std::this_thread::sleep_for(std::chrono::milliseconds(100));

        broker.start();
        steady_clock::time_point back = steady_clock::now();
        test::MqttSubscriber subscriber(broker.port(), "rec/group/#");
        test::eventually([] { return publisherStatus().connected; }, 60000);
        double connected = secondsSince(back);
        test::eventually([&] { return publisherStatus().spooledMessages == 0 &&
                                      subscriber.payloads().size() >= kMessages; }, 120000);
        double delivered = secondsSince(back);
        stopPublisher();

        state.SetIterationTime(delivered);
        state.counters["seconds_until_connected"] = connected;
        state.counters["seconds_until_delivered"] = delivered;
        state.counters["seconds_sending"] = delivered - connected;
        state.counters["received"] = static_cast<double>(subscriber.payloads().size());
        state.counters["dropped"] = static_cast<double>(publisherStatus().droppedMessages);
    }
}

}  // namespace

BENCHMARK(publishBacklog)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
