#include "platform/DeviceContext.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "platform/GlyphCache.h"
#include "platform/SjisText.h"

namespace kvt {
namespace {

// Fills `count` words: a short head one word at a time, then the filled
// part copied onto what follows it, which the library moves in wide steps
// (a plain word loop here is several times slower on a whole screen).
void fillWords(uint32_t* first, size_t count, uint32_t word) {
    constexpr size_t kHead = 16;
    size_t filled = std::min(count, kHead);
    std::fill(first, first + filled, word);
    while (filled < count) {
        size_t copied = std::min(filled, count - filled);
        std::memcpy(first + filled, first, copied * sizeof(uint32_t));
        filled += copied;
    }
}

int stepTowards(int from, int to) { return (to > from) - (to < from); }

}  // namespace

DeviceContext::DeviceContext(int width, int height, int spareRows)
    : width_(std::max(width, 1)),
      height_(std::max(height, 1)),
      pixels_(width_, height_, spareRows, pixelWord(rgb(255, 255, 255))),
      clipBottom_(height_) {}

void DeviceContext::setRowClip(int top, int bottom) {
    clipTop_ = std::clamp(top, 0, height_);
    clipBottom_ = std::clamp(bottom, clipTop_, height_);
}

void DeviceContext::clearRowClip() { setRowClip(0, height_); }

Point DeviceContext::setOrigin(int x, int y) {
    Point previous = origin_;
    origin_ = {x, y};
    return previous;
}

void DeviceContext::setPixel(int x, int y, Colour colour) {
    plot(x + origin_.x, y + origin_.y, pixelWord(colour));
}

Colour DeviceContext::pixel(int x, int y) const {
    x += origin_.x;
    y += origin_.y;
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return kInvalidColour;
    return colourOfWord(pixels_[static_cast<size_t>(y) * width_ + x]);
}

Pen DeviceContext::selectPen(Pen pen) {
    Pen previous = pen_;
    pen_ = pen;
    if (pen_.width < 1) pen_.width = 1;
    return previous;
}

Brush DeviceContext::selectBrush(Brush brush) {
    Brush previous = brush_;
    brush_ = brush;
    return previous;
}

FontId DeviceContext::selectFont(FontId font) {
    FontId previous = font_;
    font_ = font;
    return previous;
}

Colour DeviceContext::setTextColour(Colour colour) {
    Colour previous = textColour_;
    textColour_ = colour;
    return previous;
}

Colour DeviceContext::setBackgroundColour(Colour colour) {
    Colour previous = backgroundColour_;
    backgroundColour_ = colour;
    return previous;
}

BackgroundMode DeviceContext::setBackgroundMode(BackgroundMode mode) {
    BackgroundMode previous = backgroundMode_;
    backgroundMode_ = mode;
    return previous;
}

void DeviceContext::takeTextStateOf(const DeviceContext& other) {
    font_ = other.font_;
    textColour_ = other.textColour_;
    backgroundColour_ = other.backgroundColour_;
    backgroundMode_ = other.backgroundMode_;
    position_ = other.position_;
}

void DeviceContext::moveTo(int x, int y) { position_ = {x, y}; }

void DeviceContext::lineTo(int x, int y) {
    Point from{position_.x + origin_.x, position_.y + origin_.y};
    Point to{x + origin_.x, y + origin_.y};
    drawLine(from, to, pixelWord(pen_.colour));
    position_ = {x, y};
}

void DeviceContext::stampPen(int x, int y, uint32_t word) {
    if (pen_.width == 1) {
        plot(x, y, word);
        return;
    }
    int low = -(pen_.width - 1) / 2;
    int high = low + pen_.width;
    // Whole square on the surface: straight into the rows, no clipping.
    if (x + low >= 0 && y + low >= clipTop_ && x + high <= width_ && y + high <= clipBottom_) {
        uint32_t* row = pixels_.data() + static_cast<size_t>(y + low) * width_ + (x + low);
        for (int dy = low; dy < high; ++dy, row += width_) std::fill(row, row + pen_.width, word);
        return;
    }
    for (int dy = low; dy < high; ++dy) {
        for (int dx = low; dx < high; ++dx) plot(x + dx, y + dy, word);
    }
}

// Bresenham from `from` towards `to`, leaving `to` itself undrawn.
void DeviceContext::drawLine(Point from, Point to, uint32_t word) {
    int margin = pen_.width;
    // Both ends beyond the same edge: nothing of the line is visible.
    if ((from.x < -margin && to.x < -margin) ||
        (from.y < clipTop_ - margin && to.y < clipTop_ - margin) ||
        (from.x >= width_ + margin && to.x >= width_ + margin) ||
        (from.y >= clipBottom_ + margin && to.y >= clipBottom_ + margin)) {
        return;
    }
    if (from.x == to.x || from.y == to.y) {
        drawStraightLine(from, to, word);
        return;
    }
    int dx = std::abs(to.x - from.x);
    int dy = -std::abs(to.y - from.y);
    int stepX = from.x < to.x ? 1 : -1;
    int stepY = from.y < to.y ? 1 : -1;
    int error = dx + dy;
    int x = from.x;
    int y = from.y;
    bool thin = pen_.width == 1;
    // Rows whose points can touch the drawn rows; past them, towards where
    // the line goes, no point can again.
    int firstRow = clipTop_ - margin;
    int endRow = clipBottom_ + margin;
    while (x != to.x || y != to.y) {
        if (y < firstRow || y >= endRow) {
            if ((stepY > 0) == (y >= endRow)) break;
        } else if (thin) {
            plot(x, y, word);
        } else {
            stampPen(x, y, word);
        }
        int doubled = 2 * error;
        if (doubled >= dy) {
            error += dy;
            x += stepX;
        }
        if (doubled <= dx) {
            error += dx;
            y += stepY;
        }
    }
}

// Along a row or a column the pen's squares at every point up to `to`
// make one rectangle.
void DeviceContext::drawStraightLine(Point from, Point to, uint32_t word) {
    Point last{to.x - stepTowards(from.x, to.x), to.y - stepTowards(from.y, to.y)};
    if (from.x == to.x && from.y == to.y) return;
    int low = -(pen_.width - 1) / 2;
    int left = std::min(from.x, last.x) + low;
    int right = std::max(from.x, last.x) + low + pen_.width;
    int top = std::max(std::min(from.y, last.y) + low, clipTop_);
    int bottom = std::min(std::max(from.y, last.y) + low + pen_.width, clipBottom_);
    if (top >= bottom) return;
    if (right - left == 1 && left >= 0 && left < width_) {  // a thin column
        uint32_t* pixel = pixels_.data() + static_cast<size_t>(top) * width_ + left;
        for (int y = top; y < bottom; ++y, pixel += width_) *pixel = word;
        return;
    }
    for (int y = top; y < bottom; ++y) fillSpan(y, left, right, word);
}

void DeviceContext::fillSpan(int y, int left, int right, uint32_t word) {
    if (y < clipTop_ || y >= clipBottom_) return;
    left = std::max(left, 0);
    right = std::min(right, width_);
    if (left >= right) return;
    uint32_t* row = pixels_.data() + static_cast<size_t>(y) * width_;
    fillWords(row + left, static_cast<size_t>(right - left), word);
}

void DeviceContext::fillSolidRect(int x, int y, int width, int height, Colour colour) {
    x += origin_.x;
    y += origin_.y;
    uint32_t word = pixelWord(colour);
    for (int row = std::max(y, clipTop_); row < std::min(y + height, clipBottom_); ++row) {
        fillSpan(row, x, x + width, word);
    }
}

void DeviceContext::rectangle(int left, int top, int right, int bottom) {
    if (right < left) std::swap(left, right);
    if (bottom < top) std::swap(top, bottom);
    if (!brush_.hollow) {
        fillSolidRect(left + 1, top + 1, right - left - 2, bottom - top - 2, brush_.colour);
    }
    Point saved = position_;
    moveTo(left, top);
    lineTo(right - 1, top);
    lineTo(right - 1, bottom - 1);
    lineTo(left, bottom - 1);
    lineTo(left, top);
    position_ = saved;
}

void DeviceContext::fillPolygonInside(const Point* points, int count, uint32_t word) {
    int minY = points[0].y;
    int maxY = points[0].y;
    for (int i = 1; i < count; ++i) {
        minY = std::min(minY, points[i].y);
        maxY = std::max(maxY, points[i].y);
    }
    std::vector<double> crossings;
    crossings.reserve(static_cast<size_t>(count));
    for (int y = std::max(minY, clipTop_ - origin_.y); y <= maxY && y + origin_.y < clipBottom_; ++y) {
        double centre = y + 0.5;
        crossings.clear();
        for (int i = 0; i < count; ++i) {
            const Point& a = points[i];
            const Point& b = points[(i + 1) % count];
            if ((a.y <= centre && centre < b.y) || (b.y <= centre && centre < a.y)) {
                crossings.push_back(a.x + (centre - a.y) * (b.x - a.x) / (b.y - a.y));
            }
        }
        std::sort(crossings.begin(), crossings.end());
        for (size_t i = 0; i + 1 < crossings.size(); i += 2) {
            // Pixels whose centres lie in [start, end).
            int first = static_cast<int>(std::ceil(crossings[i] - 0.5));
            int last = static_cast<int>(std::ceil(crossings[i + 1] - 0.5));
            fillSpan(y + origin_.y, first + origin_.x, last + origin_.x, word);
        }
    }
}

void DeviceContext::polygon(const Point* points, int count) {
    if (points == nullptr || count < 2) return;
    if (!brush_.hollow && count >= 3) fillPolygonInside(points, count, pixelWord(brush_.colour));
    Point saved = position_;
    moveTo(points[0].x, points[0].y);
    for (int i = 1; i < count; ++i) lineTo(points[i].x, points[i].y);
    lineTo(points[0].x, points[0].y);
    position_ = saved;
}

bool DeviceContext::floodFill(int x, int y, Colour boundary) {
    x += origin_.x;
    y += origin_.y;
    if (brush_.hollow || x < 0 || y < clipTop_ || x >= width_ || y >= clipBottom_) return false;
    uint32_t boundaryWord = pixelWord(boundary);
    auto index = [this](int px, int py) { return static_cast<size_t>(py) * width_ + px; };
    if (pixels_[index(x, y)] == boundaryWord) return false;
    if (++visitMark_ == 0 || visited_.empty()) {
        visited_.assign(pixels_.size(), 0);
        visitMark_ = 1;
    }
    // Pixels the fill may take: not yet visited and not on the boundary.
    auto open = [&](size_t at) { return visited_[at] != visitMark_ && pixels_[at] != boundaryWord; };
    floodStack_.clear();
    floodStack_.push_back(x);
    floodStack_.push_back(y);
    visited_[index(x, y)] = visitMark_;
    uint32_t fillWord = pixelWord(brush_.colour);
    // Each seed grows into the run of open pixels around it on its row;
    // the first open pixel of every run touching that run above and below
    // becomes a seed in turn.
    while (!floodStack_.empty()) {
        int row = floodStack_.back();
        floodStack_.pop_back();
        int seed = floodStack_.back();
        floodStack_.pop_back();
        size_t start = index(0, row);
        int left = seed;
        while (left > 0 && open(start + left - 1)) visited_[start + --left] = visitMark_;
        int right = seed + 1;  // exclusive
        while (right < width_ && open(start + right)) visited_[start + right++] = visitMark_;
        std::fill(pixels_.data() + start + left, pixels_.data() + start + right, fillWord);
        for (int next : {row - 1, row + 1}) {
            if (next < clipTop_ || next >= clipBottom_) continue;
            size_t nextStart = index(0, next);
            bool inRun = false;
            for (int column = left; column < right; ++column) {
                bool take = open(nextStart + column);
                if (take && !inRun) {
                    visited_[nextStart + column] = visitMark_;
                    floodStack_.push_back(column);
                    floodStack_.push_back(next);
                }
                inRun = take;
            }
        }
    }
    return true;
}

int DeviceContext::textWidth(std::string_view sjis) const {
    size_t end = sjis.find('\0');
    if (end != std::string_view::npos) sjis = sjis.substr(0, end);
    return static_cast<int>(sjis.size()) * fontCell(font_).advance;
}

void DeviceContext::textOut(int x, int y, std::string_view sjis) {
    size_t end = sjis.find('\0');
    if (end != std::string_view::npos) sjis = sjis.substr(0, end);
    const FontCell& cell = fontCell(font_);
    if (backgroundMode_ == BackgroundMode::Opaque) {
        fillSolidRect(x, y, textWidth(sjis), cell.pixelHeight, backgroundColour_);
    }
    uint32_t ink = pixelWord(textColour_);
    int cellX = x + origin_.x;
    int top = y + origin_.y;
    if (top >= clipBottom_ || top + cell.pixelHeight <= clipTop_) return;  // glyphs fill the cell's rows at most
    for (size_t at = 0; at < sjis.size();) {
        int length = sjisCharLength(sjis.substr(at));
        const auto* bytes = reinterpret_cast<const unsigned char*>(sjis.data() + at);
        stampGlyph(glyphMask(font_, sjisCharCode(bytes, length)), cellX, top, ink);
        cellX += length * cell.advance;
        at += static_cast<size_t>(length);
    }
}

// The glyph's inked pixels with their top-left corner at (x, y), clipped.
void DeviceContext::stampGlyph(const GlyphMask& glyph, int x, int y, uint32_t word) {
    int first = std::max(0, -x);
    int last = std::min(glyph.width, width_ - x);
    for (int row = std::max(clipTop_ - y, 0); row < std::min(glyph.height, clipBottom_ - y); ++row) {
        const uint8_t* ink = glyph.ink.data() + static_cast<size_t>(row) * glyph.width;
        uint32_t* pixels = pixels_.data() + static_cast<size_t>(y + row) * width_;
        for (int column = first; column < last; ++column) {
            if (ink[column] != 0) pixels[x + column] = word;
        }
    }
}

template <typename CopyRow>
void DeviceContext::forEachOverlappingRow(const DeviceContext& source, int& x, int& y,
                                          CopyRow copyRow) {
    x += origin_.x;
    y += origin_.y;
    // Source columns first..last-1 land on the surface.
    int first = std::max(0, -x);
    int last = std::min(source.width_, width_ - x);
    if (first >= last) return;
    for (int row = std::max(clipTop_ - y, 0); row < std::min(source.height_, clipBottom_ - y); ++row) {
        const uint32_t* from = source.pixels_.data() + static_cast<size_t>(row) * source.width_;
        uint32_t* to = pixels_.data() + static_cast<size_t>(y + row) * width_ + x;
        copyRow(row, from, to, first, last);
    }
}

void DeviceContext::copyFrom(const DeviceContext& source, int x, int y) {
    forEachOverlappingRow(source, x, y,
                          [](int, const uint32_t* from, uint32_t* to, int first, int last) {
                              std::copy(from + first, from + last, to + first);
                          });
}

void DeviceContext::copyChangesFrom(const DeviceContext& source, int x, int y,
                                    ChangedAreas& changed) {
    forEachOverlappingRow(source, x, y, [&](int row, const uint32_t* from, uint32_t* to,
                                            int first, int last) {
        if (std::equal(from + first, from + last, to + first)) return;
        // Source columns start..end-1, cut where the surface's tiles meet.
        for (int start = first; start < last;) {
            int end = std::min(((x + start) / ChangedAreas::kTileWidth + 1) *
                                       ChangedAreas::kTileWidth - x,
                               last);
            if (!std::equal(from + start, from + end, to + start)) {
                std::copy(from + start, from + end, to + start);
                changed.mark(x + start, y + row, end - start);
            }
            start = end;
        }
    });
}

}  // namespace kvt
