// A demo-mode measurement of seven simulated minutes across midnight, driven
// pass by pass on a fake clock from this one thread: acquisition every 10 ms,
// the recording scheduler every 50 ms and the CSV writer every 30 ms, as
// their threads would run. The files are then checked against the test's own
// copy of every acquisition record.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ExpectedText.h"
#include "PipelineFiles.h"
#include "RecordLog.h"
#include "acquisition/AcquisitionThread.h"
#include "acquisition/CurrentValues.h"
#include "acquisition/SampleClock.h"
#include "app/RuntimeState.h"
#include "core/ConfigurationRecord.h"
#include "core/Defaults.h"
#include "core/RunFlags.h"
#include "core/SettingsFile.h"
#include "display/SettingsTakeover.h"
#include "platform/Paths.h"
#include "recording/AlarmHistory.h"
#include "recording/CsvRow.h"
#include "recording/RecordingBuffers.h"
#include "recording/RecordingScheduler.h"
#include "recording/RecordingWriter.h"
#include "support/FakeClock.h"
#include "support/TempHome.h"

namespace kvt {
namespace {

using test::LoggedSample;
using test::stampMs;

int64_t at(int day, int hour, int minute, int second, int milliseconds = 0) {
    return stampMs(test::makeTime(2026, 3, day, hour, minute, second, milliseconds));
}

// Half-open spans of time [from, until).
struct Span {
    int64_t from;
    int64_t until;
};

bool inside(const std::vector<Span>& spans, int64_t time) {
    for (const Span& span : spans) {
        if (time >= span.from && time < span.until) return true;
    }
    return false;
}

// What each group stores and how.
struct GroupPlan {
    int cycle;
    int mode;
};
const GroupPlan kPlan[kGroupCount] = {
    {},
    {kCycleHalfSecond, kNormal},   // 1: also scaled, logarithmic, discrete and disabled pens
    {kCycle1s, kNormal},           // 2: pens with alarm setpoints
    {kCycle2s, kNormal},           // 3
    {kCycle5s, kNormal},           // 4
    {kCycle10s, kNormal},          // 5
    {kCycle1min, kNormal},         // 6
    {kCycleHalfSecond, kRemoteTrigger},  // 7: records while its trigger input is ON
    {kCycle1s, kEventRecording},   // 8: 5 samples before a rising edge, 10 from it
    {kCycle2s, kAuto},             // 9: every day at 23:59:30 for one minute
    {kCycleHalfSecond, kNoRecording},  // 10: alarms only
};
constexpr int kRemoteGroup = 7;
constexpr int kEventGroup = 8;
constexpr int kAutoGroup = 9;
constexpr int kSilentGroup = 10;
constexpr int kAlarmGroup = 2;

const int64_t kClockStart = at(7, 23, 56, 30);
const int64_t kStopPass = at(8, 0, 3, 30);  // the pass that sees STOP
const int64_t kRunEnd = at(8, 0, 3, 32);
// First and last step that can carry samples: values become valid in the
// pass after the start, the first step is the next full second; the step of
// the STOP pass has none.
const int64_t kFirstSample = at(7, 23, 56, 31);
const int64_t kLastSample = at(8, 0, 3, 29, 500);

// The trigger inputs played into groups 7 and 8 (in demo mode nothing else
// sets them).
const std::vector<Span> kRemoteOn = {{at(7, 23, 58, 0), at(7, 23, 58, 20)},
                                     {at(7, 23, 59, 50), at(8, 0, 0, 10)}};
const std::vector<Span> kEventInputOn = {
    {kClockStart, at(7, 23, 57, 0)},  // ON from the start: not an edge
    {at(7, 23, 57, 30), at(7, 23, 57, 33)},
    {at(7, 23, 59, 55), at(7, 23, 59, 57)},
    {at(7, 23, 59, 59), at(8, 0, 0, 2)},  // an edge inside a running span: ignored
    {at(8, 0, 1, 0), at(8, 0, 1, 5)},
};
// What the event group must record: 5 samples before each accepted edge,
// the edge sample and the 9 after it.
const std::vector<Span> kEventSpans = {{at(7, 23, 57, 25), at(7, 23, 57, 40)},
                                       {at(7, 23, 59, 50), at(8, 0, 0, 5)},
                                       {at(8, 0, 0, 55), at(8, 0, 1, 10)}};
const std::vector<Span> kAutoSpan = {{at(7, 23, 59, 30), at(8, 0, 0, 30)}};

const char* const kDays[] = {"20260307", "20260308"};

void configureRecording(ConfigurationRecord& config) {
    config.operatingMode = kDemoMode;
    config.storagePeriodDays = 2;
    for (int group = 1; group <= kTrendGroupCount; ++group) {
        GroupRecordingSettings& settings = config.group(group);
        settings.storingCycle = kPlan[group].cycle;
        settings.storingMode = kPlan[group].mode;
    }
    GroupRecordingSettings& event = config.group(kEventGroup);
    event.triggerCondition = 0;
    event.preTriggerCount = 5;
    event.postTriggerCount = 10;
    GroupRecordingSettings& autoStart = config.group(kAutoGroup);
    autoStart.autoMethod = 1;
    autoStart.autoStartHour = 23;
    autoStart.autoStartMinute = 59;
    autoStart.autoStartSecond = 30;
    autoStart.autoDurationHours = 0;
    autoStart.autoDurationMinutes = 1;
    config.group(kRemoteGroup).triggerCondition = 0;
}

void setRanges(PenSettings& pen, double inputLow, double inputHigh, double scaleLow,
               double scaleHigh, int decimals) {
    pen.inputLow = inputLow;
    pen.inputHigh = inputHigh;
    pen.scaleLow = scaleLow;
    pen.scaleHigh = scaleHigh;
    pen.decimalPlaces = decimals;
}

void configurePens(ConfigurationRecord& config) {
    for (int group = 1; group <= kTrendGroupCount; ++group) {
        for (int pen = 0; pen < kPensPerGroup; ++pen) {
            PenSettings& settings = config.pen(group, pen);
            settings.enabled = 1;
            settings.isDiscrete = pen == 10 ? 1 : 0;
            if (group == 3) setRanges(settings, 0, 200, 0, 1000, 0);
            else if (group == 4) setRanges(settings, 4, 20, 0, 500, 1);
            else setRanges(settings, 0, 100, 0, 100, 2);
        }
    }
    std::snprintf(config.pen(1, 0).tag, sizeof config.pen(1, 0).tag, "Flow A");
    std::snprintf(config.pen(1, 0).unit, sizeof config.pen(1, 0).unit, "m3/h");
    std::snprintf(config.pen(2, 1).tag, sizeof config.pen(2, 1).tag, "\x89\xB7\x93\x78");
    setRanges(config.pen(1, 8), 0, 100, -50, 50, 3);
    config.pen(1, 9).logScale = 1;
    config.pen(1, 11).enabled = 0;
    // Pen k sits at (9k + 2) % of its range, with up to 1 % of noise.
    PenSettings& noisy = config.pen(kAlarmGroup, 0);  // 1.0 to 2.9
    noisy.alarmLimitHigh = 1.95;
    noisy.deadbandHigh = 0.5;
    config.pen(kAlarmGroup, 3).alarmLimitHigh = 20;  // always above: one event
    config.pen(kAlarmGroup, 3).alarmLimitLow = 10;   // never below
    config.pen(kAlarmGroup, 5).alarmLimitLow = 60;   // always below: one event
    PenSettings& silent = config.pen(kSilentGroup, 1);  // 10.0 to 11.9
    silent.alarmLimitLow = 10.45;
    silent.deadbandLow = 1.0;
}

// Day 4 is older than the two-day storage period; the midnight cleanup
// must remove it and keep the two days of the run.
void plantOldDay() {
    std::string folder = std::string(dataFolder()) + "/20260304";
    mkdir(folder.c_str(), 0777);
    test::writeFile(folder + "/GR1.CSV", std::string(512, '\0'));
}

class DemoPipelineTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        home = std::make_unique<test::TempHome>();
        fake = std::make_unique<test::ScopedFakeClock>();
        log = std::make_unique<test::RecordLog>();
        fillDefaults(liveConfiguration, 1, {2026, 3, 1});
        languageFlag = 1;
        configureRecording(liveConfiguration);
        configurePens(liveConfiguration);
        makeDataFolder();
        initialiseRuntimeState();
        discardPendingAlarmHistory();
        plantOldDay();
        fake->clock.setLocal(2026, 3, 7, 23, 56, 30);
        ASSERT_TRUE(beginAcquisitionThread());
        log->startAtRing();

