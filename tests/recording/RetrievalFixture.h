#pragma once
#include <gtest/gtest.h>

#include <cstdint>

#include "core/ConfigurationRecord.h"
#include "core/Defaults.h"
#include "core/RunFlags.h"
#include "platform/WaitCursor.h"
#include "recording/PaneLoading.h"
#include "recording/PlaybackPanes.h"
#include "support/DayFiles.h"
#include "support/FakeClock.h"
#include "support/TempHome.h"

namespace kvt::test {

// Counts how often the wait cursor is shown and restored, and whether it is
// shown right now.
class CountingWaitCursor final : public WaitCursorProvider {
public:
    void show() override {
        ++shown;
        ++depth;
    }
    void restore() override {
        ++restored;
        --depth;
    }
    int shown = 0;
    int restored = 0;
    int depth = 0;
};

// Milliseconds since the epoch of a local time.
inline int64_t localMs(int year, int month, int day, int hour, int minute, int second,
                       int milliseconds = 0) {
    return localEpochSeconds(year, month, day, hour, minute, second) * 1000 + milliseconds;
}

// Fresh HOME and data folder, default settings with plain pens, empty panes,
// a fake clock and a counting wait cursor.
class RetrievalTest : public ::testing::Test {
protected:
    void SetUp() override {
        fillDefaults(liveConfiguration, 1, {2026, 1, 1});
        makePensPlain(liveConfiguration);
        resetPlaybackPanes();
        savedGroup_ = currentGroup;
        previousCursor_ = installWaitCursorProvider(&cursor);
    }
    void TearDown() override {
        installWaitCursorProvider(previousCursor_);
        currentGroup = savedGroup_;
    }

    // Sets a group's storing cycle (groups 1-10); rows are formatted by it.
    void useCycle(int group, int cycle) {
        if (group != 0) liveConfiguration.group(group).storingCycle = cycle;
    }
    // Day file rows of `group`: `count` samples every `spacingMs` from
    // `firstMs`, numbered from `firstNumber` (pen 1 holds the number).
    void record(int group, int64_t firstMs, int spacingMs, int count, double firstNumber = 0) {
        writeDayFiles(liveConfiguration, group, samplesEvery(firstMs, spacingMs, count, firstNumber));
    }
    // Loads pane `pane` of the group shown with the reference time given (0:
    // unset) through the window's entry point.
    const PlaybackPane& load(int group, int64_t referenceSeconds, int pane = 1) {
        currentGroup = group;
        playbackPanes[pane - 1].referenceTime[group] = referenceSeconds;
        loadPane(pane);
        return playbackPanes[pane - 1];
    }
    // The same through fillPane, for the counts of what it read.
    PaneLoadCounts fill(int group, int64_t referenceSeconds) {
        playbackPanes[0].referenceTime[group] = referenceSeconds;
        int cycle = group == 0 ? 0 : liveConfiguration.group(group).storingCycle;
        return fillPane(playbackPanes[0], group, cycle);
    }

    TempHome home;
    ScopedFakeClock clock;
    CountingWaitCursor cursor;

private:
    int savedGroup_ = 1;
    WaitCursorProvider* previousCursor_ = nullptr;
};

}  // namespace kvt::test
