#pragma once
#include <cstdint>

namespace kvt {

// Moving through recorded data: clicks that place the playback cursor,
// drags that scroll a pane in time, and jumps of a pane to a given time.
// Window thread only.

// Click and drag requests stored by the release handling. A click sets the
// cursor to code - 2000; a drag code carries the distance in pixels along
// the time axis (code - its base, 0 to 1599).
enum NavigationRequest : int {
    kRequestCursorClick = 2000,     // 2000-3599
    kRequestPaneOneLater = 4000,    // 4000-5599
    kRequestPaneOneEarlier = 6000,  // 6000-7599
    kRequestPaneTwoLater = 8000,    // 8000-9599
    kRequestPaneTwoEarlier = 10000, // 10000-11599
};
constexpr int kNavigationSpan = 1600;

// Whether the request is a click or a drag.
bool isNavigationRequest(int request);

// Carries out a click or drag: a drag moves the pane's reference time by
// the distance times the group's sample spacing, reloads the pane and
// moves a cursor that stands in that pane with its sample.
void navigate(int request);

// Seconds of pane time a drag of `pixels` moves: the pixels times the
// sample spacing, truncated toward zero (1/20 s per pixel in the
// high-speed group, 1/2 s at the 0.5 s cycle).
int64_t dragSeconds(int group, int pixels);

// Pane reference times that navigation keeps to: the years the recorder
// stamps its samples with, 2000-01-01 00:00:00 to 2099-12-31 23:59:59
// local time. Scrolling stops there.
int64_t heldToRecordedYears(int64_t referenceTime);

// Reloads each pane that has a time request pending at its requested time
// (0: the present) for the group shown, and clears the request.
void applyPaneTimeRequests();

}  // namespace kvt
