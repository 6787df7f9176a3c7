#pragma once
#include "platform/DeviceContext.h"

namespace kvt {

// Rows 480-599: tag, value, unit and alarm lamps of every pen of the
// current group in 12 cells of 200 x 40 (pens down the columns), or the
// group's selected pen enlarged over the whole panel. `source` 0 shows the
// newest live sample, 1 the playback sample under the cursor.
void drawDigitalPanel(DeviceContext& image, int source);

}  // namespace kvt
