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

// The gothic outline face standing in for the Japanese system font: the
// large font, and any character the bitmap faces lack.
constexpr const char* kDisplayFontFamily = "IPAGothic";
constexpr const char* kDisplayFontPackage = "fonts-ipafont-gothic";

// Where the X font packages of Debian put the bitmap faces of the medium,
// small and tiny fonts (see BitmapFonts.h).
constexpr const char* kBitmapFontFolder = "/usr/share/fonts/X11/misc";

// Prepares the four fonts; needs the GUI toolkit to be running. A font
// that is missing or unusable gets one line on standard error naming it
// and the package that provides it, and its text is drawn with a fallback
// (the outline font for a bitmap face, a substitute face for the outline
// font); the cell advances hold either way. Returns false then.
bool createDisplayFonts(const char* bitmapFolder = kBitmapFontFolder);

}  // namespace kvt
