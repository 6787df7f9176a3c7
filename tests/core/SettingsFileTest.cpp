#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <map>
#include <string>

#include "core/ConfigurationRecord.h"
#include "core/Defaults.h"
#include "core/RunFlags.h"
#include "core/SettingsFile.h"
#include "journal/Journal.h"
#include "platform/Paths.h"
#include "support/CapturedStderr.h"
#include "support/FakeClock.h"
#include "support/TempHome.h"

namespace kvt {
namespace {

using test::readFile;
using test::ScopedFakeClock;
using test::TempHome;
using test::writeFile;

std::string recordBytes(const ConfigurationRecord& record) {
    return std::string(reinterpret_cast<const char*>(&record), sizeof record);
}

class SettingsFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::memset(&liveConfiguration, 0, sizeof liveConfiguration);
        languageFlag = 1;
        fake.clock.setLocal(2026, 3, 1, 9, 30, 0);
    }
    void TearDown() override { languageFlag = 1; }

    TempHome home;
    ScopedFakeClock fake;
};

TEST_F(SettingsFileTest, FirstStartWritesTheDefaultRecord) {
    loadSettings();
    ASSERT_EQ(saveSettings(), 0);
    std::string bytes = readFile(settingsFilePath());
    ASSERT_EQ(bytes.size(), 51776u);
    EXPECT_EQ(bytes.substr(0, 6), "1.01  ");
    const auto& record = liveConfiguration;
    EXPECT_EQ(record.nodeEnabled[0], 1);
    EXPECT_EQ(record.nodeEnabled[1], 0);
    EXPECT_EQ(record.nodeType[0], 14);
    EXPECT_EQ(record.storagePeriodDays, 999);
    EXPECT_EQ(record.ipAddress[0], 200);
    EXPECT_EQ(record.highSpeedRecording.preTriggerCount, 1200);
    // 1 March 2026 at 09:30: yesterday is 28 February.
    EXPECT_EQ(record.oldestKeptDate[0], 2026);
    EXPECT_EQ(record.oldestKeptDate[1], 2);
    EXPECT_EQ(record.oldestKeptDate[2], 28);
    for (int pen = 0; pen < 12; ++pen) {
        EXPECT_EQ(record.pen(1, pen).enabled, 1);
        EXPECT_EQ(record.pen(2, pen).enabled, 0);
        EXPECT_EQ(record.pen(0, pen).enabled, pen < 8 ? 1 : 0);
    }
    EXPECT_EQ(bytes, recordBytes(record));
}

TEST_F(SettingsFileTest, DefaultPenContents) {
    loadSettings();
    const PenSettings& pen = liveConfiguration.pen(3, 11);
    EXPECT_STREQ(pen.tag, "Group3 Pen12");
    EXPECT_STREQ(pen.unit, "mA");
    EXPECT_EQ(pen.node, 3);
    EXPECT_EQ(pen.channel, 12);
    EXPECT_EQ(pen.inputHigh, 2e9);
    EXPECT_STREQ(pen.inputHighText, "2e9");
    EXPECT_STREQ(pen.scaleLowText, "0");
    EXPECT_STREQ(pen.plotHighText, "100.0");
    EXPECT_EQ(pen.decimalPlaces, 2);
    EXPECT_EQ(pen.logLowExponent, -1);
    EXPECT_STREQ(pen.offText, "OFF");
    EXPECT_EQ(pen.penColour, rgb(204, 102, 204));
    EXPECT_EQ(pen.lowAlarmColour, rgb(255, 255, 0));
    EXPECT_EQ(pen.alarmLimitHigh, kNoData);
    EXPECT_EQ(pen.deadbandLow, kNoData);
    EXPECT_EQ(pen.discreteOutputChannel[1], 1);
    EXPECT_EQ(liveConfiguration.pen(0, 5).node, 1);
    EXPECT_EQ(liveConfiguration.group(10).autoStartYear, 2007);
    EXPECT_EQ(liveConfiguration.group(10).autoDurationMinutes, 1);
    EXPECT_EQ(liveConfiguration.group(10).triggerNode, 1);

    // Group 0 pens 8-11 stay all zero.
    const PenSettings& unused = liveConfiguration.pen(0, 9);
    const auto* bytes = reinterpret_cast<const unsigned char*>(&unused);
    for (size_t index = 0; index < sizeof unused; ++index) ASSERT_EQ(bytes[index], 0) << index;
}

TEST_F(SettingsFileTest, JapaneseTagsAreShiftJisWithFullWidthDigitsCutTo16Bytes) {
    languageFlag = 0;
    loadSettings();
    // "１グループ１番"
    EXPECT_STREQ(liveConfiguration.pen(1, 0).tag,
                 "\x82\x50\x83\x4F\x83\x8B\x81\x5B\x83\x76\x82\x50\x94\xD4");
    // "１０グループ１２番" is 18 bytes; the stored tag is its first 16.
    EXPECT_STREQ(liveConfiguration.pen(10, 11).tag,
                 "\x82\x50\x82\x4F\x83\x4F\x83\x8B\x81\x5B\x83\x76\x82\x50\x82\x51");
    EXPECT_STREQ(liveConfiguration.pen(0, 7).tag,
                 "\x82\x4F\x83\x4F\x83\x8B\x81\x5B\x83\x76\x82\x57\x94\xD4");
}

