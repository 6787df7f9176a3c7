#pragma once
#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/ChangedAreas.h"
#include "platform/Colour.h"
#include "platform/Fonts.h"
#include "platform/PixelRows.h"

namespace kvt {

struct GlyphMask;

struct Point {
    int x = 0;
    int y = 0;
};

struct Pen {
    Colour colour = rgb(0, 0, 0);
    int width = 1;
};

struct Brush {
    Colour colour = rgb(255, 255, 255);
    bool hollow = false;  // a hollow brush paints nothing
};

enum class BackgroundMode { Transparent, Opaque };

// Returned by pixel() for a point outside the surface.
constexpr Colour kInvalidColour = 0xFFFFFFFF;

// A drawing surface over a 32-bit pixel buffer with the semantics the
// screen code is written for: a current position and pen for lines (the
// end point of a line is not drawn), a brush for filled shapes, and text
// in one of the four display fonts laid out cell by cell. All drawing is
// clipped to the surface; coordinates are shifted by the origin.
class DeviceContext {
public:
    static constexpr int kScreenWidth = 800;
    static constexpr int kScreenHeight = 600;

    // `spareRows` make moveAllRowsDown cheap (see there).
    explicit DeviceContext(int width = kScreenWidth, int height = kScreenHeight, int spareRows = 0);

    int width() const { return width_; }
    int height() const { return height_; }

    // Pixels as 0xFFRRGGBB words, row by row (the layout of a 32-bit RGB
    // image), for blitting and export; where they lie moves with
    // moveAllRowsDown.
    const uint32_t* bits() const { return pixels_.data(); }

    // Offset added to every coordinate (for drawing image coordinates onto
    // a larger window surface). Returns the previous origin.
    Point setOrigin(int x, int y);

    // Drawing reaches surface rows top..bottom-1 only; the other rows keep
    // their pixels (all rows until it is set, and again once cleared).
    void setRowClip(int top, int bottom);
    void clearRowClip();
    // Rows first..end-1 of the drawing (origin applied) reach the surface.
    int firstDrawnRow() const { return clipTop_ - origin_.y; }
    int endDrawnRow() const { return clipBottom_ - origin_.y; }

    // Moves every row down by `rows`, for a caller that draws the rows
    // that come in at the top afresh: until then they hold nothing of
    // use. While the spare rows last, only where the surface begins in
    // its storage moves, not its pixels.
    void moveAllRowsDown(int rows) { pixels_.moveDown(rows); }

    void setPixel(int x, int y, Colour colour);
    Colour pixel(int x, int y) const;

    // Objects and attributes; each setter returns what was selected before.
    Pen selectPen(Pen pen);
    Pen selectPen(Colour colour, int width = 1) { return selectPen(Pen{colour, width}); }
    Brush selectBrush(Brush brush);
    Brush selectBrush(Colour colour) { return selectBrush(Brush{colour, false}); }
    FontId selectFont(FontId font);
    Colour setTextColour(Colour colour);
    Colour setBackgroundColour(Colour colour);
    BackgroundMode setBackgroundMode(BackgroundMode mode);

    // Takes the font, text colours, background mode and current position
    // of `other`, the state its text and line drawing leave behind; the
    // pen and brush stay.
    void takeTextStateOf(const DeviceContext& other);

    const Pen& pen() const { return pen_; }
    const Brush& brush() const { return brush_; }
    FontId font() const { return font_; }

    // Lines with the pen from the current position; lineTo draws up to but
    // not including (x, y) and makes it the current position.
    void moveTo(int x, int y);
    void lineTo(int x, int y);
    Point currentPosition() const { return position_; }

    // Fills x..x+width-1, y..y+height-1 with a colour (pen and brush unused).
    void fillSolidRect(int x, int y, int width, int height, Colour colour);
    // Outline with the pen on left..right-1 x top..bottom-1, inside with
    // the brush. The current position does not move.
    void rectangle(int left, int top, int right, int bottom);
    // Inside (even-odd rule, pixel centres) with the brush, then the closed
    // outline with the pen. The current position does not move.
    void polygon(const Point* points, int count);
    // Fills with the brush the area around (x, y) bounded by `boundary`
    // (4-connected). False when nothing was filled (seed outside, on the
    // boundary, or a hollow brush).
    bool floodFill(int x, int y, Colour boundary);

    // Shift-JIS text (stops at a NUL byte) in the selected font and text
    // colour; in opaque mode the cells are first filled with the
    // background colour. Each character starts at x plus the cells before
    // it times the font's advance.
    void textOut(int x, int y, std::string_view sjis);
    // Width in pixels textOut gives the text in the selected font.
    int textWidth(std::string_view sjis) const;

    // Copies the whole of `source` with its top-left corner at (x, y).
    void copyFrom(const DeviceContext& source, int x, int y);
    // The same, writing only the pixels that differ from what is there and
    // marking where they lie in `changed`, made for this surface's size.
    void copyChangesFrom(const DeviceContext& source, int x, int y, ChangedAreas& changed);

private:
    // Calls copyRow(row, from, to, first, last) for each source row that lands
    // on the surface at (x, y), moved by the origin; columns first..last-1 do.
    template <typename CopyRow>
    void forEachOverlappingRow(const DeviceContext& source, int& x, int& y, CopyRow copyRow);

    // Surface coordinates, clipped. Here, so that the many callers can
    // take it inline.
    void plot(int x, int y, uint32_t word) {
        if (x < 0 || y < clipTop_ || x >= width_ || y >= clipBottom_) return;
        pixels_[static_cast<size_t>(y) * width_ + x] = word;
    }
    void stampPen(int x, int y, uint32_t word);
    void fillSpan(int y, int left, int right, uint32_t word);  // right exclusive
    void drawLine(Point from, Point to, uint32_t word);
    void drawStraightLine(Point from, Point to, uint32_t word);
    void stampGlyph(const GlyphMask& glyph, int x, int y, uint32_t word);
    void fillPolygonInside(const Point* points, int count, uint32_t word);

    int width_;
    int height_;
    PixelRows pixels_;
    // Flood fill scratch, kept between fills: a pixel is visited by the
    // current fill when its entry equals visitMark_, which moves on with
    // every fill, so the 800 x 600 entries are cleared only when it wraps.
    std::vector<uint8_t> visited_;
    uint8_t visitMark_ = 0;
    std::vector<int> floodStack_;
    Point origin_{};
    int clipTop_ = 0;
    int clipBottom_;
    Point position_{};
    Pen pen_{};
    Brush brush_{};
    FontId font_ = FontId::Small;
    Colour textColour_ = rgb(0, 0, 0);
    Colour backgroundColour_ = rgb(255, 255, 255);
    BackgroundMode backgroundMode_ = BackgroundMode::Opaque;
};

// Conversions between a COLORREF and the 0xFFRRGGBB pixel word.
constexpr uint32_t pixelWord(Colour colour) {
    return 0xFF000000u | (static_cast<uint32_t>(redOf(colour)) << 16) |
           (static_cast<uint32_t>(greenOf(colour)) << 8) | static_cast<uint32_t>(blueOf(colour));
}
constexpr Colour colourOfWord(uint32_t word) {
    return rgb(static_cast<int>((word >> 16) & 0xFF), static_cast<int>((word >> 8) & 0xFF),
               static_cast<int>(word & 0xFF));
}

}  // namespace kvt
