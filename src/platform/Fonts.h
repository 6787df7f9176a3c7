#pragma once

namespace kvt {

// The four display fonts of the main window. Text is laid out cell by cell:
// a half-width character advances exactly `advance` pixels, a full-width
// (double-byte Shift-JIS) character exactly twice that, whatever the font
// file's own metrics say.
enum class FontId : int { Large = 0, Medium = 1, Small = 2, Tiny = 3 };
constexpr int kFontCount = 4;

struct FontCell {
    int pixelHeight;  // cell height
    int advance;      // half-width cell width
    bool bold;
};

constexpr FontCell kFontCells[kFontCount] = {
    {40, 20, true},   // large
    {14, 7, true},    // medium
    {12, 6, true},    // small
    {10, 5, false},   // tiny
};

constexpr const FontCell& fontCell(FontId font) { return kFontCells[static_cast<int>(font)]; }

// The gothic face standing in for the Japanese system font.
constexpr const char* kDisplayFontFamily = "IPAGothic";

// Prepares the four fonts; needs the GUI toolkit to be running. Returns
// false when the family is not installed: a substitute face is used and
// the cell advances still hold.
bool createDisplayFonts();

}  // namespace kvt
