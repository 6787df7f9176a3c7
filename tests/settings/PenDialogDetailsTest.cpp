#include <cmath>

#include "PenDialogFixture.h"
#include "settings/AnalogTypeChoices.h"
#include "support/CommaLocale.h"

namespace kvt::test {
namespace {

std::vector<std::string> listItems(const Dialog& dialog, int id) {
    std::vector<std::string> items;
    for (int index = 0; index < dialog.itemCount(id); ++index) {
        items.push_back(dialog.item(id, index));
    }
    return items;
}

TEST_F(PenDialogTest, AnalogTypeListFollowsTheNodesDeviceType) {
    live(1, 0).analogType = 6;
    PenSettingDialog& pens = open(1);
    std::vector<std::string> all = {"I", "U", "P", "Q", "S", "PF", "F", "DIR",
                                    "EP", "EQ", "ES", "TIMER", "THD", "HD", "UT"};
    EXPECT_EQ(listItems(pens, kAnalogTypeList), all);
    EXPECT_EQ(pens.selection(kAnalogTypeList), 6);

    // A node of another device type offers none of the power-meter rows;
    // the stored type is kept when the pen is stored.
    liveConfiguration.nodeType[0] = 13;
    PenSettingDialog& other = open(1);
    EXPECT_EQ(other.itemCount(kAnalogTypeList), 0);
    EXPECT_EQ(other.text(kInputLowEdit), "0");
    other.click(kOk);
    EXPECT_EQ(working(1, 0).analogType, 6);
    EXPECT_TRUE(boxes.texts.empty());
}

// The compatibility rules for device types other than the power meter,
// on a table of rows for the older modules, in both temperature units.
TEST(AnalogTypeChoicesTest, RowsApplyByDeviceTypeAndKind) {
    const AnalogTypeInfo table[] = {
        {0, 1, "K", {"0", "1200", "0", "1200"}, {"32", "2192", "32", "2192"}},
        {0, 2, "mV", {"-10", "10", "-10", "10"}, {"-10", "10", "-10", "10"}},
        {5, 21, "V5", {"0", "5", "0", "5"}, {"0", "5", "0", "5"}},
        {6, 21, "A6", {"4", "20", "0", "100"}, {"4", "20", "0", "100"}},
        {9, 21, "R9", {"0", "1", "0", "1"}, {"0", "1", "0", "1"}},
        {kAnalogTypeEndMarker, 0, "", {}, {}},
        {0, 1, "after the end", {}, {}},
    };
    struct Case {
        int deviceType;
        std::vector<int> rows;
    } cases[] = {
        {0, {0, 1}}, {4, {0}}, {8, {0, 2}}, {11, {0}}, {10, {4}},
        {7, {3}},    {12, {3}}, {5, {2}},   {14, {}},  {99, {}},
    };
    for (const Case& c : cases) {
        AnalogTypeChoices choices;
        collectAnalogTypeChoices(table, c.deviceType, 0, -1, choices);
        std::vector<int> rows(choices.analogType, choices.analogType + choices.count);
        EXPECT_EQ(rows, c.rows) << "device type " << c.deviceType;
    }
    AnalogTypeChoices choices;
    EXPECT_EQ(collectAnalogTypeChoices(table, 8, 1, 2, choices), 1);
    EXPECT_STREQ(choices.defaults[0][kInputHighText], "2192");
    EXPECT_EQ(collectAnalogTypeChoices(table, 8, 0, 3, choices), 0);  // no entry for row 3
    EXPECT_STREQ(choices.defaults[0][kInputHighText], "1200");
}

// Ranges are kept twice: the text as typed (after its filter) and the
// value its longest numeric beginning gives, with a decimal point whatever
// the locale.
TEST_F(PenDialogTest, TypedRangesAreStoredAsTextAndValue) {
    struct Case {
        const char* typed;
        const char* text;
        double value;
    } cases[] = {
        {"1E-3", "1E-3", 0.001}, {"2e9", "2e9", 2e9},     {"-0", "-0", -0.0},
        {"  5", "5", 5.0},       {"1e", "1e", 1.0},       {"-.5e1x", "-.5e1", -5.0},
        {"", "", 0.0},           {"2.5", "2.5", 2.5},
    };
    for (bool commaLocale : {false, true}) {
        std::optional<ScopedCommaLocale> locale;
        if (commaLocale) locale.emplace();
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << c.typed << (commaLocale ? " decimal comma" : ""));
            PenSettingDialog& pens = open(1);
            pens.typeText(kInputLowEdit, c.typed);
            pens.typeText(kInputHighEdit, "9e9");
            pens.typeText(kPlotLowEdit, c.typed);
            pens.typeText(kPlotHighEdit, "9e9");
            pens.click(kApply);
            ASSERT_TRUE(boxes.texts.empty()) << lastMessage();
            const PenSettings& pen = working(1, 0);
            EXPECT_STREQ(pen.inputLowText, c.text);
            EXPECT_EQ(pen.inputLow, c.value);
            EXPECT_EQ(std::signbit(pen.inputLow), std::signbit(c.value));
            EXPECT_STREQ(pen.plotLowText, c.text);
            EXPECT_EQ(pen.plotLow, c.value);
            EXPECT_EQ(pen.inputHigh, 9e9);
        }
    }
}

