// CPU cost of the running recorder: demo mode, all ten groups recording
// every 0.5 s through the real worker threads on the real clock. Reports
// the process CPU time over the measured span as a percentage of one core.
// recorderCpu draws nothing (target under 1 %); recorderCpuPublishing is the
// same with every row and alarm event published to a mosquitto broker on a
// loopback port, and reports the publisher threads' own share besides
// (target: publishing costs at most 0.2 % of a core); recorderCpuWithWindow runs
// the main window, which redraws the trend on every refresh (target under
// 2 %), on the display in DISPLAY or off screen.
//
// Usage: recorder_cpu [--seconds=N] [benchmark flags]   (N defaults to 60)
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "acquisition/AcquisitionThread.h"
#include "BenchDuration.h"
#include "app/RuntimeState.h"
#include "app/WorkerThreads.h"
#include "core/ConfigurationRecord.h"
#include "core/Defaults.h"
#include "core/RunFlags.h"
#include "platform/Clock.h"
#include "platform/Fonts.h"
#include "platform/Paths.h"
#include "platform/WindowCommands.h"
#include "publish/Publisher.h"
#include "recording/CsvRow.h"
#include "recording/RecordingBuffers.h"
#include "support/MqttBroker.h"
#include "support/QtTestApplication.h"
#include "support/TempHome.h"
#include "support/TrendSamples.h"

// Last: the toolkit's "slots" keyword would clash with the rings' slots.
#include <QEventLoop>
#include <QTimer>

#include "display/MainWindow.h"

namespace {

using namespace kvt;
using std::chrono::milliseconds;
using std::chrono::steady_clock;

int measuredSeconds = 60;
constexpr int kWarmUpMs = 1500;  // the run starts and the day files are made

// A data folder of its own under a temporary HOME, removed afterwards.
void configureAllGroupsEveryHalfSecond() {
    fillDefaults(liveConfiguration, 1, {2026, 1, 1});
    liveConfiguration.operatingMode = kDemoMode;
    for (int group = 1; group <= kTrendGroupCount; ++group) {
        liveConfiguration.group(group).storingCycle = kCycleHalfSecond;
        liveConfiguration.group(group).storingMode = kNormal;
        for (int pen = 0; pen < kPensPerGroup; ++pen) {
            PenSettings& settings = liveConfiguration.pen(group, pen);
            settings.enabled = 1;
            settings.inputLow = settings.scaleLow = 0.0;
            settings.inputHigh = settings.scaleHigh = 100.0;
            settings.alarmLimitLow = -1.0;  // set, so every pen is evaluated, but never crossed
            settings.alarmLimitHigh = 1000.0;
        }
    }
}

double processCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& time) { return time.tv_sec + time.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double secondsSince(steady_clock::time_point start) {
    return std::chrono::duration<double>(steady_clock::now() - start).count();
}

// What the window would do with the refresh commands, minus the drawing.
void takePostedCommands() {
    while (takeWindowCommand() != 0) {
    }
}

// Rows in every day file of the data folder.
long rowsOnDisk() {
    long rows = 0;
    std::error_code error;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dataFolder(), error)) {
        std::string name = entry.path().filename().string();
        if (!entry.is_regular_file() || name.rfind("GR", 0) != 0) continue;
        auto size = static_cast<long>(entry.file_size());
        if (size > kDayFileHeaderSize) rows += (size - kDayFileHeaderSize) / kTrendRowLength;
    }
    return rows;
}

void reportCpu(benchmark::State& state, double cpu, double wall, int overrunsAtStart) {
    state.SetIterationTime(wall);
    state.counters["cpu_percent_of_core"] = 100.0 * cpu / wall;
    state.counters["cpu_ms_per_s"] = 1000.0 * cpu / wall;
    state.counters["rows_written"] = static_cast<double>(rowsOnDisk());
    state.counters["rows_dropped"] = static_cast<double>(droppedRowCount.load());
    state.counters["overruns"] = load(overrunCounter) - overrunsAtStart;
}

double wandering(int pen, int k) { return 5.0 + 8.0 * pen + 2.0 * ((k * 7 + pen) % 5); }

