#include "PenDialogFixture.h"
#include "platform/SjisText.h"
#include "settings/PenEditFilters.h"

namespace kvt::test {
namespace {

// What each edit keeps of keystrokes and of a paste.
TEST_F(PenDialogTest, EveryEditKeepsOnlyWhatItsFilterAllows) {
    struct Case {
        int edit;
        const char* typed;
        const char* kept;
    } cases[] = {
        {kNodeEdit, "1g", "1"},
        {kNodeEdit, "a", "A"},
        {kNodeEdit, "fe3", "FE"},
        {kNodeEdit, "１2", "2"},  // a full-width digit is no digit
        {kChannelEdit, "12a345", "1234"},
        {kTagEdit, "ABCDEFGHIJKLMNOPQ", "ABCDEFGHIJKLMNOP"},
        {kTagEdit, "温度計測点温度計測点", "温度計測点温度計"},  // 8 double-byte characters
        {kTagEdit, "ﾀﾝｸ\tA", "ﾀﾝｸA"},
        {kUnitEdit, "m3/hour", "m3/hou"},
        {kUnitEdit, "ab℃c", "ab℃c"},
        {kOffNameEdit, "Closed door", "Closed doo"},
        {kOnDelayEdit, "123", "12"},
        {kOffNodeEdit, "zb1", "B1"},
        {kOnChannelEdit, "x23", "2"},
        {kInputLowEdit, " -1.5E+3kg", "-1.5E+3"},
        {kPlotHighEdit, "123456789", "12345678"},
        {kOutputNodeLowEdit, "c", "C"},
        {kOutputChannelHighEdit, "9", "9"},
    };
    PenSettingDialog& analog = open(1);
    live(2, 0).isDiscrete = 1;
    PenSettingDialog discrete(2);
    discrete.initialise();
    for (const Case& c : cases) {
        PenSettingDialog& pens = c.edit >= kOffHeading ? discrete : analog;
        pens.typeText(c.edit, "");
        pens.typeCharacters(c.edit, c.typed);
        EXPECT_EQ(pens.text(c.edit), c.kept) << c.typed;
        pens.typeText(c.edit, "");
        pens.pasteText(c.edit, c.typed);
        EXPECT_EQ(pens.text(c.edit), c.kept) << "pasted " << c.typed;
    }
}

TEST(PenEditFilters, FiltersByCode) {
    const PenEditFilter* exponent = penEditFilterForCode(315);
    ASSERT_NE(exponent, nullptr);
    EXPECT_EQ(filterPenText(*exponent, "-9x"), "-9");
    EXPECT_EQ(filterPenText(*exponent, "+.5"), "+5");
    const PenEditFilter* tag = penEditFilterForEdit(kTagEdit);
    EXPECT_EQ(tag->code, 1);
    EXPECT_EQ(filterPenText(*tag, "AB\x81"), "AB");  // a lead byte without its trail byte
    EXPECT_EQ(penEditFilterForEdit(kOk), nullptr);
}

// A text that reaches the dialog without a keystroke (a stored tag of 17
// bytes without its NUL) is cut at a character boundary before it is shown
// or stored again.
TEST_F(PenDialogTest, StoredTextsBeyondTheirFieldAreCutWhole) {
    std::string tag = utf8ToSjis("ＡＢＣＤＥＦＧＨＩ");  // 18 bytes
    std::memcpy(live(1, 0).tag, tag.data(), sizeof live(1, 0).tag);
    std::memset(live(1, 0).unit, 'x', sizeof live(1, 0).unit);
    PenSettingDialog& pens = open(1);
    EXPECT_EQ(pens.text(kTagEdit), "ＡＢＣＤＥＦＧＨ");
    EXPECT_EQ(pens.text(kUnitEdit), "xxxxxx");
    pens.click(kOk);
    EXPECT_EQ(std::string(working(1, 0).tag), tag.substr(0, 16));
    EXPECT_STREQ(working(1, 0).unit, "xxxxxx");
}

}  // namespace
}  // namespace kvt::test
