#include "display/PenMarker.h"

#include <cstdio>

#include "display/DisplayColours.h"

namespace kvt {
namespace {

constexpr int kCorners = 5;

struct MarkerShape {
    Point outline[kCorners];
    Point seed;
    Point leadFrom;
    Point leadTo;
    Point number;
};

// e narrows the pointer of a discrete pen; s staggers pen p by 2p pixels.
MarkerShape perpendicularShape(int p, int e, int v) {
    int s = 2 * p;
    MarkerShape shape{{{v - 14 + e, 40 + s},
                       {v + 14 - e, 40 + s},
                       {v + 14 - e, 43 + s + e},
                       {v, 57 + s},
                       {v - 14 + e, 43 + s + e}},
                      v == 800 ? Point{799, 54 + s} : Point{v, 55 + s},
                      {v, 57 + s},
                      {v, 119},
                      {p >= 9 ? v - 5 : v - 2, 41 + s}};
    return shape;
}

MarkerShape leftwardShape(int p, int e, int v) {
    int s = 2 * p;
    MarkerShape shape{{{800 - s, v - 14 + e},
                       {800 - s, v + 14 - e},
                       {797 - s - e, v + 14 - e},
                       {783 - s, v},
                       {797 - s - e, v - 14 + e}},
                      {785 - s, v},
                      {720, v},
                      {782 - s, v},
                      {p >= 9 ? 789 - s : 792 - s, v - 5}};
    return shape;
}

MarkerShape rightwardShape(int p, int e, int v) {
    int s = 2 * p;
    MarkerShape shape{{{s, v - 14 + e},
                       {s, v + 14 - e},
                       {s + 3 + e, v + 14 - e},
                       {s + 17, v},
                       {s + 3 + e, v - 14 + e}},
                      {s + 15, v},
                      {s + 17, v},
                      {79, v},
                      {p >= 9 ? s + 2 : s + 4, v - 5}};
    return shape;
}

MarkerShape shapeFor(GraphLayout direction, int pen, bool discrete, int position) {
    int e = discrete ? 7 : 0;
    switch (direction) {
    case GraphLayout::Leftward:
        return leftwardShape(pen, e, position);
    case GraphLayout::Rightward:
        return rightwardShape(pen, e, position);
    default:
        return perpendicularShape(pen, e, position);
    }
}

void drawOutline(DeviceContext& image, const MarkerShape& shape, Colour colour) {
    image.selectPen(colour);
    image.selectBrush(Brush{kBlack, true});
    image.polygon(shape.outline, kCorners);
}

}  // namespace

void drawPenMarker(DeviceContext& image, GraphLayout direction, int pen, bool discrete,
                   int position, Colour colour) {
    if (pen < 0 || pen >= 12) return;
    MarkerShape shape = shapeFor(direction, pen, discrete, position);
    drawOutline(image, shape, kNearBlack);
    image.selectBrush(colour);
    image.floodFill(shape.seed.x, shape.seed.y, kNearBlack);
    image.selectPen(colour);
    image.moveTo(shape.leadFrom.x, shape.leadFrom.y);
    image.lineTo(shape.leadTo.x, shape.leadTo.y);
    drawOutline(image, shape, kBlack);
    image.selectBrush(kBlack);

    char number[4];
    std::snprintf(number, sizeof number, "%d", pen + 1);
    image.selectFont(FontId::Tiny);
    image.setTextColour(kWhite);
    image.setBackgroundColour(colour);
    image.setBackgroundMode(BackgroundMode::Opaque);
    image.textOut(shape.number.x, shape.number.y, number);
}

}  // namespace kvt
