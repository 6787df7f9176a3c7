#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Fonts.h"

namespace kvt {

struct GlyphMask;

// Reads the bitmap faces of the medium (14 px), small (12 px) and tiny
// (10 px) fonts from `folder`, in place of any read before. Returns one
// line for each font package with a file that could not be used, naming
// the file, the reason and the package; the characters of such a file are
// drawn with the outline font instead.
std::vector<std::string> loadBitmapFonts(const std::string& folder = kBitmapFontFolder);

// Draws a Shift-JIS character from the first bitmap face of `font` that
// has it into `mask` (its cells, cell height rows, already sized and
// blank): its baseline on the face's, its left edge on the cell's. False
// when no face has it (the large font has none). Reads the faces from
// kBitmapFontFolder on first use when loadBitmapFonts has not run.
bool drawBitmapGlyph(FontId font, uint16_t sjisCode, GlyphMask& mask);

}  // namespace kvt
