#pragma once
#include "platform/DeviceContext.h"

namespace kvt {

// Carries out the pending UI request at the start of a redraw and clears
// the slot. Requests that do not apply in the current state do nothing.
// "SC" saves `screenImage`, the picture as the last redraw left it.
void processUiRequest(const DeviceContext& screenImage);

// Stores a request in the slot unless one is pending; true when stored.
bool storeUiRequest(int request);

// The request a press at image point (x, y) makes on the scale or the
// digital panel; 0 for none.
int scaleOrPanelRequestAt(int x, int y);

}  // namespace kvt
