#include <gtest/gtest.h>

#include <string>

#include "core/ConfigurationRecord.h"
#include "display/ButtonLayout.h"
#include "display/DisplayColours.h"
#include "display/DisplayState.h"
#include "display/ScreenDrawing.h"
#include "display/TopBar.h"
#include "display/TopBarTexts.h"
#include "platform/GlyphCache.h"
#include "platform/SjisText.h"
#include "support/QtTestApplication.h"
#include "support/SurfacePixels.h"

namespace kvt {
namespace {

using test::countPixels;
using test::sameRegion;

class TopBarTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::ensureQtApplication();
        state.language = 1;
        state.operatingMode = kNormalMode;
        state.currentGroup = 1;
        state.displayMode = kLiveTrend;
    }

    DeviceContext drawn() {
        DeviceContext image;
        drawScreenImage(image, state);
        return image;
    }

    // The caption drawn alone the way the bar draws it, for comparison.
    static DeviceContext caption(const std::string& sjis, int x, int y, Colour colour) {
        return test::textAlone(FontId::Small, x, y, sjis, colour, kBarGrey);
    }

    TopBarState state;
};

TEST_F(TopBarTest, FaceIsBarGreyWhereNothingIsDrawn) {
    DeviceContext image = drawn();
    // Between the lamps and the command buttons, and above the bar texts.
    EXPECT_EQ(countPixels(image, kBarGrey, 181, 20, 400, 40), 219 * 20);
    EXPECT_EQ(countPixels(image, kBarGrey, 200, 0, 460, 20), 260 * 20);
    EXPECT_NE(image.pixel(300, 40), kBarGrey);  // the bar ends at row 39
    // Every pixel of the bar is one of the bar's colours.
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 800; ++x) {
            Colour c = image.pixel(x, y);
            ASSERT_TRUE(c == kBarGrey || c == kWhite || c == kDarkGrey || c == kBlack ||
                        c == kLampGreen || c == kGrey)
                << x << "," << y;
        }
    }
}

TEST_F(TopBarTest, ExitButtonFrameRaisedAndPressed) {
    DeviceContext image = drawn();
    ButtonBox box = buttonBox(kSmallButtonRow, kButtonExit);
    ASSERT_EQ(box.left, 780);
    ASSERT_EQ(box.bottom, 19);
    EXPECT_EQ(image.pixel(780, 5), kWhite);     // left edge
    EXPECT_EQ(image.pixel(790, 0), kWhite);     // top edge
    EXPECT_EQ(image.pixel(780, 0), kWhite);
    EXPECT_EQ(image.pixel(799, 0), kDarkGrey);  // the second pen starts at the top right
    EXPECT_EQ(image.pixel(799, 10), kDarkGrey);
    EXPECT_EQ(image.pixel(790, 19), kDarkGrey);
    EXPECT_EQ(image.pixel(781, 1), kBarGrey);   // face

    drawButtonFrame(image, kSmallButtonRow, kButtonExit, true);
    EXPECT_EQ(image.pixel(780, 5), kDarkGrey);
    EXPECT_EQ(image.pixel(790, 0), kDarkGrey);
    EXPECT_EQ(image.pixel(799, 10), kWhite);
    EXPECT_EQ(image.pixel(790, 19), kWhite);
    // Its caption "X" in white at x 786.
    EXPECT_TRUE(sameRegion(image, caption("X", 786, 4, kWhite), 782, 2, 798, 18));
}

TEST_F(TopBarTest, StartBecomesStopOnlyWhileRequestedAndActive) {
    DeviceContext start = drawn();
    EXPECT_TRUE(sameRegion(start, caption(" START  ", 410, 25, kWhite), 401, 21, 479, 39));

    state.acquisitionRequested = true;  // starting, not yet active
    DeviceContext starting = drawn();
    EXPECT_TRUE(sameRegion(starting, start, 400, 20, 480, 40));

    state.acquisitionActive = true;
    DeviceContext stop = drawn();
    EXPECT_TRUE(sameRegion(stop, caption(" STOP   ", 410, 25, kWhite), 401, 21, 479, 39));
    EXPECT_FALSE(sameRegion(stop, start, 401, 21, 479, 39));
}

