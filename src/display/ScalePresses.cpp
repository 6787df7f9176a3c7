#include "core/ConfigurationRecord.h"
#include "display/DisplayState.h"
#include "display/GraphLayout.h"
#include "display/UiRequests.h"
#include "recording/RecordingBuffers.h"

namespace kvt {
namespace {

constexpr int kPercentScaleRequest = 200;

struct Area {
    int left, top, right, bottom;  // right and bottom exclusive

    bool holds(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
};

// The scale band or strip of the display mode and graph direction.
Area scaleArea(bool playback, GraphLayout layout) {
    switch (layout) {
    case GraphLayout::Leftward:
        return playback ? Area{760, 40, 800, 480} : Area{720, 40, 760, 480};
    case GraphLayout::Rightward:
        return playback ? Area{0, 40, 40, 480} : Area{40, 40, 80, 480};
    default:
        return playback ? Area{0, 40, 800, 80} : Area{0, 80, 800, 120};
    }
}

// The first analog pen shown in the panel whose cell holds the press.
int panelPenAt(int group, int x, int y) {
    for (int pen = 0; pen < pensOfGroup(group); ++pen) {
        const PenSettings& settings = liveConfiguration.pen(group, pen);
        if (settings.enabled == 0 || settings.shown == 0 || settings.isDiscrete != 0) continue;
        Area cell{200 * (pen / 3), 480 + 40 * (pen % 3), 200 * (pen / 3) + 200, 520 + 40 * (pen % 3)};
        if (cell.holds(x, y)) return pen;
    }
    return -1;
}

}  // namespace

// A press on the scale returns it to percent; a press on an analog pen's
// cell makes the scale follow that pen; while a pen is enlarged any other
// press makes the scale follow the enlarged pen.
int scaleOrPanelRequestAt(int x, int y) {
    if (scaleArea(isPlaybackMode(displayMode), graphLayout(liveConfiguration)).holds(x, y)) {
        return kPercentScaleRequest;
    }
    if (!isPanelShown(displayMode)) return kNoRequest;
    int group = shownGroup();
    int selected = selectedPenOf(liveConfiguration, group);
    if (selected != 0) return kPercentScaleRequest + selected;
    int pen = panelPenAt(group, x, y);
    return pen >= 0 ? kPercentScaleRequest + 1 + pen : kNoRequest;
}

}  // namespace kvt
