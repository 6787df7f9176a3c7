#include "display/GraphArea.h"

#include "display/DisplayState.h"
#include "display/TrendGraph.h"

namespace kvt {

void drawGraphArea(DeviceContext& image) {
    if (isPlaybackMode(displayMode)) {
        drawPlaybackView(image);
    } else {
        drawLiveView(image);
    }
}

}  // namespace kvt
