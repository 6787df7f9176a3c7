#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <iterator>
#include <string>
#include <thread>

#include "RecordingFixture.h"
#include "core/ConfigurationRecord.h"
#include "core/Defaults.h"
#include "core/PublishedConfiguration.h"
#include "core/RunFlags.h"
#include "core/SettingsFile.h"
#include "display/SettingsTakeover.h"
#include "journal/Journal.h"
#include "platform/Paths.h"
#include "recording/DiskProbe.h"
#include "recording/StorageCleanup.h"
#include "support/CapturedStderr.h"
#include "support/Eventually.h"
#include "support/FakeClock.h"
#include "support/ProgramRun.h"
#include "support/ScopedTimeZone.h"
#include "support/TempHome.h"

namespace kvt {
namespace {

using test::fileExists;
using test::writeFile;

int64_t localNoon(int year, int month, int day) {
    return test::localEpochSeconds(year, month, day, 12, 0, 0);
}

std::string dayFolder(const std::string& data, int year, int month, int day) {
    char name[16];
    std::snprintf(name, sizeof name, "%04d%02d%02d", year, month, day);
    return data + "/" + name;
}

void makeDay(const std::string& data, int year, int month, int day) {
    std::string folder = dayFolder(data, year, month, day);
    mkdir(folder.c_str(), 0777);
    writeFile(folder + "/GR1.CSV", "x");
    writeFile(folder + "/GR10.CSV", "x");
}

class StorageCleanupTest : public ::testing::Test {
protected:
    void SetUp() override {
        makeDataFolder();
        data = dataFolder();
        fillDefaults(record, 1, {2026, 2, 25});
    }
    test::TempHome home;
    std::string data;
    ConfigurationRecord record{};
};

TEST_F(StorageCleanupTest, DeletesFromThePeriodBackToTheOldestKeptDate) {
    record.storagePeriodDays = 30;
    for (int day = 20; day <= 28; ++day) makeDay(data, 2026, 2, day);
    for (int day = 1; day <= 31; ++day) makeDay(data, 2026, 3, day);

    int handled = cleanupDayFolders(record, data.c_str(), localNoon(2026, 3, 31));
    EXPECT_EQ(handled, 5);  // 1 March back to 25 February
    EXPECT_FALSE(fileExists(dayFolder(data, 2026, 3, 1)));
    EXPECT_FALSE(fileExists(dayFolder(data, 2026, 2, 25)));
    EXPECT_TRUE(fileExists(dayFolder(data, 2026, 2, 24)));
    EXPECT_TRUE(fileExists(dayFolder(data, 2026, 3, 2)));
    EXPECT_EQ(record.oldestKeptDate[0], 2026);
    EXPECT_EQ(record.oldestKeptDate[1], 2);
    EXPECT_EQ(record.oldestKeptDate[2], 25);
}

// 999 days means keep for ever. A settings file cut short before the
// period leaves it 0; such a period must not take today's recordings with it.
TEST_F(StorageCleanupTest, KeepForeverAndPeriodsOutsideTheValidRangeDeleteNothing) {
    record.oldestKeptDate[0] = 2000;
    makeDay(data, 2026, 3, 31);
    makeDay(data, 2026, 3, 30);
    for (int period : {999, 0, -5, 1000}) {
        record.storagePeriodDays = period;
        EXPECT_EQ(cleanupDayFolders(record, data.c_str(), localNoon(2026, 3, 31)), 0) << period;
    }
    EXPECT_TRUE(fileExists(dayFolder(data, 2026, 3, 31) + "/GR1.CSV"));
    EXPECT_TRUE(fileExists(dayFolder(data, 2026, 3, 30) + "/GR1.CSV"));
    EXPECT_EQ(record.oldestKeptDate[0], 2000);
}

TEST_F(StorageCleanupTest, ForeignFilesKeepTheirFolder) {
    record.storagePeriodDays = 1;
    record.oldestKeptDate[1] = 3;
    record.oldestKeptDate[2] = 30;
    makeDay(data, 2026, 3, 30);
    writeFile(dayFolder(data, 2026, 3, 30) + "/notes.txt", "keep me");
    cleanupDayFolders(record, data.c_str(), localNoon(2026, 3, 31));
    EXPECT_TRUE(fileExists(dayFolder(data, 2026, 3, 30) + "/notes.txt"));
    EXPECT_FALSE(fileExists(dayFolder(data, 2026, 3, 30) + "/GR1.CSV"));
}

TEST_F(StorageCleanupTest, WalkIsBoundedTo999Days) {
    record.storagePeriodDays = 1;
    record.oldestKeptDate[0] = 2000;
    EXPECT_EQ(cleanupDayFolders(record, data.c_str(), localNoon(2026, 3, 31)), 999);
}

// Days are counted by the calendar. Across the 23-hour day of the spring
// change a step of 86,400 s jumped over a date, whose folder then stayed
// for ever; across the 25-hour autumn day it reached a day inside the
// period. An oldest kept date after the period's end deletes nothing.
TEST_F(StorageCleanupTest, DaysAreWalkedDateByDateDownToTheOldestKeptDate) {
    test::ScopedTimeZone centralEurope(test::kCentralEuropeTz);
    struct Case {
        const char* what;
        int64_t now;
        int period;
        CalendarDate oldest;
        CalendarDate firstKept;  // the day after the last one deleted
        int handled;
    };
    const Case cases[] = {
        {"spring, just after midnight", test::localEpochSeconds(2026, 3, 31, 0, 30, 0), 1,
         {2026, 3, 27}, {2026, 3, 31}, 4},
        {"spring, late evening", test::localEpochSeconds(2026, 3, 30, 23, 30, 0), 1,
         {2026, 3, 27}, {2026, 3, 30}, 3},
        {"autumn, late evening", test::localEpochSeconds(2026, 10, 26, 23, 30, 0), 2,
         {2026, 10, 23}, {2026, 10, 25}, 2},
        {"autumn, just after midnight", test::localEpochSeconds(2026, 10, 27, 0, 30, 0), 2,
         {2026, 10, 23}, {2026, 10, 26}, 3},
        {"oldest kept date after the period", localNoon(2026, 3, 31), 30, {2026, 3, 5},
         {2026, 3, 5}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        int month = c.oldest.month;
        for (int day = 1; day <= 31; ++day) makeDay(data, 2026, month, day);
        record.storagePeriodDays = c.period;
        record.oldestKeptDate[0] = c.oldest.year;
        record.oldestKeptDate[1] = c.oldest.month;
        record.oldestKeptDate[2] = c.oldest.day;
        EXPECT_EQ(cleanupDayFolders(record, data.c_str(), c.now), c.handled);
        for (int day = 1; day <= 31; ++day) {
            bool deleted = day >= c.oldest.day && day < c.firstKept.day;
            EXPECT_EQ(fileExists(dayFolder(data, 2026, month, day)), !deleted) << day;
        }
        EXPECT_EQ(record.oldestKeptDate[2], c.oldest.day);
    }
}

// A stored date that is no date, or lies after today, comes from a damaged
// file: the cleanup handles the day the period ends on and goes on from
// there, instead of stopping for good or walking back 999 days.
TEST_F(StorageCleanupTest, ADamagedOldestKeptDateHandlesTheFirstDayOnly) {
    const int32_t damaged[][3] = {{0, 0, 0}, {2026, 13, 1}, {2026, 2, 0}, {2031, 1, 1}};
    for (const auto& date : damaged) {
        SCOPED_TRACE(std::to_string(date[0]) + "-" + std::to_string(date[1]));
        for (int day = 1; day <= 31; ++day) makeDay(data, 2026, 3, day);
        record.storagePeriodDays = 30;
        std::copy(std::begin(date), std::end(date), record.oldestKeptDate);
        EXPECT_EQ(cleanupDayFolders(record, data.c_str(), localNoon(2026, 3, 31)), 1);
        EXPECT_FALSE(fileExists(dayFolder(data, 2026, 3, 1)));
        EXPECT_TRUE(fileExists(dayFolder(data, 2026, 3, 2)));
        EXPECT_EQ(record.oldestKeptDate[0], 2026);
        EXPECT_EQ(record.oldestKeptDate[1], 3);
        EXPECT_EQ(record.oldestKeptDate[2], 1);
        // The next midnight goes on with the next day.
        EXPECT_EQ(cleanupDayFolders(record, data.c_str(), localNoon(2026, 4, 1)), 2);
        EXPECT_FALSE(fileExists(dayFolder(data, 2026, 3, 2)));
    }
}

TEST_F(StorageCleanupTest, RunningOnTheLiveConfigurationSavesTheSettings) {
    test::ScopedFakeClock fake;
    fake.clock.setLocal(2026, 3, 31, 0, 0, 0);
    fillDefaults(liveConfiguration, 1, {2026, 3, 1});
    liveConfiguration.storagePeriodDays = 30;
    EXPECT_EQ(runStorageCleanup(), 1);
    ConfigurationRecord saved{};
    loadSettingsFrom(settingsFilePath(), saved, 1);
    EXPECT_EQ(saved.storagePeriodDays, 30);
    EXPECT_EQ(saved.oldestKeptDate[2], 1);
}

// The scheduler deletes at midnight on its own copy of the configuration;
// the window alone writes the advanced date into the live configuration and
// the settings file.
TEST_F(StorageCleanupTest, MidnightCleanupOfTheSchedulerIsSavedByTheWindow) {
    test::ScopedFakeClock fake;
    fake.clock.setLocal(2026, 3, 31, 0, 0, 0);
    fillDefaults(liveConfiguration, 1, {2000, 1, 1});
    liveConfiguration.storagePeriodDays = 1;  // 30 March back, 999 days at most
    makeDay(data, 2026, 3, 30);
    clearAcquisitionRing();
    resetRecordingBuffers();
    publishLiveConfiguration();

    test::pushRecord(test::makeRecord(test::makeTime(2026, 3, 31, 0, 0, 0), 0));
    std::thread scheduler(recordingSchedulerMain);
    EXPECT_TRUE(test::eventually([] {
        return acquisitionRing.readIndex.load() == acquisitionRing.writeIndex.load();
    }));
    store(exitRequested, 1);
    scheduler.join();
    store(exitRequested, 0);
    EXPECT_FALSE(fileExists(dayFolder(data, 2026, 3, 30)));
    EXPECT_EQ(liveConfiguration.oldestKeptDate[0], 2000);
    EXPECT_FALSE(fileExists(settingsFilePath()));

    using namespace std::chrono;
    year_month_day earliest{sys_days{2026y / March / 30} - days{998}};
    const int32_t expected[3] = {static_cast<int>(earliest.year()),
                                 static_cast<int>(static_cast<unsigned>(earliest.month())),
                                 static_cast<int>(static_cast<unsigned>(earliest.day()))};
    uint32_t generation = publishedConfigurationGeneration();
    EXPECT_TRUE(takeOverStorageCleanup());
    EXPECT_TRUE(std::equal(expected, expected + 3, liveConfiguration.oldestKeptDate));
    EXPECT_TRUE(std::equal(expected, expected + 3, workingConfiguration.oldestKeptDate));
    EXPECT_GT(publishedConfigurationGeneration(), generation);
    ConfigurationRecord saved{};
    loadSettingsFrom(settingsFilePath(), saved, 1);
    EXPECT_TRUE(std::equal(expected, expected + 3, saved.oldestKeptDate));
    EXPECT_FALSE(takeOverStorageCleanup());  // handed over once
}

TEST(DiskProbe, LowBelowFiveHundredMebibytesAndForAMissingFolder) {
    EXPECT_EQ(diskLowFromFreeBytes(499ull * 1024 * 1024), 1);
    EXPECT_EQ(diskLowFromFreeBytes(524287999ull), 1);
    EXPECT_EQ(diskLowFromFreeBytes(500ull * 1024 * 1024), 0);
    EXPECT_EQ(probeDiskLow("/nonexistent/kvt-folder"), 1);
}

// The data folder on a small file system of its own (a tmpfs in a private
// mount namespace), which then grows: the journal tells each change once.
TEST(DiskProbe, ALowDiskAndItsEndAreJournaledOnceEach) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to mount a file system";
    test::TempHome home;
    test::CapturedStderr journal;
    constexpr int kNoNamespace = 77;
    pid_t child = fork();
    if (child == 0) {
        const char* folder = home.path().c_str();
        if (unshare(CLONE_NEWNS) != 0 || mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) ||
            mount("tmpfs", folder, "tmpfs", 0, "size=64m") != 0) {
            _exit(kNoNamespace);
        }
        makeDataFolder();
        discardJournal();
        store(diskLow, 0);
        updateDiskLowFlag();
        updateDiskLowFlag();
        mount("tmpfs", folder, "tmpfs", MS_REMOUNT, "size=1g");
        updateDiskLowFlag();
        updateDiskLowFlag();
        flushJournal();
        _exit(0);
    }
    ASSERT_GT(child, 0);
    int status = test::awaitExit(child, 20000);
    if (status == kNoNamespace) GTEST_SKIP() << "no private mount namespace here";
    ASSERT_EQ(status, 0);
    std::string text = journal.text();
    std::string folder = " MiB free for " + home.dataFolder() + "\n";
    EXPECT_EQ(test::linesContaining(text, "<4>disk space low: "), 1) << text;
    EXPECT_EQ(test::linesContaining(text, "<5>disk space back: "), 1) << text;
    EXPECT_EQ(test::linesContaining(text, folder.substr(0, folder.size() - 1)), 2) << text;
}

}  // namespace
}  // namespace kvt
