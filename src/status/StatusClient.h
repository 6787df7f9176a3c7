#pragma once

namespace kvt {

// `kvt936p --status [--json]`: asks the running recorder through its status
// socket and prints the answer on standard output. Returns the exit code:
// 0 when a recorder answered, 3 when none runs (said on standard error), 1
// when one was found but gave no usable answer.
int printRecorderStatus(bool json);

constexpr int kExitNoRecorder = 3;

// Asks the running recorder to bring its window to the front (a second
// start, before it says that one runs). True when a window will come.
bool raiseRunningWindow();

}  // namespace kvt
