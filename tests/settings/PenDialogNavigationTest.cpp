#include "PenDialogFixture.h"

namespace kvt::test {
namespace {

TEST_F(PenDialogTest, OpensOnTheMenusGroupFromTheLiveConfiguration) {
    std::strcpy(live(3, 0).tag, "Boiler");
    PenSettingDialog& pens = open(3);
    EXPECT_EQ(pens.text(kGroupLabel), "Group 3");
    EXPECT_EQ(pens.text(kPenLabel), "Pen 1");
    EXPECT_EQ(pens.text(kTagEdit), "Boiler");
    EXPECT_EQ(pens.text(kNodeEdit), "3");
    EXPECT_EQ(pens.text(kChannelEdit), "1");
    EXPECT_EQ(std::memcmp(&workingConfiguration, &liveConfiguration, sizeof liveConfiguration), 0);

    languageFlag = 0;
    EXPECT_EQ(open(3).text(kGroupLabel), "ｸﾞﾙｰﾌﾟ 3");
}

// A group out of range from the menu is clamped to the nearest one.
TEST_F(PenDialogTest, ArrowsAreOfferedByModeGroupAndPen) {
    struct Case {
        int mode;
        int group;
        const char* label;
        bool previousGroup;
        bool nextGroup;
    } cases[] = {
        {kNormalMode, 1, "Group 1", false, true},   {kNormalMode, 2, "Group 2", true, true},
        {kNormalMode, 10, "Group 10", true, false}, {kDemoMode, 5, "Group 5", true, true},
        {kHighSpeedMode, 0, "Group 0", false, false},
        {kNormalMode, 42, "Group 10", true, false}, {kDemoMode, -3, "Group 0", false, true},
    };
    for (const Case& c : cases) {
        liveConfiguration.operatingMode = c.mode;
        PenSettingDialog& pens = open(c.group);
        SCOPED_TRACE(c.group);
        EXPECT_EQ(pens.text(kGroupLabel), c.label);
        EXPECT_EQ(pens.isEnabled(kPreviousGroup), c.previousGroup);
        EXPECT_EQ(pens.isEnabled(kNextGroup), c.nextGroup);
        EXPECT_FALSE(pens.isEnabled(kPreviousPen));
        EXPECT_TRUE(pens.isEnabled(kNextPen));
    }
}

TEST_F(PenDialogTest, HighSpeedGroupShowsItsNodeAndStopsAtPenEight) {
    liveConfiguration.operatingMode = kHighSpeedMode;
    liveConfiguration.highSpeedNode.number = 0xC;
    PenSettingDialog& pens = open(0);
    EXPECT_EQ(pens.text(kGroupLabel), "Group 0");
    EXPECT_EQ(pens.text(kNodeEdit), "C");
    EXPECT_FALSE(pens.isEnabled(kNodeEdit));
    EXPECT_FALSE(pens.isEnabled(kAnalogRadio));
    EXPECT_FALSE(pens.isEnabled(kSetpointLowEdit));
    for (int step = 0; step < 10; ++step) pens.click(kNextPen);
    EXPECT_EQ(pens.currentPen(), 7);
    EXPECT_EQ(pens.text(kPenLabel), "Pen 8");
    EXPECT_EQ(pens.text(kChannelEdit), "8");
    EXPECT_FALSE(pens.isEnabled(kNextPen));
    EXPECT_EQ(working(0, 6).node, 0xC);
    EXPECT_EQ(working(0, 6).channel, 7);
    EXPECT_TRUE(boxes.texts.empty());
}

// Every step stores the pen on screen first, so what was typed on each pen
// passed survives, and coming back shows it again.
TEST_F(PenDialogTest, NavigationStoresEveryPenItPasses) {
    PenSettingDialog& pens = open(1);
    const char* tags[] = {"Feed", "Return", "Stack"};
    for (const char* tag : tags) {
        pens.typeText(kTagEdit, tag);
        pens.typeText(kUnitEdit, "kW");
        pens.click(kNextPen);
    }
    pens.typeText(kChannelEdit, "77");
    pens.click(kNextGroup);
    EXPECT_EQ(pens.text(kGroupLabel), "Group 2");
    EXPECT_EQ(pens.currentPen(), 0);
    for (int pen = 0; pen < 3; ++pen) {
        EXPECT_STREQ(working(1, pen).tag, tags[pen]);
        EXPECT_STREQ(working(1, pen).unit, "kW");
    }
    EXPECT_EQ(working(1, 3).channel, 77);
    pens.click(kPreviousGroup);
    for (int step = 0; step < 2; ++step) pens.click(kNextPen);
    EXPECT_EQ(pens.text(kTagEdit), "Stack");
    pens.click(kPreviousPen);
    EXPECT_EQ(pens.text(kTagEdit), "Return");
    EXPECT_EQ(load(g_settingsChanged), 0);  // stored in the working copy only
    EXPECT_TRUE(boxes.texts.empty());
}

TEST_F(PenDialogTest, RejectedStepKeepsThePenAndTheInputOnScreen) {
    PenSettingDialog& pens = open(1);
    PenSettings before = working(1, 0);
    pens.typeText(kTagEdit, "Typed");
    pens.typeText(kNodeEdit, "20");
    pens.click(kNextPen);
    EXPECT_EQ(lastMessage(), "Node numbers are available to use from 1 to 1F.");
    EXPECT_EQ(pens.currentPen(), 0);
    EXPECT_EQ(pens.text(kTagEdit), "Typed");
    EXPECT_EQ(pens.text(kNodeEdit), "20");
    EXPECT_TRUE(samePen(working(1, 0), before));
    pens.typeText(kNodeEdit, "1f");
    pens.click(kNextPen);
    EXPECT_EQ(pens.currentPen(), 1);
    EXPECT_EQ(working(1, 0).node, 31);
}

}  // namespace
}  // namespace kvt::test
