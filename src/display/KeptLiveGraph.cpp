#include "display/TrendGraph.h"

#include <algorithm>
#include <cstring>

#include "core/ConfigurationRecord.h"
#include "display/DisplayState.h"
#include "display/LiveFrame.h"
#include "platform/DeviceContext.h"
#include "platform/Fonts.h"
#include "platform/GlyphCache.h"

namespace kvt {
namespace {

// What the window's image showed after the last held redraw: enough to
// tell whether the next frame is that one moved on.
struct ShownFrame {
    bool valid = false;
    int displayMode = 0;
    int group = 0;
    unsigned glyphs = 0;
    SampleData newest{};
    int count = 0;
    int labelCount = 0;
    int labelRows[kMostRowLabels] = {};
};
ShownFrame shown;
ConfigurationRecord shownConfiguration;

// More new samples than this and the graph is drawn afresh.
constexpr int kMostMoved = 32;
// Rows a trace's pixels reach past its points (the widest pen is 3).
constexpr int kTraceReach = 2;
// With the panel, rows from here on are drawn afresh: the traces end at
// row 481 and the panel starts at row 480.
constexpr int kPanelKeptBottom = 476;

// Samples the held frame moved on by since the shown one, or -1.
int samplesMoved(const LiveFrame& frame) {
    int count = frame.samples->count;
    if (shown.count == 0) return count == 0 ? 0 : -1;
    for (int moved = 0; moved <= kMostMoved && moved < count; ++moved) {
        if (std::memcmp(&frame.samples->samples[moved], &shown.newest, sizeof shown.newest) != 0) continue;
        // Past the first copy, how far a frame reaches depends on its gaps.
        return std::min(count, kSamplesShown) == std::min(shown.count + moved, kSamplesShown) ? moved : -1;
    }
    return -1;
}

// Where the traces changed: below the new samples down to the older point
// each new segment joins, and, once samples leave the frame, from the last
// point each trace draws inside the graph on.
void keepToUnchangedTraces(const LiveFrame& frame, int moved, KeptGraphRows& kept) {
    int count = frame.samples->count;
    int inside = count - 1;
    while (inside > 0 && pastTraceEnd(frame, inside)) --inside;
    bool samplesLeft = count >= kSamplesShown;
    for (int pen = 0; pen < pensOfGroup(frame.group); ++pen) {
        if (!tracedPen(frame, pen)) continue;
        bool came = false;
        for (int k = 0; k < moved && !came; ++k) came = hasValue(frame, k, pen);
        if (came) {
            int joined = moved;
            while (joined < count - 1 && !hasValue(frame, joined, pen)) ++joined;
            kept.top = std::max(kept.top, timePosition(frame, joined) + kTraceReach + 1);
        }
        if (samplesLeft) {
            int last = inside;
            while (last > 0 && !hasValue(frame, last, pen)) --last;
            kept.bottom = std::min(kept.bottom, timePosition(frame, last) - kTraceReach);
        }
    }
}

// Whether the labels that reach the kept rows are the shown ones moved down.
bool labelsMovedWith(const LiveFrame& frame, const KeptGraphRows& kept) {
    int rows[kMostRowLabels];
    int samples[kMostRowLabels];
    int count = rowLabelRows(frame, rows, samples);
    int from = kept.top - fontCell(FontId::Small).pixelHeight - 1;
    auto reaches = [&](int row) { return row >= from && row < kept.bottom; };
    int old = 0;
    for (int label = 0; label < count; ++label) {
        if (!reaches(rows[label])) continue;
        while (old < shown.labelCount && !reaches(shown.labelRows[old] + kept.moved)) ++old;
        if (old == shown.labelCount || shown.labelRows[old] + kept.moved != rows[label]) return false;
        ++old;
    }
    while (old < shown.labelCount && !reaches(shown.labelRows[old] + kept.moved)) ++old;
    return old == shown.labelCount;
}

}  // namespace

void releaseLiveFrame() {
    const LiveFrame* held = heldLiveFrame();
    if (held == nullptr) return;
    LiveFrame frame = *held;
    frame.layout = GraphLayout::Perpendicular;
    int samples[kMostRowLabels];
    shown.labelCount = rowLabelRows(frame, shown.labelRows, samples);
    endLiveFrameHold();
    shown.valid = true;
    shown.displayMode = displayMode;
    shown.group = frame.group;
    shown.glyphs = glyphCacheGeneration();
    shown.count = frame.samples->count;
    if (shown.count > 0) shown.newest = frame.samples->samples[0];
    std::memcpy(&shownConfiguration, &liveConfiguration, sizeof shownConfiguration);
}

void forgetShownLiveFrame() { shown.valid = false; }

KeptGraphRows keptLiveGraphRows() {
    KeptGraphRows none{-1, 0, 0};
    bool live = displayMode == kLiveTrend || displayMode == kLiveWithPanel;
    const LiveFrame* held = heldLiveFrame();
    if (held == nullptr || !shown.valid || !live || displayMode != shown.displayMode) return none;
    if (graphLayout(liveConfiguration) != GraphLayout::Perpendicular) return none;
    if (held->group != shown.group || glyphCacheGeneration() != shown.glyphs) return none;
    if (std::memcmp(&liveConfiguration, &shownConfiguration, sizeof shownConfiguration) != 0) return none;
    LiveFrame frame = *held;
    frame.layout = GraphLayout::Perpendicular;
    int moved = samplesMoved(frame);
    if (moved < 0) return none;
    KeptGraphRows kept{moved, timePosition(frame, moved) + kTraceReach + 1,
                       frame.panel ? kPanelKeptBottom : DeviceContext::kScreenHeight};
    keepToUnchangedTraces(frame, moved, kept);
    if (kept.top >= kept.bottom || !labelsMovedWith(frame, kept)) return none;
    return kept;
}

}  // namespace kvt
