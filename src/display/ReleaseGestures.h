#pragma once

namespace kvt {

// What a left-button release does in playback: a click places the cursor,
// a drag along the time axis scrolls the pane it started in.

enum Gesture : int {
    kGestureOutside = 0,  // a point lies outside the rectangle
    kGestureClick = 1,    // both inside, the release within 4 pixels of the press
    kGestureDrag = 2,     // both inside, farther apart
};

// Classifies a press and release against the rectangle
// [20 * left, 20 * right) x [20 * top, 20 * bottom) in image pixels.
int classifyGesture(int releaseX, int releaseY, int pressX, int pressY, int left, int top,
                    int right, int bottom);

// The click (2000-3599) or drag (4000-11599) request of a release at image
// point (x, y) after a press at the drag anchor, for the graph direction,
// display mode and divided view in force; 0 when it makes none. Drags of
// at most 4 pixels along the time axis make none.
int releaseRequestAt(int x, int y);

}  // namespace kvt
