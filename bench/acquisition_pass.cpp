// Cost of the acquisition thread's work on an old PC's budget: one demo
// pass (120 demo values, one clock reading) and one sample step that stores
// all ten groups with alarm evaluation of all 120 pens.
#include <benchmark/benchmark.h>

#include "acquisition/AcquisitionRecord.h"
#include "acquisition/AcquisitionThread.h"
#include "acquisition/CurrentValues.h"
#include "acquisition/SampleStepWriter.h"
#include "core/ConfigurationRecord.h"
#include "core/Defaults.h"
#include "core/RunFlags.h"

namespace {

void prepareDemoConfiguration() {
    kvt::fillDefaults(kvt::liveConfiguration, 1, {2026, 1, 1});
    for (int group = 1; group <= kvt::kTrendGroupCount; ++group) {
        for (int pen = 0; pen < kvt::kPensPerGroup; ++pen) {
            kvt::PenSettings& settings = kvt::liveConfiguration.pen(group, pen);
            settings.inputLow = 0.0;
            settings.inputHigh = 100.0;
            settings.alarmLimitLow = -1.0;  // set but never crossed: full evaluation, no file I/O
            settings.alarmLimitHigh = 1000.0;
        }
    }
    kvt::clearAcquisitionRing();
}

void drainRing() { kvt::acquisitionRing.readIndex.store(kvt::acquisitionRing.writeIndex.load()); }

void demoPass(benchmark::State& state) {
    prepareDemoConfiguration();
    kvt::store(kvt::exitRequested, 0);
    kvt::store(kvt::acquisitionActive, 0);
    kvt::store(kvt::acquisitionRequested, 1);
    kvt::beginAcquisitionThread();
    for (auto _ : state) {
        kvt::acquisitionPass();
        drainRing();
    }
    kvt::store(kvt::acquisitionRequested, 0);
    kvt::acquisitionPass();
}
BENCHMARK(demoPass);

void sampleStepStoringAllGroups(benchmark::State& state) {
    prepareDemoConfiguration();
    kvt::store(kvt::acquisitionActive, 1);
    kvt::store(kvt::valuesValid, 1);
    for (int group = 1; group <= kvt::kTrendGroupCount; ++group) {
        for (int pen = 0; pen < kvt::kPensPerGroup; ++pen) kvt::setCurrentValue(group, pen, 50.0);
    }
    kvt::SystemTime step{2026, 3, 6, 7, 12, 0, 0, 0};
    for (auto _ : state) {
        kvt::writeSampleStep(step, true);
        drainRing();
    }
    kvt::store(kvt::acquisitionActive, 0);
}
BENCHMARK(sampleStepStoringAllGroups);

}  // namespace
