#pragma once

namespace kvt {

// Carries out the pending UI request at the start of a redraw and clears
// the slot. START/STOP (13) starts a run when none is requested or active
// and asks the stop question (command 1131) when one runs; the other
// requests are left to the display state machine and cleared.
void processPendingRequest();

// Stores a request in the slot unless one is pending; true when stored.
bool storeUiRequest(int request);

// The request a press at image point (x, y) makes on the scale or the
// digital panel; 0 for none.
int scaleOrPanelRequestAt(int x, int y);

}  // namespace kvt