        store(acquisitionRequested, 1);
        runUntil(kStopPass - kPassMs);
        store(acquisitionRequested, 0);
        runUntil(kRunEnd);
        while (schedulerPass() == 1) {
        }
        while (pendingRowCount() > 0 && writerPass() > 0) {
        }
        // The window's next refresh saves what the midnight cleanup moved.
        takeOverStorageCleanup();
    }

    static void TearDownTestSuite() {
        for (int group = 0; group < kGroupCount; ++group) groupTriggerByte[group].store(0);
        log.reset();
        fake.reset();
        home.reset();
    }

    static int64_t now() { return stampMs(fake->clock.localTime()); }

    static void pass() {
        fake->clock.advanceMs(kPassMs);
        ++passes;
        groupTriggerByte[kRemoteGroup].store(inside(kRemoteOn, now()) ? 1 : 0);
        groupTriggerByte[kEventGroup].store(inside(kEventInputOn, now()) ? 1 : 0);
        acquisitionPass();
        log->collect();
        if (passes % 5 == 0) schedulerPass();
        if (passes % 3 == 0) writerPass();
    }

    static void runUntil(int64_t end) {
        while (now() < end) pass();
    }

    static std::string dayFile(const char* day, int group) {
        return std::string(dataFolder()) + "/" + day + "/GR" + std::to_string(group) + ".CSV";
    }