// Runs the window's event loop (refreshes, redraws) for `milliseconds`.
void runWindowFor(int milliseconds) {
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

void recorderCpuWithWindow(benchmark::State& state) {
    test::ensureQtApplication();
    createDisplayFonts();
    for (auto _ : state) {
        test::TempHome home;
        makeDataFolder();
        configureAllGroupsEveryHalfSecond();
        initialiseRuntimeState();
        // The shown group's ring full from the start: the steady-state redraw.
        test::fillRing(1, kRingSlotCount, activeClock().localTime(), 500, wandering);
        MainWindow window({startWorkerThreads, stopWorkerThreads});
        window.show();
        store(acquisitionRequested, 1);
        runWindowFor(kWarmUpMs);

        steady_clock::time_point start = steady_clock::now();
        double cpuAtStart = processCpuSeconds();
        int overrunsAtStart = load(overrunCounter);
        runWindowFor(measuredSeconds * 1000);
        double cpu = processCpuSeconds() - cpuAtStart;
        double wall = secondsSince(start);

        store(acquisitionRequested, 0);
        reportCpu(state, cpu, wall, overrunsAtStart);
    }
    store(exitRequested, 0);
}

// CPU seconds of the publisher's threads: its own and libmosquitto's.
double publisherCpuSeconds() {
    double seconds = 0;
    std::error_code error;
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task", error)) {
        std::string name = test::readFile(task.path().string() + "/comm");
        if (name != kPublisherThreadName + std::string("\n") && name != "mosquitto loop\n") continue;
        std::string stat = test::readFile(task.path().string() + "/stat");
        std::istringstream fields(stat.substr(stat.rfind(')') + 2));
        std::string field;
        long ticks = 0;
        for (int index = 3; index <= 15 && fields >> field; ++index) {
            if (index == 14 || index == 15) ticks += std::stol(field);  // utime, stime
        }
        seconds += static_cast<double>(ticks) / sysconf(_SC_CLK_TCK);
    }
    return seconds;
}

void measureRecorder(benchmark::State& state, bool publishing) {
    for (auto _ : state) {
        test::TempHome home;
        std::optional<test::MqttBroker> broker;
        std::optional<test::PublishConfFile> conf;
        if (publishing) {
            broker.emplace();
            broker->start();
            conf.emplace(home.path(), "host = 127.0.0.1\nport = " + std::to_string(broker->port()) + "\n");
        }
        makeDataFolder();
        configureAllGroupsEveryHalfSecond();
        initialiseRuntimeState();
        startWorkerThreads();
        store(acquisitionRequested, 1);
        // Let the run start and the day files be created before measuring.
        std::this_thread::sleep_for(milliseconds(kWarmUpMs));
        takePostedCommands();

        steady_clock::time_point start = steady_clock::now();
        double cpuAtStart = processCpuSeconds();
        double publisherAtStart = publisherCpuSeconds();
        int overrunsAtStart = load(overrunCounter);
        while (secondsSince(start) < measuredSeconds) {
            std::this_thread::sleep_for(milliseconds(500));
            takePostedCommands();
        }
        double cpu = processCpuSeconds() - cpuAtStart;
        double publisherCpu = publisherCpuSeconds() - publisherAtStart;
        double wall = secondsSince(start);

        store(acquisitionRequested, 0);
        stopWorkerThreads();
        store(exitRequested, 0);

        reportCpu(state, cpu, wall, overrunsAtStart);
        if (publishing) {
            state.counters["publisher_cpu_percent_of_core"] = 100.0 * publisherCpu / wall;
            state.counters["published_messages_waiting"] =
                static_cast<double>(publisherStatus().spooledMessages);
        }
    }
}

void recorderCpu(benchmark::State& state) { measureRecorder(state, false); }
void recorderCpuPublishing(benchmark::State& state) { measureRecorder(state, true); }

}  // namespace

int main(int argc, char** argv) {
    return kvt::bench::runMeasuredSpans(argc, argv, measuredSeconds, [] {
        kvt::bench::registerMeasuredSpan("recorderCpu", recorderCpu);
        kvt::bench::registerMeasuredSpan("recorderCpuPublishing", recorderCpuPublishing);
        kvt::bench::registerMeasuredSpan("recorderCpuWithWindow", recorderCpuWithWindow);
    });
}
