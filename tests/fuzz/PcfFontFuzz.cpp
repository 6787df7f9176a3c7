// Fuzz target: bitmap font files. The recorder reads the .pcf files of the
// X font packages, bytes it does not control. Whatever the bytes, reading
// them gives a font or an empty one, ascent and descent in range, and every
// glyph it hands out is a whole bitmap of bounded size, read the same way
// each time; the glyphs of a damaged font never reach outside the file.
#include <vector>

#include "platform/PcfFont.h"
#include "support/FuzzInput.h"

namespace kvt {
namespace {

constexpr int kLargestSide = 128;

void checkGlyph(const PcfFont& font, uint32_t code) {
    BitmapGlyph glyph;
    if (!font.glyph(code, glyph)) return;
    FUZZ_CHECK(glyph.width >= 0 && glyph.width <= kLargestSide);
    FUZZ_CHECK(glyph.height >= 0 && glyph.height <= kLargestSide);
    FUZZ_CHECK(glyph.ink.size() == static_cast<size_t>(glyph.width) * glyph.height);
    for (uint8_t cell : glyph.ink) FUZZ_CHECK(cell <= 1);
    BitmapGlyph again;
    FUZZ_CHECK(font.glyph(code, again) && again.ink == glyph.ink && again.left == glyph.left &&
               again.ascent == glyph.ascent);
}

}  // namespace
}  // namespace kvt

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace kvt;
    PcfFont font;
    bool parsed = font.parse(std::vector<uint8_t>(data, data + size));
    FUZZ_CHECK(parsed != font.empty());
    FUZZ_CHECK(font.ascent() >= 0 && font.descent() >= 0 &&
               font.ascent() + font.descent() <= kLargestSide);
    // Single bytes, and the corners of the two-byte rows the fonts use.
    for (uint32_t code = 0; code < 0x100; ++code) checkGlyph(font, code);
    for (uint32_t code : {0x2121u, 0x3042u, 0x7E7Eu, 0xFFFFu, 0x10000u}) checkGlyph(font, code);
    return 0;
}