TEST_F(PenDialogTest, NewAnalogTypeStartsFromItsDefaultRange) {
    PenSettingDialog& pens = open(1);
    pens.typeText(kPlotLowEdit, "-2");
    pens.typeText(kInputHighEdit, "50");
    pens.chooseItem(kAnalogTypeList, 6);  // F
    EXPECT_EQ(pens.text(kInputLowEdit), "0.00");
    EXPECT_EQ(pens.text(kInputHighEdit), "70.00");
    EXPECT_EQ(pens.text(kScaleHighEdit), "70.00");
    EXPECT_EQ(pens.text(kPlotLowEdit), "-2");
    EXPECT_EQ(working(1, 0).analogType, 6);
    EXPECT_EQ(working(1, 0).scaleHigh, 70.0);

    // Power factor: a fixed range shown in every row, nothing to type.
    pens.chooseItem(kAnalogTypeList, 5);
    for (int edit : {kInputLowEdit, kScaleLowEdit, kPlotLowEdit}) {
        EXPECT_EQ(pens.text(edit), "-1.00");
        EXPECT_EQ(pens.text(edit + 1), "1.00");
        EXPECT_FALSE(pens.isEnabled(edit));
    }
    pens.click(kOk);
    EXPECT_STREQ(working(1, 0).scaleLowText, "-1.00");
    EXPECT_EQ(working(1, 0).inputHigh, 1.0);

    // A type change whose store is refused leaves the type as it was.
    PenSettingDialog& refused = open(1);
    refused.typeText(kNodeEdit, "");
    refused.chooseItem(kAnalogTypeList, 1);
    EXPECT_EQ(lastMessage(), "Node numbers are available to use from 1 to 1F.");
    EXPECT_EQ(refused.selection(kAnalogTypeList), 0);
    EXPECT_EQ(working(1, 0).analogType, 0);
}

TEST_F(PenDialogTest, KindSwitchStoresThePreviousKindOrPutsTheRadioBack) {
    PenSettingDialog& pens = open(1);
    pens.typeText(kOutputNodeLowEdit, "0");
    pens.click(kDiscreteRadio);
    EXPECT_EQ(lastMessage(), "Node numbers are available to use from 1 to 1F.");
    EXPECT_EQ(pens.radioIndex(kAnalogRadio), 0);
    EXPECT_TRUE(pens.isVisible(kInputLowEdit));
    EXPECT_EQ(working(1, 0).isDiscrete, 0);

    pens.typeText(kOutputNodeLowEdit, "2");
    pens.typeText(kPlotHighEdit, "-1");  // ranges are not checked on a switch
    pens.click(kDiscreteRadio);
    EXPECT_EQ(working(1, 0).isDiscrete, 1);
    EXPECT_EQ(working(1, 0).alarmOutputNode[0], 2);
    EXPECT_EQ(working(1, 0).plotHigh, -1.0);
    EXPECT_FALSE(pens.isVisible(kInputLowEdit));
    EXPECT_TRUE(pens.isVisible(kOffNameEdit));
    EXPECT_EQ(pens.text(kOffNameEdit), "OFF");
}

// While a measurement runs only what the acquisition does not use can
// change, and OK still commits it.
TEST_F(PenDialogTest, RunningMeasurementLeavesDisplayAndAlarmSettingsEditable) {
    setRunning(false, true);
    PenSettingDialog& pens = open(1);
    for (int id : {kEnabledRadio, kTagEdit, kUnitEdit, kDiscreteRadio, kNodeEdit, kChannelEdit,
                   kAnalogTypeList, kInputLowEdit, kScaleHighEdit}) {
        EXPECT_FALSE(pens.isEnabled(id)) << id;
    }
    for (int id : {kHiddenRadio, kPenColourButton, kThickBox, kPlotLowEdit, kSetpointHighEdit,
                   kDeadbandLowEdit, kOutputLowBox, kOutputNodeLowEdit, kLowAlarmButton,
                   kDecimalPlacesList, kOk, kApply}) {
        EXPECT_TRUE(pens.isEnabled(id)) << id;
    }
    pens.click(kHiddenRadio);
    pens.click(kThickBox);
    pens.chooseItem(kDecimalPlacesList, 3);
    pens.click(kOk);
    EXPECT_EQ(working(1, 0).shown, 0);
    EXPECT_EQ(working(1, 0).thickLine, 1);
    EXPECT_EQ(working(1, 0).decimalPlaces, 3);
    EXPECT_EQ(load(g_settingsChanged), 1);
}

}  // namespace
}  // namespace kvt::test
