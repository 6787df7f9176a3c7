// The small display fonts come from bitmap faces made for their sizes:
// digits no reader confuses, an open zero, the same glyphs whatever byte
// order a font file was written in, and one clear line for a missing face.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
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

// Background cells of a mask that no 4-connected path of background links
// to its edge, counted as separate holes.
int enclosedHoles(const GlyphMask& mask) {
    std::vector<int> region(mask.ink.size(), 0);  // 0 unvisited, 1 outside, 2.. holes
    auto flood = [&](int x, int y, int mark) {
        std::vector<std::pair<int, int>> stack{{x, y}};
        while (!stack.empty()) {
            auto [cx, cy] = stack.back();
            stack.pop_back();
            if (cx < 0 || cy < 0 || cx >= mask.width || cy >= mask.height) continue;
            size_t at = static_cast<size_t>(cy) * mask.width + cx;
            if (mask.ink[at] != 0 || region[at] != 0) continue;
            region[at] = mark;
            stack.insert(stack.end(), {{cx + 1, cy}, {cx - 1, cy}, {cx, cy + 1}, {cx, cy - 1}});
        }
    };
    for (int x = 0; x < mask.width; ++x) {
        flood(x, 0, 1);
        flood(x, mask.height - 1, 1);
    }
    for (int y = 0; y < mask.height; ++y) {
        flood(0, y, 1);
        flood(mask.width - 1, y, 1);
    }
    int holes = 0;
    for (int y = 0; y < mask.height; ++y) {
        for (int x = 0; x < mask.width; ++x) {
            if (mask.ink[static_cast<size_t>(y) * mask.width + x] == 0 &&
                region[static_cast<size_t>(y) * mask.width + x] == 0) {
                flood(x, y, 2 + holes++);
            }
        }
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
    EXPECT_EQ(zero.width, 5);
    EXPECT_EQ(zero.height, 9);
    EXPECT_EQ(std::vector<uint8_t>(zero.ink.begin(), zero.ink.begin() + 10),
              std::vector<uint8_t>({0, 1, 1, 1, 0, 1, 1, 0, 1, 1}));
    for (const char* name : {"tiny-p1-u1-lL.pcf", "tiny-p2-u1-mL.pcf", "tiny-p2-u2-lM.pcf",
                             "tiny-p4-u2-lL.pcf", "tiny-p4-u4-mL.pcf"}) {
        PcfFont font;
        ASSERT_TRUE(font.parse(readSeed(name))) << name;
        EXPECT_EQ(font.ascent(), 10);
        EXPECT_EQ(font.descent(), 2);
        for (uint32_t code : {0x30u, 0x38u, 0x3042u}) {
            BitmapGlyph expected;
            BitmapGlyph glyph;
            ASSERT_TRUE(reference.glyph(code, expected));
            ASSERT_TRUE(font.glyph(code, glyph)) << name << " " << code;
            EXPECT_EQ(glyph.ink, expected.ink) << name << " " << code;
            EXPECT_EQ(glyph.ascent, expected.ascent) << name;
        }
        BitmapGlyph none;
        EXPECT_FALSE(font.glyph('A', none));
    }
}

// A folder without the faces, and one whose 12 px face is damaged: one line
// per font package names the file, the reason and the package; the text is
// drawn from the outline font meanwhile.
TEST(BitmapFonts, MissingOrDamagedFacesAreNamedAndTheOutlineStandsIn) {
    test::ensureQtApplication();
    test::TempHome home;
    std::string empty = home.path() + "/empty";
    std::string damaged = home.path() + "/damaged";
    std::filesystem::create_directories(empty);
    std::filesystem::create_directories(damaged);
    for (const auto& entry : std::filesystem::directory_iterator(kBitmapFontFolder)) {
        std::filesystem::create_symlink(entry.path(), damaged + "/" + entry.path().filename().string());
    }
    std::filesystem::remove(damaged + "/shnm6x12ab.pcf.gz");
    test::writeFile(damaged + "/shnm6x12ab.pcf.gz", "\x01" "fcp but no tables");
    GlyphMask bitmapZero = digit(FontId::Small, '0');

    struct Case {
        std::string folder;
        std::vector<std::string> lines;  // a fragment of each line, in order
    };
    const Case cases[] = {
        {empty, {empty + "/shnm7x14ab.pcf.gz (No such file or directory); install the package "
                         "xfonts-shinonome",
                 empty + "/mplus_h10r.pcf.gz (No such file or directory); install the package "
                         "xfonts-mplus"}},
        {damaged, {damaged + "/shnm6x12ab.pcf.gz (not a bitmap font file); install the package "
                             "xfonts-shinonome"}},
    };
    for (const Case& fonts : cases) {
        test::CapturedStderr errors;
        EXPECT_FALSE(createDisplayFonts(fonts.folder.c_str()));
        std::string text = errors.text();
        EXPECT_EQ(test::linesContaining(text, "kvt936p: cannot use font "),
                  static_cast<int>(fonts.lines.size()))
            << text;
        for (const std::string& line : fonts.lines) {
            EXPECT_EQ(test::linesContaining(text, line), 1) << text;
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
