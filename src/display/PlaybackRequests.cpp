#include "display/PlaybackRequests.h"

#include "display/DisplayState.h"
#include "display/GraphLayout.h"
#include "recording/PaneLoading.h"
#include "recording/PlaybackPanes.h"

namespace kvt {

void enterPlayback() {
    dividedView = 0;
    loadPane(1);
    if (displayMode == kLiveTrend) displayMode = kPlaybackTrend;
    if (displayMode == kLiveWithPanel) displayMode = kPlaybackWithPanel;
    dragAnchorX = 0;
    dragAnchorY = 0;
}

void leavePlayback() {
    if (displayMode == kPlaybackTrend) displayMode = kLiveTrend;
    if (displayMode == kPlaybackWithPanel) displayMode = kLiveWithPanel;
}

void requestCurrentTime() { paneTimeRequests[0] = PaneTimeRequest{0, 1}; }

void toggleDividedView() {
    if (dividedView != 0) {
        dividedView = 0;
        return;
    }
    dividedView = 1;
    int group = shownGroup();
    playbackPanes[1].referenceTime[group] = playbackPanes[0].referenceTime[group];
    loadPane(2);
}

void showChangedGroup() {
    if (!isPlaybackMode(displayMode)) return;
    dividedView = 0;
    loadPane(1);
}

}  // namespace kvt
