#pragma once

namespace kvt {

// The requests that enter, leave and arrange playback, carried out at the
// start of a redraw. Window thread only.

// "Retrieve": one pane, reloaded at the group's last viewed time (the
// present the first time), cursor 0; live 0 -> 1000, 1 -> 1001.
void enterPlayback();

// "Record": playback 1000 -> 0, 1001 -> 1. The panes keep their times.
void leavePlayback();

// "Current": pane 1 jumps back to the present at the next pane time step.
void requestCurrentTime();

// "Divide" / "Normal": on, pane 2 starts at pane 1's time and is loaded;
// off, nothing is reloaded.
void toggleDividedView();

// After ">>" or "<<" changed the group: playback shows the new group in
// one pane, reloaded.
void showChangedGroup();

}  // namespace kvt
