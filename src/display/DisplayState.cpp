#include "display/DisplayState.h"

#include "core/ConfigurationRecord.h"

namespace kvt {

int displayMode = kLiveTrend;
int pendingUiRequest = kNoRequest;
int dividedView = 0;
int dragAnchorX = 0;
int dragAnchorY = 0;

void initialiseDisplayState() {
    displayMode = liveConfiguration.graphDirection == 0 ? kLiveTrend : kLiveWithPanel;
    pendingUiRequest = kNoRequest;
    dividedView = 0;
    dragAnchorX = 0;
    dragAnchorY = 0;
}

}  // namespace kvt
