#include <climits>
#include <cmath>
#include <limits>

#include "PenDialogFixture.h"

namespace kvt::test {
namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();

// A hand-edited settings file: the dialog opens on every damaged pen,
// shows something sane, and stores only what passes its checks.
TEST_F(PenDialogTest, DamagedStoredPensOpenSanely) {
    PenSettings& pen = live(1, 0);
    pen.analogType = 99;
    pen.decimalPlaces = 9;
    pen.logDecadesIndex = 7;
    pen.movingAverage = -4;
    pen.enabled = 7;
    pen.logScale = 3;
    pen.inputLow = std::nan("");
    pen.scaleHigh = kInfinity;
    pen.plotLow = -kInfinity;
    std::memset(pen.inputHighText, '9', sizeof pen.inputHighText);   // no NUL
    std::memcpy(pen.plotHighText, "abc1e5xyz", sizeof pen.plotHighText);
    pen.alarmOutputChannel[1] = 70000;
    PenSettingDialog& pens = open(1);
    EXPECT_EQ(pens.selection(kAnalogTypeList), 0);
    EXPECT_EQ(pens.selection(kDecimalPlacesList), 3);
    EXPECT_EQ(pens.selection(kLogDecadesList), 4);
    EXPECT_EQ(pens.radioIndex(kDisabledRadio), 0);
    EXPECT_EQ(pens.radioIndex(kNormalRadio), 0);
    EXPECT_EQ(pens.text(kInputHighEdit), "99999999");
    EXPECT_EQ(pens.text(kPlotHighEdit), "1e5");
    EXPECT_EQ(pens.text(kOutputChannelHighEdit), "");

    pens.click(kOk);
    EXPECT_EQ(lastMessage(), "Channel numbers are available to use from 1 to 4.");
    pens.typeText(kOutputChannelHighEdit, "2");
    pens.click(kOk);
    ASSERT_TRUE(pens.ended());
    const PenSettings& stored = working(1, 0);
    EXPECT_EQ(stored.analogType, 0);
    EXPECT_EQ(stored.decimalPlaces, 3);
    EXPECT_EQ(stored.logDecadesIndex, 4);
    EXPECT_EQ(stored.movingAverage, 0);
    EXPECT_EQ(stored.enabled, 0);
    EXPECT_EQ(stored.logScale, 0);
    EXPECT_TRUE(std::isfinite(stored.inputLow) && std::isfinite(stored.scaleHigh) &&
                std::isfinite(stored.plotLow));
    EXPECT_EQ(stored.inputHigh, 99999999.0);
    EXPECT_EQ(stored.plotHigh, 1e5);
}

// Node and channel numbers that the edits cannot hold are shown so that
// the range check refuses them instead of reading them as other numbers.
TEST_F(PenDialogTest, StoredNodeAndChannelOutOfRangeAreRefused) {
    struct Case {
        int node;
        int channel;
        const char* nodeText;
        const char* channelText;
        const char* message;
    } cases[] = {
        {0, 1, "0", "1", "Node numbers are available to use from 1 to 1F."},
        {40, 1, "28", "1", "Node numbers are available to use from 1 to 1F."},
        {300, 1, "", "1", "Node numbers are available to use from 1 to 1F."},
        {-1, 1, "", "1", "Node numbers are available to use from 1 to 1F."},
        {1, 70000, "1", "", "Channel numbers are available to use from 1 to 2142."},
        {1, 21420, "1", "", "Channel numbers are available to use from 1 to 2142."},
    };
    for (const Case& c : cases) {
        live(1, 0).node = c.node;
        live(1, 0).channel = c.channel;
        PenSettingDialog& pens = open(1);
        EXPECT_EQ(pens.text(kNodeEdit), c.nodeText);
        EXPECT_EQ(pens.text(kChannelEdit), c.channelText);
        bool nodeValid = c.node >= 1 && c.node <= kNodeCount;
        EXPECT_EQ(pens.itemCount(kAnalogTypeList), nodeValid ? 15 : 0);
        pens.click(kApply);
        EXPECT_EQ(lastMessage(), c.message) << c.node << " " << c.channel;
        EXPECT_TRUE(samePen(working(1, 0), live(1, 0)));
        EXPECT_EQ(load(g_settingsChanged), 0);
    }
}

// The hidden logarithmic exponent as the settings file holds it: one
// outside -9..8 refuses the store with its message and stays as it was.
TEST_F(PenDialogTest, StoredLogExponentOutsideItsRangeIsRefusedNotClamped) {
    const struct {
        int exponent;
        bool stored;
    } cases[] = {{-9, true}, {8, true}, {9, false}, {99, false}, {-10, false},
                 {100000, false}, {INT_MIN, false}};
    for (const auto& c : cases) {
        live(1, 0).logLowExponent = c.exponent;
        PenSettingDialog& pens = open(1);
        size_t messages = boxes.texts.size();
        pens.click(kApply);
        EXPECT_EQ(boxes.texts.size(), messages + (c.stored ? 0 : 1)) << c.exponent;
        if (!c.stored) {
            EXPECT_EQ(lastMessage(), "Log Start Number is -9-8!");
        }
        EXPECT_EQ(working(1, 0).logLowExponent, c.exponent);
        EXPECT_EQ(load(g_settingsChanged), c.stored ? 1 : 0) << c.exponent;
        store(g_settingsChanged, 0);
    }
}

}  // namespace
}  // namespace kvt::test
