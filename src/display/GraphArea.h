#pragma once
#include "platform/DeviceContext.h"

namespace kvt {

// Draws rows 40-599 of the screen for the display mode in force: the live
// or playback trend with its scales, markers and digital panel. Called by
// the screen drawing after the white fill and the demo watermark and
// before the top bar; the large font is selected on entry.
void drawGraphArea(DeviceContext& image);

}  // namespace kvt
