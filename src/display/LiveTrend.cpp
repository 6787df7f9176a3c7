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
#include "platform/Fonts.h"

namespace kvt {
namespace {

constexpr int kColumnLabelSpacing = 40;

void drawRowLabels(DeviceContext& image, const LiveFrame& frame) {
    int rows[kMostRowLabels];
    int samples[kMostRowLabels];
    int count = rowLabelRows(frame, rows, samples);
    int height = fontCell(FontId::Small).pixelHeight;
    for (int label = 0; label < count; ++label) {
        // A label takes its line's row and the text's rows below it.
        if (rows[label] >= image.endDrawnRow() || rows[label] + 1 + height <= image.firstDrawnRow()) continue;
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

// The first sample at or below `row` (perpendicular, rows grow with age).
int firstSampleFrom(const LiveFrame& frame, int row) {
    int low = 0;
    int high = frame.samples->count;
    while (low < high) {
        int middle = low + (high - low) / 2;
        if (timePosition(frame, middle) < row) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    return low;
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
    int count = frame.samples->count;
    auto missing = [&](int k) { return isMissingValue(frame.samples->samples[k].values[pen]); };
    int first = perpendicular ? firstSampleFrom(frame, image.firstDrawnRow() - reach) : 0;
    int lastRow = perpendicular ? image.endDrawnRow() + reach : INT_MAX;
    int above = first - 1;  // the last point above the rows, not added yet
    while (above >= 0 && missing(above)) --above;
    if (above >= 0 && pastTraceEnd(frame, above)) first = count;  // the trace ends above them
    for (int k = first; k < count; ++k) {
        if (missing(k)) continue;
        if (above >= 0) add(above);
        above = -1;
        add(k);
        if (pastTraceEnd(frame, k) || timePosition(frame, k) > lastRow) break;
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
