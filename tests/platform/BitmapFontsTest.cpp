// The small display fonts come from bitmap faces made for their sizes:
// digits no reader confuses, an open zero, the same glyphs whatever byte
// order a font file was written in, and one clear line for a missing face.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/BitmapFonts.h"
#include "platform/GlyphCache.h"
#include "platform/PcfFont.h"
#include "support/CapturedStderr.h"
#include "support/QtTestApplication.h"
#include "support/TempHome.h"

namespace kvt {
namespace {

// Background areas of a mask (4-connected) that do not reach its edge.
int enclosedHoles(const GlyphMask& mask) {
    std::vector<int> area(mask.ink.size(), -1);  // -1 unvisited, 0 outside, 1.. holes
    auto flood = [&](int x, int y, int mark) {
        std::vector<std::pair<int, int>> stack{{x, y}};
        while (!stack.empty()) {
            auto [cx, cy] = stack.back();
            stack.pop_back();
            if (cx < 0 || cy < 0 || cx >= mask.width || cy >= mask.height) continue;
            size_t at = static_cast<size_t>(cy) * mask.width + cx;
            if (mask.ink[at] != 0 || area[at] >= 0) continue;
            area[at] = mark;
            stack.insert(stack.end(), {{cx + 1, cy}, {cx - 1, cy}, {cx, cy + 1}, {cx, cy - 1}});
        }
    };
    int holes = 0;
    for (int y = 0; y < mask.height; ++y) {
        for (int x = 0; x < mask.width; ++x) {
            bool edge = x == 0 || y == 0 || x == mask.width - 1 || y == mask.height - 1;
            if (edge) flood(x, y, 0);
        }
    }
    for (size_t at = 0; at < area.size(); ++at) {
        if (mask.ink[at] == 0 && area[at] < 0) flood(at % mask.width, at / mask.width, ++holes);
    }
    return holes;
}

int differingCells(const GlyphMask& one, const GlyphMask& other) {
    int count = 0;
    for (size_t at = 0; at < one.ink.size(); ++at) count += one.ink[at] != other.ink[at] ? 1 : 0;
    return count;
}

const GlyphMask& digit(FontId font, char character) {
    return glyphMask(font, static_cast<uint16_t>(character));
}

class SmallFonts : public ::testing::TestWithParam<FontId> {
protected:
    void SetUp() override { test::ensureQtApplication(); }
};

// Pairs a reader mixes up when the font blurs: they differ in at least a
// quarter of the ink of the lighter one (and never in less than 4 pixels).
TEST_P(SmallFonts, LookAlikeDigitsDifferClearly) {
    FontId font = GetParam();
    const std::string digits = "081756";
    for (size_t one = 0; one < digits.size(); ++one) {
        for (size_t other = one + 1; other < digits.size(); ++other) {
            const GlyphMask& a = digit(font, digits[one]);
            const GlyphMask& b = digit(font, digits[other]);
            int inkA = static_cast<int>(std::count(a.ink.begin(), a.ink.end(), 1));
            int inkB = static_cast<int>(std::count(b.ink.begin(), b.ink.end(), 1));
            EXPECT_GE(differingCells(a, b), std::max(4, std::min(inkA, inkB) / 4))
                << digits[one] << " " << digits[other];
        }
    }
    EXPECT_EQ(enclosedHoles(digit(font, '0')), 1);  // open: no bar, slash or dot
    EXPECT_EQ(enclosedHoles(digit(font, '8')), 2);
}

INSTANTIATE_TEST_SUITE_P(MediumSmallTiny, SmallFonts,
                         ::testing::Values(FontId::Medium, FontId::Small, FontId::Tiny));

std::vector<uint8_t> readSeed(const std::string& name) {
    std::string path = std::string(KVT_SOURCE_DIR) + "/tests/fuzz/corpus/pcf_font/" + name;
    std::vector<uint8_t> bytes;
    EXPECT_EQ(readFontFile(path, bytes), "") << path;
    return bytes;
}

// The same small font written by bdftopcf with each row padding, scan unit,
// byte and bit order the fuzz corpus holds.
TEST(PcfFont, EveryByteAndBitOrderGivesTheSameGlyphs) {
    PcfFont reference;
    ASSERT_TRUE(reference.parse(readSeed("tiny-p4-u1-mM.pcf")));
    BitmapGlyph zero;
    ASSERT_TRUE(reference.glyph('0', zero));
    EXPECT_EQ(std::vector<uint8_t>(zero.ink.begin(), zero.ink.begin() + 10),
              std::vector<uint8_t>({0, 1, 1, 1, 0, 1, 1, 0, 1, 1}));  // ".###." "##.##"
    for (const char* name : {"tiny-p1-u1-lL.pcf", "tiny-p2-u1-mL.pcf", "tiny-p2-u2-lM.pcf",
                             "tiny-p4-u2-lL.pcf", "tiny-p4-u4-mL.pcf"}) {
        PcfFont font;
        ASSERT_TRUE(font.parse(readSeed(name))) << name;
        EXPECT_EQ(font.ascent(), 10);
        EXPECT_EQ(font.descent(), 2);
        for (uint32_t code : {0x30u, 0x38u, 0x3042u}) {
            BitmapGlyph expected, glyph;
            ASSERT_TRUE(reference.glyph(code, expected) && font.glyph(code, glyph)) << name;
            EXPECT_EQ(glyph.ink, expected.ink) << name << " " << code;
            EXPECT_EQ(glyph.ascent, expected.ascent);
        }
        EXPECT_FALSE(font.glyph('A', zero));
    }
}

// Without the faces: one line per font package names the file, the reason
// and the package, and the text is drawn from the outline font meanwhile.
TEST(BitmapFonts, MissingFacesAreNamedAndTheOutlineStandsIn) {
    test::ensureQtApplication();
    test::TempHome home;
    GlyphMask bitmapZero = digit(FontId::Small, '0');
    {
        test::CapturedStderr errors;
        EXPECT_FALSE(createDisplayFonts(home.path().c_str()));
        std::string text = errors.text();
        EXPECT_EQ(test::linesContaining(text, "kvt936p: cannot use font "), 2) << text;
        for (const char* file : {"/shnm7x14ab.pcf.gz (No such file or directory); install the "
                                 "package xfonts-shinonome;",
                                 "/mplus_h10r.pcf.gz (No such file or directory); install the "
                                 "package xfonts-mplus;"}) {
            EXPECT_EQ(test::linesContaining(text, home.path() + file), 1) << text;
        }
        const GlyphMask& outlineZero = digit(FontId::Small, '0');
        EXPECT_GT(std::count(outlineZero.ink.begin(), outlineZero.ink.end(), 1), 10);
        EXPECT_NE(outlineZero.ink, bitmapZero.ink);
    }
    test::CapturedStderr errors;
    EXPECT_TRUE(createDisplayFonts());
    EXPECT_EQ(errors.text(), "");
    EXPECT_EQ(digit(FontId::Small, '0').ink, bitmapZero.ink);
}

}  // namespace
}  // namespace kvt
