#pragma once
#include "display/GraphLayout.h"
#include "platform/DeviceContext.h"

namespace kvt {

// The pointer of pen `pen` (0-11) at its newest live value in the marker
// band (perpendicular) or strip (horizontal): a filled pentagon in the pen
// colour with a black outline, staggered by 2 pixels per pen, a lead line
// into the graph and the pen number. `position` is the column (band) or
// row (strip) from the value mapping; discrete pens get a narrower pointer.
void drawPenMarker(DeviceContext& image, GraphLayout direction, int pen, bool discrete,
                   int position, Colour colour);

}  // namespace kvt
