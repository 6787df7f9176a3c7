#pragma once
#include "platform/DeviceContext.h"

namespace kvt {

// The value scale beside the trend: percent of the plot range (linear and
// square-root rows) or, when the group has a scale pen, that pen's values
// in its colour. `layout` is 0 for the live screen, 1 for playback.

// Band of 40 rows above a perpendicular graph (from row 80 live, 40
// playback) with the vertical main grid below it down to row 600.
void drawScalePerpendicular(DeviceContext& image, int layout);

// Strip of 40 columns beside a horizontal graph with the horizontal main
// grid across the graph area.
void drawScaleHorizontal(DeviceContext& image, int layout);

// Light vertical grid between the main grid columns, from row 120 (top 0),
// 80 (1) or 340 (2) to row 600.
void drawMinorGrid(DeviceContext& image, int top);

// The label of division k (0-10) of the group's scale pen: its text
// (NUL-terminated) and its position along the band (column) or up the
// strip (row). False when the division has no label (logarithmic scales
// label only their decades). `live` selects the power-factor labels.
struct ScaleLabel {
    char text[48];
    int position;
};
bool scaleLabel(int group, int pen, bool live, bool strip, int division, ScaleLabel& label);

}  // namespace kvt