TEST_F(SettingsFileTest, VersionMarkDecidesWhetherTheFileIsKept) {
    ConfigurationRecord stored{};
    fillDefaults(stored, 1, {2020, 1, 1});
    stored.storagePeriodDays = 30;

    for (const char* mark : {"1.01", "1.02", "2.00"}) {
        std::memcpy(stored.version, mark, 4);
        std::memcpy(stored.version + 4, "xx", 2);
        makeDataFolder();
        writeFile(settingsFilePath(), recordBytes(stored));
        loadSettings();
        EXPECT_EQ(liveConfiguration.storagePeriodDays, 30) << mark;
        EXPECT_EQ(std::string(liveConfiguration.version, 6), "1.01  ") << mark;
    }

    std::memcpy(stored.version, "1.00", 4);
    writeFile(settingsFilePath(), recordBytes(stored));
    loadSettings();
    EXPECT_EQ(liveConfiguration.storagePeriodDays, 999);
    EXPECT_EQ(liveConfiguration.oldestKeptDate[1], 2);
}

TEST_F(SettingsFileTest, ShortFileFillsTheStartAndLeavesTheTail) {
    ConfigurationRecord stored{};
    fillDefaults(stored, 1, {2020, 1, 1});
    stored.operatingMode = 2;
    makeDataFolder();
    writeFile(settingsFilePath(), recordBytes(stored).substr(0, 100));
    loadSettings();
    EXPECT_EQ(liveConfiguration.operatingMode, 2);
    EXPECT_EQ(liveConfiguration.nodeType[0], 0);  // tail of the record left zero
    EXPECT_EQ(liveConfiguration.pen(1, 0).enabled, 0);
}

TEST_F(SettingsFileTest, LongFileIsReadForItsFirstRecordOnly) {
    ConfigurationRecord stored{};
    fillDefaults(stored, 1, {2020, 1, 1});
    stored.commPort = 5;
    makeDataFolder();
    writeFile(settingsFilePath(), recordBytes(stored) + std::string(5000, '\x7f'));
    loadSettings();
    EXPECT_EQ(liveConfiguration.commPort, 5);
    ASSERT_EQ(saveSettings(), 0);
    EXPECT_EQ(readFile(settingsFilePath()).size(), 51776u);
}

TEST_F(SettingsFileTest, EmptyOrGarbageFilesNeverStopLoading) {
    makeDataFolder();
    writeFile(settingsFilePath(), "");
    loadSettings();
    EXPECT_EQ(liveConfiguration.storagePeriodDays, 999);

    // Garbage with a mark below "1.01" is replaced by defaults.
    writeFile(settingsFilePath(), std::string(51776, '\x01'));
    loadSettings();
    EXPECT_EQ(liveConfiguration.storagePeriodDays, 999);
    EXPECT_EQ(liveConfiguration.pen(1, 0).enabled, 1);
}

TEST_F(SettingsFileTest, UnwritableDataFolderKeepsSettingsInMemory) {
    if (geteuid() == 0) {
        // root writes through permission bits; use a path that is a file instead.
        writeFile(home.dataFolder(), "not a folder");
    } else {
        chmod(home.path().c_str(), 0500);
    }
    loadSettings();
    EXPECT_EQ(liveConfiguration.storagePeriodDays, 999);
    EXPECT_EQ(saveSettings(), -1);
}

// The disk fills up during a save: the file keeps the settings it had, and
// nothing half-written is left beside it.
TEST_F(SettingsFileTest, FailedSaveLeavesThePreviousFileWhole) {
    loadSettings();
    ASSERT_EQ(saveSettings(), 0);
    std::string before = readFile(settingsFilePath());
    liveConfiguration.storagePeriodDays = 30;

    auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit previous{};
    getrlimit(RLIMIT_FSIZE, &previous);
    rlimit limited = previous;
    limited.rlim_cur = 4096;  // room for only part of the record
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    int saved = saveSettings();
    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_EQ(saved, -1);
    std::string after = readFile(settingsFilePath());
    EXPECT_EQ(after.size(), before.size());
    EXPECT_TRUE(after == before) << "the settings file changed";
    EXPECT_EQ(test::entriesIn(home.dataFolder()), 1);
    ASSERT_EQ(saveSettings(), 0);
    ConfigurationRecord reread{};
    loadSettingsFrom(settingsFilePath(), reread, 1);
    EXPECT_EQ(reread.storagePeriodDays, 30);
}

