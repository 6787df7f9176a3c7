// A settings file damaged in ways the version test lets through: start-up
// keeps the original beside it, loads it as it always did, and a demo
// measurement on it runs without a fault and writes nothing but whole,
// well-formed rows. Every reader of an out-of-range field takes a safe
// choice.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <limits>
#include <random>
#include <string>

#include "PipelineFiles.h"
#include "acquisition/AcquisitionThread.h"
#include "acquisition/CurrentValues.h"
#include "app/RuntimeState.h"
#include "core/ConfigurationRecord.h"
#include "core/Defaults.h"
#include "core/RunFlags.h"
#include "platform/Paths.h"
#include "recording/AlarmHistory.h"
#include "recording/CsvRow.h"
#include "recording/RecordingScheduler.h"
#include "recording/RecordingWriter.h"
#include "support/FakeClock.h"
#include "support/RowShape.h"
#include "support/TempHome.h"

namespace kvt {
namespace {

constexpr int32_t kHuge = std::numeric_limits<int32_t>::max();
constexpr int32_t kLowest = std::numeric_limits<int32_t>::min();

std::string bytesOf(const ConfigurationRecord& record) {
    return std::string(reinterpret_cast<const char*>(&record), sizeof record);
}

// A record whose groups record, with every other field at an absurd value.
ConfigurationRecord absurdFields(int32_t extreme) {
    ConfigurationRecord record{};
    fillDefaults(record, 1, {2026, 3, 1});
    record.storagePeriodDays = 1;
    record.oldestKeptDate[0] = extreme;
    record.commPort = extreme;
    record.scalePen[1] = record.selectedPen[1] = extreme;
    record.highSpeedRecording = {extreme, extreme, extreme, extreme};
    for (int group = 1; group <= kTrendGroupCount; ++group) {
        GroupRecordingSettings& settings = record.group(group);
        settings.storingCycle = group % 2 == 0 ? kCycleHalfSecond : kCycle1s;
        settings.storingMode = 1 + group % 4;  // normal, remote, event, auto
        settings.autoMethod = 1;
        settings.autoStartHour = 12;
        settings.autoStartMinute = 0;
        settings.autoStartSecond = 1;
        settings.autoDurationHours = settings.autoDurationMinutes = extreme;
        settings.triggerCondition = settings.triggerNode = extreme;
        settings.preTriggerCount = settings.postTriggerCount = extreme;
    }
    for (auto& pens : record.pens) {
        for (PenSettings& pen : pens) {
            pen.enabled = 1;
            pen.isDiscrete = pen.channel % 3 == 0 ? extreme : 0;
            pen.node = pen.channel = pen.analogType = extreme;
            pen.logScale = pen.channel % 2;
            pen.decimalPlaces = pen.movingAverage = pen.logDecadesIndex = extreme;
            pen.inputHigh = std::numeric_limits<double>::quiet_NaN();
            pen.scaleHigh = extreme > 0 ? INFINITY : -1e308;
            pen.alarmLimitLow = pen.alarmLimitHigh = 0.5;
            pen.deadbandLow = NAN;
            pen.alarmOutput[0] = pen.discreteAlarm[1] = 1;
            pen.alarmOutputNode[0] = pen.discreteOutputNode[1] = extreme;
            pen.alarmOutputChannel[0] = pen.discreteOutputChannel[1] = extreme;
            pen.discreteAlarmDelay[0] = pen.discreteAlarmDelay[1] = extreme;
            std::memset(pen.tag, 'T', sizeof pen.tag);  // no NUL
            std::memset(pen.unit, 'U', sizeof pen.unit);
        }
    }
    return record;
}

// Random bytes behind an accepted version mark.
std::string randomRecord(unsigned seed) {
    std::mt19937 random(seed);
    std::string bytes(sizeof(ConfigurationRecord), '\0');
    for (char& byte : bytes) byte = static_cast<char>(random());
    bytes.replace(0, 6, seed % 2 == 0 ? "1.01  " : "9.99xx");
    return bytes;
}

struct DamagedFile {
    const char* what;
    std::string bytes;
    bool records;  // groups in normal mode: rows must come
};

class DamagedSettingsTest : public ::testing::TestWithParam<int> {
protected:
    static std::vector<DamagedFile> files() {
        return {{"all bytes 0xFF", std::string(sizeof(ConfigurationRecord), '\xFF'), false},
                {"largest values", bytesOf(absurdFields(kHuge)), true},
                {"smallest values", bytesOf(absurdFields(kLowest)), true},
                {"random bytes 1", randomRecord(1), false},
                {"random bytes 2", randomRecord(2), false}};
    }