    // The samples of a group whose stamps fall inside `spans`.
    static std::vector<LoggedSample> samplesInside(int group, const std::vector<Span>& spans) {
        std::vector<LoggedSample> selected;
        for (const LoggedSample& sample : log->samplesOf(group)) {
            if (inside(spans, stampMs(sample.time))) selected.push_back(sample);
        }
        return selected;
    }

    // The two day files of the group hold exactly the rows of `recorded`,
    // each in the file of its own date, in order, after the header blocks.
    static ::testing::AssertionResult filesHold(int group,
                                                const std::vector<LoggedSample>& recorded) {
        std::map<std::string, std::vector<std::string>> rowsByDay;
        for (const LoggedSample& sample : recorded) {
            rowsByDay[test::dayFolderName(sample.time)].push_back(
                test::expectedRow(liveConfiguration, group, sample.time, sample.trigger,
                                  sample.values));
        }
        for (const char* day : kDays) {
            const std::vector<std::string>& expected = rowsByDay[day];
            test::DayFileContents file = test::readDayFile(dayFile(day, group), kTrendRowLength);
            std::string where = "GR" + std::to_string(group) + " of " + day;
            if (expected.empty()) {
                if (file.exists) return ::testing::AssertionFailure() << where << " exists";
                continue;
            }
            if (!file.exists) return ::testing::AssertionFailure() << where << " is missing";
            if (file.tags != test::expectedHeaderBlock(liveConfiguration, group, false) ||
                file.units != test::expectedHeaderBlock(liveConfiguration, group, true)) {
                return ::testing::AssertionFailure() << where << ": wrong header blocks";
            }
            if (file.strayBytes != 0) {
                return ::testing::AssertionFailure() << where << ": " << file.strayBytes
                                                     << " bytes after the last whole row";
            }
            for (size_t row = 0; row < expected.size() && row < file.rows.size(); ++row) {
                if (file.rows[row] != expected[row]) {
                    return ::testing::AssertionFailure()
                           << where << " row " << row << "\n  is       " << file.rows[row]
                           << "  expected " << expected[row];
                }
            }
            if (file.rows.size() != expected.size()) {
                return ::testing::AssertionFailure() << where << " has " << file.rows.size()
                                                     << " rows, expected " << expected.size();
            }
        }
        return ::testing::AssertionSuccess();
    }

