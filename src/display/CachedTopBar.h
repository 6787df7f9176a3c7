#pragma once
#include "display/TopBar.h"
#include "platform/DeviceContext.h"

namespace kvt {

// The top bar as drawTopBar draws it for `state`, copied from the bars
// drawn lately when one was drawn for the same state and glyphs. The
// lamps blink between two states, so most redraws copy rows 0-39
// instead of drawing them. Leaves the text state drawTopBar leaves.
// Window thread only.
void drawCachedTopBar(DeviceContext& image, const TopBarState& state);

}  // namespace kvt
