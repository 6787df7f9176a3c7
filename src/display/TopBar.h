#pragma once
#include "platform/DeviceContext.h"

namespace kvt {

// Everything the top bar shows, gathered once per redraw.
struct TopBarState {
    int language = 1;          // 1 English, 0 Japanese
    int operatingMode = 0;     // 0 demo, 1 high speed, 2 normal
    int graphDirection = 0;    // 0 perpendicular, else horizontal
    int currentGroup = 1;
    int storingCycle = 0;      // of the current group (groups 1-10)
    int selectedPen = 0;       // of the current group
    int displayMode = 0;
    bool dividedView = false;
    bool acquisitionRequested = false;
    bool acquisitionActive = false;
    bool blink = false;
    bool diskLow = false;
    bool writeFailing = false;    // a write outage has been reported and goes on
    bool groupRecording = false;  // the current group is inside a recording span

    bool operator==(const TopBarState&) const = default;
};

// The state from the live configuration, the run flags and the display state.
TopBarState currentTopBarState();

// Rows 0-39: grey face, title, group and cycle texts, the small and the
// command buttons (raised) with their captions, and the three lamps.
// Leaves the small 12 x 6 font selected.
void drawTopBar(DeviceContext& image, const TopBarState& state);

// The frame of a drawn button: white above and left, dark grey below and
// right when raised; the other way round when pressed.
void drawButtonFrame(DeviceContext& dc, int row, int index, bool pressed);

// Whether a small button's caption is drawn grey.
bool smallButtonDisabled(const TopBarState& state, int index);

}  // namespace kvt
