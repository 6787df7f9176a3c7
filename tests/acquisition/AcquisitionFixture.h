#pragma once
#include <gtest/gtest.h>

#include <vector>

#include "TimeStamps.h"
#include "acquisition/AcquisitionLinkHooks.h"
#include "acquisition/AcquisitionRecord.h"
#include "acquisition/AcquisitionThread.h"
#include "acquisition/AlarmStates.h"
#include "acquisition/CurrentValues.h"
#include "core/ConfigurationRecord.h"
#include "core/Defaults.h"
#include "core/RunFlags.h"
#include "platform/Paths.h"
#include "recording/AlarmHistory.h"
#include "support/FakeClock.h"
#include "support/TempHome.h"

namespace kvt::test {

// Fresh recorder state for acquisition tests: default configuration, empty
// ring and tables, a fake clock, a temporary data folder and the real link
// hooks restored afterwards. Tests act as the recording scheduler and take
// the records out of the ring.
class AcquisitionFixture : public ::testing::Test {
protected:
    void SetUp() override {
        fillDefaults(liveConfiguration, 1, {2026, 1, 1});
        languageFlag = 1;
        for (std::atomic<int>* flag : {&exitRequested, &acquisitionRequested, &acquisitionActive,
                                       &valuesValid, &startFailed, &failedNode, &overrunCounter}) {
            store(*flag, 0);
        }
        clearAcquisitionRing();
        resetCurrentValues();
        clearAlarmStates();
        makeDataFolder();
        discardPendingAlarmHistory();
    }

    void TearDown() override {
        acquisitionLinkHooks = kRealLinkHooks;
        store(exitRequested, 0);
        store(acquisitionRequested, 0);
        store(acquisitionActive, 0);
        discardPendingAlarmHistory();
    }

    // Moves the unread records of the ring into `records`.
    void takeRecords() {
        uint32_t read = acquisitionRing.readIndex.load();
        uint32_t write = acquisitionRing.writeIndex.load();
        for (; read != write; read = (read + 1) % kAcquisitionRingSize) {
            records.push_back(acquisitionRing.records[read]);
        }
        acquisitionRing.readIndex.store(read);
    }

    // Runs passes of `passMs` of virtual time each for `durationMs`,
    // taking the records after every pass.
    void runFor(int durationMs, int passMs = 10) {
        for (int elapsed = 0; elapsed < durationMs; elapsed += passMs) {
            fake.clock.advanceMs(passMs);
            acquisitionPass();
            takeRecords();
        }
    }

    // Clock at the given local time, sample clock started there.
    void startAt(int year, int month, int day, int hour, int minute, int second, int ms) {
        fake.clock.setLocal(year, month, day, hour, minute, second, ms);
        ASSERT_TRUE(beginAcquisitionThread());
    }

    // Pen 1 of group 1 with equal input and scale ranges and a setpoint at
    // 1.95, which its demo values (1.0 to 2.9) cross all the time.
    PenSettings& penCrossingItsSetpoint() {
        PenSettings& pen = liveConfiguration.pen(1, 0);
        pen.inputLow = pen.scaleLow = 0.0;
        pen.inputHigh = pen.scaleHigh = 100.0;
        pen.alarmLimitHigh = 1.95;
        return pen;
    }

    TempHome home;
    ScopedFakeClock fake;
    std::vector<AcquisitionRecord> records;
};

}  // namespace kvt::test
