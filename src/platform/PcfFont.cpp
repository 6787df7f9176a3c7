#include "platform/PcfFont.h"

#include <zlib.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

namespace kvt {
namespace {

// Table kinds and format bits of the portable compiled format.
constexpr uint32_t kAccelerators = 1u << 1;
constexpr uint32_t kMetrics = 1u << 2;
constexpr uint32_t kBitmaps = 1u << 3;
constexpr uint32_t kEncodings = 1u << 5;
constexpr uint32_t kBdfAccelerators = 1u << 8;
constexpr uint32_t kCompressedMetrics = 0x100;
constexpr uint32_t kGlyphPadMask = 3;
constexpr uint32_t kBigEndianBytes = 1u << 2;
constexpr uint32_t kMostSignificantBitFirst = 1u << 3;

constexpr uint32_t kMaxTables = 64;
constexpr int kMaxGlyphSide = 128;                     // pixels; ours are 10 to 14
constexpr size_t kMaxFontFileBytes = 16u * 1024 * 1024;  // the largest Japanese ones are 2 MB
constexpr uint16_t kNoGlyph = 0xFFFF;

// Reads numbers of one table in its byte order, never past its end.
class TableReader {
public:
    TableReader(const std::vector<uint8_t>& bytes, size_t offset, size_t size, uint32_t format)
        : bytes_(bytes), end_(offset + size), bigEndian_((format & kBigEndianBytes) != 0) {}

