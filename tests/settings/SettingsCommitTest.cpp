#include <gtest/gtest.h>

#include <cstring>

#include "core/ConfigurationRecord.h"
#include "display/SettingsTakeover.h"
#include "platform/Paths.h"
#include "settings/SettingsCommit.h"
#include "support/SettingsDialogFixture.h"

namespace kvt {
namespace {

// The whole hand-over: a dialog starts from the live record, a commit
// waits for the window's refresh, which makes it live and saves it.
class SettingsCommit : public test::SettingsDialogFixture {};

TEST_F(SettingsCommit, WorkingCopyIsCommittedAndTakenOverByTheRefresh) {
    std::memset(&workingConfiguration, 0x5A, sizeof workingConfiguration);
    beginSettingsEdit();
    EXPECT_EQ(std::memcmp(&workingConfiguration, &liveConfiguration, sizeof liveConfiguration), 0);

    workingConfiguration.storagePeriodDays = 30;
    EXPECT_FALSE(settingsChangePending());
    EXPECT_FALSE(takeOverSettingsChange());
    EXPECT_EQ(liveConfiguration.storagePeriodDays, 999);

    commitSettingsEdit();
    EXPECT_TRUE(settingsChangePending());
    EXPECT_TRUE(takeOverSettingsChange());
    EXPECT_FALSE(settingsChangePending());
    EXPECT_EQ(liveConfiguration.storagePeriodDays, 30);
    std::string saved = test::readFile(settingsFilePath());
    ASSERT_EQ(saved.size(), kConfigurationRecordSize);
    EXPECT_EQ(reinterpret_cast<const ConfigurationRecord*>(saved.data())->storagePeriodDays, 30);
}

}  // namespace
}  // namespace kvt
