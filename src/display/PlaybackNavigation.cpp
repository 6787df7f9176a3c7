#include "display/PlaybackNavigation.h"

#include <algorithm>

#include "core/ConfigurationRecord.h"
#include "core/RunFlags.h"
#include "display/DisplayState.h"
#include "display/GraphLayout.h"
#include "display/TrendGraph.h"
#include "platform/SystemTime.h"
#include "recording/PaneLoading.h"
#include "recording/PaneWindow.h"
#include "recording/RecordingBuffers.h"

namespace kvt {
namespace {

constexpr int kFirstRecordedYear = 2000;
constexpr int kLastRecordedYear = 2099;

// Cursor positions of the panes along the time axis; a position above
// paneOneLast + 1 stands in pane 2 (the divided view).
struct CursorRange {
    int paneOneLast;
    int paneTwoFirst;
    int undividedLast;

    bool inPaneTwo(int position) const { return position > paneOneLast + 1; }
};

constexpr CursorRange kRowRange{259, 261, 519};      // perpendicular
constexpr CursorRange kColumnRange{379, 381, 759};   // horizontal

const CursorRange& cursorRange() {
    return isHorizontal(graphLayout(liveConfiguration)) ? kColumnRange : kRowRange;
}

// Moves the reference time of pane 1 or 2 of the group shown and reloads
// the pane (which puts the cursor to 0 for pane 1). The time is held to the
// recorded years before the step too, so no stored value can overflow it.
void scrollPane(int pane, int64_t seconds) {
    int64_t& reference = playbackPanes[pane - 1].referenceTime[shownGroup()];
    reference = heldToRecordedYears(heldToRecordedYears(reference) + seconds);
    loadPane(pane);
}

// Where the cursor goes after a drag of `pixels`: with its sample when it
// stands in the scrolled pane, nowhere when it stands in the other one,
// and never out of the pane it is in.
int cursorAfterDrag(int base, int cursor, int pixels) {
    const CursorRange& range = cursorRange();
    bool divided = dividedView != 0;
    bool inPaneTwo = range.inPaneTwo(cursor);
    switch (base) {
    case kRequestPaneOneLater:
        if (!divided) return std::min(cursor + pixels, range.undividedLast);
        return inPaneTwo ? cursor : std::min(cursor + pixels, range.paneOneLast);
    case kRequestPaneOneEarlier:
        return divided && inPaneTwo ? cursor : std::max(cursor - pixels, 0);
    case kRequestPaneTwoLater:
        return inPaneTwo ? std::min(cursor + pixels, range.undividedLast) : cursor;
    default:  // pane 2 earlier
        return inPaneTwo ? std::max(cursor - pixels, range.paneTwoFirst) : cursor;
    }
}

void drag(int base, int pixels) {
    int cursor = playbackCursorInRange();
    bool later = base == kRequestPaneOneLater || base == kRequestPaneTwoLater;
    int pane = base < kRequestPaneTwoLater ? 1 : 2;
    int64_t seconds = dragSeconds(shownGroup(), pixels);
    scrollPane(pane, later ? seconds : -seconds);
    playbackCursor = cursorAfterDrag(base, cursor, pixels);
}

}  // namespace

bool isNavigationRequest(int request) {
    if (request < kRequestCursorClick || request >= kRequestPaneTwoEarlier + kNavigationSpan) {
        return false;
    }
    return (request - kRequestCursorClick) % 2000 < kNavigationSpan;
}

void navigate(int request) {
    if (!isNavigationRequest(request)) return;
    int base = request - (request - kRequestCursorClick) % 2000;
    int pixels = request - base;
    if (base == kRequestCursorClick) {
        playbackCursor = pixels;
    } else {
        drag(base, pixels);
    }
}

int64_t dragSeconds(int group, int pixels) {
    int cycle = group == kHighSpeedGroup ? 0 : liveConfiguration.group(group).storingCycle;
    return int64_t{pixels} * sampleSpacingMs(group, cycle) / 1000;
}

int64_t heldToRecordedYears(int64_t referenceTime) {
    int64_t earliest = epochSecondsOfLocal({kFirstRecordedYear, 1, 1}, 0, 0, 0);
    int64_t latest = epochSecondsOfLocal({kLastRecordedYear, 12, 31}, 23, 59, 59);
    return std::clamp(referenceTime, earliest, latest);
}

void applyPaneTimeRequests() {
    for (int pane = 1; pane <= kPaneCount; ++pane) {
        PaneTimeRequest& request = paneTimeRequests[pane - 1];
        if (request.pending != 1) continue;
        playbackPanes[pane - 1].referenceTime[shownGroup()] = request.requestedTime;
        loadPane(pane);
        request.pending = 0;
    }
}

}  // namespace kvt
