#pragma once

namespace kvt {

// The parts of the window commands that ask the user, on the window thread.

// True when the program may end: at once while no run is requested or
// active, else after OK on "Are you sure you want to exit program?".
bool confirmExit();

// Asks "Are you sure you want to stop?"; OK clears acquisitionRequested.
void askToStop();

// Failure reports of the acquisition thread: show the message, then clear
// startFailed so the next failure can be reported.
void reportSocketConnectError();
void reportNodeError();

// The reports worker threads post (1129, 1130, 1132, 1133), told by message
// box; with or without a window. False for any other command.
bool reportWorkerFailure(int command);

// Runs the settings menu for the group shown.
void openSettingsMenu();
// Runs the date and time dialog for the group shown (playback only); the
// pane jumps it asks for are made by the redraws.
void openDateTimeDialog();
// Runs the alarm history viewer (not in high-speed mode), then redraws.
void openAlarmHistory();

}  // namespace kvt
