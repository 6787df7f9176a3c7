#include "display/ReleaseGestures.h"

#include <cstdlib>

#include "core/ConfigurationRecord.h"
#include "display/DisplayState.h"
#include "display/GraphLayout.h"
#include "display/PlaybackNavigation.h"

namespace kvt {
namespace {

constexpr int kGestureUnit = 20;
constexpr int kClickTolerance = 4;

// A rectangle in 20-pixel units, right and bottom exclusive.
struct Area {
    int left, top, right, bottom;
};

enum class Clicks { None, Anywhere, InPane };

// The panes of one graph direction and display mode.
struct PaneAreas {
    bool timeAlongX;
    bool newestAtLarger;  // "Horizontal( <- )": the newest sample at the right
    int cursorOrigin;     // image coordinate of cursor position 0
    Clicks clicks;
    Area whole;           // pane 1 of the undivided view
    Area paneOneDivided;
    Area paneTwo;
};

constexpr PaneAreas kLeftward{true, true, 760, Clicks::Anywhere,
                              {0, 2, 38, 24}, {19, 2, 38, 24}, {0, 2, 19, 24}};
constexpr PaneAreas kRightward{true, false, 40, Clicks::Anywhere,
                               {2, 2, 40, 24}, {2, 2, 21, 24}, {21, 2, 40, 24}};
constexpr PaneAreas kPerpendicularTrend{false, false, 80, Clicks::None,
                                        {0, 4, 40, 30}, {0, 4, 40, 17}, {0, 17, 40, 30}};
constexpr PaneAreas kPerpendicularWithPanel{false, false, 80, Clicks::InPane,
                                            {0, 4, 40, 24}, {0, 4, 40, 17}, {0, 17, 40, 24}};

const PaneAreas& paneAreas() {
    switch (graphLayout(liveConfiguration)) {
    case GraphLayout::Leftward:
        return kLeftward;
    case GraphLayout::Rightward:
        return kRightward;
    default:
        return displayMode == kPlaybackWithPanel ? kPerpendicularWithPanel : kPerpendicularTrend;
    }
}

int classify(int x, int y, const Area& area) {
    return classifyGesture(x, y, dragAnchorX, dragAnchorY, area.left, area.top, area.right,
                           area.bottom);
}

bool isClick(int x, int y, const PaneAreas& areas) {
    switch (areas.clicks) {
    case Clicks::Anywhere:
        return classify(x, y, areas.whole) == kGestureClick;
    case Clicks::InPane:
        if (dividedView == 0) return classify(x, y, areas.whole) == kGestureClick;
        return classify(x, y, areas.paneOneDivided) == kGestureClick ||
               classify(x, y, areas.paneTwo) == kGestureClick;
    default:
        return false;
    }
}

// Dragging moves the data with the pointer: towards the newest end the
// pane shows older data, away from it newer data.
int dragRequest(int pane, int delta, bool newestAtLarger) {
    bool later = (delta < 0) == newestAtLarger;
    int base = pane == 1 ? (later ? kRequestPaneOneLater : kRequestPaneOneEarlier)
                         : (later ? kRequestPaneTwoLater : kRequestPaneTwoEarlier);
    return base + std::abs(delta);
}

}  // namespace

int classifyGesture(int releaseX, int releaseY, int pressX, int pressY, int left, int top,
                    int right, int bottom) {
    auto inside = [&](int x, int y) {
        return x >= kGestureUnit * left && x < kGestureUnit * right && y >= kGestureUnit * top &&
               y < kGestureUnit * bottom;
    };
    if (!inside(releaseX, releaseY) || !inside(pressX, pressY)) return kGestureOutside;
    bool near = std::abs(releaseX - pressX) <= kClickTolerance &&
                std::abs(releaseY - pressY) <= kClickTolerance;
    return near ? kGestureClick : kGestureDrag;
}

int releaseRequestAt(int x, int y) {
    const PaneAreas& areas = paneAreas();
    if (isClick(x, y, areas)) {
        int along = areas.timeAlongX ? x : y;
        int position = areas.newestAtLarger ? areas.cursorOrigin - along : along - areas.cursorOrigin;
        return kRequestCursorClick + position;
    }
    int delta = areas.timeAlongX ? x - dragAnchorX : y - dragAnchorY;
    if (std::abs(delta) <= kClickTolerance) return kNoRequest;
    bool divided = dividedView != 0;
    if (classify(x, y, divided ? areas.paneOneDivided : areas.whole) == kGestureDrag) {
        return dragRequest(1, delta, areas.newestAtLarger);
    }
    if (divided && classify(x, y, areas.paneTwo) == kGestureDrag) {
        return dragRequest(2, delta, areas.newestAtLarger);
    }
    return kNoRequest;
}

}  // namespace kvt
