#include "support/BusyScreens.h"

#include <cmath>
#include <cstdio>

#include "core/ConfigurationRecord.h"
#include "core/Defaults.h"
#include "core/RunFlags.h"
#include "display/DisplayState.h"
#include "recording/PlaybackPanes.h"
#include "support/DayFiles.h"
#include "support/TrendSamples.h"

namespace kvt::test {
namespace {

constexpr SystemTime kNewest = {2026, 3, 0, 1, 9, 30, 0, 0};

// Each pen wanders around its own level, 1-2 % per sample.
double wandering(int pen, int k) {
    return 5.0 + 8.0 * pen + 3.0 * std::sin(k * 0.05 + pen) + 1.5 * std::sin(k * 0.9 * (pen + 1));
}

void configureBusyGroup() {
    fillDefaults(liveConfiguration, 1, {2026, 1, 1});
    liveConfiguration.operatingMode = kDemoMode;
    for (int pen = 0; pen < kPensPerGroup; ++pen) {
        PenSettings& settings = liveConfiguration.pen(1, pen);
        settings.enabled = 1;
        settings.shown = 1;
        settings.thickLine = 1;
        settings.inputLow = settings.scaleLow = settings.plotLow = 0.0;
        settings.inputHigh = settings.scaleHigh = settings.plotHigh = 100.0;
        std::snprintf(settings.tag, sizeof settings.tag, "Boiler %d temp", pen + 1);
    }
    liveConfiguration.group(1).storingCycle = kCycleHalfSecond;
    currentGroup = 1;
    pendingUiRequest = kNoRequest;
    store(acquisitionActive, 1);
    store(acquisitionRequested, 1);
    clearTrendSources();
}

}  // namespace

void setUpWorstLiveScreen(int direction) {
    configureBusyGroup();
    liveConfiguration.graphDirection = direction;
    displayMode = kLiveWithPanel;
    fillRing(1, kRingSlotCount, kNewest, 500, wandering);
}

void setUpSplitPlaybackScreen() {
    configureBusyGroup();
    liveConfiguration.graphDirection = 0;
    displayMode = kPlaybackWithPanel;
    dividedView = 1;
    fillPane(0, kNewest, 500, wandering);
    fillPane(1, {2026, 2, 0, 27, 14, 0, 0, 0}, 500, wandering);
    playbackCursor = 120;
}

void recordBusyGroup(int64_t newestEpochMs, int count) {
    configureBusyGroup();
    constexpr int kSpacingMs = 500;
    int64_t firstMs = newestEpochMs - int64_t{count - 1} * kSpacingMs;
    writeDayFiles(liveConfiguration, 1, samplesEvery(firstMs, kSpacingMs, count));
}

}  // namespace kvt::test