TEST_F(TopBarTest, CaptionsByLengthLanguageAndState) {
    // Longer captions start two pixels further left.
    DeviceContext image = drawn();
    EXPECT_TRUE(sameRegion(image, caption("AlarmHist.", 568, 25, kWhite), 561, 21, 639, 39));
    EXPECT_TRUE(sameRegion(image, caption("Setting ", 730, 25, kWhite), 721, 21, 799, 39));

    state.language = 0;
    DeviceContext japanese = drawn();
    std::string settingJa = utf8ToSjis("  設定  ");
    ASSERT_EQ(settingJa.size(), 8u);
    EXPECT_TRUE(sameRegion(japanese, caption(settingJa, 730, 25, kWhite), 721, 21, 799, 39));

    state.language = 1;
    state.operatingMode = kHighSpeedMode;
    state.currentGroup = 0;
    DeviceContext highSpeed = drawn();
    EXPECT_TRUE(sameRegion(highSpeed, caption("AlarmHist.", 568, 25, kGrey), 561, 21, 639, 39));
    EXPECT_TRUE(sameRegion(highSpeed, caption("Group:0", 466, 4, kWhite), 466, 2, 540, 18));
    EXPECT_TRUE(sameRegion(highSpeed, caption("Cycle:0.05Sec.", 546, 4, kWhite), 546, 2, 640, 18));
}

TEST_F(TopBarTest, PlaybackShowsSevenButtonsAndTheDividedCaption) {
    state.displayMode = kPlaybackWithPanel;
    state.dividedView = true;
    DeviceContext image = drawn();
    ButtonBox divide = buttonBox(kCommandButtonRow, kButtonDivide);
    EXPECT_EQ(divide.left, 240);
    EXPECT_EQ(image.pixel(240, 30), kWhite);
    EXPECT_TRUE(sameRegion(image, caption("Normal  ", 250, 25, kWhite), 241, 21, 319, 39));
    EXPECT_TRUE(sameRegion(image, caption(" Hide   ", 490, 25, kWhite), 481, 21, 559, 39));
}

TEST_F(TopBarTest, SmallButtonCaptionsGreyWhereTheyCannotAct) {
    state.currentGroup = 10;
    DeviceContext image = drawn();
    EXPECT_TRUE(sameRegion(image, caption(">>", 743, 4, kGrey), 741, 1, 759, 19));
    EXPECT_TRUE(sameRegion(image, caption("<<", 723, 4, kWhite), 721, 1, 739, 19));
    EXPECT_TRUE(smallButtonDisabled(state, kButtonNextPen));  // no panel shown
    state.displayMode = kLiveWithPanel;
    state.selectedPen = 12;
    EXPECT_TRUE(smallButtonDisabled(state, kButtonNextPen));
    EXPECT_FALSE(smallButtonDisabled(state, kButtonPreviousPen));
    state.currentGroup = 0;
    state.selectedPen = 7;
    EXPECT_FALSE(smallButtonDisabled(state, kButtonNextPen));
    state.selectedPen = 8;
    EXPECT_TRUE(smallButtonDisabled(state, kButtonNextPen));
    EXPECT_FALSE(smallButtonDisabled(state, kButtonSaveImage));
    // "SC" is drawn as two letters at 662 and 669.
    DeviceContext sc = drawn();
    DeviceContext expected = caption("S", 662, 4, kWhite);
    expected.textOut(669, 4, "C");
    EXPECT_TRUE(sameRegion(sc, expected, 661, 1, 679, 19));
}

TEST_F(TopBarTest, LampsFollowRunBlinkRecordingAndDisk) {
    auto lampAt = [](const DeviceContext& image, int lamp) { return image.pixel(lamp * 60 + 10, 30); };
    DeviceContext idle = drawn();
    EXPECT_EQ(lampAt(idle, 0), kBlack);
    EXPECT_EQ(lampAt(idle, 1), kBlack);
    EXPECT_EQ(lampAt(idle, 2), kLampGreen);
    EXPECT_EQ(idle.pixel(3, 23), kBlack);  // the dark square's corner shows round a lit lamp
    EXPECT_EQ(idle.pixel(0, 30), kDarkGrey);   // sunken box: dark left edge
    EXPECT_EQ(idle.pixel(59, 30), kWhite);     // light right edge

    state.acquisitionActive = true;
    state.blink = true;
    state.groupRecording = true;
    DeviceContext running = drawn();
    EXPECT_EQ(lampAt(running, 0), kLampGreen);
    EXPECT_EQ(lampAt(running, 1), kLampGreen);
    state.blink = false;
    EXPECT_EQ(lampAt(drawn(), 0), kBlack);

    state.diskLow = true;
    EXPECT_EQ(lampAt(drawn(), 2), kBlack);
    state.blink = true;
    EXPECT_EQ(lampAt(drawn(), 2), kLampOrange);
    state.groupRecording = false;
    EXPECT_EQ(lampAt(drawn(), 1), kBlack);
    EXPECT_TRUE(sameRegion(idle, caption("Disk", 145, 25, kWhite), 145, 25, 169, 37));
}

