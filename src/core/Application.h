#pragma once

namespace kvt {

// The whole program: single-instance check, start-up, the main window,
// shutdown. Returns the process exit code.
int runApplication(int argc, char** argv);

}  // namespace kvt
