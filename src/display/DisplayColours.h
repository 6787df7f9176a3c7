#pragma once
#include "platform/Colour.h"

namespace kvt {

// Colours of the main window's drawing; constants for the whole run.
constexpr Colour kWhite = rgb(255, 255, 255);
constexpr Colour kBlack = rgb(0, 0, 0);
constexpr Colour kNearBlack = rgb(1, 1, 1);
constexpr Colour kDarkGrey = rgb(63, 63, 63);       // button shadow, strong grid, scale band
constexpr Colour kGrey = rgb(127, 127, 127);        // disabled button text, grid
constexpr Colour kBarGrey = rgb(151, 151, 151);     // top bar and panel background
constexpr Colour kMarkerGrey = rgb(191, 191, 191);  // marker band and strip
constexpr Colour kLampGreen = rgb(0, 255, 0);
constexpr Colour kLampOrange = rgb(255, 127, 0);
constexpr Colour kLampRed = rgb(255, 0, 0);  // Disk: recording data cannot be written
constexpr Colour kCursorRed = rgb(239, 0, 0);
constexpr Colour kLightGrey = rgb(204, 204, 204);  // watermark text, minor grid

}  // namespace kvt
