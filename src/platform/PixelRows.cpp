#include "platform/PixelRows.h"

#include <algorithm>
#include <cstring>

namespace kvt {

PixelRows::PixelRows(int width, int height, int spareRows, uint32_t word)
    : width_(width),
      height_(height),
      spareRows_(std::max(spareRows, 0)),
      buffer_(static_cast<size_t>(width_) * (height_ + spareRows_), word),
      rows_(rowsAt(spareRows_)) {}

PixelRows::PixelRows(const PixelRows& other)
    : width_(other.width_),
      height_(other.height_),
      spareRows_(other.spareRows_),
      buffer_(other.buffer_),
      rows_(rowsAt(other.firstRow())) {}

PixelRows& PixelRows::operator=(const PixelRows& other) {
    if (this == &other) return *this;
    width_ = other.width_;
    height_ = other.height_;
    spareRows_ = other.spareRows_;
    buffer_ = other.buffer_;
    rows_ = rowsAt(other.firstRow());
    return *this;
}

void PixelRows::moveDown(int count) {
    if (count <= 0 || count >= height_) return;  // nothing of the old rows would stay
    size_t first = firstRow();
    if (first < static_cast<size_t>(count) && spareRows_ < count) {
        size_t kept = static_cast<size_t>(height_ - count) * width_;
        std::memmove(rows_.data() + static_cast<size_t>(count) * width_, rows_.data(), kept * sizeof(uint32_t));
        return;
    }
    if (first < static_cast<size_t>(count)) {
        // The spare rows above are used up: the rows start again at the
        // bottom of the buffer.
        std::memmove(buffer_.data() + static_cast<size_t>(spareRows_) * width_, rows_.data(),
                     rows_.size() * sizeof(uint32_t));
        first = spareRows_;
    }
    rows_ = rowsAt(first - count);
}

}  // namespace kvt
