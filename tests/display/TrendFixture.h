#pragma once
#include <gtest/gtest.h>

#include "core/ConfigurationRecord.h"
#include "core/Defaults.h"
#include "core/RunFlags.h"
#include "display/DisplayColours.h"
#include "display/DisplayState.h"
#include "display/GraphArea.h"
#include "platform/DeviceContext.h"
#include "recording/PlaybackPanes.h"
#include "support/FakeClock.h"
#include "support/QtTestApplication.h"
#include "support/TempHome.h"
#include "support/TrendSamples.h"

namespace kvt::test {

// The live configuration with every pen disabled and ranges of 0-100 in
// input, scale and plot, group 1 shown live without the panel, and empty
// rings and panes, in a fresh HOME (playback requests read day files and
// save images there). Tests enable the pens they draw.
class TrendTest : public ::testing::Test {
protected:
    void SetUp() override {
        ensureQtApplication();
        fillDefaults(liveConfiguration, 1, {2026, 1, 1});
        liveConfiguration.operatingMode = kNormalMode;
        for (auto& group : liveConfiguration.pens) {
            for (PenSettings& pen : group) {
                pen.enabled = 0;
                pen.inputLow = pen.scaleLow = pen.plotLow = 0.0;
                pen.inputHigh = pen.scaleHigh = pen.plotHigh = 100.0;
                pen.plotHighText[0] = '\0';
                pen.decimalPlaces = 1;
            }
        }
        currentGroup = 1;
        displayMode = kLiveTrend;
        dividedView = 0;
        pendingUiRequest = kNoRequest;
        store(blinkFlag, 0);
        store(g_settingsChanged, 0);
        clearTrendSources();
        level = 50.0;
    }
    void TearDown() override {
        clearTrendSources();
        currentGroup = 1;
        displayMode = kLiveTrend;
        dividedView = 0;
        store(g_settingsChanged, 0);
    }

    static PenSettings& pen(int group, int index) { return liveConfiguration.pen(group, index); }
    static PenSettings& enable(int group, int index, Colour colour) {
        PenSettings& settings = pen(group, index);
        settings.enabled = 1;
        settings.shown = 1;
        settings.penColour = colour;
        return settings;
    }

    // The graph area drawn on white, as the screen drawing leaves it before
    // the top bar.
    static DeviceContext drawn() {
        DeviceContext image;
        image.selectFont(FontId::Large);
        drawGraphArea(image);
        return image;
    }

    // A sample source with every pen at `level`, in percent of its range.
    static inline double level = 50.0;
    static double atLevel(int, int) { return level; }

    TempHome home;

    static constexpr SystemTime kNewest = {2026, 3, 0, 1, 9, 30, 0, 0};  // 2026-03-01 09:30:00
};

}  // namespace kvt::test
