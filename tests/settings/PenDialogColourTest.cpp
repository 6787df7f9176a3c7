#include "PenDialogFixture.h"

namespace kvt::test {
namespace {

// The swatch rectangles painted: a black frame, then the colour inside it.
std::vector<FilledRect> painted(PenSettingDialog& pens) {
    DialogCanvas canvas;
    pens.onPaint(canvas);
    return canvas.rects();
}

void expectSwatch(const std::vector<FilledRect>& rects, size_t at, const DialogRect& button,
                  int width, Colour colour) {
    ASSERT_GT(rects.size(), at + 1);
    const FilledRect& frame = rects[at];
    const FilledRect& inside = rects[at + 1];
    EXPECT_EQ(frame.x + frame.width, button.x - 5);
    EXPECT_EQ(frame.y, button.y);
    EXPECT_EQ(frame.width, width);
    EXPECT_EQ(frame.height, button.height - 1);
    EXPECT_EQ(frame.colour, rgb(0, 0, 0));
    EXPECT_EQ(inside.x, frame.x + 1);
    EXPECT_EQ(inside.y, frame.y + 1);
    EXPECT_EQ(inside.width, width - 2);
    EXPECT_EQ(inside.height, button.height - 3);
    EXPECT_EQ(inside.colour, colour);
}

TEST_F(PenDialogTest, ColourButtonsWriteTheirFieldAndRepaint) {
    live(1, 0).isDiscrete = 1;
    PenSettingDialog& pens = open(1);
    struct Case {
        int button;
        Colour PenSettings::*field;
    } cases[] = {
        {kPenColourButton, &PenSettings::penColour},
        {kOffNormalButton, &PenSettings::lowNormalColour},
        {kOnNormalButton, &PenSettings::highNormalColour},
        {kOffAlarmButton, &PenSettings::lowAlarmColour},
        {kOnAlarmButton, &PenSettings::highAlarmColour},
    };
    Colour next = rgb(10, 20, 30);
    for (const Case& c : cases) {
        Colour before = working(1, 0).*c.field;
        unsigned paints = pens.paintRevision();
        picker.answerNext(std::nullopt);  // the user cancels the picker
        pens.click(c.button);
        EXPECT_EQ(working(1, 0).*c.field, before);
        picker.answerNext(next);
        pens.click(c.button);
        EXPECT_EQ(picker.initialColours.back(), before);
        EXPECT_EQ(working(1, 0).*c.field, next);
        EXPECT_GT(pens.paintRevision(), paints);
        next += 0x010101;
    }
    std::vector<FilledRect> rects = painted(pens);
    ASSERT_EQ(rects.size(), 10u);
    expectSwatch(rects, 0, pens.pixelPlace(kPenColourButton), 42, rgb(10, 20, 30));
    const int buttons[] = {kOffNormalButton, kOnNormalButton, kOffAlarmButton, kOnAlarmButton};
    const Colour colours[] = {rgb(11, 21, 31), rgb(12, 22, 32), rgb(13, 23, 33), rgb(14, 24, 34)};
    for (size_t at = 0; at < 4; ++at) {
        expectSwatch(rects, 2 + 2 * at, pens.pixelPlace(buttons[at]), 22, colours[at]);
    }
    EXPECT_EQ(load(g_settingsChanged), 0);
    pens.click(kCancel);
    EXPECT_EQ(load(g_settingsChanged), 0);  // Cancel commits no colour
}

TEST_F(PenDialogTest, HighSpeedPensShowOnlyTheTrendColour) {
    liveConfiguration.operatingMode = kHighSpeedMode;
    PenSettingDialog& pens = open(0);
    std::vector<FilledRect> rects = painted(pens);
    ASSERT_EQ(rects.size(), 2u);
    expectSwatch(rects, 0, pens.pixelPlace(kPenColourButton), 42, live(0, 0).penColour);
}

// Desktops at most 640 pixels wide get the pixel layout, in English only.
TEST_F(PenDialogTest, SmallDesktopGetsThePixelLayoutInEnglish) {
    overrideDesktopWidth(640);
    PenSettingDialog& pens = open(1);
    EXPECT_EQ(pens.pixelWidth(), 640);
    EXPECT_EQ(pens.pixelHeight(), 420);
    struct Place {
        int id;
        DialogRect rect;
    } places[] = {
        {kCommonBox, {10, 63, 315, 200}},  {kThickLabel, {20, 240, 110, 20}},
        {kShownRadio, {220, 100, 80, 20}}, {kTagEdit, {140, 140, 150, 19}},
        {kApply, {220, 360, 95, 20}},      {kDeadbandLabel, {340, 140, 110, 20}},
        {kDeadbandHighEdit, {545, 140, 80, 19}}, {kOutputChannelLowEdit, {460, 200, 80, 19}},
        {kDecimalPlacesList, {500, 324, 80, 20}}, {kOnChannelEdit, {545, 140, 80, 19}},
        {kOffAlarmButton, {486, 180, 52, 20}},
    };
    for (const Place& place : places) {
        DialogRect shown = pens.pixelPlace(place.id);
        EXPECT_EQ(shown.x, place.rect.x) << place.id;
        EXPECT_EQ(shown.y, place.rect.y) << place.id;
        EXPECT_EQ(shown.width, place.rect.width) << place.id;
        EXPECT_EQ(shown.height, place.rect.height) << place.id;
    }
    expectSwatch(painted(pens), 0, {186, 220, 52, 20}, 42, live(1, 0).penColour);

    languageFlag = 0;
    EXPECT_EQ(open(1).pixelWidth(), dialogUnitsToPixelsX(319));
    languageFlag = 1;
    overrideDesktopWidth(641);
    EXPECT_EQ(open(1).pixelWidth(), dialogUnitsToPixelsX(319));
}

}  // namespace
}  // namespace kvt::test
