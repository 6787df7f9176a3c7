// Links (or another account's file) planted where a day folder or day file
// belongs: the recorder refuses to write there, and neither appends to,
// cuts short nor deletes the file they lead to.
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "core/Defaults.h"
#include "platform/Paths.h"
#include "recording/CsvRow.h"
#include "recording/DayFile.h"
#include "recording/StorageCleanup.h"
#include "support/FakeClock.h"
#include "support/TempHome.h"

namespace kvt {
namespace {

const std::string kTornFile = std::string(kDayFileHeaderSize, 'h') + "a torn tail";

bool appendRefused() {
    char row[kMaxRowLength] = {};
    SystemTime noon = test::makeTime(2026, 3, 7, 12, 0, 0);
    return !appendDayFileRow(liveConfiguration, 1, noon, row, kTrendRowLength);
}

bool cleanedUp() {
    ConfigurationRecord& record = liveConfiguration;
    record.storagePeriodDays = 2;
    record.oldestKeptDate[0] = 2026, record.oldestKeptDate[1] = 3, record.oldestKeptDate[2] = 7;
    return cleanupDayFolders(record, dataFolder(), test::localEpochSeconds(2026, 3, 9, 0, 0, 0)) > 0;
}

struct Plant {
    const char* name;
    // Puts the trap at `day` (the day folder), leading to `victim` (a folder
    // holding GR1.CSV); false when it cannot be made here.
    bool (*plant)(const std::string& day, const std::string& victim);
    bool (*recorderDidRight)();
};

void PrintTo(const Plant& plant, std::ostream* os) { *os << plant.name; }

bool linkDayFolder(const std::string& day, const std::string& victim) {
    return symlink(victim.c_str(), day.c_str()) == 0;
}

class PlantedInTheDataFolder : public ::testing::TestWithParam<Plant> {
protected:
    test::TempHome home;
};

TEST_P(PlantedInTheDataFolder, LeavesTheFileItLeadsToUntouched) {
    fillDefaults(liveConfiguration, 1, {2026, 1, 1});
    makeDataFolder();
    std::string victim = home.path() + "/victim";
    ASSERT_EQ(mkdir(victim.c_str(), 0777), 0);
    test::writeFile(victim + "/GR1.CSV", kTornFile);
    if (!GetParam().plant(home.dataFolder() + "/20260307", victim)) GTEST_SKIP() << "needs root";
    EXPECT_TRUE(GetParam().recorderDidRight());
    EXPECT_EQ(test::readFile(victim + "/GR1.CSV"), kTornFile);
}

INSTANTIATE_TEST_SUITE_P(
    Traps, PlantedInTheDataFolder,
    ::testing::Values(
        Plant{"DayFileLinked",
              [](const std::string& day, const std::string& victim) {
                  return mkdir(day.c_str(), 0777) == 0 &&
                         symlink((victim + "/GR1.CSV").c_str(), (day + "/GR1.CSV").c_str()) == 0;
              },
              appendRefused},
        Plant{"DayFolderLinked", linkDayFolder, appendRefused},
        Plant{"DayFolderLinkedAtCleanup", linkDayFolder, cleanedUp},
        Plant{"AnotherAccountsDayFile",
              [](const std::string& day, const std::string& victim) {
                  const passwd* other = getpwnam("nobody");
                  return geteuid() == 0 && other != nullptr && mkdir(day.c_str(), 0777) == 0 &&
                         chown((victim + "/GR1.CSV").c_str(), other->pw_uid, 0) == 0 &&
                         link((victim + "/GR1.CSV").c_str(), (day + "/GR1.CSV").c_str()) == 0;
              },
              appendRefused}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kvt
