// A drag across the divided playback view: from the stored drag request to
// the finished redraw, with the dragged pane reloaded from a full day file
// at 0.5 s (172,800 rows) in the page cache and both panes drawn with twelve
// thick pens and the digital panel.
#include <benchmark/benchmark.h>

#include <memory>

#include "core/RunFlags.h"
#include "display/DisplayState.h"
#include "display/MainWindow.h"
#include "display/PlaybackNavigation.h"
#include "platform/Fonts.h"
#include "recording/PaneLoading.h"
#include "recording/PlaybackPanes.h"
#include "support/BusyScreens.h"
#include "support/FakeClock.h"
#include "support/QtTestApplication.h"
#include "support/TempHome.h"

namespace {

using namespace kvt;

constexpr int kRowsPerDay = 172800;
constexpr int kDragPixels = 40;

void noWorkers() {}

// The window over one recorded day of group 1, made once.
struct RecordedDay {
    RecordedDay() {
        test::ensureQtApplication();
        createDisplayFonts();
        test::recordBusyGroup(test::localEpochSeconds(2026, 3, 7, 23, 59, 59) * 1000 + 500,
                              kRowsPerDay);
        window = std::make_unique<MainWindow>(MainWindow::WorkerControl{noWorkers, noWorkers});
    }
    test::TempHome home;
    std::unique_ptr<MainWindow> window;
    DeviceContext surface{MainWindow::kClientWidth, MainWindow::kClientHeight};
};

RecordedDay& recordedDay() {
    static auto day = std::make_unique<RecordedDay>();
    return *day;
}

// Range 0: the pane dragged (1 or 2). Drags go back and forth so the pane
// stays inside the day; each iteration is one drag request and its redraw.
void BM_DragRedraw_DividedFullDay(benchmark::State& state) {
    RecordedDay& day = recordedDay();
    int pane = static_cast<int>(state.range(0));
    displayMode = kPlaybackWithPanel;
    dividedView = 1;
    playbackCursor = 100;
    playbackPanes[0].referenceTime[1] = test::localEpochSeconds(2026, 3, 7, 12, 0, 0);
    playbackPanes[1].referenceTime[1] = test::localEpochSeconds(2026, 3, 7, 6, 0, 0);
    loadPane(1);
    loadPane(2);
    day.window->drawScreen(1, day.surface);
    int later = pane == 1 ? kRequestPaneOneLater : kRequestPaneTwoLater;
    int earlier = pane == 1 ? kRequestPaneOneEarlier : kRequestPaneTwoEarlier;
    bool forward = true;
    for (auto _ : state) {
        pendingUiRequest = (forward ? later : earlier) + kDragPixels;
        forward = !forward;
        day.window->drawScreen(1, day.surface);
        benchmark::DoNotOptimize(day.surface.bits());
    }
    int recorded = 0;
    for (double value : playbackPanes[pane - 1].values[0]) recorded += value != kNoData ? 1 : 0;
    state.counters["recordedSlots"] = recorded;
    store(acquisitionActive, 0);
    store(acquisitionRequested, 0);
}
BENCHMARK(BM_DragRedraw_DividedFullDay)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

}  // namespace