TEST_F(TopBarTest, DemoWatermarkOnlyInDemonstrationMode) {
    state.operatingMode = kDemoMode;
    DeviceContext demo = drawn();
    state.operatingMode = kNormalMode;
    DeviceContext normal = drawn();
    // The words differ from the plain screen only in their own rows, and the
    // graph drawn over them is the same.
    for (int x = 63; x < 803; x += 148) {
        EXPECT_GT(countPixels(demo, kLightGrey, x, 240, x + 80, 280) -
                      countPixels(normal, kLightGrey, x, 240, x + 80, 280),
                  100)
            << x;
    }
    EXPECT_TRUE(sameRegion(demo, normal, 0, 40, 800, 240));
    EXPECT_TRUE(sameRegion(demo, normal, 0, 280, 800, 600));
}

// The watermark's rows are kept between redraws: the ground stays the
// words drawn afresh on white, also once the glyphs are made anew, and
// text drawn next looks as it would after the words.
TEST_F(TopBarTest, KeptWatermarkIsTheWordsDrawnAfresh) {
    DeviceContext fresh;
    fresh.selectFont(FontId::Large);
    drawDemoWatermark(fresh);
    fresh.textOut(10, 10, "x");
    for (int round = 0; round < 3; ++round) {
        if (round == 2) clearGlyphCache();
        DeviceContext kept;
        kept.fillSolidRect(0, 0, 800, 600, kBlack);
        kept.selectFont(FontId::Large);
        drawScreenGround(kept, true);
        kept.textOut(10, 10, "x");
        EXPECT_TRUE(sameRegion(kept, fresh, 0, 0, 800, 600)) << round;
    }
}

// Bars kept between redraws are the bar drawn afresh for each state in
// turn (the blink going back and forth, other states and fresh glyphs
// between), and text drawn next looks as it would after the bar.
TEST_F(TopBarTest, KeptBarIsTheBarDrawnAfresh) {
    auto blinked = [](TopBarState s) { s.blink = !s.blink; return s; };
    TopBarState running = state;
    running.acquisitionActive = running.acquisitionRequested = running.groupRecording = true;
    TopBarState japanese = running;
    japanese.language = 0;
    TopBarState failing = running;
    failing.writeFailing = true;
    const TopBarState turns[] = {running, blinked(running), running, blinked(running), japanese,
                                 running, failing, blinked(failing), running, running};
    for (int turn = 0; turn < static_cast<int>(std::size(turns)); ++turn) {
        if (turn == 8) clearGlyphCache();
        DeviceContext fresh;
        drawTopBar(fresh, turns[turn]);
        DeviceContext kept;
        drawScreenImage(kept, turns[turn]);
        for (DeviceContext* image : {&fresh, &kept}) {
            image->fillSolidRect(0, 50, 40, 30, kBlack);
            image->textOut(10, 50, "x");
        }
        EXPECT_TRUE(sameRegion(kept, fresh, 0, 0, 800, 40)) << turn;
        EXPECT_TRUE(sameRegion(kept, fresh, 0, 50, 40, 80)) << turn;
    }
}

TEST(TopBarTexts, GroupAndCycleTexts) {
    EXPECT_EQ(groupText(1, 7), "Group:7");
    EXPECT_EQ(sjisToUtf8(groupText(0, 10)), "ｸﾞﾙｰﾌﾟ:10");
    EXPECT_EQ(cycleText(1, 0, 3), "Cycle:0.05Sec.");
    EXPECT_EQ(cycleText(1, 4, 0), "Cycle:0.5Sec.");
    EXPECT_EQ(cycleText(1, 4, 4), "Cycle:10Sec.");
    EXPECT_EQ(cycleText(1, 4, 5), "Cycle:1Min.");
    EXPECT_EQ(sjisToUtf8(cycleText(0, 2, 5)), "収録周期:1分");
    EXPECT_EQ(sjisToUtf8(cycleText(0, 0, 0)), "収録周期:0.05秒");
    // A damaged storing cycle in the settings file must not reach outside the table.
    EXPECT_EQ(cycleText(1, 3, 77), "Cycle:0.5Sec.");
    EXPECT_EQ(cycleText(1, 3, -1), "Cycle:0.5Sec.");
}

TEST(TopBarTexts, CommandCaptionsAreEightBytesExceptTheThreeLongOnes) {
    for (int language : {0, 1}) {
        for (bool playback : {false, true}) {
            int count = playback ? kPlaybackCommandButtons : kLiveCommandButtons;
            for (int index = 0; index < count; ++index) {
                const std::string& text = commandCaption(language, playback, index);
                bool longOne = language == 1 && (text == "AlarmHist." || text == "Date Time" ||
                                                 text == "Real Value");
                EXPECT_EQ(text.size() == 8, !longOne) << language << playback << index << text;
            }
        }
    }
    EXPECT_EQ(sjisToUtf8(commandCaption(0, true, 6)), "分割表示");
    EXPECT_EQ(sjisToUtf8(replacementCaption(0, CaptionReplacement::Stop)), "  停止  ");
}

}  // namespace
}  // namespace kvt
