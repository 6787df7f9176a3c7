#include "recording/PlaybackPanes.h"

#include <algorithm>
#include <iterator>

namespace kvt {

PlaybackPane playbackPanes[kPaneCount];
int playbackCursor = 0;
PaneTimeRequest paneTimeRequests[kPaneCount];

void resetPlaybackPanes() {
    for (PlaybackPane& pane : playbackPanes) {
        std::fill(std::begin(pane.referenceTime), std::end(pane.referenceTime), 0);
        for (auto& pen : pane.values) std::fill(std::begin(pen), std::end(pen), kNoData);
        std::fill(std::begin(pane.stamps), std::end(pane.stamps), SystemTime{});
    }
    playbackCursor = 0;
    for (PaneTimeRequest& request : paneTimeRequests) request = PaneTimeRequest{};
}

}  // namespace kvt
