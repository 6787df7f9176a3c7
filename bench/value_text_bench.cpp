// Speed of the value text and of whole CSV rows. Target: at least 2 million
// rows of a 12-pen group a second on one core.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <random>
#include <vector>

#include "core/ConfigurationRecord.h"
#include "core/Defaults.h"
#include "recording/CsvRow.h"
#include "recording/ValueText.h"

namespace {

using namespace kvt;

constexpr int kSampleCount = 4096;

ConfigurationRecord& benchConfiguration() {
    static ConfigurationRecord config = [] {
        ConfigurationRecord record{};
        fillDefaults(record, 1, {2026, 1, 1});
        for (int pen = 0; pen < kPensPerGroup; ++pen) {
            PenSettings& settings = record.pen(1, pen);
            settings.enabled = 1;
            settings.decimalPlaces = pen % 4;
            settings.inputLow = 4;
            settings.inputHigh = 20;
            settings.scaleLow = -50;
            settings.scaleHigh = 150;
        }
        record.group(1).storingCycle = kCycleHalfSecond;
        record.group(1).storingMode = kNormal;
        return record;
    }();
    return config;
}

// Input values spread over and a little beyond the input range.
std::vector<SampleData> benchSamples() {
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> input(3.0, 21.0);
    std::vector<SampleData> samples(kSampleCount);
    for (int index = 0; index < kSampleCount; ++index) {
        samples[index].time = {2026, 3, 6, 7, 13, 5, static_cast<uint16_t>(index % 60),
                               static_cast<uint16_t>(index % 2 * 500)};
        for (double& value : samples[index].values) value = input(random);
    }
    return samples;
}

void BM_CsvRow(benchmark::State& state) {
    const ConfigurationRecord& config = benchConfiguration();
    std::vector<SampleData> samples = benchSamples();
    char row[kMaxRowLength];
    size_t index = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(formatCsvRow(row, config, 1, samples[index]));
        benchmark::ClobberMemory();
        index = (index + 1) % kSampleCount;
    }
    state.counters["rows/s"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                                  benchmark::Counter::kIsRate);
}
BENCHMARK(BM_CsvRow);

void BM_ValueText(benchmark::State& state) {
    const PenSettings& pen = benchConfiguration().pen(1, 3);
    std::vector<SampleData> samples = benchSamples();
    char field[kValueTextWidth + 1];
    size_t index = 0;
    for (auto _ : state) {
        formatValueText(field, pen, samples[index / kPensPerGroup].values[index % kPensPerGroup],
                        false);
        benchmark::DoNotOptimize(field);
        index = (index + 1) % (kSampleCount * kPensPerGroup);
    }
    state.counters["fields/s"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                                    benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ValueText);

// The same field through printf, for comparison.
void BM_ValueTextPrintf(benchmark::State& state) {
    std::vector<SampleData> samples = benchSamples();
    char field[400];
    size_t index = 0;
    for (auto _ : state) {
        std::snprintf(field, sizeof field, "%12.3f",
                      samples[index / kPensPerGroup].values[index % kPensPerGroup]);
        benchmark::DoNotOptimize(field);
        index = (index + 1) % (kSampleCount * kPensPerGroup);
    }
    state.counters["fields/s"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                                    benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ValueTextPrintf);

}  // namespace
