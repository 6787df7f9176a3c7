#include <cmath>

#include "PenDialogFixture.h"

namespace kvt::test {
namespace {

struct Step {
    int edit;
    const char* bad;
    const char* good;
    const char* english;
    const char* japanese;
};

constexpr const char* kNodeEn = "Node numbers are available to use from 1 to 1F.";
constexpr const char* kNodeJa = "ﾉｰﾄﾞ番号は、1-1Fを入力して下さい。";
constexpr const char* kOutEn = "Channel numbers are available to use from 1 to 4.";
constexpr const char* kOutJa = "ﾁｬﾝﾈﾙ番号は、1-4を入力して下さい。";
constexpr const char* kOrderEn = "Incorrect setting. Set high > low.";

// Every field of an analog pen wrong at once: OK names them one by one in
// this order, and accepts once the last is mended.
const Step kAnalogSteps[] = {
    {kNodeEdit, "0", "1F", kNodeEn, kNodeJa},
    {kChannelEdit, "2143", "2142", "Channel numbers are available to use from 1 to 2142.",
     "ﾁｬﾝﾈﾙ番号は、1-2142を入力して下さい。"},
    {kOutputNodeLowEdit, "0", "1F", kNodeEn, kNodeJa},
    {kOutputNodeHighEdit, "20", "2", kNodeEn, kNodeJa},
    {kOutputChannelLowEdit, "5", "4", kOutEn, kOutJa},
    {kOutputChannelHighEdit, "0", "1", kOutEn, kOutJa},
    {kInputHighEdit, "0", "1", kOrderEn, "入力ﾚﾝｼﾞは、下限値 < 上限値 で入力して下さい。"},
    {kScaleHighEdit, "-3", "100", kOrderEn, "ｽｹｰﾙは、下限値 < 上限値 で入力して下さい。"},
    {kPlotHighEdit, "-5", "5", kOrderEn, "ﾌﾟﾛｯﾄ範囲は、下限値 < 上限値 で入力して下さい。"},
    {kSetpointHighEdit, "5", "", kOrderEn, "ｱﾗｰﾑﾘﾐｯﾄ値は、下限値 < 上限値 で入力して下さい。"},
    {kDeadbandLowEdit, "-1", "", "Incorrect setting. Set value >= 0.0.",
     "ｱﾗｰﾑ不感帯は、正の値 で入力して下さい。"},
    {kDeadbandHighEdit, "-0.5", "0", "Incorrect setting. Set value >= 0.0.",
     "ｱﾗｰﾑ不感帯は、正の値 で入力して下さい。"},
};

const Step kDiscreteSteps[] = {
    {kOffDelayEdit, "61", "60", "Delay input error!", "遅延時間は、0-60を入力して下さい。"},
    {kOnDelayEdit, "99", "0", "Delay input error!", "遅延時間は、0-60を入力して下さい。"},
    {kOffNodeEdit, "0", "1F", kNodeEn, kNodeJa},
    {kOnNodeEdit, "20", "3", kNodeEn, kNodeJa},
    {kOffChannelEdit, "5", "4", kOutEn, kOutJa},
    {kOnChannelEdit, "0", "2", kOutEn, kOutJa},
};

class PenValidationTest : public PenDialogTest, public ::testing::WithParamInterface<int> {
protected:
    // Each step's bad text alone is refused with the step's message; then
    // with every text bad at once, OK names them one by one in step order.
    // A refusal stores nothing and leaves the input on screen.
    void walkSteps(PenSettingDialog& pens, std::span<const Step> steps) {
        PenSettings before = working(1, 0);
        for (const Step& step : steps) pens.typeText(step.edit, step.good);
        for (const Step& step : steps) {
            pens.typeText(step.edit, step.bad);
            expectRefused(pens, kApply, step, before);
            pens.typeText(step.edit, step.good);
        }
        for (const Step& step : steps) pens.typeText(step.edit, step.bad);
        for (const Step& step : steps) {
            expectRefused(pens, kOk, step, before);
            pens.typeText(step.edit, step.good);
        }
        size_t shown = boxes.texts.size();
        pens.click(kOk);
        EXPECT_EQ(boxes.texts.size(), shown);
        EXPECT_TRUE(pens.ended());
        EXPECT_EQ(load(g_settingsChanged), 1);
    }
    void expectRefused(PenSettingDialog& pens, int button, const Step& step,
                       const PenSettings& before) {
        size_t shown = boxes.texts.size();
        pens.click(button);
        ASSERT_EQ(boxes.texts.size(), shown + 1) << step.bad;
        EXPECT_EQ(boxes.texts.back(), languageFlag != 0 ? step.english : step.japanese);
        EXPECT_EQ(pens.text(step.edit), step.bad);
        EXPECT_FALSE(pens.ended());
        EXPECT_TRUE(samePen(working(1, 0), before));
        EXPECT_EQ(load(g_settingsChanged), 0);
    }
};

TEST_P(PenValidationTest, AnalogChecksComeInOrderAndStoreNothingUntilAllPass) {
    languageFlag = GetParam();
    PenSettingDialog& pens = open(1);
    pens.typeText(kInputLowEdit, "0");
    pens.typeText(kScaleLowEdit, "0");
    pens.typeText(kPlotLowEdit, "-5");
    pens.typeText(kSetpointLowEdit, "10");  // with an empty high setpoint: no order to check
    walkSteps(pens, kAnalogSteps);
    const PenSettings& pen = working(1, 0);
    EXPECT_EQ(pen.node, 31);
    EXPECT_EQ(pen.channel, 2142);
    EXPECT_EQ(pen.alarmOutputNode[0], 31);
    EXPECT_EQ(pen.alarmOutputChannel[0], 4);
    EXPECT_EQ(pen.inputHigh, 1.0);
    EXPECT_EQ(pen.alarmLimitLow, 10.0);
    EXPECT_EQ(pen.alarmLimitHigh, kNoData);  // empty setpoint: not set
    EXPECT_EQ(pen.deadbandLow, kNoData);
    EXPECT_EQ(pen.deadbandHigh, 0.0);
    EXPECT_STREQ(pen.deadbandLowText, "");
}

TEST_P(PenValidationTest, DiscreteChecksComeInOrder) {
    languageFlag = GetParam();
    live(1, 0).isDiscrete = 1;
    PenSettingDialog& pens = open(1);
    walkSteps(pens, kDiscreteSteps);
    const PenSettings& pen = working(1, 0);
    EXPECT_EQ(pen.discreteAlarmDelay[0], 60);
    EXPECT_EQ(pen.discreteOutputNode[0], 31);
    EXPECT_EQ(pen.discreteOutputChannel[1], 2);
}

INSTANTIATE_TEST_SUITE_P(BothLanguages, PenValidationTest, ::testing::Values(1, 0));

// Texts whose value would be infinite are refused with their row's message.
TEST_F(PenDialogTest, RangesThatOverflowAreRefused) {
    struct Case {
        int lowEdit;
        const char* low;
        int highEdit;
        const char* high;
        const char* message;
    } cases[] = {
        {kPlotLowEdit, "0", kPlotHighEdit, "9e999", kOrderEn},
        {kInputLowEdit, "-1e308", kInputHighEdit, "1e308", kOrderEn},
        {kSetpointLowEdit, "", kSetpointHighEdit, "9e999", kOrderEn},
        {kDeadbandLowEdit, "9e999", kDeadbandHighEdit, "", "Incorrect setting. Set value >= 0.0."},
    };
    for (const Case& c : cases) {
        PenSettingDialog& pens = open(1);
        pens.typeText(c.lowEdit, c.low);
        pens.typeText(c.highEdit, c.high);
        pens.click(kApply);
        EXPECT_EQ(lastMessage(), c.message) << c.high;
        EXPECT_EQ(load(g_settingsChanged), 0);
    }
}

// The high-speed group has no alarms: its setpoints and outputs are
// neither checked nor written.
TEST_F(PenDialogTest, HighSpeedPensSkipTheAlarmChecks) {
    liveConfiguration.operatingMode = kHighSpeedMode;
    PenSettings& pen = live(0, 0);
    std::strcpy(pen.alarmLimitLowText, "10");
    std::strcpy(pen.alarmLimitHighText, "5");
    pen.alarmOutputNode[0] = 0;
    PenSettingDialog& pens = open(0);
    EXPECT_EQ(pens.text(kOutputNodeLowEdit), "");
    pens.click(kOk);
    EXPECT_TRUE(boxes.texts.empty());
    EXPECT_TRUE(pens.ended());
    EXPECT_EQ(working(0, 0).alarmOutputNode[0], 0);
}

}  // namespace
}  // namespace kvt::test
