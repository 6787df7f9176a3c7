#pragma once
#include "display/GraphLayout.h"
#include "display/LiveSources.h"
#include "display/TimeLabels.h"

namespace kvt {

// Samples a live redraw copies first: rightward, labels of the 780 newest
// still show part of their text; every other label and every trace without
// a gap there stops sooner. A trace whose gap starts inside the graph and
// runs past them is copied on to the point its line joins.
constexpr int kSamplesShown = 800;

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

// The frame of the shown group as it is now: its samples copied out of the
// ring, newest first. While a frame is held (TrendGraph.h), that one.
LiveFrame liveFrame();
// The held frame, or null.
const LiveFrame* heldLiveFrame();
void endLiveFrameHold();

// Position of sample k along the time axis.
int timePosition(const LiveFrame& frame, int k);

// Whether the trace ends after the point of sample k. Rightward, the line
// into column 801 is the last one a thick pen can still reach column 799
// with; the older samples lie off the image.
bool pastTraceEnd(const LiveFrame& frame, int k);

// Whether sample k of the frame has a value for the pen.
bool hasValue(const LiveFrame& frame, int k, int pen);

// Whether the pen of the frame's group draws a trace: enabled and shown.
bool tracedPen(const LiveFrame& frame, int pen);

// The rows of the perpendicular time labels and their samples: from the
// newest sample on, each label time more than the spacing below the last
// label, down to row 610 (490 over the panel). Returns how many.
constexpr int kMostRowLabels = 32;
int rowLabelRows(const LiveFrame& frame, int (&rows)[kMostRowLabels], int (&samples)[kMostRowLabels]);

}  // namespace kvt