    bool number(size_t at, size_t width, uint32_t& value) const {
        if (at > end_ || width > end_ - at) return false;
        value = 0;
        for (size_t index = 0; index < width; ++index) {
            size_t shift = bigEndian_ ? width - 1 - index : index;
            value |= static_cast<uint32_t>(bytes_[at + index]) << (8 * shift);
        }
        return true;
    }
    bool u16(size_t at, uint32_t& value) const { return number(at, 2, value); }
    bool u32(size_t at, uint32_t& value) const { return number(at, 4, value); }
    bool s16(size_t at, int& value) const {
        uint32_t raw = 0;
        if (!u16(at, raw)) return false;
        value = static_cast<int16_t>(raw);
        return true;
    }
    bool s32(size_t at, int& value) const {
        uint32_t raw = 0;
        if (!u32(at, raw)) return false;
        value = static_cast<int32_t>(raw);
        return true;
    }
    bool holds(size_t at, size_t count) const { return at <= end_ && count <= end_ - at; }

private:
    const std::vector<uint8_t>& bytes_;
    size_t end_;
    bool bigEndian_;
};

uint32_t littleEndianWord(const std::vector<uint8_t>& bytes, size_t at) {
    return bytes[at] | (bytes[at + 1] << 8) | (bytes[at + 2] << 16) |
           (static_cast<uint32_t>(bytes[at + 3]) << 24);
}

}  // namespace

bool PcfFont::parse(std::vector<uint8_t> bytes) {
    *this = PcfFont();
    bytes_ = std::move(bytes);
    bool whole = readTables() && readMetricsTable() && readBitmapTable() && readEncodingTable();
    if (!whole) {
        *this = PcfFont();
        return false;
    }
    readAscent();
    return true;
}

// The table of contents; each table starts with its format word, which
// must repeat the one of the contents.
bool PcfFont::readTables() {
    static const uint8_t kMagic[4] = {1, 'f', 'c', 'p'};
    if (bytes_.size() < 8 || std::memcmp(bytes_.data(), kMagic, 4) != 0) return false;
    uint32_t count = littleEndianWord(bytes_, 4);
    if (count > kMaxTables || 8 + 16 * static_cast<size_t>(count) > bytes_.size()) return false;
    for (uint32_t entry = 0; entry < count; ++entry) {
        size_t at = 8 + 16 * static_cast<size_t>(entry);
        uint32_t type = littleEndianWord(bytes_, at);
        uint32_t format = littleEndianWord(bytes_, at + 4);
        size_t size = littleEndianWord(bytes_, at + 8);
        size_t offset = littleEndianWord(bytes_, at + 12);
        if (offset > bytes_.size() || size > bytes_.size() - offset || size < 4) continue;
        if (littleEndianWord(bytes_, offset) != format) continue;
        Table table{format, offset + 4, size - 4};
        if (type == kMetrics) metrics_ = table;
        if (type == kBitmaps) bitmaps_ = table;
        if (type == kEncodings) encodings_ = table;
        if (type == kBdfAccelerators || (type == kAccelerators && accelerators_.size == 0)) {
            accelerators_ = table;
        }
    }
    return metrics_.size > 0 && bitmaps_.size > 0 && encodings_.size > 0;
}

bool PcfFont::readMetricsTable() {
    TableReader reader(bytes_, metrics_.offset, metrics_.size, metrics_.format);
    compressedMetrics_ = (metrics_.format & kCompressedMetrics) != 0;
    uint32_t count = 0;
    bool read = compressedMetrics_ ? reader.u16(metrics_.offset, count)
                                   : reader.u32(metrics_.offset, count);
    size_t recordSize = compressedMetrics_ ? 5 : 12;
    size_t first = metrics_.offset + (compressedMetrics_ ? 2 : 4);
    if (!read || !reader.holds(first, recordSize * count)) return false;
    glyphCount_ = count;
    return count > 0;
}

bool PcfFont::readBitmapTable() {
    TableReader reader(bytes_, bitmaps_.offset, bitmaps_.size, bitmaps_.format);
    uint32_t count = 0;
    if (!reader.u32(bitmaps_.offset, count) || count < glyphCount_) return false;
    size_t sizes = bitmaps_.offset + 4 + 4 * static_cast<size_t>(count);
    uint32_t dataSize = 0;
    if (!reader.u32(sizes + 4 * (bitmaps_.format & kGlyphPadMask), dataSize)) return false;
    bitmapData_ = sizes + 16;
    bitmapDataSize_ = dataSize;
    return reader.holds(bitmapData_, bitmapDataSize_);
}

bool PcfFont::readEncodingTable() {
    TableReader reader(bytes_, encodings_.offset, encodings_.size, encodings_.format);
    int bounds[4] = {};
    for (int index = 0; index < 4; ++index) {
        if (!reader.s16(encodings_.offset + 2 * index, bounds[index])) return false;
    }
    firstCell_ = bounds[0];
    lastCell_ = bounds[1];
    firstRow_ = bounds[2];
    lastRow_ = bounds[3];
    if (firstCell_ < 0 || lastCell_ > 0xFF || firstCell_ > lastCell_) return false;
    if (firstRow_ < 0 || lastRow_ > 0xFF || firstRow_ > lastRow_) return false;
    encodingIndices_ = encodings_.offset + 10;
    size_t entries = static_cast<size_t>(lastCell_ - firstCell_ + 1) * (lastRow_ - firstRow_ + 1);
    return reader.holds(encodingIndices_, 2 * entries);
}

// Font ascent and descent follow eight flag bytes of the accelerators.
void PcfFont::readAscent() {
    TableReader reader(bytes_, accelerators_.offset, accelerators_.size, accelerators_.format);
    int ascent = 0;
    int descent = 0;
    if (accelerators_.size > 0 && reader.s32(accelerators_.offset + 8, ascent) &&
        reader.s32(accelerators_.offset + 12, descent) && ascent >= 0 && descent >= 0 &&
        ascent <= kMaxGlyphSide && descent <= kMaxGlyphSide - ascent) {
        ascent_ = ascent;
        descent_ = descent;
    }
}

bool PcfFont::metrics(size_t index, int (&values)[4]) const {
    TableReader reader(bytes_, metrics_.offset, metrics_.size, metrics_.format);
    // Left bearing, right bearing, (advance,) ascent, descent.
    static constexpr int kFields[4] = {0, 1, 3, 4};
    if (compressedMetrics_) {
        size_t at = metrics_.offset + 2 + 5 * index;
        if (!reader.holds(at, 5)) return false;
        for (int field = 0; field < 4; ++field) values[field] = bytes_[at + kFields[field]] - 0x80;
        return true;
    }
    size_t at = metrics_.offset + 4 + 12 * index;
    for (int field = 0; field < 4; ++field) {
        if (!reader.s16(at + 2 * kFields[field], values[field])) return false;
    }
    return true;
}

bool PcfFont::glyph(uint32_t code, BitmapGlyph& out) const {
    int row = static_cast<int>(code >> 8);
    int cell = static_cast<int>(code & 0xFF);
    if (empty() || code > 0xFFFF || row < firstRow_ || row > lastRow_ || cell < firstCell_ ||
        cell > lastCell_) {
        return false;
    }
    TableReader encodings(bytes_, encodings_.offset, encodings_.size, encodings_.format);
    size_t entry = static_cast<size_t>(row - firstRow_) * (lastCell_ - firstCell_ + 1) +
                   static_cast<size_t>(cell - firstCell_);
    uint32_t index = kNoGlyph;
    if (!encodings.u16(encodingIndices_ + 2 * entry, index) || index == kNoGlyph ||
        index >= glyphCount_) {
        return false;
    }
    int values[4] = {};
    if (!metrics(index, values)) return false;
    int width = values[1] - values[0];
    int height = values[2] + values[3];
    if (width < 0 || height < 0 || width > kMaxGlyphSide || height > kMaxGlyphSide) return false;

    TableReader bitmaps(bytes_, bitmaps_.offset, bitmaps_.size, bitmaps_.format);
    uint32_t start = 0;
    if (!bitmaps.u32(bitmaps_.offset + 4 + 4 * static_cast<size_t>(index), start)) return false;
    size_t pad = size_t{1} << (bitmaps_.format & kGlyphPadMask);
    size_t rowBytes = ((static_cast<size_t>(width) + 7) / 8 + pad - 1) / pad * pad;
    if (start > bitmapDataSize_ || rowBytes * height > bitmapDataSize_ - start) return false;

    // The data is a run of scan units (1, 2 or 4 bytes); when the byte
    // order differs from the bit order, the bytes of each unit are reversed.
    bool msbFirst = (bitmaps_.format & kMostSignificantBitFirst) != 0;
    bool bigBytes = (bitmaps_.format & kBigEndianBytes) != 0;
    size_t unit = size_t{1} << ((bitmaps_.format >> 4) & 3);
    bool swapped = unit > 1 && msbFirst != bigBytes;
    out.left = values[0];
    out.ascent = values[2];
    out.width = width;
    out.height = height;
    out.ink.assign(static_cast<size_t>(width) * height, 0);
    const uint8_t* data = bytes_.data() + bitmapData_;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            size_t byte = start + y * rowBytes + static_cast<size_t>(x) / 8;
            if (swapped) byte = byte / unit * unit + (unit - 1 - byte % unit);
            if (byte >= bitmapDataSize_) continue;
            int bit = msbFirst ? 7 - x % 8 : x % 8;
            out.ink[static_cast<size_t>(y) * width + x] = (data[byte] >> bit) & 1;
        }
    }
    return true;
}

std::string readFontFile(const std::string& path, std::vector<uint8_t>& bytes) {
    bytes.clear();
    // gzread passes a file that is not compressed through unchanged.
    errno = 0;
    gzFile file = gzopen(path.c_str(), "rb");
    if (file == nullptr) return errno != 0 ? std::strerror(errno) : "cannot open";
    uint8_t chunk[65536];
    std::string problem;
    for (;;) {
        int got = gzread(file, chunk, sizeof chunk);
        if (got < 0) {
            int code = 0;
            const char* message = gzerror(file, &code);
            problem = code == Z_ERRNO ? std::strerror(errno) : message;
            break;
        }
        if (got == 0) break;
        if (bytes.size() + static_cast<size_t>(got) > kMaxFontFileBytes) {
            problem = "larger than any font it could be";
            break;
        }
        bytes.insert(bytes.end(), chunk, chunk + got);
    }
    gzclose(file);
    if (!problem.empty()) bytes.clear();
    return problem;
}

}  // namespace kvt
