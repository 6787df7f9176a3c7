#pragma once
#include "platform/DeviceContext.h"

namespace kvt {

// The trend of the current group below the top bar, one pixel per sample
// along the time axis, with time labels, grids, scale, markers and, when
// shown, the digital panel.

// Live display modes (0, 1): the marker band or strip, then the trend of
// the graph direction, then the panel in display mode 1.
void drawLiveView(DeviceContext& image);
void drawLivePerpendicular(DeviceContext& image);
void drawLiveHorizontal(DeviceContext& image);

// One redraw of the window's image over the last. While a frame is held,
// every live drawing draws from the samples taken when it was held;
// released, it is what the image shows. Forgotten, the image shows
// something no held frame drew.
void holdLiveFrame();
void releaseLiveFrame();
void forgetShownLiveFrame();

// The held frame against the shown one, in the perpendicular live trend:
// when nothing but the samples changed and they only moved on, image rows
// top..bottom-1 are the shown image's rows moved down by `moved` (the
// demo watermark aside); `moved` is -1 otherwise.
struct KeptGraphRows {
    int moved;
    int top;
    int bottom;
};
KeptGraphRows keptLiveGraphRows();

// Playback display modes (1000, 1001): one pane, or two in the divided
// view, drawn from the pane buffers, with the cursor in mode 1001.
void drawPlaybackView(DeviceContext& image);
void drawPlaybackPerpendicular(DeviceContext& image, int pane);
void drawPlaybackHorizontal(DeviceContext& image, int pane);

// The playback cursor, put back to 0 when it lies outside 0-1599.
int playbackCursorInRange();

}  // namespace kvt
