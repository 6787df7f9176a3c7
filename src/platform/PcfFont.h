#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kvt {

// One character of a bitmap font: `ink` holds width x height cells, 1 where
// the glyph is set, row by row. `left` is the column of its first bitmap
// column from the pen position, `ascent` the rows it rises above the
// baseline.
struct BitmapGlyph {
    int left = 0;
    int ascent = 0;
    int width = 0;
    int height = 0;
    std::vector<uint8_t> ink;
};

// A bitmap font in the X11 portable compiled format (the .pcf files of the
// X font packages), read from its bytes. The bytes come from outside: every
// count, offset and size is checked against the bytes that are there, so a
// damaged file gives a font without (some) glyphs, never a read outside it.
class PcfFont {
public:
    // Takes the bytes of a whole .pcf file. False (and an empty font) when
    // they are not one.
    bool parse(std::vector<uint8_t> bytes);

    bool empty() const { return glyphCount_ == 0; }
    // The font's rows above and below the baseline.
    int ascent() const { return ascent_; }
    int descent() const { return descent_; }

    // The glyph of a character code: a byte, or first byte * 256 + second
    // byte in a two-byte encoding (JIS X 0208 row and cell, or a Unicode
    // code point below 0x10000). False when the font has none.
    bool glyph(uint32_t code, BitmapGlyph& out) const;

private:
    struct Table {
        uint32_t format = 0;
        size_t offset = 0;  // of the table's data, after its format word
        size_t size = 0;
    };
    bool readTables();
    bool readMetricsTable();
    bool readBitmapTable();
    bool readEncodingTable();
    void readAscent();
    // The metrics of glyph `index`: left, right bearing, ascent, descent.
    bool metrics(size_t index, int (&values)[4]) const;

    std::vector<uint8_t> bytes_;
    Table metrics_, bitmaps_, encodings_, accelerators_;
    size_t glyphCount_ = 0;
    bool compressedMetrics_ = false;
    size_t bitmapData_ = 0;      // offset of the first bitmap byte
    size_t bitmapDataSize_ = 0;  // bytes of bitmap data for the file's row padding
    int firstCell_ = 0, lastCell_ = -1, firstRow_ = 0, lastRow_ = -1;
    size_t encodingIndices_ = 0;  // offset of the glyph index table
    int ascent_ = 0;
    int descent_ = 0;
};

// Reads a .pcf or .pcf.gz file into `bytes`. Returns an empty text, or why
// it could not ("No such file or directory", "not a compressed file", ...).
std::string readFontFile(const std::string& path, std::vector<uint8_t>& bytes);

}  // namespace kvt
