#include "display/LiveFrame.h"

#include <algorithm>

#include "core/ConfigurationRecord.h"
#include "display/DisplayState.h"
#include "display/TracePath.h"
#include "display/TrendGraph.h"

namespace kvt {
namespace {

constexpr int kNewestRow = 121;
constexpr int kLeftwardNewestColumn = 719;
constexpr int kRightwardNewestColumn = 80;
constexpr int kRowLabelSpacing = 20;

// The ring copy of the redraw; the window thread is its only user.
LiveSamples liveSamples;

// The frame every live drawing of one redraw draws from while it is held.
bool frameHeld = false;
LiveFrame heldFrame{};

// The traced pens whose line, at the oldest sample copied, is still inside
// a gap that began inside the graph: it joins a point further back.
uint32_t pensJoiningPastTheCopy(const LiveFrame& frame) {
    int count = frame.samples->count;
    if (count < kSamplesShown) return 0;
    int end = 0;  // the first sample past the trace end
    while (end < count && !pastTraceEnd(frame, end)) ++end;
    uint32_t pens = 0;
    for (int pen = 0; pen < pensOfGroup(frame.group); ++pen) {
        if (!tracedPen(frame, pen)) continue;
        bool closed = false;
        for (int k = end; k < count && !closed; ++k) closed = hasValue(frame, k, pen);
        bool started = false;
        for (int k = end - 1; k >= 0 && !closed && !started; --k) started = hasValue(frame, k, pen);
        if (started) pens |= 1u << pen;
    }
    return pens;
}

LiveFrame takeLiveFrame() {
    LiveFrame frame{};
    frame.group = shownGroup();
    frame.layout = graphLayout(liveConfiguration);
    frame.panel = displayMode == kLiveWithPanel;
    bool recordedOnly = drawsRecordedSamplesOnly(liveConfiguration);
    copyLiveSamples(frame.group, recordedOnly, liveSamples, kSamplesShown);
    frame.samples = &liveSamples;
    uint32_t joining = pensJoiningPastTheCopy(frame);
    if (joining != 0) copyLiveSamplesOn(frame.group, recordedOnly, liveSamples, joining);
    frame.haveNewest = newestLiveSample(frame.group, frame.newest);
    frame.labelTimes = shownLabelTimes();
    return frame;
}

}  // namespace

LiveFrame liveFrame() { return frameHeld ? heldFrame : takeLiveFrame(); }

int timePosition(const LiveFrame& frame, int k) {
    switch (frame.layout) {
    case GraphLayout::Leftward:
        return kLeftwardNewestColumn - k;
    case GraphLayout::Rightward:
        return kRightwardNewestColumn + k;
    default:
        return kNewestRow + k;
    }
}

namespace {

// The row labels of the held frame, found once for every drawing of it.
struct HeldRowLabels {
    bool found = false;
    bool panel = false;
    int count = 0;
    int rows[kMostRowLabels];
    int samples[kMostRowLabels];
};
HeldRowLabels heldRowLabels;

int findRowLabels(const LiveFrame& frame, int (&rows)[kMostRowLabels], int (&samples)[kMostRowLabels]) {
    int lastRow = frame.panel ? 490 : 610;
    int count = 0;
    for (int k = 0; k < frame.samples->count && count < kMostRowLabels; ++k) {
        int row = timePosition(frame, k);
        if (row > lastRow) break;
        if (!frame.labelTimes(frame.samples->samples[k].time)) continue;
        if (count > 0 && row <= rows[count - 1] + kRowLabelSpacing) continue;
        rows[count] = row;
        samples[count++] = k;
    }
    return count;
}

}  // namespace

int rowLabelRows(const LiveFrame& frame, int (&rows)[kMostRowLabels], int (&samples)[kMostRowLabels]) {
    // While a frame is held, every frame drawn is a copy of it.
    if (!frameHeld || frame.layout != GraphLayout::Perpendicular) return findRowLabels(frame, rows, samples);
    HeldRowLabels& labels = heldRowLabels;
    if (!labels.found || labels.panel != frame.panel) {
        labels.count = findRowLabels(frame, labels.rows, labels.samples);
        labels.panel = frame.panel;
        labels.found = true;
    }
    std::copy(labels.rows, labels.rows + labels.count, rows);
    std::copy(labels.samples, labels.samples + labels.count, samples);
    return labels.count;
}

bool pastTraceEnd(const LiveFrame& frame, int k) {
    int position = timePosition(frame, k);
    switch (frame.layout) {
    case GraphLayout::Leftward:
        return position < 0;
    case GraphLayout::Rightward:
        return position > 800;
    default:
        return position > (frame.panel ? 481 : 601);
    }
}

bool hasValue(const LiveFrame& frame, int k, int pen) {
    return !isMissingValue(frame.samples->samples[k].values[pen]);
}

bool tracedPen(const LiveFrame& frame, int pen) {
    const PenSettings& settings = liveConfiguration.pen(frame.group, pen);
    return settings.enabled != 0 && settings.shown != 0;
}

const LiveFrame* heldLiveFrame() { return frameHeld ? &heldFrame : nullptr; }

void endLiveFrameHold() { frameHeld = false; }

void holdLiveFrame() {
    heldFrame = takeLiveFrame();
    heldRowLabels.found = false;
    frameHeld = true;
}

}  // namespace kvt
