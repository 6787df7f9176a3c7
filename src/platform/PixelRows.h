#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace kvt {

// The pixel words of a surface, row by row, in a buffer that may hold
// spare rows above them: moving every row down by a few rows then moves
// only where the surface begins in the buffer. The pixels themselves move
// once the spare rows above are used up.
class PixelRows {
public:
    PixelRows(int width, int height, int spareRows, uint32_t word);
    PixelRows(const PixelRows& other);
    PixelRows& operator=(const PixelRows& other);

    uint32_t* data() const { return rows_.data(); }
    size_t size() const { return rows_.size(); }
    uint32_t& operator[](size_t at) const { return rows_[at]; }

    // Every row down by `count`; the rows that come in at the top hold
    // whatever the buffer held there.
    void moveDown(int count);

private:
    std::span<uint32_t> rowsAt(size_t firstRow) {
        return {buffer_.data() + firstRow * width_, static_cast<size_t>(width_) * height_};
    }
    size_t firstRow() const { return static_cast<size_t>(rows_.data() - buffer_.data()) / width_; }

    int width_;
    int height_;
    int spareRows_;
    std::vector<uint32_t> buffer_;
    std::span<uint32_t> rows_;
};

}  // namespace kvt
