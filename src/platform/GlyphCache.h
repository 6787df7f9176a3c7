#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/Fonts.h"

namespace kvt {

// One character rendered once into a two-level mask: 1 where the glyph
// has ink. Rows are the font's cell height; columns cover the character's
// cells plus a little room for the overhang of synthetic bold.
struct GlyphMask {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> ink;  // width * height, row-major

    bool inked(int x, int y) const { return ink[static_cast<size_t>(y) * width + x] != 0; }
};

// A Shift-JIS character as a number: a single byte, or lead byte * 256 +
// trail byte for a double-byte character.
uint16_t sjisCharCode(const unsigned char* bytes, int length);

// The mask of a character in a font, rendered on first use and kept for
// the run: from the bitmap face made for the font's size when one has the
// character (see BitmapFonts.h), else from the outline font. Without a
// running GUI toolkit an outline character's mask is empty (no ink).
const GlyphMask& glyphMask(FontId font, uint16_t sjisCode);

// Forgets every mask, for fonts read anew.
void clearGlyphCache();

// A number that changes whenever a mask is made or forgotten: text drawn
// earlier and kept would be drawn alike while it stays the same.
unsigned glyphCacheGeneration();

}  // namespace kvt
