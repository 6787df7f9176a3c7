// kvt-export of one full day: group 1 recorded every 0.5 s, all 12 pens
// (172,800 rows, 29.5 MB), written as CSV (target: at most 0.5 s) and as
// JSON Lines into /dev/null.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include "core/Defaults.h"
#include "export/DayExport.h"
#include "export/IsoTime.h"
#include "platform/Paths.h"
#include "support/DayFiles.h"
#include "support/TempHome.h"

namespace {

using namespace kvt;

constexpr int kRowsPerDay = 172800;

void exportFullDay(benchmark::State& state, ExportFormat format) {
    test::TempHome home;
    ConfigurationRecord config{};
    fillDefaults(config, 1, {2026, 1, 1});
    test::makePensPlain(config);
    int64_t midnight = epochMillisecondsOf({2026, 12, 10}, 0, 0, 0, 0, 0);
    tzset();
    test::writeDayFiles(config, 1, test::samplesEvery(midnight, 500, kRowsPerDay, 1000));
    ExportRequest request{home.dataFolder(), {1}, {2026, 12, 10}, {2026, 12, 10}, format};
    int sink = open("/dev/null", O_WRONLY | O_CLOEXEC);
    int64_t rows = 0;
    for (auto _ : state) {
        ExportOutcome outcome = exportDayFiles(request, sink);
        rows = outcome.groups[0].rowsWritten;
    }
    close(sink);
    state.counters["rows"] = static_cast<double>(rows);
}

void ExportFullDay(benchmark::State& state) { exportFullDay(state, ExportFormat::Csv); }
void ExportFullDayJsonLines(benchmark::State& state) {
    exportFullDay(state, ExportFormat::JsonLines);
}

}  // namespace

BENCHMARK(ExportFullDay)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(ExportFullDayJsonLines)->Unit(benchmark::kMillisecond)->UseRealTime();
