#pragma once
#include <vector>

namespace kvt {

// Where a surface changed, kept as tiles of 100 x 16 pixels: a few changes
// far apart (values, traces, the clock) stay a few small rectangles rather
// than one that spans them all, and the rectangles come ordered and
// banded as the toolkit's regions are built from.
class ChangedAreas {
public:
    struct Rectangle {
        int left;
        int top;
        int right;   // exclusive
        int bottom;  // exclusive
    };

    static constexpr int kTileWidth = 100;
    static constexpr int kTileHeight = 16;

    ChangedAreas(int width, int height);

    // Pixels x..x+count-1 of row y changed.
    void mark(int x, int y, int count);
    void clear();

    bool empty() const;
    // The changed tiles cut to the surface, a row of tiles after another,
    // neighbours in a row joined into one rectangle.
    std::vector<Rectangle> rectangles() const;

private:
    int width_;
    int height_;
    int columns_;
    int rows_;
    std::vector<bool> changed_;  // per tile, row by row
};

}  // namespace kvt
