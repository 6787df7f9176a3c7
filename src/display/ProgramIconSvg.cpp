#include "display/ProgramIconSvg.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <vector>

#include "display/ProgramIconShape.h"

namespace kvt {
namespace {

struct Corner {
    double x;
    double y;
};

std::string hexColour(Colour colour) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", redOf(colour), greenOf(colour),
                  blueOf(colour));
    return text;
}

std::string number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

std::string chart() {
    std::string inset = number(icon::kChartMargin);
    std::string side = number(icon::kGrid - 2 * icon::kChartMargin);
    return "  <rect x=\"" + inset + "\" y=\"" + inset + "\" width=\"" + side + "\" height=\"" +
           side + "\" fill=\"" + hexColour(icon::kChart) + "\" stroke=\"" +
           hexColour(icon::kFrame) + "\" stroke-width=\"" + number(icon::kFrameWidth) + "\"/>\n";
}

double cross(Corner origin, Corner a, Corner b) {
    return (a.x - origin.x) * (b.y - origin.y) - (a.y - origin.y) * (b.x - origin.x);
}

// The convex hull of the corners (monotone chain), anticlockwise on screen.
std::vector<Corner> hull(std::vector<Corner> corners) {
    std::sort(corners.begin(), corners.end(),
              [](Corner a, Corner b) { return a.x < b.x || (a.x == b.x && a.y < b.y); });
    std::vector<Corner> outline;
    auto extend = [&outline](Corner corner, size_t keep) {
        while (outline.size() > keep &&
               cross(outline[outline.size() - 2], outline.back(), corner) <= 0) {
            outline.pop_back();
        }
        outline.push_back(corner);
    };
    for (Corner corner : corners) extend(corner, 1);
    size_t lowerChain = outline.size();
    for (auto corner = corners.rbegin() + 1; corner != corners.rend(); ++corner) {
        extend(*corner, lowerChain);
    }
    outline.pop_back();  // the first corner again
    return outline;
}

// The square pen swept from `from` to `to`.
std::string segment(Point from, Point to) {
    double half = icon::kTraceWidth / 2.0;
    std::vector<Corner> corners;
    for (Point end : {from, to}) {
        for (double dx : {-half, half}) {
            for (double dy : {-half, half}) corners.push_back({end.x + dx, end.y + dy});
        }
    }
    std::string points;
    for (Corner corner : hull(corners)) {
        if (!points.empty()) points += ' ';
        points += number(corner.x) + ',' + number(corner.y);
    }
    return "    <polygon points=\"" + points + "\"/>\n";
}

std::string trace() {
    std::string segments;
    for (size_t index = 1; index < std::size(icon::kTracePoints); ++index) {
        segments += segment(icon::kTracePoints[index - 1], icon::kTracePoints[index]);
    }
    return "  <g fill=\"" + hexColour(icon::kTrace) + "\">\n" + segments + "  </g>\n";
}

}  // namespace

std::string programIconSvg() {
    std::string grid = number(icon::kGrid);
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + grid + "\" height=\"" + grid +
           "\" viewBox=\"0 0 " + grid + ' ' + grid + "\">\n"
           "  <rect width=\"" + grid + "\" height=\"" + grid + "\" fill=\"" +
           hexColour(icon::kBackground) + "\"/>\n" + chart() + trace() + "</svg>\n";
}

}  // namespace kvt
