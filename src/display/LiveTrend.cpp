#include <cmath>

#include "core/ConfigurationRecord.h"
#include "display/DigitalPanel.h"
#include "display/DisplayColours.h"
#include "display/DisplayState.h"
#include "display/GraphLayout.h"
#include "display/LiveSources.h"
#include "display/PenMarker.h"
#include "display/TimeLabels.h"
#include "display/TracePath.h"
#include "display/TrendGraph.h"
#include "display/ValueMapping.h"
#include "display/ValueScale.h"

namespace kvt {
namespace {

constexpr int kNewestRow = 121;
constexpr int kLeftwardNewestColumn = 719;
constexpr int kRightwardNewestColumn = 80;
constexpr int kRowLabelSpacing = 20;
constexpr int kColumnLabelSpacing = 40;
// Samples a live redraw can reach: rightward, labels of the 780 newest
// still show part of their text; every other trace and label stops sooner.
constexpr int kSamplesShown = 800;

// The ring copy of the redraw; the window thread is its only user.
LiveSamples liveSamples;

// What one live redraw draws from.
struct LiveFrame {
    int group;
    GraphLayout layout;
    bool panel;
    bool haveNewest;
    SampleData newest;
    const LiveSamples* samples;
    LabelTimes labelTimes;
};

LiveFrame liveFrame() {
    LiveFrame frame{};
    frame.group = shownGroup();
    frame.layout = graphLayout(liveConfiguration);
    frame.panel = displayMode == kLiveWithPanel;
    copyLiveSamples(frame.group, drawsRecordedSamplesOnly(liveConfiguration), liveSamples,
                    kSamplesShown);
    frame.samples = &liveSamples;
    frame.haveNewest = newestLiveSample(frame.group, frame.newest);
    frame.labelTimes = shownLabelTimes();
    return frame;
}

// Position of sample k along the time axis.
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

void drawRowLabels(DeviceContext& image, const LiveFrame& frame) {
    int lastRow = frame.panel ? 490 : 610;
    bool labelled = false;
    int previous = 0;
    for (int k = 0; k < frame.samples->count; ++k) {
        int row = timePosition(frame, k);
        if (row > lastRow) break;
        const SystemTime& time = frame.samples->samples[k].time;
        if (!frame.labelTimes(time) || (labelled && row <= previous + kRowLabelSpacing)) continue;
        drawRowLabel(image, row, timeLabelText(time), kBlack);
        drawRowLine(image, row, kGrey);
        labelled = true;
        previous = row;
    }
}

void drawColumnLabels(DeviceContext& image, const LiveFrame& frame) {
    bool rightward = frame.layout == GraphLayout::Rightward;
    bool labelled = false;
    int previous = 0;
    for (int k = 0; k < frame.samples->count; ++k) {
        int column = timePosition(frame, k);
        if (column < 0 || column - 60 >= 800) break;  // nothing of a label would show
        const SystemTime& time = frame.samples->samples[k].time;
        if (!frame.labelTimes(time)) continue;
        if (labelled && std::abs(column - previous) <= kColumnLabelSpacing) continue;
        drawColumnLabel(image, column, timeLabelText(time), kBlack, rightward && column < 100,
                        !rightward && column > 700);
        drawColumnLine(image, column, kGrey);
        labelled = true;
        previous = column;
    }
}

// Where the live values of a pen lie across the time axis; read after the
// pen's plot range is updated.
PenMapping liveMapping(const LiveFrame& frame, int pen) {
    bool perpendicular = frame.layout == GraphLayout::Perpendicular;
    return PenMapping(perpendicular ? PenMapping::Direction::Across : PenMapping::Direction::Upwards,
                      0, frame.group, pen);
}

// Whether the trace ends after the point of sample k. Rightward, the line
// into column 801 is the last one a thick pen can still reach column 799
// with; the older samples lie off the image.
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

void drawTrace(DeviceContext& image, const LiveFrame& frame, int pen, const PenSettings& settings,
               const PenMapping& mapping) {
    image.selectPen(rgbOf(settings.penColour), traceWidthOf(settings));
    bool perpendicular = frame.layout == GraphLayout::Perpendicular;
    TracePath::Steps steps = settings.isDiscrete == 0 ? TracePath::Steps::None
                             : perpendicular          ? TracePath::Steps::AtNewRow
                                                      : TracePath::Steps::AtPreviousColumn;
    TracePath path(image, steps);
    for (int k = 0; k < frame.samples->count; ++k) {
        const SampleData& sample = frame.samples->samples[k];
        double value = sample.values[pen];
        if (isMissingValue(value)) continue;
        int position = mapping(value, sample.status[pen]);
        int along = timePosition(frame, k);
        if (perpendicular) {
            path.add(position, along);
        } else {
            path.add(along, position);
        }
        if (pastTraceEnd(frame, k)) break;
    }
    image.selectPen(kBlack);
}

void drawPens(DeviceContext& image, const LiveFrame& frame) {
    if (frame.samples->count == 0 && !frame.haveNewest) return;
    for (int pen = 0; pen < pensOfGroup(frame.group); ++pen) {
        const PenSettings& settings = liveConfiguration.pen(frame.group, pen);
        if (settings.enabled == 0 || settings.shown == 0) continue;
        updatePlotRange(frame.group, pen);
        PenMapping mapping = liveMapping(frame, pen);
        double newest = frame.newest.values[pen];
        if (frame.haveNewest && !isMissingValue(newest)) {
            drawPenMarker(image, frame.layout, pen, settings.isDiscrete != 0,
                          mapping(newest, frame.newest.status[pen]),
                          rgbOf(settings.penColour));
        }
        if (frame.samples->count > 0) drawTrace(image, frame, pen, settings, mapping);
    }
}

}  // namespace

void drawLiveView(DeviceContext& image) {
    GraphLayout layout = graphLayout(liveConfiguration);
    if (layout == GraphLayout::Perpendicular) {
        image.fillSolidRect(0, 40, 800, 40, kMarkerGrey);
        drawLivePerpendicular(image);
    } else {
        image.fillSolidRect(layout == GraphLayout::Leftward ? 760 : 0, 40, 40, 440, kMarkerGrey);
        drawLiveHorizontal(image);
    }
    if (displayMode == kLiveWithPanel) drawDigitalPanel(image, 0);
}

void drawLivePerpendicular(DeviceContext& image) {
    LiveFrame frame = liveFrame();
    frame.layout = GraphLayout::Perpendicular;
    drawMinorGrid(image, 0);
    drawRowLabels(image, frame);
    drawScalePerpendicular(image, 0);
    drawPens(image, frame);
}

void drawLiveHorizontal(DeviceContext& image) {
    LiveFrame frame = liveFrame();
    if (frame.layout == GraphLayout::Perpendicular) frame.layout = GraphLayout::Leftward;
    drawColumnLabels(image, frame);
    drawScaleHorizontal(image, 0);
    drawPens(image, frame);
}

}  // namespace kvt
