#pragma once
#include <gtest/gtest.h>

#include <ctime>
#include <vector>

#include "acquisition/AcquisitionRecord.h"
#include "core/ConfigurationRecord.h"
#include "core/Defaults.h"
#include "core/WorkerWakeups.h"
#include "platform/Paths.h"
#include "recording/RecordingBuffers.h"
#include "recording/RecordingScheduler.h"
#include "support/FakeClock.h"
#include "support/TempHome.h"

namespace kvt::test {

// Time stamp `milliseconds` after `time` (calendar arithmetic in UTC, so no
// daylight-saving step gets in the way).
inline SystemTime addMilliseconds(const SystemTime& time, int64_t milliseconds) {
    return stampFromMs(stampMs(time) + milliseconds);
}

inline AcquisitionRecord makeRecord(const SystemTime& time, int active = 1) {
    AcquisitionRecord record{};
    record.active = active;
    record.time = time;
    return record;
}

// Gives the record a sample of group 1-10: every pen holds `value`.
inline void addGroupSample(AcquisitionRecord& record, int group, int trigger, double value) {
    GroupBlock& block = record.groups[group - 1];
    block.stored = 1;
    block.trigger = static_cast<int8_t>(trigger);
    for (int pen = 0; pen < kPensPerGroup; ++pen) {
        block.values[pen] = value;
        block.status[pen] = static_cast<uint8_t>(pen);
    }
}

// Gives the record a high-speed block: sub-sample i of every pen holds
// `firstValue + i` and has trigger state triggers[i].
inline void addHighSpeedBlock(AcquisitionRecord& record, const int (&triggers)[10],
                              double firstValue) {
    record.highSpeedPresent = 1;
    for (int step = 0; step < 10; ++step) {
        record.highSpeedTrigger[step] = static_cast<int8_t>(triggers[step]);
        for (int pen = 0; pen < kHighSpeedPens; ++pen) {
            record.highSpeedValues[pen][step] = firstValue + step;
        }
    }
}

// Puts a record into the acquisition ring as the acquisition thread does.
inline void pushRecord(const AcquisitionRecord& record) {
    uint32_t index = acquisitionRing.writeIndex.load(std::memory_order_relaxed);
    acquisitionRing.records[index] = record;
    acquisitionRing.writeIndex.store((index + 1) % kAcquisitionRingSize,
                                     std::memory_order_release);
    schedulerWake.signal();
}

// Pushes the record and lets the scheduler handle it.
inline void feed(const AcquisitionRecord& record) {
    pushRecord(record);
    ASSERT_EQ(schedulerPass(), 1);
}

// The samples queued for the writer and not yet taken, in queue order.
inline std::vector<SampleData> queuedSamples(int group) {
    std::vector<SampleData> samples;
    const WriteShare& share = writeQueue.shares[group];
    uint32_t end = share.writeSequence.load();
    for (uint32_t sequence = share.readSequence.load(); sequence != end;
         sequence = nextQueueSequence(sequence)) {
        const WriteQueueEntry& entry = share.entries[sequence % kWriteShareSize];
        samples.push_back(slotData(groupRecordingRings[group].slots[entry.slot.load()]));
    }
    return samples;
}

// Pen 1 values of the queued samples of a group (tests number their samples
// through that value).
inline std::vector<double> queuedValues(int group) {
    std::vector<double> values;
    for (const SampleData& sample : queuedSamples(group)) values.push_back(sample.values[0]);
    return values;
}

// Fresh HOME and data folder, default settings, empty rings and queue, a
// fake clock, and records fed from 10:00:00 on 7 March 2026.
class RecordingTest : public ::testing::Test {
protected:
    void SetUp() override {
        makeDataFolder();
        fillDefaults(liveConfiguration, 1, {2026, 1, 1});
        clock.clock.setLocal(2026, 3, 7, 12, 0, 0);
        clearAcquisitionRing();
        resetRecordingBuffers();
    }

    GroupRecordingSettings& settings(int group) { return liveConfiguration.group(group); }

    // One sample of `group` per record, half a second apart from `time` on;
    // pen 1 of sample k carries `firstValue + k`.
    void feedSamples(int group, int count, double firstValue = 0) {
        for (int index = 0; index < count; ++index) {
            AcquisitionRecord record = makeRecord(time);
            addGroupSample(record, group, 0, firstValue + index);
            feed(record);
            time = addMilliseconds(time, 500);
        }
    }
    // A record of a stopped measurement, half a second on.
    void stopMeasurement() {
        feed(makeRecord(time, 0));
        time = addMilliseconds(time, 500);
    }

    TempHome home;
    ScopedFakeClock clock;
    SystemTime time = makeTime(2026, 3, 7, 10, 0, 0);  // stamp of the next record fed
};

}  // namespace kvt::test
