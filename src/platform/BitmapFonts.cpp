#include "platform/BitmapFonts.h"

#include <array>
#include <mutex>

#include "platform/GlyphCache.h"
#include "platform/PcfFont.h"

namespace kvt {
namespace {

// How a face numbers its characters.
enum class FaceCodes {
    Ascii,     // ISO 8859-1, used for the single bytes 0x20-0x7E
    Katakana,  // JIS X 0201, used for the half-width katakana 0xA1-0xDF
    Kanji,     // JIS X 0208 row and cell, used for double-byte characters
};

struct FaceFile {
    FontId font;
    const char* file;
    FaceCodes codes;
    int cells;  // 1 for half-width characters, 2 for double-byte ones
    const char* package;
};

// Gothic faces drawn for these pixel sizes, tried in this order: Shinonome
// (bold, as the medium and small fonts are) for 14 and 12 px, M+ for 10 px.
// Their zero is open, without a slash or a dot, but for the second 10 px
// ASCII face, which only draws what is too wide for the cell in the first.
constexpr FaceFile kFaceFiles[] = {
    {FontId::Medium, "shnm7x14ab.pcf.gz", FaceCodes::Ascii, 1, "xfonts-shinonome"},
    {FontId::Medium, "shnm7x14rb.pcf.gz", FaceCodes::Katakana, 1, "xfonts-shinonome"},
    {FontId::Medium, "shnmk14b.pcf.gz", FaceCodes::Kanji, 2, "xfonts-shinonome"},
    {FontId::Small, "shnm6x12ab.pcf.gz", FaceCodes::Ascii, 1, "xfonts-shinonome"},
    {FontId::Small, "shnm6x12rb.pcf.gz", FaceCodes::Katakana, 1, "xfonts-shinonome"},
    {FontId::Small, "shnmk12b.pcf.gz", FaceCodes::Kanji, 2, "xfonts-shinonome"},
    {FontId::Tiny, "mplus_h10r.pcf.gz", FaceCodes::Ascii, 1, "xfonts-mplus"},
    {FontId::Tiny, "mplus_j10r-iso.pcf.gz", FaceCodes::Ascii, 1, "xfonts-mplus"},
    {FontId::Tiny, "mplus_j10r-jisx0201.pcf.gz", FaceCodes::Katakana, 1, "xfonts-mplus"},
    {FontId::Tiny, "mplus_j10r.pcf.gz", FaceCodes::Kanji, 2, "xfonts-mplus"},
};
constexpr size_t kFaceCount = sizeof kFaceFiles / sizeof kFaceFiles[0];

std::mutex facesMutex;
std::array<PcfFont, kFaceCount> faces;
bool facesRead = false;

// Row and cell of JIS X 0208 from a Shift-JIS lead and trail byte; 0 for
// codes outside it (the vendor extensions of code page 932 among them).
uint32_t jisOfSjis(uint16_t code) {
    int lead = code >> 8;
    int trail = code & 0xFF;
    if (trail < 0x40 || trail > 0xFC || trail == 0x7F) return 0;
    int row = 0;
    if (lead >= 0x81 && lead <= 0x9F) row = (lead - 0x81) * 2 + 0x21;
    if (lead >= 0xE0 && lead <= 0xEF) row = (lead - 0xC1) * 2 + 0x21;
    if (row == 0) return 0;
    int cell = trail - (trail >= 0x80 ? 0x20 : 0x1F);
    if (trail >= 0x9F) {
        row += 1;
        cell = trail - 0x7E;
    }
    return static_cast<uint32_t>(row << 8 | cell);
}

// The character's code in a face, or 0 when the face is not for it.
uint32_t faceCodeOf(const FaceFile& face, uint16_t sjisCode) {
    int cells = sjisCode > 0xFF ? 2 : 1;
    if (cells != face.cells) return 0;
    switch (face.codes) {
    case FaceCodes::Ascii:
        return sjisCode > 0x20 && sjisCode < 0x7F ? sjisCode : 0;
    case FaceCodes::Katakana:
        return sjisCode >= 0xA1 && sjisCode <= 0xDF ? sjisCode : 0;
    case FaceCodes::Kanji:
        return jisOfSjis(sjisCode);
    }
    return 0;
}

std::vector<std::string> readFaces(const std::string& folder) {
    std::vector<std::string> problems;
    const char* reportedPackage = "";
    for (size_t index = 0; index < kFaceCount; ++index) {
        const FaceFile& face = kFaceFiles[index];
        std::string path = folder + "/" + face.file;
        std::vector<uint8_t> bytes;
        std::string problem = readFontFile(path, bytes);
        if (problem.empty() && !faces[index].parse(std::move(bytes))) {
            problem = "not a bitmap font file";
        }
        if (problem.empty() || std::string(reportedPackage) == face.package) continue;
        reportedPackage = face.package;
        problems.push_back("kvt936p: cannot use font " + path + " (" + problem +
                           "); install the package " + face.package +
                           "; until then that text is drawn with the outline font");
    }
    facesRead = true;
    return problems;
}

// Copies a glyph's ink into the mask, its baseline on the face's baseline
// in the cell. False (and the mask untouched) when some ink would fall
// outside the character's cells: a glyph made for other cells.
bool placeGlyph(const BitmapGlyph& glyph, const PcfFont& face, int cellsWidth, GlyphMask& mask) {
    int top = mask.height - face.descent() - glyph.ascent;
    for (int pass = 0; pass < 2; ++pass) {
        for (int row = 0; row < glyph.height; ++row) {
            for (int column = 0; column < glyph.width; ++column) {
                if (glyph.ink[static_cast<size_t>(row) * glyph.width + column] == 0) continue;
                int x = glyph.left + column;
                int y = top + row;
                bool inside = x >= 0 && x < cellsWidth && y >= 0 && y < mask.height;
                if (pass == 0 && !inside) return false;
                if (pass == 1) mask.ink[static_cast<size_t>(y) * mask.width + x] = 1;
            }
        }
    }
    return true;
}

}  // namespace

std::vector<std::string> loadBitmapFonts(const std::string& folder) {
    std::lock_guard<std::mutex> lock(facesMutex);
    faces = {};
    return readFaces(folder);
}

bool drawBitmapGlyph(FontId font, uint16_t sjisCode, GlyphMask& mask) {
    std::lock_guard<std::mutex> lock(facesMutex);
    if (!facesRead) readFaces(kBitmapFontFolder);
    for (size_t index = 0; index < kFaceCount; ++index) {
        const FaceFile& face = kFaceFiles[index];
        if (face.font != font) continue;
        uint32_t code = faceCodeOf(face, sjisCode);
        BitmapGlyph glyph;
        if (code == 0 || !faces[index].glyph(code, glyph)) continue;
        if (placeGlyph(glyph, faces[index], face.cells * fontCell(font).advance, mask)) return true;
    }
    return false;
}

}  // namespace kvt
