#include <climits>
#include <cmath>

#include "core/ConfigurationRecord.h"
#include "display/DigitalPanel.h"
#include "display/DisplayColours.h"
#include "display/DisplayState.h"
#include "display/GraphLayout.h"
#include "display/LiveFrame.h"
#include "display/LiveSources.h"
#include "display/PenMarker.h"
#include "display/TimeLabels.h"
#include "display/TracePath.h"
#include "display/TrendGraph.h"
#include "display/ValueMapping.h"
#include "display/ValueScale.h"

namespace kvt {
namespace {

constexpr int kColumnLabelSpacing = 40;

void drawRowLabels(DeviceContext& image, const LiveFrame& frame) {
    int rows[kMostRowLabels];
    int samples[kMostRowLabels];
    int count = rowLabelRows(frame, rows, samples);
    for (int label = 0; label < count; ++label) {
        drawRowLabel(image, rows[label], timeLabelText(frame.samples->samples[samples[label]].time), kBlack);
        drawRowLine(image, rows[label], kGrey);
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

// Perpendicular, points far above or below the rows the image takes draw
// nothing there: the trace is joined from the last point above them to
// the first point below them.
void drawTrace(DeviceContext& image, const LiveFrame& frame, int pen, const PenSettings& settings,
               const PenMapping& mapping) {
    image.selectPen(rgbOf(settings.penColour), traceWidthOf(settings));
    bool perpendicular = frame.layout == GraphLayout::Perpendicular;
    TracePath::Steps steps = settings.isDiscrete == 0 ? TracePath::Steps::None
                             : perpendicular          ? TracePath::Steps::AtNewRow
                                                      : TracePath::Steps::AtPreviousColumn;
    TracePath path(image, steps);
    auto add = [&](int k) {
        const SampleData& sample = frame.samples->samples[k];
        int position = mapping(sample.values[pen], sample.status[pen]);
        int along = timePosition(frame, k);
        if (perpendicular) {
            path.add(position, along);
        } else {
            path.add(along, position);
        }
    };
    int reach = traceWidthOf(settings);
    int firstRow = perpendicular ? image.firstDrawnRow() - reach : INT_MIN;
    int lastRow = perpendicular ? image.endDrawnRow() + reach : INT_MAX;
    int above = -1;  // the last point above the rows, not added yet
    for (int k = 0; k < frame.samples->count; ++k) {
        if (isMissingValue(frame.samples->samples[k].values[pen])) continue;
        int along = timePosition(frame, k);
        if (along < firstRow) {
            above = k;
            if (pastTraceEnd(frame, k)) break;
            continue;
        }
        if (above >= 0) add(above);
        above = -1;
        add(k);
        if (pastTraceEnd(frame, k) || along > lastRow) break;
    }
    image.selectPen(kBlack);
}

void drawPens(DeviceContext& image, const LiveFrame& frame) {
    if (frame.samples->count == 0 && !frame.haveNewest) return;
    for (int pen = 0; pen < pensOfGroup(frame.group); ++pen) {
        if (!tracedPen(frame, pen)) continue;
        const PenSettings& settings = liveConfiguration.pen(frame.group, pen);
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