    void TearDown() override {
        store(acquisitionRequested, 0);
        store(exitRequested, 0);
        for (int group = 0; group < kGroupCount; ++group) groupTriggerByte[group].store(0);
        discardPendingAlarmHistory();
    }

    test::TempHome home;
    test::ScopedFakeClock fake;
};

TEST_P(DamagedSettingsTest, StartsKeepsTheOriginalAndRecordsOnlyWholeRows) {
    const DamagedFile file = files()[GetParam()];
    SCOPED_TRACE(file.what);
    fake.clock.setLocal(2026, 3, 7, 11, 59, 50);
    languageFlag = 1;
    std::memset(&liveConfiguration, 0, sizeof liveConfiguration);
    makeDataFolder();
    test::writeFile(settingsFilePath(), file.bytes);
    std::string today = std::string(dataFolder()) + "/20260307";
    std::filesystem::create_directory(today);
    test::writeFile(today + "/GR1.CSV", "");

    prepareRuntime();  // load, save, clear, storage cleanup
    EXPECT_TRUE(test::fileExists(today)) << "the cleanup took today's folder";
    EXPECT_TRUE(test::readFile(std::string(dataFolder()) +
                               "/KVT936P.LPPU.damaged-20260307-115950") == file.bytes)
        << "no backup of the original";
    // Loaded as it always was: past the mark (and the oldest kept date,
    // which the start-up cleanup moves) the record is the file's.
    constexpr size_t kAfterOldestKeptDate = 40;
    EXPECT_TRUE(bytesOf(liveConfiguration).substr(kAfterOldestKeptDate) ==
                file.bytes.substr(kAfterOldestKeptDate))
        << "the damaged record was not loaded as it is";

    ASSERT_TRUE(beginAcquisitionThread());
    store(acquisitionRequested, 1);
    for (int pass = 1; pass <= 2000; ++pass) {  // 20 s of 10 ms passes
        fake.clock.advanceMs(10);
        acquisitionPass();
        if (pass % 5 == 0) schedulerPass();
        if (pass % 3 == 0) writerPass();
    }
    store(acquisitionRequested, 0);
    for (int pass = 0; pass < 100; ++pass) {
        fake.clock.advanceMs(10);
        acquisitionPass();
        schedulerPass();
        writerPass();
    }

    size_t rows = 0;
    for (const std::string& day : test::dayFolderNames(dataFolder())) {
        for (int group = 0; group <= kTrendGroupCount; ++group) {
            std::string path = std::string(dataFolder()) + "/" + day + "/GR" +
                               std::to_string(group) + ".CSV";
            test::DayFileContents contents = test::readDayFile(path, rowLengthOf(group));
            if (!contents.exists || (day == "20260307" && group == 1 && contents.rows.empty())) {
                continue;
            }
            SCOPED_TRACE(path);
            EXPECT_EQ(contents.strayBytes, 0u);
            rows += contents.rows.size();
            for (const std::string& row : contents.rows) {
                int length = static_cast<int>(row.size());
                ASSERT_TRUE(test::hasDayFileRowShape(row.data(), length, group)) << row;
            }
        }
    }
    if (file.records) {
        EXPECT_GT(rows, 0u);
    }
}

INSTANTIATE_TEST_SUITE_P(Files, DamagedSettingsTest, ::testing::Range(0, 5));

}  // namespace
}  // namespace kvt
