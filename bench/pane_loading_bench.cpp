// Cost of loading one playback pane from a full day file in the page cache:
// 172,800 rows at 0.5 s (about 29.5 MB). Counters: probe reads of the coarse
// search and rows read by the backward scan.
#include <benchmark/benchmark.h>

#include <memory>

#include "core/ConfigurationRecord.h"
#include "core/Defaults.h"
#include "recording/PaneLoading.h"
#include "recording/PlaybackPanes.h"
#include "support/DayFiles.h"
#include "support/FakeClock.h"
#include "support/TempHome.h"

namespace {

using namespace kvt;

constexpr int kRowsPerDay = 172800;

// One scratch home holding the full day of group 1, made once.
struct FullDay {
    FullDay() {
        fillDefaults(liveConfiguration, 1, {2026, 1, 1});
        test::makePensPlain(liveConfiguration);
        liveConfiguration.group(1).storingCycle = kCycleHalfSecond;
        test::writeDayFiles(liveConfiguration, 1,
                            test::samplesEvery(test::localEpochSeconds(2026, 3, 7, 0, 0, 0) * 1000,
                                               500, kRowsPerDay));
    }
    test::TempHome home;
};

FullDay& fullDay() {
    static auto day = std::make_unique<FullDay>();
    return *day;
}

// Range 0: hour of the reference time (23:59:59 makes the search probe every
// thousandth row and find none after it).
void BM_LoadPaneFullDay(benchmark::State& state) {
    fullDay();
    int hour = static_cast<int>(state.range(0));
    int64_t reference = test::localEpochSeconds(2026, 3, 7, hour, hour == 23 ? 59 : 0,
                                                hour == 23 ? 59 : 0);
    PaneLoadCounts counts;
    for (auto _ : state) {
        playbackPanes[0].referenceTime[1] = reference;
        counts = fillPane(playbackPanes[0], 1, kCycleHalfSecond);
        benchmark::DoNotOptimize(playbackPanes[0].values[0][0]);
    }
    state.counters["probeReads"] = counts.probeReads;
    state.counters["rowsScanned"] = counts.rowsScanned;
}
BENCHMARK(BM_LoadPaneFullDay)->Arg(23)->Arg(12)->Unit(benchmark::kMillisecond);

}  // namespace
