// Cost of the drawing the window does on every refresh (twice a second).
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "core/ConfigurationRecord.h"
#include "core/RunFlags.h"
#include "display/DisplayState.h"
#include "display/ScreenDrawing.h"
#include "display/TopBar.h"
#include "platform/DeviceContext.h"
#include "platform/Fonts.h"
#include "platform/WindowCommands.h"
#include "support/BusyScreens.h"
#include "support/QtTestApplication.h"
#include "support/TempHome.h"
#include "support/TrendSamples.h"

// Last: the toolkit's "slots" keyword would clash with the rings' slots.
#include <QApplication>

#include "display/MainWindow.h"

namespace {

void ensureToolkit() {
    static bool fontsReady = [] {
        kvt::test::ensureQtApplication();
        kvt::createDisplayFonts();
        return true;
    }();
    (void)fontsReady;
}

void noWorkers() {}

// The window's whole redraw (requests, graph area, panel, top bar, copy to
// the window surface) of a prepared screen, as on every refresh.
void drawWindowScreen(benchmark::State& state, void (*prepare)()) {
    ensureToolkit();
    kvt::test::TempHome home;
    kvt::MainWindow window({noWorkers, noWorkers});
    kvt::DeviceContext surface(kvt::MainWindow::kClientWidth, kvt::MainWindow::kClientHeight);
    prepare();
    window.drawScreen(1, surface);  // renders the glyphs once
    for (auto _ : state) {
        window.drawScreen(1, surface);
        benchmark::DoNotOptimize(surface.bits());
    }
    kvt::store(kvt::acquisitionActive, 0);
    kvt::store(kvt::acquisitionRequested, 0);
}

// Worst live case: 12 thick analog pens with 1600 samples each and the
// panel, in each graph direction. Goal 3 ms, limit 4 ms.
void BM_DrawScreen_WorstLive_Perpendicular(benchmark::State& state) {
    drawWindowScreen(state, [] { kvt::test::setUpWorstLiveScreen(0); });
}
BENCHMARK(BM_DrawScreen_WorstLive_Perpendicular)->Unit(benchmark::kMillisecond);

void BM_DrawScreen_WorstLive_Leftward(benchmark::State& state) {
    drawWindowScreen(state, [] { kvt::test::setUpWorstLiveScreen(1); });
}
BENCHMARK(BM_DrawScreen_WorstLive_Leftward)->Unit(benchmark::kMillisecond);

void BM_DrawScreen_WorstLive_Rightward(benchmark::State& state) {
    drawWindowScreen(state, [] { kvt::test::setUpWorstLiveScreen(2); });
}
BENCHMARK(BM_DrawScreen_WorstLive_Rightward)->Unit(benchmark::kMillisecond);

// Divided playback with two full panes and the panel. Goal 6 ms, limit 8 ms.
void BM_DrawScreen_SplitPlayback(benchmark::State& state) {
    drawWindowScreen(state, kvt::test::setUpSplitPlaybackScreen);
}
BENCHMARK(BM_DrawScreen_SplitPlayback)->Unit(benchmark::kMillisecond);

// The sample `k` half-seconds after 09:00, each pen near its own level.
kvt::SampleData nextSample(int k) {
    int seconds = k / 2;
    kvt::SystemTime time{2026, 3, 0, 1, static_cast<uint16_t>(9 + seconds / 3600 % 14),
                         static_cast<uint16_t>(seconds / 60 % 60), static_cast<uint16_t>(seconds % 60),
                         static_cast<uint16_t>(k % 2 * 500)};
    kvt::SampleData sample = kvt::test::sampleAt(time, 0.0);
    for (int pen = 0; pen < kvt::kPensPerGroup; ++pen) {
        sample.values[pen] = 5.0 + 8.0 * pen + 3.0 * std::sin(k * 0.05 + pen);
    }
    return sample;
}

// Half a second apart, a refresh finds little of its images in the
// caches: each one here comes after 48 MiB of other writes.
void evictCaches() {
    static std::vector<char> elsewhere(48u << 20);
    static char value = 0;
    std::memset(elsewhere.data(), ++value, elsewhere.size());
    benchmark::DoNotOptimize(elsewhere.data());
}

// Refreshes of the shown window as while measuring: a new sample in the
// ring (none when `scrolling` is false), the image redrawn and what
// changed brought to the screen (on the display in DISPLAY, or off
// screen). `samples` already in the ring: 1600 fills the graph.
void refreshWindow(benchmark::State& state, int samples, bool scrolling) {
    ensureToolkit();
    kvt::test::TempHome home;
    kvt::test::setUpWorstLiveScreen(0);
    kvt::displayMode = kvt::kLiveTrend;
    kvt::test::clearTrendSources();
    for (int k = 0; k < samples; ++k) kvt::test::appendRingSample(1, nextSample(k));
    kvt::MainWindow window({noWorkers, noWorkers});
    window.show();
    QApplication::processEvents();
    int k = samples;
    for (auto _ : state) {
        state.PauseTiming();
        evictCaches();
        state.ResumeTiming();
        if (scrolling) kvt::test::appendRingSample(1, nextSample(k++));
        kvt::postWindowCommand(kvt::kCommandRefresh);
        window.handlePendingCommands();
    }
    kvt::store(kvt::acquisitionActive, 0);
    kvt::store(kvt::acquisitionRequested, 0);
}

void BM_WindowRefresh_FullGraph(benchmark::State& state) { refreshWindow(state, 1600, true); }
BENCHMARK(BM_WindowRefresh_FullGraph)->Unit(benchmark::kMillisecond)->Iterations(300);

void BM_WindowRefresh_PartGraph(benchmark::State& state) { refreshWindow(state, 120, true); }
BENCHMARK(BM_WindowRefresh_PartGraph)->Unit(benchmark::kMillisecond)->Iterations(300);

void BM_WindowRefresh_NothingNew(benchmark::State& state) { refreshWindow(state, 1600, false); }
BENCHMARK(BM_WindowRefresh_NothingNew)->Unit(benchmark::kMillisecond)->Iterations(300);

// White ground, watermark and the whole top bar.
void BM_ScreenImage(benchmark::State& state) {
    ensureToolkit();
    kvt::DeviceContext image;
    kvt::TopBarState bar;
    bar.operatingMode = 0;
    for (auto _ : state) {
        kvt::drawScreenImage(image, bar);
        benchmark::DoNotOptimize(image.bits());
    }
}
BENCHMARK(BM_ScreenImage);

// One time label ("yy/mm/dd  hh:mm:ss") in the small font, as the trend
// draws up to a few dozen per redraw.
void BM_TimeLabel(benchmark::State& state) {
    ensureToolkit();
    kvt::DeviceContext image;
    image.selectFont(kvt::FontId::Small);
    for (auto _ : state) {
        image.textOut(340, 300, "26/03/01  09:30:00");
        benchmark::DoNotOptimize(image.bits());
    }
}
BENCHMARK(BM_TimeLabel);

// The worst trace load of one pane: 12 pens of 1600 one-pixel segments.
void BM_TwelveTraces(benchmark::State& state) {
    kvt::DeviceContext image;
    for (auto _ : state) {
        for (int pen = 0; pen < 12; ++pen) {
            image.selectPen(kvt::rgb(pen * 20, 0, 255 - pen * 20), pen % 4 == 0 ? 3 : 1);
            image.moveTo(30 + pen * 50, 121);
            for (int k = 1; k < 1600; ++k) image.lineTo(30 + pen * 50 + (k * 7 % 61), 121 + k);
        }
        benchmark::DoNotOptimize(image.bits());
    }
}
BENCHMARK(BM_TwelveTraces);

// Twelve pen markers as the value band draws them on every redraw: the
// outline in near-black, a flood fill bounded by it, the outline again.
void BM_TwelvePenMarkers(benchmark::State& state) {
    kvt::DeviceContext image;
    const kvt::Colour nearBlack = kvt::rgb(1, 1, 1);
    const kvt::Brush hollow{kvt::rgb(255, 255, 255), true};
    for (auto _ : state) {
        for (int pen = 0; pen < 12; ++pen) {
            int v = 60 + pen * 60;
            int top = 40 + 2 * pen;
            const kvt::Point outline[] = {
                {v - 14, top}, {v + 14, top}, {v + 14, top + 3}, {v, top + 17}, {v - 14, top + 3}};
            image.selectBrush(hollow);
            image.selectPen(nearBlack);
            image.polygon(outline, 5);
            image.selectBrush(kvt::rgb(pen * 20, 0, 255 - pen * 20));
            image.floodFill(v, top + 15, nearBlack);
            image.selectBrush(hollow);
            image.selectPen(kvt::rgb(0, 0, 0));
            image.polygon(outline, 5);
        }
        benchmark::DoNotOptimize(image.bits());
    }
}
BENCHMARK(BM_TwelvePenMarkers);

// Copying the finished image onto the window surface.
void BM_CopyToWindow(benchmark::State& state) {
    kvt::DeviceContext image;
    kvt::DeviceContext surface(802, 602);
    for (auto _ : state) {
        surface.copyFrom(image, 1, 1);
        benchmark::DoNotOptimize(surface.bits());
    }
}
BENCHMARK(BM_CopyToWindow);

}  // namespace
