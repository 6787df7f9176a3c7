#pragma once
#include "display/TopBar.h"
#include "platform/DeviceContext.h"

namespace kvt {

// Builds the whole 800 x 600 screen in the image: white ground, the
// "DEMO" watermark in demonstration mode, the graph area and the top bar.
// The font selected before is selected again afterwards.
void drawScreenImage(DeviceContext& image, const TopBarState& state);

// One redraw of the screen over the last: rows kept.top..kept.bottom-1
// are the last image's rows moved down by `moved`; the fresh rows (the
// rest, and the watermark's rows, which stay where they are) are drawn
// afresh. `moved` is -1 when the whole screen is drawn afresh.
struct ScreenRows {
    int top;
    int bottom;  // exclusive
};
struct ScreenRedraw {
    int moved;
    ScreenRows kept;
    int freshCount;
    ScreenRows fresh[3];
};
// What the redraw of the held live frame (see TrendGraph.h) keeps.
ScreenRedraw planScreenRedraw(bool demo);
// Carries out the plan on the image that holds the last screen.
void redrawScreenImage(DeviceContext& image, const TopBarState& state, const ScreenRedraw& plan);

// The white ground of the screen, in demonstration mode with the
// watermark, as drawing the watermark on white gives it (the watermark's
// rows are drawn once and copied in while the glyphs stay the same).
void drawScreenGround(DeviceContext& image, bool demo);

// The watermark alone: "DEMO" in the large font, light grey on white, at
// row 240 from column 63 every 148 columns.
void drawDemoWatermark(DeviceContext& image);

}  // namespace kvt