    static constexpr int64_t kPassMs = 10;
    static inline long passes = 0;
    static inline std::unique_ptr<test::TempHome> home;
    static inline std::unique_ptr<test::ScopedFakeClock> fake;
    static inline std::unique_ptr<test::RecordLog> log;
};

int64_t cyclePeriodMs(int cycle) {
    static constexpr int64_t kPeriods[] = {500, 1000, 2000, 5000, 10000, 60000};
    return kPeriods[cycle];
}

std::vector<int64_t> stampsOf(const std::vector<LoggedSample>& samples) {
    std::vector<int64_t> stamps;
    for (const LoggedSample& sample : samples) stamps.push_back(stampMs(sample.time));
    return stamps;
}

TEST_F(DemoPipelineTest, AcquisitionWroteOneRecordPerHalfSecondAcrossMidnight) {
    const std::vector<AcquisitionRecord>& records = log->records();
    ASSERT_FALSE(records.empty());
    EXPECT_EQ(stampMs(records.front().time), at(7, 23, 56, 31));
    EXPECT_EQ(stampMs(records.back().time), kRunEnd);
    for (size_t index = 1; index < records.size(); ++index) {
        ASSERT_EQ(stampMs(records[index].time), stampMs(records[index - 1].time) + 500)
            << test::stampText(records[index].time);
    }
    for (const AcquisitionRecord& record : records) {
        int64_t time = stampMs(record.time);
        EXPECT_EQ(record.active, time < kStopPass ? 1 : 0) << test::stampText(record.time);
    }
    EXPECT_EQ(load(overrunCounter), 0);
    EXPECT_EQ(acquisitionSampleClock().restartsByJump(), 0);
    EXPECT_EQ(pendingRowCount(), 0u);
    EXPECT_EQ(droppedRowCount.load(), 0u);
}

TEST_F(DemoPipelineTest, NormalGroupsWriteEverySampleOfTheirGridOnce) {
    for (int group = 1; group <= 6; ++group) {
        SCOPED_TRACE("group " + std::to_string(group));
        int64_t period = cyclePeriodMs(kPlan[group].cycle);
        std::vector<int64_t> grid;
        for (int64_t time = (kFirstSample + period - 1) / period * period; time <= kLastSample;
             time += period) {
            grid.push_back(time);
        }
        std::vector<LoggedSample> samples = log->samplesOf(group);
        EXPECT_EQ(stampsOf(samples), grid);
        EXPECT_TRUE(filesHold(group, samples));
    }
}

TEST_F(DemoPipelineTest, DemoValuesSitWhereTheirPensPutThem) {
    // Pen k at (9k + 2) % of 0-100 with at most 1 % of noise; discrete pens
    // alternate between exactly 0 and 1.
    std::vector<LoggedSample> samples = log->samplesOf(1);
    ASSERT_FALSE(samples.empty());
    int discreteOn = 0;
    for (const LoggedSample& sample : samples) {
        for (int pen = 0; pen < 10; ++pen) {
            double centre = 9.0 * pen + 2.0;
            EXPECT_GE(sample.values[pen], centre - 1.0 - 1e-9);
            EXPECT_LE(sample.values[pen], centre + 0.9 + 1e-9);
        }
        double discrete = sample.values[10];
        EXPECT_TRUE(discrete == 0.0 || discrete == 1.0);
        discreteOn += discrete == 1.0 ? 1 : 0;
    }
    EXPECT_GT(discreteOn, 0);
    EXPECT_LT(discreteOn, static_cast<int>(samples.size()));
}

