// The recorder's own worker threads on the real clock: a demo measurement of
// about three seconds from START to STOP, then shutdown.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "ExpectedText.h"
#include "PipelineFiles.h"
#include "acquisition/AcquisitionRecord.h"
#include "app/RuntimeState.h"
#include "app/WorkerThreads.h"
#include "core/ConfigurationRecord.h"
#include "core/Defaults.h"
#include "core/RunFlags.h"
#include "display/SettingsTakeover.h"
#include "platform/Paths.h"
#include "recording/CsvRow.h"
#include "recording/RecordingBuffers.h"
#include "recording/RecordingWriter.h"
#include "recording/ValueText.h"
#include "support/TempHome.h"

namespace kvt {
namespace {

using std::chrono::milliseconds;
using std::chrono::steady_clock;

constexpr int kHalfSecondGroups = 5;  // groups 1-5; groups 6 and 7 store every second

void configureDemo() {
    fillDefaults(liveConfiguration, 1, yesterday());
    liveConfiguration.operatingMode = kDemoMode;
    for (int group = 1; group <= kTrendGroupCount; ++group) {
        GroupRecordingSettings& settings = liveConfiguration.group(group);
        settings.storingCycle = group <= kHalfSecondGroups ? kCycleHalfSecond : kCycle1s;
        settings.storingMode = group <= 7 ? kNormal : kNoRecording;
        for (int pen = 0; pen < kPensPerGroup; ++pen) {
            PenSettings& settings = liveConfiguration.pen(group, pen);
            settings.enabled = 1;
            settings.inputLow = settings.scaleLow = 0;
            settings.inputHigh = settings.scaleHigh = 100;
        }
    }
}

// Rows of a group from every day folder, oldest day first.
std::vector<std::string> rowsOfAllDays(int group) {
    std::vector<std::string> rows;
    for (const std::string& day : test::dayFolderNames(dataFolder())) {
        std::string path =
            std::string(dataFolder()) + "/" + day + "/GR" + std::to_string(group) + ".CSV";
        test::DayFileContents file = test::readDayFile(path, kTrendRowLength);
        EXPECT_EQ(file.strayBytes, 0u) << path;
        rows.insert(rows.end(), file.rows.begin(), file.rows.end());
    }
    return rows;
}

// The rows of the samples the scheduler put into the group's ring this run.
std::vector<std::string> rowsOfRingSamples(int group) {
    const GroupRecordingRing& ring = groupRecordingRings[group];
    std::vector<std::string> rows;
    for (uint32_t slot = 0; slot < ring.writeSlot.load(); ++slot) {
        const SampleData sample = slotData(ring.slots[slot]);
        double values[kPensPerGroup];
        std::copy(std::begin(sample.values), std::end(sample.values), values);
        rows.push_back(test::expectedRow(liveConfiguration, group, sample.time, sample.trigger,
                                         values));
    }
    return rows;
}

// Seconds of the day of a row's stamp, in milliseconds ("hh:mm:ss,mmm").
int64_t rowStampMs(const std::string& row) {
    int hour = std::stoi(row.substr(0, 2));
    int minute = std::stoi(row.substr(3, 2));
    int second = std::stoi(row.substr(6, 2));
    std::string millis = row.substr(9, 3);
    int milliseconds = millis == "   " ? 0 : std::stoi(millis);
    return ((hour * 60 + minute) * 60 + second) * 1000LL + milliseconds;
}

void expectConsecutive(const std::vector<std::string>& rows, int64_t stepMs) {
    for (size_t index = 1; index < rows.size(); ++index) {
        int64_t step = rowStampMs(rows[index]) - rowStampMs(rows[index - 1]);
        if (step < 0) step += 86400000;  // across midnight
        EXPECT_EQ(step, stepMs) << rows[index - 1] << rows[index];
    }
}

void waitForNextRecord() {
    uint32_t written = acquisitionRing.writeIndex.load();
    steady_clock::time_point deadline = steady_clock::now() + milliseconds(2000);
    while (acquisitionRing.writeIndex.load() == written && steady_clock::now() < deadline) {
        std::this_thread::sleep_for(milliseconds(1));
    }
}

TEST(LiveThreadsTest, ThreeSecondsOfDemoAreWrittenAndTheThreadsStopPromptly) {
    test::TempHome home;
    languageFlag = 1;
    configureDemo();
    makeDataFolder();
    initialiseRuntimeState();

    startWorkerThreads();
    std::this_thread::sleep_for(milliseconds(200));
    store(acquisitionRequested, 1);
    std::this_thread::sleep_for(milliseconds(3000));
    // STOP and exit right after a step: the newest record is still in the
    // acquisition ring and its rows are not queued yet.
    waitForNextRecord();
    store(acquisitionRequested, 0);
    steady_clock::time_point stopping = steady_clock::now();
    stopWorkerThreads();
    auto stopTime = std::chrono::duration_cast<milliseconds>(steady_clock::now() - stopping);
    EXPECT_LT(stopTime.count(), 1000);
    store(exitRequested, 0);

    // Everything acquired reached the rings, and everything queued the files.
    EXPECT_EQ(acquisitionRing.readIndex.load(), acquisitionRing.writeIndex.load());
    EXPECT_EQ(pendingRowCount(), 0u);
    EXPECT_EQ(droppedRowCount.load(), 0u);

    std::vector<std::string> firstGroupRows = rowsOfAllDays(1);
    EXPECT_GE(firstGroupRows.size(), 5u);
    EXPECT_LE(firstGroupRows.size(), 7u);
    for (int group = 1; group <= 7; ++group) {
        SCOPED_TRACE("group " + std::to_string(group));
        std::vector<std::string> rows = rowsOfAllDays(group);
        EXPECT_EQ(rows, rowsOfRingSamples(group));
        expectConsecutive(rows, group <= kHalfSecondGroups ? 500 : 1000);
        if (group <= kHalfSecondGroups) {
            ASSERT_EQ(rows.size(), firstGroupRows.size());
            for (size_t row = 0; row < rows.size(); ++row) {
                EXPECT_EQ(rows[row].substr(0, 12), firstGroupRows[row].substr(0, 12));
            }
        } else {
            EXPECT_GE(rows.size(), 2u);
            EXPECT_LE(rows.size(), 4u);
        }
    }
    for (int group = 8; group <= kTrendGroupCount; ++group) {
        EXPECT_TRUE(rowsOfAllDays(group).empty());
    }
}

// Digits after the decimal point of every value of a row, or -1 when the
// values of one row differ in it.
int decimalsOfRow(const std::string& row) {
    constexpr int kFirstValue = 15;  // after "hh:mm:ss,mmm,t,"
    int decimals = -2;
    for (int pen = 0; pen < kPensPerGroup; ++pen) {
        std::string field = row.substr(kFirstValue + pen * (kValueTextWidth + 1), kValueTextWidth);
        size_t point = field.find('.');
        int digits = point == std::string::npos ? 0 : static_cast<int>(field.size() - point - 1);
        if (decimals != -2 && digits != decimals) return -1;
        decimals = digits;
    }
    return decimals;
}

// Settings dialogs commit while a demo measurement runs on the real
// threads: the window takes each change over while the workers read, and
// every row is formatted with one whole configuration.
TEST(LiveThreadsTest, SettingsCommittedDuringARunReachTheRowsWhole) {
    test::TempHome home;
    languageFlag = 1;
    configureDemo();
    auto variants = std::make_unique<ConfigurationRecord[]>(2);
    for (int variant = 0; variant < 2; ++variant) {
        variants[variant] = liveConfiguration;
        for (int group = 1; group <= kTrendGroupCount; ++group) {
            for (int pen = 0; pen < kPensPerGroup; ++pen) {
                variants[variant].pen(group, pen).decimalPlaces = variant == 0 ? 1 : 3;
            }
        }
    }
    liveConfiguration = variants[0];
    makeDataFolder();
    initialiseRuntimeState();
    startWorkerThreads();
    store(acquisitionRequested, 1);

    int commits = 0;
    steady_clock::time_point end = steady_clock::now() + milliseconds(2500);
    while (steady_clock::now() < end) {
        workingConfiguration = variants[commits % 2];
        store(g_settingsChanged, 1);
        ASSERT_TRUE(takeOverSettingsChange());
        ++commits;
        std::this_thread::sleep_for(milliseconds(5));
    }
    // The last commit holds: the rows of the last second carry it.
    workingConfiguration = variants[1];
    store(g_settingsChanged, 1);
    ASSERT_TRUE(takeOverSettingsChange());
    std::this_thread::sleep_for(milliseconds(1200));
    store(acquisitionRequested, 0);
    stopWorkerThreads();
    store(exitRequested, 0);

    EXPECT_GT(commits, 50);
    for (int group = 1; group <= kHalfSecondGroups; ++group) {
        SCOPED_TRACE("group " + std::to_string(group));
        std::vector<std::string> rows = rowsOfAllDays(group);
        ASSERT_GE(rows.size(), 6u);
        for (const std::string& row : rows) {
            int decimals = decimalsOfRow(row);
            EXPECT_TRUE(decimals == 1 || decimals == 3) << row;
        }
        EXPECT_EQ(decimalsOfRow(rows.back()), 3) << rows.back();
    }
}

}  // namespace
}  // namespace kvt
