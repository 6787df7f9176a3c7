#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/ConfigurationRecord.h"
#include "core/DeviceTables.h"
#include "core/RunFlags.h"
#include "settings/AnalogTypeRules.h"
#include "settings/NodeSettingDialog.h"
#include "support/SettingsDialogFixture.h"
#include "support/ToolkitDialogs.h"

namespace kvt {
namespace {

constexpr int kHighSpeedNumber = 1016;
constexpr int kHighSpeedList = 1028;
constexpr int kHighSpeedIds[] = {1005, 1026, 1029, kHighSpeedNumber, kHighSpeedList};
constexpr int kHeadings[] = {1027, 1031, 1062, 1072};

class NodeSettingDialogTest : public test::SettingsDialogFixture {
protected:
    static int box(int node) { return NodeSettingDialog::checkBoxIdOf(node); }
    static int list(int node) { return NodeSettingDialog::listIdOf(node); }
};

// While a measurement runs OK closes the dialog without committing.
TEST_F(NodeSettingDialogTest, SectionsAreEnabledByOperatingModeAndRunState) {
    struct Case {
        int mode;
        bool running;
        bool normalSection;
        bool highSpeedSection;
    };
    const Case cases[] = {
        {kNormalMode, false, true, false},
        {kHighSpeedMode, false, false, true},
        {kDemoMode, false, true, true},
        {kNormalMode, true, false, false},
        {kDemoMode, true, false, false},
    };
    for (const Case& c : cases) {
        liveConfiguration.operatingMode = c.mode;
        setRunning(c.running, false);
        NodeSettingDialog dialog;
        dialog.initialise();
        for (int node = 1; node <= kNodeCount; ++node) {
            EXPECT_EQ(dialog.isEnabled(box(node)), c.normalSection) << c.mode << " node " << node;
            EXPECT_EQ(dialog.isEnabled(list(node)), c.normalSection) << c.mode << " node " << node;
        }
        for (int id : kHeadings) EXPECT_EQ(dialog.isEnabled(id), c.normalSection) << id;
        EXPECT_EQ(dialog.isEnabled(1009), c.normalSection);
        for (int id : kHighSpeedIds) {
            EXPECT_EQ(dialog.isEnabled(id), c.highSpeedSection) << c.mode << " id " << id;
            EXPECT_FALSE(dialog.isVisible(id)) << id;
        }
        EXPECT_FALSE(dialog.isVisible(1009));
        if (!c.running) continue;
        dialog.click(box(2));  // disabled
        dialog.pressEnter();
        EXPECT_EQ(dialog.result(), IDOK);
        EXPECT_EQ(load(g_settingsChanged), 0);
        EXPECT_EQ(liveConfiguration.nodeEnabled[1], 0);
    }
}

TEST_F(NodeSettingDialogTest, ListsOfferOnlyMod15AndOkCommitsTheTicksAndTypes) {
    liveConfiguration.nodeType[2] = 0;  // shown as the one entry
    liveConfiguration.nodeType[3] = 5;  // not offered: no entry shown, kept
    liveConfiguration.nodeType[4] = 99;  // hand-edited: shown as MOD-15
    NodeSettingDialog dialog;
    dialog.initialise();
    for (int node = 1; node <= kNodeCount; ++node) {
        ASSERT_EQ(dialog.itemCount(list(node)), 1) << node;
        EXPECT_EQ(dialog.item(list(node), 0), "MOD-15");
    }
    EXPECT_EQ(dialog.item(kHighSpeedList, 0), "MOD-15");
    EXPECT_EQ(dialog.selection(list(3)), 0);
    EXPECT_EQ(dialog.selection(list(4)), -1);
    EXPECT_EQ(dialog.selection(list(5)), 0);
    EXPECT_EQ(dialog.text(box(0x1A)), "1A");
    EXPECT_EQ(dialog.checked(box(1)), 1);

    dialog.click(box(0x1A));
    dialog.click(box(1));
    dialog.click(box(1));
    dialog.click(IDOK);
    EXPECT_EQ(dialog.result(), IDOK);
    EXPECT_EQ(load(g_settingsChanged), 1);
    for (int node = 1; node <= kNodeCount; ++node) {
        int expectedEnabled = node == 1 || node == 0x1A ? 1 : 0;
        EXPECT_EQ(workingConfiguration.nodeEnabled[node - 1], expectedEnabled) << node;
        EXPECT_EQ(workingConfiguration.nodeType[node - 1], node == 4 ? 5 : kMod15Type) << node;
    }
    EXPECT_EQ(workingConfiguration.highSpeedNode.type, kMod15Type);
    EXPECT_EQ(workingConfiguration.highSpeedNode.number, 1);
}

TEST_F(NodeSettingDialogTest, HighSpeedNodeNumberIsOneHexadecimalDigit) {
    liveConfiguration.operatingMode = kDemoMode;
    NodeSettingDialog dialog;
    dialog.initialise();
    struct Case {
        const char* typed;
        const char* kept;
    };
    const Case cases[] = {{"b", "B"}, {"0", ""}, {"x0a7", "A"}, {"12", "1"}, {"G9", "9"}};
    for (const Case& c : cases) {
        // The edit is hidden, so the filter is run as the program would.
        dialog.show(kHighSpeedNumber, true);
        dialog.typeText(kHighSpeedNumber, c.typed);
        EXPECT_EQ(dialog.text(kHighSpeedNumber), c.kept) << c.typed;
    }
    dialog.typeText(kHighSpeedNumber, "c");
    dialog.click(IDOK);
    EXPECT_EQ(workingConfiguration.highSpeedNode.number, 12);

    // A stored number needing three digits cannot be committed.
    liveConfiguration.highSpeedNode.number = 300;
    languageFlag = 0;
    NodeSettingDialog refused;
    refused.initialise();
    EXPECT_EQ(refused.text(kHighSpeedNumber), "12C");
    refused.click(IDOK);
    EXPECT_FALSE(refused.ended());
    ASSERT_EQ(boxes.texts.size(), 1u);
    EXPECT_EQ(boxes.texts[0], "1-Fを入力して下さい。");
}

// Pens follow their nodes' device types on OK; every analog type fits
// MOD-15, so only pens on nodes of other stored types change.
TEST_F(NodeSettingDialogTest, OkBringsThePensInLineWithTheirNodes) {
    for (int pen = 0; pen < kPensPerGroup; ++pen) {
        liveConfiguration.pen(1, pen).analogType = pen;  // node 1, MOD-15
        PenSettings& onMod14 = liveConfiguration.pen(2, pen);  // node 2
        onMod14.analogType = 5;
        std::strcpy(onMod14.inputLowText, "-1.00");
        onMod14.inputLow = -1.0;
        liveConfiguration.pen(3, pen).analogType = 9;  // node 3, MOD-12
        liveConfiguration.pen(4, pen).analogType = 9;  // node 4, MOD-02: no default
    }
    liveConfiguration.nodeType[1] = 13;
    liveConfiguration.nodeType[2] = 11;
    liveConfiguration.nodeType[3] = 1;
    liveConfiguration.pen(5, 0).node = 0;  // on no node
    liveConfiguration.pen(5, 0).analogType = 77;
    NodeSettingDialog dialog;
    dialog.initialise();
    dialog.click(IDOK);
    ASSERT_EQ(load(g_settingsChanged), 1);
    for (int pen = 0; pen < kPensPerGroup; ++pen) {
        EXPECT_EQ(workingConfiguration.pen(1, pen).analogType, pen);
        const PenSettings& aligned = workingConfiguration.pen(2, pen);
        EXPECT_EQ(aligned.analogType, 0) << pen;
        EXPECT_STREQ(aligned.inputLowText, "0");
        EXPECT_STREQ(aligned.inputHighText, "2e9");
        EXPECT_STREQ(aligned.scaleLowText, "0");
        EXPECT_STREQ(aligned.scaleHighText, "2e9");
        EXPECT_EQ(aligned.inputLow, 0.0);
        EXPECT_EQ(aligned.scaleHigh, 2e9);
        const PenSettings& direction = workingConfiguration.pen(3, pen);
        EXPECT_EQ(direction.analogType, 7);
        EXPECT_STREQ(direction.scaleHighText, "1");
        EXPECT_EQ(direction.inputHigh, 1.0);
        EXPECT_EQ(workingConfiguration.pen(4, pen).analogType, 9);
    }
    EXPECT_EQ(workingConfiguration.pen(5, 0).analogType, 77);
}

TEST(AnalogTypeRules, FitAndDefaultsFollowTheTables) {
    for (int analogType = 0; analogType < 15; ++analogType) {
        EXPECT_TRUE(analogTypeFitsDevice(analogType, kMod15Type)) << analogType;
        EXPECT_FALSE(analogTypeFitsDevice(analogType, 13)) << analogType;
    }
    for (int outside : {-1, 15, 16, 1000}) EXPECT_FALSE(analogTypeFitsDevice(outside, kMod15Type));
    const int defaults[][2] = {{0, 1}, {11, 7}, {13, 0}, {14, 0}, {5, -1}, {1, -1}, {12, -1},
                               {-1, -1}, {15, -1}};
    for (const auto& pair : defaults) EXPECT_EQ(defaultAnalogTypeOf(pair[0]), pair[1]) << pair[0];
}

// In demo mode, where both sections are enabled.
TEST_F(NodeSettingDialogTest, ToolkitShowsTheLayoutInBothLanguages) {
    const char* const headingJa = "No.　有効　種別";
    const char* const headingEn = "No. Enable Device";
    const test::ExpectedControl rows[] = {
        {kHeadings[0], headingJa, headingEn},          {kHeadings[1], headingJa, headingEn},
        {kHeadings[2], headingJa, headingEn},          {kHeadings[3], headingJa, headingEn},
        {1005, "高速設定", "High speed mode setting", false},
        {1009, "中速設定", "Normal mode setting", false},
        {1026, "No.", "Node number", false},           {1029, "ﾉｰﾄﾞ種別", "Device", false},
        {kHighSpeedNumber, "1", "1", false},           {kHighSpeedList, "MOD-15", "MOD-15", false},
        {IDOK, "OK", "OK"},                            {IDCANCEL, "ｷｬﾝｾﾙ", "Cancel"},
    };
    test::expectShownInBothLanguages(
        [] {
            NodeSettingDialog dialog;
            return test::showInToolkit(dialog);
        },
        {"ﾉｰﾄﾞ設定", "Node setting", 315, 165}, rows,
        [](test::ShownDialog& shown, int) {
            for (int node = 1; node <= kNodeCount; ++node) {
                const test::ShownControl& check = shown.controls[box(node)];
                EXPECT_EQ(check.kind, "QCheckBox");
                EXPECT_TRUE(check.visible && check.enabled) << node;
                EXPECT_EQ(check.checked, node == 1);
                const test::ShownControl& device = shown.controls[list(node)];
                EXPECT_EQ(device.kind, "QComboBox");
                EXPECT_EQ(device.text, "MOD-15");
                EXPECT_EQ(device.itemCount, 1);
            }
            EXPECT_EQ(shown.controls[box(0x1F)].pixels.x, dialogUnitsToPixelsX(235));
            EXPECT_EQ(shown.controls[list(0x10)].pixels.y, dialogUnitsToPixelsY(125));
        });
}

}  // namespace
}  // namespace kvt
