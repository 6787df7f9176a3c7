#include "platform/ChangedAreas.h"

#include <algorithm>
#include <cstddef>

namespace kvt {

ChangedAreas::ChangedAreas(int width, int height)
    : width_(width),
      height_(height),
      columns_((width + kTileWidth - 1) / kTileWidth),
      rows_((height + kTileHeight - 1) / kTileHeight),
      changed_(static_cast<size_t>(columns_) * rows_, false) {}

void ChangedAreas::mark(int x, int y, int count) {
    int first = std::max(x, 0);
    int last = std::min(x + count, width_) - 1;
    if (y < 0 || y >= height_ || first > last) return;
    auto tiles = changed_.begin() + static_cast<std::ptrdiff_t>(y / kTileHeight) * columns_;
    std::fill(tiles + first / kTileWidth, tiles + last / kTileWidth + 1, true);
}

void ChangedAreas::clear() { std::fill(changed_.begin(), changed_.end(), false); }

bool ChangedAreas::empty() const {
    return std::find(changed_.begin(), changed_.end(), true) == changed_.end();
}

std::vector<ChangedAreas::Rectangle> ChangedAreas::rectangles() const {
    std::vector<Rectangle> joined;
    for (int row = 0; row < rows_; ++row) {
        auto tiles = changed_.begin() + static_cast<std::ptrdiff_t>(row) * columns_;
        int top = row * kTileHeight;
        int bottom = std::min(top + kTileHeight, height_);
        for (int column = 0; column < columns_;) {
            if (!tiles[column]) {
                ++column;
                continue;
            }
            int start = column;
            while (column < columns_ && tiles[column]) ++column;
            joined.push_back({start * kTileWidth, top, std::min(column * kTileWidth, width_), bottom});
        }
    }
    return joined;
}

}  // namespace kvt