// The backups of damaged settings files in the data folder, by name.
std::map<std::string, std::string> settingsBackups(const std::string& folder) {
    std::map<std::string, std::string> backups;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        std::string name = entry.path().filename().string();
        if (name.rfind("KVT936P.LPPU.damaged-", 0) == 0) backups[name] = readFile(entry.path());
    }
    return backups;
}

// Start-up loads the file and writes it back at once; whatever it changes
// that the program did not write itself is kept beside it first.
TEST_F(SettingsFileTest, StartUpKeepsTheOriginalOfEveryFileItWouldChange) {
    ConfigurationRecord genuine{};
    fillDefaults(genuine, 1, {2026, 2, 1});
    genuine.storagePeriodDays = 30;
    auto withMark = [&](const char* mark) {
        std::string bytes = recordBytes(genuine);
        bytes.replace(0, 4, mark);
        return bytes;
    };
    auto withField = [&](auto change) {
        ConfigurationRecord record = genuine;
        change(record);
        return recordBytes(record);
    };
    struct Case {
        const char* what;
        std::string bytes;
        bool kept;
    };
    const Case cases[] = {
        {"genuine record", recordBytes(genuine), false},
        {"empty file", "", false},
        {"0xFF bytes", std::string(51776, '\xFF'), true},
        {"random bytes above the mark", "2" + std::string(51775, '\x5A'), true},
        {"short record", recordBytes(genuine).substr(0, 700), true},
        {"record with a tail", recordBytes(genuine) + "tail", true},
        {"older mark", withMark("1.00"), true},
        {"newer mark", withMark("1.02"), true},
        {"storing mode 9", withField([](ConfigurationRecord& r) { r.group(4).storingMode = 9; }),
         true},
        {"huge auto duration",
         withField([](ConfigurationRecord& r) { r.group(2).autoDurationHours = 40000000; }), true},
    };
    const std::string backupName = "KVT936P.LPPU.damaged-20260301-093000";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove_all(home.dataFolder());
        makeDataFolder();
        writeFile(settingsFilePath(), c.bytes);
        loadSettings();
        ASSERT_EQ(saveSettings(), 0);
        EXPECT_EQ(readFile(settingsFilePath()).size(), 51776u);
        std::map<std::string, std::string> backups = settingsBackups(home.dataFolder());
        if (!c.kept) {
            EXPECT_TRUE(backups.empty());
            continue;
        }
        ASSERT_EQ(backups.size(), 1u);
        EXPECT_EQ(backups.begin()->first, backupName);
        EXPECT_TRUE(backups.begin()->second == c.bytes) << "the backup is not the original";
    }
    // The load rules themselves are unchanged: a file with an accepted mark
    // is loaded as it is, damage and all.
    EXPECT_EQ(liveConfiguration.group(2).autoDurationHours, 40000000);
    EXPECT_EQ(liveConfiguration.storagePeriodDays, 30);
}

TEST_F(SettingsFileTest, ALaterStartNeverOverwritesABackup) {
    makeDataFolder();
    discardJournal();
    test::CapturedStderr journal;
    std::string first(51776, '\xFF');
    std::string second = "9" + std::string(51775, '\x00');
    writeFile(settingsFilePath(), first);
    loadSettings();
    // The file stays damaged (say the save failed), and the next start comes
    // within the same second.
    writeFile(settingsFilePath(), second);
    loadSettings();
    ASSERT_EQ(saveSettings(), 0);
    loadSettings();  // now a plausible file: nothing more to keep
    std::map<std::string, std::string> backups = settingsBackups(home.dataFolder());
    ASSERT_EQ(backups.size(), 2u);
    EXPECT_TRUE(backups["KVT936P.LPPU.damaged-20260301-093000"] == first);
    EXPECT_TRUE(backups["KVT936P.LPPU.damaged-20260301-093000-2"] == second);
    flushJournal();
    std::string kept = std::string("<4>settings file ") + settingsFilePath() +
                       " was damaged; kept as " + settingsFilePath() +
                       ".damaged-20260301-093000";
    EXPECT_EQ(journal.text(), kept + "\n" + kept + "-2\n");
}

TEST(Yesterday, CrossesMonthAndYearBoundaries) {
    ScopedFakeClock fake;
    fake.clock.setLocal(2027, 1, 1, 0, 0, 5);
    CalendarDate date = yesterday();
    EXPECT_EQ(date.year, 2026);
    EXPECT_EQ(date.month, 12);
    EXPECT_EQ(date.day, 31);
    fake.clock.setLocal(2028, 3, 1, 23, 59, 59);
    date = yesterday();
    EXPECT_EQ(date.month, 2);
    EXPECT_EQ(date.day, 29);
    fake.clock.setLocal(2026, 5, 1, 12, 0, 0);
    date = yesterday();
    EXPECT_EQ(date.month, 4);
    EXPECT_EQ(date.day, 30);
}

}  // namespace
}  // namespace kvt
