// Links (or another account's file) planted where a day folder or a day
// file belongs: the recorder must refuse to write there, and must neither
// append to, cut short nor delete the file of another that they lead to.
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "core/ConfigurationRecord.h"
#include "core/Defaults.h"
#include "platform/Paths.h"
#include "recording/CsvRow.h"
#include "recording/DayFile.h"
#include "recording/StorageCleanup.h"
#include "support/FakeClock.h"
#include "support/TempHome.h"

namespace kvt {
namespace {

const SystemTime kNoon = test::makeTime(2026, 3, 7, 12, 0, 0);
// Headers and a piece of a row: a torn tail that a day file would lose.
const std::string kVictimBytes = std::string(kDayFileHeaderSize, 'h') + "a torn tail";

struct Plant {
    const char* name;
    // Puts the trap into the data folder, leading to the victim's file or folder.
    bool (*plant)(const std::string& dayFolder, const std::string& victimFolder);
    // What the recorder does there; true when its own result is as it should
    // be (a row refused, a cleanup done).
    bool (*use)();
};

void PrintTo(const Plant& plant, std::ostream* os) { *os << plant.name; }

bool appendRefused() {
    char row[kMaxRowLength] = {};
    return !appendDayFileRow(liveConfiguration, 1, kNoon, row, kTrendRowLength);
}

bool cleanUpTheDay() {
    ConfigurationRecord& record = liveConfiguration;
    record.storagePeriodDays = 2;
    record.oldestKeptDate[0] = 2026, record.oldestKeptDate[1] = 3, record.oldestKeptDate[2] = 7;
    return cleanupDayFolders(record, dataFolder(), test::localEpochSeconds(2026, 3, 9, 12, 0, 0)) >
           0;
}

class PlantedInTheDataFolder : public ::testing::TestWithParam<Plant> {
protected:
    void SetUp() override {
        fillDefaults(liveConfiguration, 1, {2026, 1, 1});
        makeDataFolder();
        ASSERT_EQ(mkdir(victimFolder.c_str(), 0777), 0);
        test::writeFile(victimFile, kVictimBytes);
    }

    test::TempHome home;
    std::string dayFolder = home.dataFolder() + "/20260307";
    std::string victimFolder = home.path() + "/victim";
    std::string victimFile = victimFolder + "/GR1.CSV";
};

TEST_P(PlantedInTheDataFolder, LeavesTheVictimUntouched) {
    if (!GetParam().plant(dayFolder, victimFolder)) GTEST_SKIP() << "needs root and 'nobody'";
    EXPECT_TRUE(GetParam().use());
    EXPECT_EQ(test::readFile(victimFile), kVictimBytes);
}

INSTANTIATE_TEST_SUITE_P(
    Traps, PlantedInTheDataFolder,
    ::testing::Values(
        Plant{"DayFileLinkedToAFileElsewhere",
              [](const std::string& day, const std::string& victim) {
                  return mkdir(day.c_str(), 0777) == 0 &&
                         symlink((victim + "/GR1.CSV").c_str(), (day + "/GR1.CSV").c_str()) == 0;
              },
              appendRefused},
        Plant{"DayFolderLinkedToAFolderElsewhere",
              [](const std::string& day, const std::string& victim) {
                  return symlink(victim.c_str(), day.c_str()) == 0;
              },
              appendRefused},
        Plant{"DayFolderLinkedAtCleanup",
              [](const std::string& day, const std::string& victim) {
                  return symlink(victim.c_str(), day.c_str()) == 0;
              },
              [] { return cleanUpTheDay(); }},
        // The victim's own file moved in (by root, say): not the recorder's to cut.
        Plant{"AnotherAccountsDayFile",
              [](const std::string& day, const std::string& victim) {
                  const passwd* other = getpwnam("nobody");
                  std::string file = victim + "/GR1.CSV";
                  return geteuid() == 0 && other != nullptr && mkdir(day.c_str(), 0777) == 0 &&
                         chown(file.c_str(), other->pw_uid, other->pw_gid) == 0 &&
                         rename(file.c_str(), (day + "/GR1.CSV").c_str()) == 0 &&
                         link((day + "/GR1.CSV").c_str(), file.c_str()) == 0;
              },
              appendRefused}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kvt