TEST_F(DemoPipelineTest, TriggeredAndTimedGroupsWriteTheirSpans) {
    std::vector<LoggedSample> remote = samplesInside(kRemoteGroup, kRemoteOn);
    EXPECT_EQ(remote.size(), 80u);  // two spans of 20 s at 0.5 s
    for (const LoggedSample& sample : log->samplesOf(kRemoteGroup)) {
        EXPECT_EQ(sample.trigger, inside(kRemoteOn, stampMs(sample.time)) ? 1 : 0);
    }
    EXPECT_TRUE(filesHold(kRemoteGroup, remote));

    std::vector<LoggedSample> event = samplesInside(kEventGroup, kEventSpans);
    EXPECT_EQ(event.size(), 45u);  // three spans of 5 + 10 samples
    EXPECT_TRUE(filesHold(kEventGroup, event));

    std::vector<LoggedSample> timed = samplesInside(kAutoGroup, kAutoSpan);
    EXPECT_EQ(timed.size(), 30u);  // one minute at 2 s, 15 samples on each day
    EXPECT_TRUE(filesHold(kAutoGroup, timed));

    EXPECT_FALSE(log->samplesOf(kSilentGroup).empty());
    EXPECT_TRUE(filesHold(kSilentGroup, {}));
}

// One alarm slot as the logged values must have driven it.
struct ExpectedAlarm {
    int group;
    int pen;
    bool upper;
    double setpoint;
    double deadband;
    bool active = false;

    // The event text a new value causes, or nullptr.
    const char* take(double value) {
        bool beyond = upper ? value > setpoint : value < setpoint;
        bool back = upper ? value < setpoint - deadband : value > setpoint + deadband;
        if (active ? !back : !beyond) return nullptr;
        active = !active;
        if (upper) return active ? "Upper alarm" : "Upper alarm clear";
        return active ? "Lower alarm" : "Lower alarm clear";
    }
};

TEST_F(DemoPipelineTest, AlarmHistoryHoldsEveryCrossingOfTheSetpoints) {
    std::vector<ExpectedAlarm> alarms = {{kAlarmGroup, 0, true, 1.95, 0.5},
                                         {kAlarmGroup, 3, true, 20, 0},
                                         {kAlarmGroup, 5, false, 60, 0},
                                         {kSilentGroup, 1, false, 10.45, 1.0}};
    std::vector<std::string> expected;
    int crossingsOfNoisyPen = 0;
    for (const AcquisitionRecord& record : log->records()) {
        for (ExpectedAlarm& alarm : alarms) {
            const GroupBlock& block = record.groups[alarm.group - 1];
            if (block.stored != 1) continue;
            const char* text = alarm.take(block.values[alarm.pen]);
            if (text == nullptr) continue;
            if (alarm.pen == 0) ++crossingsOfNoisyPen;
            expected.push_back(
                test::expectedAlarmRecord(alarm.group, alarm.pen, record.time, text));
        }
    }
    ASSERT_GT(crossingsOfNoisyPen, 10);
    EXPECT_EQ(test::fixedRecords(alarmHistoryPath(), kAlarmRecordLength), expected);
    EXPECT_EQ(pendingAlarmHistoryCount(), 0);
}

TEST_F(DemoPipelineTest, MidnightCleanupRemovesOnlyDaysBeyondTheStoragePeriod) {
    std::vector<std::string> days = test::dayFolderNames(dataFolder());
    EXPECT_EQ(days, (std::vector<std::string>{"20260307", "20260308"}));
    ASSERT_TRUE(test::fileExists(settingsFilePath()));  // the window saved the new bound
    ConfigurationRecord saved{};
    loadSettingsFrom(settingsFilePath(), saved, 1);
    const int32_t walkedBackTo[3] = {2026, 3, 1};
    EXPECT_TRUE(std::equal(std::begin(walkedBackTo), std::end(walkedBackTo),
                           saved.oldestKeptDate));
}

}  // namespace
}  // namespace kvt
