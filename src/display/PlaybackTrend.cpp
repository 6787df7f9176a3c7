#include "core/ConfigurationRecord.h"
#include "display/DigitalPanel.h"
#include "display/DisplayColours.h"
#include "display/DisplayState.h"
#include "display/GraphLayout.h"
#include "display/TimeLabels.h"
#include "display/TracePath.h"
#include "display/TrendGraph.h"
#include "display/ValueMapping.h"
#include "display/ValueScale.h"
#include "recording/PlaybackPanes.h"
#include "recording/RecordingBuffers.h"

namespace kvt {
namespace {

constexpr int kPaneOneRows = 260;     // cursor positions 0-260 stand in pane 1 (perpendicular)
constexpr int kPaneOneColumns = 380;  // and 0-380 (horizontal)

// What one pane's drawing needs to know.
struct PaneFrame {
    int pane;
    int group;
    GraphLayout layout;
    bool divided;
    int mode;
    const PlaybackPane* buffer;
    LabelTimes labelTimes;
};

PaneFrame paneFrame(int pane, GraphLayout layout) {
    int index = pane == 1 ? 1 : 0;
    return {index, shownGroup(), layout, dividedView != 0, displayMode, &playbackPanes[index],
            shownLabelTimes()};
}

// Perpendicular: the row of sample k, and where labels and traces end.
int paneRow(const PaneFrame& frame, int k) { return (frame.pane == 0 ? 81 : 341) + k; }

bool rowsEnd(const PaneFrame& frame, int row, int paneOneEnd, int fullEnd, int panelEnd) {
    if (frame.divided && frame.pane == 0 && row > paneOneEnd) return true;
    if (frame.mode == kPlaybackTrend) return row > fullEnd;
    if (frame.mode == kPlaybackWithPanel) return row > (frame.divided ? fullEnd : panelEnd);
    return false;
}

// Horizontal: the column of sample k, and the end of the pane.
int paneColumn(const PaneFrame& frame, int k) {
    if (frame.layout == GraphLayout::Leftward) return (frame.pane == 0 ? 759 : 379) - k;
    return (frame.pane == 0 ? 40 : 420) + k;
}

bool pastPaneEnd(const PaneFrame& frame, int column) {
    bool paneOneOfTwo = frame.divided && frame.pane == 0;
    if (frame.layout == GraphLayout::Leftward) return column < 0 || (paneOneOfTwo && column < 380);
    return column > 800 || (paneOneOfTwo && column > 420);
}

void drawColumnText(DeviceContext& image, const PaneFrame& frame, int column,
                    const SystemTime& time, Colour colour) {
    bool rightward = frame.layout == GraphLayout::Rightward;
    drawColumnLabel(image, column, timeLabelText(time), colour, rightward && column < 60,
                    !rightward && column > 740);
}

void drawPerpendicularLabels(DeviceContext& image, const PaneFrame& frame) {
    for (int k = 0; k < kPaneSlots; ++k) {
        int row = paneRow(frame, k);
        if (row > 610) break;  // below every end of the labels
        const SystemTime& time = frame.buffer->stamps[k];
        if (!frame.labelTimes(time)) continue;
        if (rowsEnd(frame, row, 340, 610, 550)) break;
        drawRowLabel(image, row, timeLabelText(time), kBlack);
        drawRowLine(image, row, kGrey);
    }
}

void drawHorizontalLabels(DeviceContext& image, const PaneFrame& frame) {
    for (int k = 0; k < kPaneSlots; ++k) {
        int column = paneColumn(frame, k);
        const SystemTime& time = frame.buffer->stamps[k];
        if (!frame.labelTimes(time)) continue;
        if (pastPaneEnd(frame, column)) break;
        drawColumnText(image, frame, column, time, kBlack);
        drawColumnLine(image, column, kGrey);
    }
}

void drawPerpendicularCursor(DeviceContext& image, const PaneFrame& frame) {
    if (frame.mode != kPlaybackWithPanel) return;
    int cursor = playbackCursorInRange();
    int sample = cursor;
    int row = 81 + cursor;
    if (frame.pane == 1) {
        if (!frame.divided || cursor <= kPaneOneRows) return;
        sample = cursor - (kPaneOneRows + 1);
        row = 80 + cursor;
    } else if (frame.divided && cursor > kPaneOneRows) {
        return;
    }
    drawRowLabel(image, row, timeLabelText(frame.buffer->stamps[sample]), kCursorRed);
    drawRowLine(image, row, kCursorRed);
}

void drawHorizontalCursor(DeviceContext& image, const PaneFrame& frame) {
    if (frame.mode != kPlaybackWithPanel) return;
    bool leftward = frame.layout == GraphLayout::Leftward;
    int cursor = playbackCursorInRange();
    int sample = cursor;
    int column = leftward ? 759 - cursor : cursor + 40;
    if (frame.pane == 1) {
        if (!frame.divided || cursor <= kPaneOneColumns) return;
        sample = cursor - (kPaneOneColumns + 1);
        column = leftward ? 760 - cursor : cursor + 39;
    } else if (frame.divided && cursor > kPaneOneColumns) {
        return;
    }
    drawColumnText(image, frame, column, frame.buffer->stamps[sample], kCursorRed);
    drawColumnLine(image, column, kCursorRed);
}

// One pen's trace; a missing value ends the line and the next value starts
// a new one.
template <typename Place, typename Ends>
void drawPaneTrace(DeviceContext& image, const PaneFrame& frame, int pen, TracePath::Steps steps,
                   Place place, Ends ends) {
    const PenSettings& settings = liveConfiguration.pen(frame.group, pen);
    image.selectPen(rgbOf(settings.penColour), traceWidthOf(settings));
    TracePath path(image, settings.isDiscrete != 0 ? steps : TracePath::Steps::None);
    for (int k = 0; k < kPaneSlots; ++k) {
        double value = frame.buffer->values[pen][k];
        if (isMissingValue(value)) {
            path.breakLine();
            continue;
        }
        Point point = place(k, value);
        path.add(point.x, point.y);
        if (ends(k)) break;
    }
    image.selectPen(kBlack);
}

void drawPerpendicularTraces(DeviceContext& image, const PaneFrame& frame) {
    for (int pen = 0; pen < pensOfGroup(frame.group); ++pen) {
        const PenSettings& settings = liveConfiguration.pen(frame.group, pen);
        if (settings.enabled == 0 || settings.shown == 0) continue;
        updatePlotRange(frame.group, pen);
        PenMapping across(PenMapping::Direction::Across, 1, frame.group, pen);
        drawPaneTrace(
            image, frame, pen, TracePath::Steps::AtNewRow,
            [&](int k, double value) { return Point{across(value, 0), paneRow(frame, k)}; },
            [&](int k) { return rowsEnd(frame, paneRow(frame, k), 340, 601, 541); });
    }
}

// Every enabled pen, shown or not.
void drawHorizontalTraces(DeviceContext& image, const PaneFrame& frame) {
    for (int pen = 0; pen < pensOfGroup(frame.group); ++pen) {
        if (liveConfiguration.pen(frame.group, pen).enabled == 0) continue;
        updatePlotRange(frame.group, pen);
        PenMapping upwards(PenMapping::Direction::Upwards, 1, frame.group, pen);
        drawPaneTrace(
            image, frame, pen, TracePath::Steps::AtPreviousColumn,
            [&](int k, double value) { return Point{paneColumn(frame, k), upwards(value, 0)}; },
            [&](int k) { return pastPaneEnd(frame, paneColumn(frame, k)); });
    }
}

void drawLine(DeviceContext& image, int x1, int y1, int x2, int y2) {
    image.moveTo(x1, y1);
    image.lineTo(x2, y2);
}

}  // namespace

int playbackCursorInRange() {
    if (playbackCursor < 0 || playbackCursor >= kPaneSlots) playbackCursor = 0;
    return playbackCursor;
}

void drawPlaybackView(DeviceContext& image) {
    playbackCursorInRange();
    if (isHorizontal(graphLayout(liveConfiguration))) {
        if (dividedView != 0) drawPlaybackHorizontal(image, 1);
        drawPlaybackHorizontal(image, 0);
    } else {
        drawPlaybackPerpendicular(image, 0);
        if (dividedView != 0) drawPlaybackPerpendicular(image, 1);
    }
    if (displayMode == kPlaybackWithPanel) drawDigitalPanel(image, 1);
}

void drawPlaybackPerpendicular(DeviceContext& image, int pane) {
    PaneFrame frame = paneFrame(pane, GraphLayout::Perpendicular);
    bool secondOfTwo = frame.divided && frame.pane == 1;
    if (secondOfTwo) image.fillSolidRect(0, 340, 800, 260, kWhite);
    drawMinorGrid(image, frame.pane + 1);
    drawPerpendicularLabels(image, frame);
    drawPerpendicularCursor(image, frame);
    drawScalePerpendicular(image, 1);
    drawPerpendicularTraces(image, frame);
    if (secondOfTwo) {
        image.selectPen(kDarkGrey);
        drawLine(image, 0, 340, 800, 340);
        drawLine(image, 0, 341, 800, 341);
    }
}

void drawPlaybackHorizontal(DeviceContext& image, int pane) {
    GraphLayout layout = graphLayout(liveConfiguration);
    PaneFrame frame = paneFrame(pane, layout == GraphLayout::Rightward ? layout : GraphLayout::Leftward);
    bool leftward = frame.layout == GraphLayout::Leftward;
    bool firstOfTwo = frame.divided && frame.pane == 0;
    if (firstOfTwo) image.fillSolidRect(leftward ? 380 : 40, 40, 380, 440, kWhite);
    drawHorizontalLabels(image, frame);
    drawHorizontalCursor(image, frame);
    drawScaleHorizontal(image, 1);
    drawHorizontalTraces(image, frame);
    if (firstOfTwo) {
        image.selectPen(kDarkGrey);
        if (leftward) {
            drawLine(image, 380, 40, 380, 480);
        } else {
            drawLine(image, 420, 40, 420, 480);
            drawLine(image, 421, 40, 421, 480);
        }
    }
}

}  // namespace kvt
