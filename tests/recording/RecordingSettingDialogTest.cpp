#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/ConfigurationRecord.h"
#include "core/RunFlags.h"
#include "recording/RecordingSettingDialog.h"
#include "support/SettingsDialogFixture.h"
#include "support/ToolkitDialogs.h"

namespace kvt {
namespace {

constexpr int kPrevious = 1000;
constexpr int kNext = 1031;
constexpr int kGroupLabel = 1033;
constexpr int kJapaneseCycles = 1028;
constexpr int kEnglishCycles = 1046;
constexpr int kFixedCycle = 1029;
constexpr int kNoRecordingRadio = 1036;
constexpr int kNormalRadio = 1037;
constexpr int kRemoteTriggerRadio = 1038;
constexpr int kEventRadio = 1039;
constexpr int kAutoRadio = 1040;
constexpr int kDetailBox = 1009;
constexpr int kChoiceLabel = 1027;
constexpr int kFirstChoice = 1006;
constexpr int kSecondChoice = 1007;
constexpr int kEdit1 = 1016;
constexpr int kEdits[8] = {1016, 1017, 1018, 1019, 1020, 1021, 1022, 1023};
constexpr int kEditLabels[8] = {1030, 1032, 1035, 1041, 1042, 1043, 1044, 1045};

class RecordingSettingDialogTest : public test::SettingsDialogFixture {
protected:
    // The detail edits shown, with their captions and texts.
    static std::vector<std::string> shownDetails(const RecordingSettingDialog& dialog) {
        std::vector<std::string> details;
        for (int index = 0; index < 8; ++index) {
            if (!dialog.isVisible(kEdits[index])) continue;
            details.push_back(dialog.text(kEditLabels[index]) + "=" + dialog.text(kEdits[index]));
        }
        return details;
    }
    static void typeDetails(RecordingSettingDialog& dialog, std::vector<const char*> texts) {
        for (size_t index = 0; index < texts.size(); ++index) {
            dialog.typeText(kEdits[index], texts[index]);
        }
    }
};

TEST_F(RecordingSettingDialogTest, EachModeShowsItsDetailsFromTheWorkingCopy) {
    GroupRecordingSettings& stored = liveConfiguration.group(2);
    stored.storingCycle = kCycle5s;
    stored.triggerNode = 0x1C;
    stored.triggerCondition = 1;
    stored.preTriggerCount = 30;
    stored.autoMethod = 1;
    RecordingSettingDialog dialog(2);
    dialog.initialise();
    EXPECT_EQ(dialog.text(kGroupLabel), "Group 2");
    EXPECT_TRUE(dialog.isVisible(kEnglishCycles));
    EXPECT_FALSE(dialog.isVisible(kJapaneseCycles));
    EXPECT_FALSE(dialog.isVisible(kFixedCycle));
    EXPECT_EQ(dialog.item(kEnglishCycles, dialog.selection(kEnglishCycles)), "5 Sec.");
    EXPECT_EQ(dialog.radioIndex(kNoRecordingRadio), kNoRecording);
    EXPECT_FALSE(dialog.isVisible(kChoiceLabel));
    EXPECT_FALSE(dialog.isEnabled(kDetailBox));
    EXPECT_TRUE(shownDetails(dialog).empty());

    dialog.click(kRemoteTriggerRadio);
    EXPECT_TRUE(dialog.isEnabled(kDetailBox));
    EXPECT_EQ(dialog.text(kChoiceLabel), "Condition");
    EXPECT_EQ(dialog.text(kFirstChoice), "ON");
    EXPECT_EQ(dialog.text(kSecondChoice), "OFF");
    EXPECT_EQ(dialog.radioIndex(kFirstChoice), 1);
    EXPECT_EQ(shownDetails(dialog), (std::vector<std::string>{"Node number=1C"}));

    dialog.click(kEventRadio);
    EXPECT_EQ(dialog.text(kFirstChoice), "Rise");
    EXPECT_EQ(dialog.text(kSecondChoice), "Sink");
    EXPECT_EQ(shownDetails(dialog), (std::vector<std::string>{
                                        "Node number=1C", "Pretrigger=30", "Posttrigger=1200"}));

    dialog.click(kAutoRadio);
    EXPECT_EQ(dialog.text(kFirstChoice), "One time only");
    EXPECT_EQ(dialog.text(kSecondChoice), "Every day");
    EXPECT_EQ(dialog.radioIndex(kFirstChoice), 1);
    EXPECT_EQ(shownDetails(dialog),
              (std::vector<std::string>{"      Year=2007", "      Month=1", "      Day=1",
                                        "      Hour=0", "      Min.=0", "      Sec.=0",
                                        "      Hours=0", "      Minutes=1"}));

    dialog.click(kNormalRadio);
    EXPECT_TRUE(shownDetails(dialog).empty());
    EXPECT_EQ(dialog.text(1019), "");  // only Auto keeps edits 1019 to 1023
    EXPECT_EQ(workingConfiguration.group(2).storingMode, kNormal);
    EXPECT_EQ(load(g_settingsChanged), 0);  // a mode change stores, it does not commit
}

TEST_F(RecordingSettingDialogTest, InvalidDetailsAreRefusedWithTheirMessage) {
    struct Case {
        int language;
        int group;
        int modeRadio;
        std::vector<const char*> texts;
        const char* message;
    };
    const std::vector<Case> cases = {
        {1, 2, kRemoteTriggerRadio, {""}, "Available to use from 1 to F."},
        {1, 2, kRemoteTriggerRadio, {"0"}, "Available to use from 1 to F."},
        {0, 2, kRemoteTriggerRadio, {""}, "1-1Fを入力して下さい。"},
        {1, 4, kEventRadio, {"3", "1201", "5"}, "available to use from 0 to 1200."},
        {0, 4, kEventRadio, {"3", "5", "99999"}, "0-1200を入力して下さい。"},
        {1, 1, kAutoRadio, {"1999"}, "Year are available to use from 2000 to 2099."},
        {0, 1, kAutoRadio, {"2100"}, "年は、2000-2099を入力して下さい。"},
        {1, 1, kAutoRadio, {"2026", "13"}, "Month are available to use from 1 to 12."},
        {1, 1, kAutoRadio, {"2026", "2", "0"}, "Day are available to use from 1 to 31."},
        {1, 1, kAutoRadio, {"2026", "2", "3", "24"}, "Hour are available to use from 0 to 23."},
        {1, 1, kAutoRadio, {"2026", "2", "3", "4", "60"},
         "Minute are available to use from 0 to 59."},
        {1, 1, kAutoRadio, {"2026", "2", "3", "4", "5", "60"},
         "Second are available to use from 0 to 59."},
        {0, 1, kAutoRadio, {"2026", "2", "3", "4", "5", "6", "24"},
         "時間は、0-23を入力して下さい。"},
        {0, 1, kAutoRadio, {"2026", "2", "3", "4", "5", "6", "7", "60"},
         "分は、0-59を入力して下さい。"},
    };
    for (const Case& c : cases) {
        languageFlag = c.language;
        RecordingSettingDialog dialog(c.group);
        dialog.initialise();
        dialog.click(c.modeRadio);
        ConfigurationRecord before = workingConfiguration;
        typeDetails(dialog, c.texts);
        boxes.texts.clear();
        dialog.click(IDOK);
        EXPECT_FALSE(dialog.ended()) << c.message;
        ASSERT_EQ(boxes.texts.size(), 1u) << c.message;
        EXPECT_EQ(boxes.texts[0], c.message);
        EXPECT_EQ(std::memcmp(&before, &workingConfiguration, sizeof before), 0) << c.message;
        EXPECT_EQ(load(g_settingsChanged), 0);

        // Leaving the mode with invalid details puts the radio back.
        dialog.click(kNoRecordingRadio);
        EXPECT_EQ(dialog.radioIndex(kNoRecordingRadio), c.modeRadio - kNoRecordingRadio)
            << c.message;
    }
}

TEST_F(RecordingSettingDialogTest, OkStoresTheModesDetailsAndCommits) {
    RecordingSettingDialog dialog(3);
    dialog.initialise();
    dialog.chooseItem(kEnglishCycles, kCycle1min);
    dialog.click(kEventRadio);
    dialog.click(kSecondChoice);
    typeDetails(dialog, {"1f", "0", "1200"});
    dialog.click(IDOK);
    EXPECT_EQ(dialog.result(), IDOK);
    EXPECT_EQ(load(g_settingsChanged), 1);
    const GroupRecordingSettings& stored = workingConfiguration.group(3);
    EXPECT_EQ(stored.storingCycle, kCycle1min);
    EXPECT_EQ(stored.storingMode, kEventRecording);
    EXPECT_EQ(stored.triggerCondition, 1);
    EXPECT_EQ(stored.triggerNode, 0x1F);
    EXPECT_EQ(stored.preTriggerCount, 0);
    EXPECT_EQ(stored.postTriggerCount, 1200);
    EXPECT_EQ(stored.autoStartYear, 2007);  // not shown by the mode: kept
}

TEST_F(RecordingSettingDialogTest, DetailEditsFilterAsTheModeAsks) {
    struct Case {
        int group;
        int modeRadio;
        int edit;
        const char* keys;
        bool pasted;
        const char* kept;
    };
    const Case cases[] = {
        {2, kRemoteTriggerRadio, kEdit1, "2a", false, "A"},
        {2, kRemoteTriggerRadio, kEdit1, "1b", false, "1B"},
        {2, kRemoteTriggerRadio, kEdit1, "g1x0", false, "10"},
        {2, kRemoteTriggerRadio, kEdit1, "x3c", true, "C"},
        {2, kEventRadio, 1017, "12345", false, "1234"},
        {2, kEventRadio, 1018, "9z9", false, "99"},
        {2, kAutoRadio, kEdit1, "2O06", false, "206"},
        {2, kAutoRadio, 1017, "123", false, "12"},
        {2, kAutoRadio, 1023, "5-9", false, "59"},
        {0, kEventRadio, kEdit1, "12345", false, "1234"},
        {0, kEventRadio, 1017, "7a", false, "7"},
    };
    liveConfiguration.operatingMode = kDemoMode;
    for (const Case& c : cases) {
        RecordingSettingDialog dialog(c.group);
        dialog.initialise();
        dialog.click(c.modeRadio);
        dialog.typeText(c.edit, "");
        if (c.pasted) {
            dialog.pasteText(c.edit, c.keys);
        } else {
            dialog.typeCharacters(c.edit, c.keys);
        }
        EXPECT_EQ(dialog.text(c.edit), c.kept) << c.group << " " << c.keys;
    }
}

TEST_F(RecordingSettingDialogTest, HighSpeedGroupHasAFixedCycleAndNoAuto) {
    liveConfiguration.operatingMode = kHighSpeedMode;
    liveConfiguration.highSpeedRecording.storingMode = kEventRecording;
    RecordingSettingDialog dialog(0);
    dialog.initialise();
    EXPECT_EQ(dialog.text(kGroupLabel), "Group 0");
    EXPECT_FALSE(dialog.isVisible(kEnglishCycles));
    EXPECT_FALSE(dialog.isVisible(kJapaneseCycles));
    EXPECT_TRUE(dialog.isVisible(kFixedCycle));
    EXPECT_EQ(dialog.text(kFixedCycle), "0.05Sec");
    EXPECT_FALSE(dialog.isVisible(kAutoRadio));
    EXPECT_FALSE(dialog.isEnabled(kPrevious));
    EXPECT_FALSE(dialog.isEnabled(kNext));
    EXPECT_EQ(shownDetails(dialog),
              (std::vector<std::string>{"Pretrigger=1200", "Posttrigger=1200"}));
    typeDetails(dialog, {"10", "20"});
    dialog.click(kRemoteTriggerRadio);  // stores the event details on the way
    EXPECT_TRUE(shownDetails(dialog).empty());
    dialog.click(kSecondChoice);
    dialog.click(IDOK);
    const HighSpeedRecordingSettings& stored = workingConfiguration.highSpeedRecording;
    EXPECT_EQ(stored.storingMode, kRemoteTrigger);
    EXPECT_EQ(stored.triggerCondition, 1);
    EXPECT_EQ(stored.preTriggerCount, 10);
    EXPECT_EQ(stored.postTriggerCount, 20);
}

TEST_F(RecordingSettingDialogTest, ArrowsStoreEveryGroupVisitedAndOkCommitsThemAll) {
    liveConfiguration.group(4).storingMode = kNormal;
    RecordingSettingDialog dialog(3);
    dialog.initialise();
    EXPECT_TRUE(dialog.isEnabled(kPrevious));
    dialog.click(kNormalRadio);
    dialog.click(kNext);
    EXPECT_EQ(dialog.group(), 4);
    EXPECT_EQ(dialog.text(kGroupLabel), "Group 4");
    EXPECT_EQ(dialog.radioIndex(kNoRecordingRadio), kNormal);
    dialog.click(kNoRecordingRadio);
    dialog.click(IDOK);
    EXPECT_EQ(load(g_settingsChanged), 1);
    EXPECT_EQ(workingConfiguration.group(3).storingMode, kNormal);
    EXPECT_EQ(workingConfiguration.group(4).storingMode, kNoRecording);

    // The ends: no group 11, no group 0 by the arrows; a refused group
    // keeps the dialog where it is.
    RecordingSettingDialog last(10);
    last.initialise();
    EXPECT_FALSE(last.isEnabled(kNext));
    RecordingSettingDialog first(1);
    first.initialise();
    EXPECT_FALSE(first.isEnabled(kPrevious));
    first.click(kRemoteTriggerRadio);
    first.typeText(kEdit1, "");
    first.click(kNext);
    EXPECT_EQ(first.group(), 1);
    EXPECT_EQ(boxes.texts.back(), "Available to use from 1 to F.");
}

TEST_F(RecordingSettingDialogTest, CancelAndRunningMeasurementsCommitNothing) {
    RecordingSettingDialog cancelled(1);
    cancelled.initialise();
    cancelled.click(kNormalRadio);
    cancelled.click(kNext);
    cancelled.click(IDCANCEL);
    EXPECT_EQ(load(g_settingsChanged), 0);

    setRunning(true, false);
    RecordingSettingDialog running(1);
    running.initialise();
    for (int id : {kEnglishCycles, kNoRecordingRadio, kNormalRadio, kAutoRadio, kDetailBox, 1005}) {
        EXPECT_FALSE(running.isEnabled(id)) << id;
    }
    for (int id : {kNext, IDOK, IDCANCEL}) EXPECT_TRUE(running.isEnabled(id)) << id;
    running.click(kNormalRadio);
    running.click(IDOK);
    EXPECT_EQ(running.result(), IDOK);
    EXPECT_EQ(load(g_settingsChanged), 0);
    EXPECT_EQ(liveConfiguration.group(1).storingMode, kNoRecording);
}

// A hand-edited file (a group's mode, cycle and trigger node 0 are
// HandEditedSettingsTest's): the dialog shows the defaults in place of
// values out of range, and refuses a stored count out of range.
TEST_F(RecordingSettingDialogTest, OutOfRangeStoredValuesShowSaneChoices) {
    GroupRecordingSettings& stored = liveConfiguration.group(5);
    stored.triggerNode = 7;
    stored.triggerCondition = 7;
    stored.preTriggerCount = -5;
    liveConfiguration.highSpeedRecording.storingMode = kAuto;  // the high-speed group has none
    RecordingSettingDialog dialog(5);
    dialog.initialise();
    dialog.click(kEventRadio);
    EXPECT_EQ(dialog.radioIndex(kFirstChoice), 0);
    EXPECT_EQ(shownDetails(dialog), (std::vector<std::string>{"Node number=7", "Pretrigger=-5",
                                                              "Posttrigger=1200"}));
    dialog.click(IDOK);
    EXPECT_EQ(boxes.texts.back(), "available to use from 0 to 1200.");
    EXPECT_FALSE(dialog.ended());

    RecordingSettingDialog highSpeed(0);
    highSpeed.initialise();
    EXPECT_EQ(highSpeed.radioIndex(kNoRecordingRadio), kNoRecording);
    RecordingSettingDialog noSuchGroup(42);
    noSuchGroup.initialise();
    EXPECT_EQ(noSuchGroup.text(kGroupLabel), "Group 1");
}

TEST_F(RecordingSettingDialogTest, ToolkitShowsTheLayoutInBothLanguages) {
    const test::ExpectedControl rows[] = {
        {kPrevious, "<<", "<<", true},
        {kGroupLabel, "ｸﾞﾙｰﾌﾟ 2", "Group 2", true},
        {kNext, ">>", ">>", true},
        {1005, "基本情報", "Basic information", true},
        {1034, "収録周期", "Storing cycle", true},
        {kFixedCycle, "0.05 秒固定 ", "0.05Sec", false},
        {1026, "収録方法", "Storing mode", true},
        {kNoRecordingRadio, "無し", "No recording", true},
        {kNormalRadio, "通常", "Normal", true},
        {kRemoteTriggerRadio, "ﾄﾘｶﾞ連動", "Remote trigger", true},
        {kEventRadio, "ﾄﾘｶﾞ収録", "Event recording", true},
        {kAutoRadio, "自動収録", "Auto", true},
        {kDetailBox, "詳細情報", "Detail", true},
        {kChoiceLabel, "検出方向", "Condition", true},
        {kFirstChoice, "↑", "Rise", true},
        {kSecondChoice, "↓", "Sink", true},
        {1030, "対象ﾉｰﾄﾞ", "Node number", true},
        {1032, "ﾌﾟﾚﾄﾘｶﾞ", "Pretrigger", true},
        {1035, "ﾎﾟｽﾄﾄﾘｶﾞ", "Posttrigger", true},
        {1016, "1", "1", true},
        {1017, "1200", "1200", true},
        {1019, "", "", false},
        {1044, "", "", false},
        {1023, "", "", false},
        {IDOK, "OK", "OK", true},
        {IDCANCEL, "ｷｬﾝｾﾙ", "Cancel", true},
    };
    liveConfiguration.operatingMode = kNormalMode;
    liveConfiguration.group(2).storingMode = kEventRecording;
    test::expectShownInBothLanguages(
        [] {
            RecordingSettingDialog dialog(2);
            return test::showInToolkit(dialog);
        },
        {"収録設定", "Store setting", 291, 190}, rows,
        [](test::ShownDialog& shown, int language) {
            const test::ShownControl& cycles =
                shown.controls[language ? kEnglishCycles : kJapaneseCycles];
            EXPECT_TRUE(cycles.visible);
            EXPECT_EQ(cycles.itemCount, 6);
            EXPECT_EQ(cycles.text, language ? "0.5 Sec." : "0.5 秒");
            EXPECT_FALSE(shown.controls[language ? kJapaneseCycles : kEnglishCycles].visible);
            EXPECT_TRUE(shown.controls[kEventRadio].checked);
        });
}

}  // namespace
}  // namespace kvt
