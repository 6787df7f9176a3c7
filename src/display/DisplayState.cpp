#include "display/DisplayState.h"

#include "core/ConfigurationRecord.h"
#include "display/GraphLayout.h"

namespace kvt {

int displayMode = kLiveTrend;
int pendingUiRequest = kNoRequest;
int dividedView = 0;
int dragAnchorX = 0;
int dragAnchorY = 0;

void initialiseDisplayState() {
    displayMode = isHorizontal(graphLayout(liveConfiguration)) ? kLiveWithPanel : kLiveTrend;
    pendingUiRequest = kNoRequest;
    dividedView = 0;
    dragAnchorX = 0;
    dragAnchorY = 0;
}

}  // namespace kvt
