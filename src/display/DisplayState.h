#pragma once

namespace kvt {

// What the main window shows.
enum DisplayMode : int {
    kLiveTrend = 0,
    kLiveWithPanel = 1,
    kPlaybackTrend = 1000,
    kPlaybackWithPanel = 1001,
};

// Requests stored by a press and carried out at the start of the next redraw.
enum UiRequest : int {
    kNoRequest = 0,
    kRequestNextGroup = 1,
    kRequestPreviousGroup = 2,
    kRequestNextPen = 3,
    kRequestPreviousPen = 4,
    kRequestSaveImage = 5,
    kRequestRetrieve = 11,
    kRequestDigital = 12,
    kRequestStartStop = 13,
    kRequestRecord = 101,
    kRequestRealValue = 102,
    kRequestCurrent = 103,
    kRequestDivide = 104,
};

// Display state, read and written on the window thread only.
extern int displayMode;
extern int pendingUiRequest;  // one slot; 0 = none
extern int dividedView;       // playback shows two panes
extern int dragAnchorX;       // image coordinates of the last press in playback
extern int dragAnchorY;

inline bool isPlaybackMode(int mode) {
    return mode == kPlaybackTrend || mode == kPlaybackWithPanel;
}
inline bool isPanelShown(int mode) { return mode == kLiveWithPanel || mode == kPlaybackWithPanel; }

// Start-up values: live trend, with the panel when the graph runs
// horizontally; no request, one pane.
void initialiseDisplayState();

}  // namespace kvt
