#pragma once
#include "display/DisplayColours.h"
#include "platform/DeviceContext.h"

namespace kvt::icon {

// The program icon's face, laid out on a 32-unit grid: a grey square with a
// white chart in a black frame and a blue trace across it. ProgramIcon.cpp
// draws it in pixels, ProgramIconSvg.cpp writes it as a scalable picture.
constexpr int kGrid = 32;
constexpr Colour kBackground = kBarGrey;
constexpr Colour kChart = kWhite;
constexpr Colour kFrame = kBlack;
constexpr int kFrameWidth = 1;
constexpr int kChartMargin = 3;  // from every edge to the frame
constexpr Colour kTrace = rgb(0, 0, 255);
constexpr int kTraceWidth = 2;
constexpr Point kTracePoints[] = {{6, 22}, {11, 14}, {15, 18}, {20, 8}, {25, 12}, {27, 10}};

}  // namespace kvt::icon
