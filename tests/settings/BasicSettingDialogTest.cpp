#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/ConfigurationRecord.h"
#include "core/RunFlags.h"
#include "settings/BasicSettingDialog.h"
#include "support/SettingsDialogFixture.h"
#include "support/ToolkitDialogs.h"

namespace kvt {
namespace {

constexpr int kApply = 1000;
constexpr int kDemo = 1002;
constexpr int kHighSpeed = 1003;
constexpr int kNormal = 1004;
constexpr int kPerpendicular = 1006;
constexpr int kLeftward = 1007;
constexpr int kRecordedData = 1011;
constexpr int kPeriod = 1016;
constexpr int kCom1 = 1019;
constexpr int kCom3 = 1021;
constexpr int kTcp = 1024;
constexpr int kOctet1 = 1026;
constexpr int kOctet4 = 1029;

class BasicSettingDialogTest : public test::SettingsDialogFixture {
protected:
    void open() { dialog.initialise(); }
    bool workingEqualsLive() const {
        return std::memcmp(&workingConfiguration, &liveConfiguration, sizeof liveConfiguration) == 0;
    }
    BasicSettingDialog dialog;
};

TEST_F(BasicSettingDialogTest, OpensOnACopyOfTheLiveSettings) {
    liveConfiguration.operatingMode = kNormalMode;
    liveConfiguration.graphDirection = 2;
    liveConfiguration.graphDrawMode = 1;
    liveConfiguration.storagePeriodDays = 45;
    liveConfiguration.commPort = kCommPortTcp;
    const int address[4] = {192, 168, 0, 7};
    std::memcpy(liveConfiguration.ipAddress, address, sizeof address);
    workingConfiguration.storagePeriodDays = 1;  // a stale working copy
    open();
    EXPECT_TRUE(workingEqualsLive());
    EXPECT_EQ(dialog.radioIndex(kDemo), 2);
    EXPECT_EQ(dialog.radioIndex(kPerpendicular), 2);
    EXPECT_EQ(dialog.radioIndex(1010), 1);
    EXPECT_EQ(dialog.text(kPeriod), "45");
    EXPECT_EQ(dialog.radioIndex(kCom1), 5);
    EXPECT_EQ(dialog.text(kOctet1), "192");
    EXPECT_EQ(dialog.text(kOctet4), "7");
    EXPECT_TRUE(dialog.isEnabled(kOctet1));
    for (int id : {kHighSpeed, 1015, 1013, 1014}) EXPECT_FALSE(dialog.isVisible(id)) << id;
}

TEST_F(BasicSettingDialogTest, EditsKeepOnlyWhatTheirFieldsCanHold) {
    open();
    dialog.click(kTcp);
    struct Case {
        int id;
        const char* keys;
        bool pasted;
        const char* expected;
    };
    const Case cases[] = {
        {kPeriod, "1234", false, "123"}, {kPeriod, "12a", false, "12"},
        {kPeriod, "4x5y67", true, "456"}, {kOctet1, "300", false, "255"},
        {kOctet1, "25a", false, "25"},   {kOctet4, "1o0", true, "10"},
        {kOctet4, "999", true, "255"},
    };
    for (const Case& c : cases) {
        dialog.typeText(c.id, "");
        if (c.pasted) {
            dialog.pasteText(c.id, c.keys);
        } else {
            dialog.typeCharacters(c.id, c.keys);
        }
        EXPECT_EQ(dialog.text(c.id), c.expected) << c.keys;
    }
}

TEST_F(BasicSettingDialogTest, StoragePeriodOutOfRangeIsRefusedInEitherLanguage) {
    struct Case {
        int language;
        const char* period;
        const char* message;
    };
    const Case cases[] = {
        {1, "0", "Available to use from 1 to 999."},
        {1, "", "Available to use from 1 to 999."},
        {0, "0", "1-999を入力して下さい。"},
    };
    for (const Case& c : cases) {
        languageFlag = c.language;
        BasicSettingDialog refused;
        refused.initialise();
        refused.click(kNormal);
        refused.typeText(kPeriod, c.period);
        boxes.texts.clear();
        refused.click(kApply);
        refused.click(IDOK);
        EXPECT_FALSE(refused.ended());
        ASSERT_EQ(boxes.texts.size(), 2u);
        EXPECT_EQ(boxes.texts[1], c.message);
        EXPECT_EQ(boxes.buttons[1], kButtonsOk);
        EXPECT_EQ(refused.text(kPeriod), c.period);  // the user's text stays
        EXPECT_TRUE(workingEqualsLive());
        EXPECT_EQ(load(g_settingsChanged), 0);
    }
}

TEST_F(BasicSettingDialogTest, OkWritesEveryFieldAndCommits) {
    liveConfiguration.temperatureUnit = 1;
    open();
    dialog.click(kNormal);
    dialog.click(kLeftward);
    dialog.click(kRecordedData);
    dialog.typeText(kPeriod, "30");
    dialog.click(kTcp);
    const char* octets[4] = {"10", "0", "", "255"};
    for (int n = 0; n < 4; ++n) dialog.typeText(kOctet1 + n, octets[n]);
    dialog.pressEnter();
    EXPECT_TRUE(dialog.ended());
    EXPECT_EQ(dialog.result(), IDOK);
    EXPECT_EQ(load(g_settingsChanged), 1);
    const ConfigurationRecord& working = workingConfiguration;
    EXPECT_EQ(working.operatingMode, kNormalMode);
    EXPECT_EQ(working.graphDirection, 1);
    EXPECT_EQ(working.graphDrawMode, 1);
    EXPECT_EQ(working.temperatureUnit, 1);  // passes through the hidden radios
    EXPECT_EQ(working.storagePeriodDays, 30);
    EXPECT_EQ(working.commPort, kCommPortTcp);
    EXPECT_EQ(working.ipAddress[0], 10);
    EXPECT_EQ(working.ipAddress[2], 0);  // empty is 0
    EXPECT_EQ(working.ipAddress[3], 255);
    EXPECT_EQ(liveConfiguration.storagePeriodDays, 999);  // the window takes it over
}

TEST_F(BasicSettingDialogTest, ApplyThenCancelKeepsTheAppliedValues) {
    open();
    dialog.typeText(kPeriod, "12");
    dialog.click(kApply);
    EXPECT_FALSE(dialog.ended());
    EXPECT_EQ(load(g_settingsChanged), 1);
    dialog.typeText(kPeriod, "99");
    dialog.click(IDCANCEL);
    EXPECT_EQ(dialog.result(), IDCANCEL);
    EXPECT_EQ(workingConfiguration.storagePeriodDays, 12);
    EXPECT_EQ(load(g_settingsChanged), 1);
}

TEST_F(BasicSettingDialogTest, PortsAndHighSpeedModeDecideWhatIsEnabled) {
    open();
    for (int port = kCom1; port <= kCom3; ++port) {
        dialog.click(port);
        EXPECT_FALSE(dialog.isEnabled(kOctet1)) << port;
    }
    dialog.click(kTcp);
    for (int id = kOctet1; id <= kOctet4; ++id) EXPECT_TRUE(dialog.isEnabled(id));
    EXPECT_TRUE(dialog.isEnabled(kTcp));

    // Stored high speed with TCP/IP: TCP/IP stays shown but cannot be
    // chosen again once another port is picked.
    liveConfiguration.operatingMode = kHighSpeedMode;
    liveConfiguration.commPort = kCommPortTcp;
    BasicSettingDialog highSpeed;
    highSpeed.initialise();
    EXPECT_EQ(highSpeed.radioIndex(kDemo), 1);
    EXPECT_EQ(highSpeed.radioIndex(kCom1), 5);
    EXPECT_FALSE(highSpeed.isEnabled(kTcp));
    highSpeed.click(kCom3);
    highSpeed.click(kTcp);
    EXPECT_EQ(highSpeed.radioIndex(kCom1), 2);
    highSpeed.click(kDemo);
    EXPECT_TRUE(highSpeed.isEnabled(kTcp));
}

TEST_F(BasicSettingDialogTest, WhileMeasuringOnlyTheGraphDirectionChanges) {
    setRunning(false, true);
    open();
    for (int id : {1005, kDemo, kNormal, 1012, 1010, kRecordedData, 1017, kPeriod, 1018, 1025,
                   kCom1, 1023, kTcp, kOctet1, kOctet4}) {
        EXPECT_FALSE(dialog.isEnabled(id)) << id;
    }
    for (int id : {1009, kPerpendicular, kLeftward, 1008, IDOK, IDCANCEL, kApply}) {
        EXPECT_TRUE(dialog.isEnabled(id)) << id;
    }
    dialog.click(kNormal);  // ignored
    dialog.click(kLeftward);
    dialog.click(IDOK);
    EXPECT_EQ(dialog.result(), IDOK);
    EXPECT_EQ(load(g_settingsChanged), 1);
    ConfigurationRecord expected = liveConfiguration;
    expected.graphDirection = 1;
    EXPECT_EQ(std::memcmp(&workingConfiguration, &expected, sizeof expected), 0);
}

// A hand-edited settings file (the mode, port, an octet over 255 and the
// storage period are HandEditedSettingsTest's): the dialog opens with sane
// choices and stores them.
TEST_F(BasicSettingDialogTest, OutOfRangeStoredValuesShowSaneChoices) {
    liveConfiguration.graphDirection = -3;
    liveConfiguration.graphDrawMode = 7;
    liveConfiguration.temperatureUnit = 5;
    liveConfiguration.ipAddress[1] = -4;
    open();
    EXPECT_EQ(dialog.radioIndex(kPerpendicular), 0);
    EXPECT_EQ(dialog.radioIndex(1010), 0);
    EXPECT_EQ(dialog.text(1027), "0");
    dialog.click(IDOK);
    EXPECT_EQ(dialog.result(), IDOK);
    EXPECT_EQ(workingConfiguration.graphDirection, 0);
    EXPECT_EQ(workingConfiguration.graphDrawMode, 0);
    EXPECT_EQ(workingConfiguration.temperatureUnit, 5);  // never shown, kept as stored
    EXPECT_EQ(workingConfiguration.ipAddress[1], 0);
}

// The dialog as the toolkit shows it: every control of the layout, with
// its caption in each language, enabled and shown as the rules say.
TEST_F(BasicSettingDialogTest, ToolkitShowsTheLayoutInBothLanguages) {
    const test::ExpectedControl rows[] = {
        {1005, "動作ﾓｰﾄﾞ", "Operating Mode", true, true},
        {kDemo, "ﾃﾞﾓﾓｰﾄﾞ", "Demo mode", true, true},
        {kHighSpeed, "Modbus 高速ﾓｰﾄﾞ", "High speed mode", false, true},
        {kNormal, "Modbus 中速ﾓｰﾄﾞ", "Normal mode", true, true},
        {1009, "ｸﾞﾗﾌ表示方向", "Graph direction", true, true},
        {kPerpendicular, "縦書き", "Perpendicular", true, true},
        {kLeftward, "横書き（←）", "Horizontal( <- )", true, true},
        {1008, "横書き（→）", "Horizontal( -> )", true, true},
        {1012, "ｸﾞﾗﾌ描画ﾓｰﾄﾞ", "Graph mode", true, true},
        {1010, "全て", "All", true, true},
        {kRecordedData, "収録ﾃﾞｰﾀのみ", "Recording data", true, true},
        {1015, "温度表現", "Temperature Unit", false, true},
        {1013, "摂氏", "Centigrade", false, true},
        {1014, "華氏", "Fahrenheit", false, true},
        {1017, "ﾃﾞｰﾀ保存期間", "Storage period", true, true},
        {kPeriod, "999", "999", true, true},
        {1018, "日", "days", true, true},
        {1025, "通信ﾎﾟｰﾄ", "Communication Port", true, true},
        {kCom1, "COM1", "COM1", true, true},
        {1023, "COM5", "COM5", true, true},
        {kTcp, "TCP/IP", "TCP/IP", true, true},
        {kOctet1, "200", "200", true, false},
        {kOctet4, "200", "200", true, false},
        {IDOK, "OK", "OK", true, true},
        {IDCANCEL, "ｷｬﾝｾﾙ", "Cancel", true, true},
        {kApply, "適用", "Apply", true, true},
    };
    test::expectShownInBothLanguages(
        [] {
            BasicSettingDialog shownDialog;
            return test::showInToolkit(shownDialog);
        },
        {"基本設定項目", "Basic setting", 190, 155}, rows,
        [](test::ShownDialog& shown, int) {
            EXPECT_EQ(shown.controls.size(), 31u);  // all but the three "." labels
            EXPECT_TRUE(shown.controls[kDemo].checked);
            EXPECT_EQ(shown.controls[IDOK].pixels.y, dialogUnitsToPixelsY(135));
        });
}

}  // namespace
}  // namespace kvt
