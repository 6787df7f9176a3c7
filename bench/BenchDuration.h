#pragma once
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace kvt::bench {

// Takes "--seconds=N" out of the arguments into `seconds` (left as it is
// when absent or not positive); the rest go to the benchmark library.
inline void takeDurationArgument(int& argc, char** argv, int& seconds) {
    constexpr const char* kFlag = "--seconds=";
    int kept = 1;
    for (int index = 1; index < argc; ++index) {
        if (std::strncmp(argv[index], kFlag, std::strlen(kFlag)) == 0) {
            int value = std::atoi(argv[index] + std::strlen(kFlag));
            if (value > 0) seconds = value;
            continue;
        }
        argv[kept++] = argv[index];
    }
    argc = kept;
}

// Registers a span of the running program, measured once by the benchmark
// itself (SetIterationTime) and told in seconds.
template <typename Function, typename... Arguments>
void registerMeasuredSpan(const std::string& name, Function function, Arguments... arguments) {
    benchmark::RegisterBenchmark(name.c_str(), function, arguments...)
        ->Iterations(1)
        ->UseManualTime()
        ->Unit(benchmark::kSecond);
}

// The main of a program of such spans: takes --seconds=N into `seconds`,
// lets `registerSpans` register them and runs them.
inline int runMeasuredSpans(int argc, char** argv, int& seconds, void (*registerSpans)()) {
    takeDurationArgument(argc, argv, seconds);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    registerSpans();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

}  // namespace kvt::bench
