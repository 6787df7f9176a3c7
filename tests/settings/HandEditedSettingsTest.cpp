#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/ConfigurationRecord.h"
#include "core/RunFlags.h"
#include "core/SettingsFile.h"
#include "display/SettingsTakeover.h"
#include "platform/Paths.h"
#include "settings/SettingMenuDialog.h"
#include "support/SettingsDialogFixture.h"

namespace kvt {
namespace {

class HandEditedSettingsTest : public test::SettingsDialogFixture {};

// A settings file edited by hand with values no dialog writes: every
// dialog of the menu opens on it, shows sane choices and commits only what
// passes its checks; the window takes each commit over.
TEST_F(HandEditedSettingsTest, EveryDialogOpensAndRefusesWhatItValidates) {
    ConfigurationRecord edited = liveConfiguration;
    edited.operatingMode = 9;
    edited.commPort = 12;
    edited.ipAddress[2] = 300;
    edited.storagePeriodDays = 0;
    edited.nodeType[0] = 99;
    edited.highSpeedNode.type = -7;
    edited.group(1).storingMode = 9;
    edited.group(1).storingCycle = -1;
    edited.group(2).storingMode = kRemoteTrigger;
    edited.group(2).triggerNode = 0;
    edited.highSpeedRecording.storingMode = 42;
    edited.pen(1, 0).analogType = 1000;
    std::memset(edited.pen(1, 0).tag, 'T', sizeof edited.pen(1, 0).tag);  // no NUL
    std::memset(edited.pen(1, 0).inputLowText, '9', sizeof edited.pen(1, 0).inputLowText);
    ASSERT_EQ(saveSettingsTo(settingsFilePath(), edited), 0);
    std::memset(&liveConfiguration, 0, sizeof liveConfiguration);
    loadSettings();
    ASSERT_EQ(liveConfiguration.operatingMode, 9);

    dialogs.then([](Dialog& menu) {
        for (int button : {1000, 1031, 1032}) {
            menu.click(button);
            takeOverSettingsChange();  // the window's next refresh
        }
        menu.click(IDOK);
    });
    dialogs.then([](Dialog& basic) {
        basic.click(IDOK);  // the stored period of 0 is refused
        EXPECT_FALSE(basic.ended());
        basic.typeText(1016, "30");
        basic.click(IDOK);
        EXPECT_TRUE(basic.ended());
    });
    dialogs.then([](Dialog& node) {
        node.click(IDOK);
        EXPECT_TRUE(node.ended());
    });
    dialogs.then([](Dialog& recording) {
        recording.click(1031);  // group 1 shows No recording and goes on to group 2
        recording.click(IDOK);  // group 2's trigger node 0 is refused
        EXPECT_FALSE(recording.ended());
        recording.typeText(1016, "3");
        recording.click(IDOK);
        EXPECT_TRUE(recording.ended());
    });
    SettingMenuDialog menu(1);
    menu.doModal();
    EXPECT_EQ(dialogs.titles, (std::vector<std::string>{"Setting menu", "Basic setting",
                                                        "Node setting", "Store setting"}));
    EXPECT_EQ(boxes.texts, (std::vector<std::string>{"Available to use from 1 to 999.",
                                                      "Available to use from 1 to F."}));
    const ConfigurationRecord& live = liveConfiguration;
    EXPECT_EQ(live.operatingMode, kDemoMode);
    EXPECT_EQ(live.commPort, 0);
    EXPECT_EQ(live.ipAddress[2], 255);
    EXPECT_EQ(live.storagePeriodDays, 30);
    EXPECT_EQ(live.nodeType[0], 14);
    EXPECT_EQ(live.highSpeedNode.type, 14);
    EXPECT_EQ(live.group(1).storingMode, kNoRecording);
    EXPECT_EQ(live.group(1).storingCycle, kCycleHalfSecond);
    EXPECT_EQ(live.group(2).triggerNode, 3);
    // An analog type outside the table fits no node: the pen gets the default.
    EXPECT_EQ(live.pen(1, 0).analogType, 0);
    EXPECT_STREQ(live.pen(1, 0).inputLowText, "0");
    EXPECT_EQ(std::memcmp(live.pen(1, 0).tag, edited.pen(1, 0).tag, 17), 0);
}

}  // namespace
}  // namespace kvt
