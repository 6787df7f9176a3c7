#include "display/UiRequests.h"

#include "core/RunFlags.h"
#include "display/DisplayState.h"
#include "platform/WindowCommands.h"

namespace kvt {
namespace {

// Start when nothing runs; ask before stopping when a run is going. While
// a start is under way (requested, not yet active) the press does nothing.
void startOrStop() {
    int requested = load(acquisitionRequested);
    int active = load(acquisitionActive);
    if (requested == 0 && active == 0) {
        store(acquisitionRequested, 1);
    } else if (requested == 1 && active == 1) {
        postWindowCommand(kCommandStopQuestion);
    }
}

}  // namespace

void processPendingRequest() {
    int request = pendingUiRequest;
    if (request == kRequestStartStop) startOrStop();
    pendingUiRequest = kNoRequest;
}

bool storeUiRequest(int request) {
    if (pendingUiRequest != kNoRequest) return false;
    pendingUiRequest = request;
    return true;
}

// Scale and panel presses select what the value scale shows; they come
// with the display state machine.
int scaleOrPanelRequestAt(int x, int y) {
    (void)x;
    (void)y;
    return kNoRequest;
}

}  // namespace kvt
