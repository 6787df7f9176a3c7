#include "recording/ScreenImageExport.h"

#include <cstdint>
#include <cstdio>

#include "core/RunFlags.h"
#include "platform/Clock.h"
#include "platform/Paths.h"
#include "platform/ReplacementFile.h"

namespace kvt {
namespace {

constexpr int kFileHeaderSize = 14;
constexpr int kInfoHeaderSize = 40;
constexpr int kPixelDataOffset = kFileHeaderSize + kInfoHeaderSize;  // no colour table at 32 bits
constexpr int kBitsPerPixel = 32;
constexpr size_t kWriteBufferBytes = 65536;  // pixel rows gathered for one write

void putWord(uint8_t* at, uint16_t value) {
    at[0] = static_cast<uint8_t>(value);
    at[1] = static_cast<uint8_t>(value >> 8);
}

void putLong(uint8_t* at, uint32_t value) {
    for (int byte = 0; byte < 4; ++byte) at[byte] = static_cast<uint8_t>(value >> (8 * byte));
}

// File header and information header of an uncompressed 32-bit image stored
// bottom-up; the size, resolution and colour count fields stay 0.
void fillHeaders(uint8_t (&headers)[kPixelDataOffset], int width, int height, uint32_t fileSize) {
    for (uint8_t& byte : headers) byte = 0;
    headers[0] = 'B';
    headers[1] = 'M';
    putLong(headers + 2, fileSize);
    putLong(headers + 10, kPixelDataOffset);
    putLong(headers + 14, kInfoHeaderSize);
    putLong(headers + 18, static_cast<uint32_t>(width));
    putLong(headers + 22, static_cast<uint32_t>(height));
    putWord(headers + 26, 1);
    putWord(headers + 28, kBitsPerPixel);
}

// Rows `first` down to `first - count + 1` (image rows, top = 0) as BMP pixel
// rows: blue, green, red and a zero byte per pixel.
void fillPixelRows(uint8_t* out, const DeviceContext& image, int first, int count) {
    for (int row = first; row > first - count; --row) {
        const uint32_t* pixels = image.bits() + static_cast<size_t>(row) * image.width();
        for (int x = 0; x < image.width(); ++x) putLong(out + 4 * x, pixels[x] & 0x00FFFFFFu);
        out += 4 * image.width();
    }
}

}  // namespace

void screenImagePath(char (&path)[kImagePathCapacity], const char* folder, const SystemTime& time,
                     int group) {
    std::snprintf(path, sizeof path, "%s/%04d%02d%02d_%02d%02d%02d_G%d.bmp", folder, time.year,
                  time.month, time.day, time.hour, time.minute, time.second, group);
}

int writeBitmapFile(const DeviceContext& image, const char* path) {
    int width = image.width();
    int height = image.height();
    int rowBytes = 4 * width;
    int rowsPerWrite = width > 0 ? static_cast<int>(kWriteBufferBytes) / rowBytes : 0;
    if (height <= 0 || rowsPerWrite <= 0) return 0;
    uint32_t imageSize = static_cast<uint32_t>(rowBytes) * static_cast<uint32_t>(height);
    uint8_t headers[kPixelDataOffset];
    fillHeaders(headers, width, height, kPixelDataOffset + imageSize);

    ReplacementFile file(path);
    if (!file.write(headers, sizeof headers)) return 0;
    uint8_t rows[kWriteBufferBytes];
    for (int bottom = height - 1; bottom >= 0; bottom -= rowsPerWrite) {
        int count = bottom + 1 < rowsPerWrite ? bottom + 1 : rowsPerWrite;
        fillPixelRows(rows, image, bottom, count);
        if (!file.write(rows, static_cast<size_t>(rowBytes) * count)) return 0;
    }
    return file.commit() ? 1 : 0;
}

int exportScreenImage(const DeviceContext& image) {
    SystemTime now = validatedLocalTime();
    char path[kImagePathCapacity];
    screenImagePath(path, dataFolder(), now, currentGroup);
    makeDataFolder();  // in case it was removed while the program ran
    return writeBitmapFile(image, path);
}

}  // namespace kvt
