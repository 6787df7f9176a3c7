#pragma once
#include <memory>

class QApplication;

namespace kvt {

class InstanceLock;

// Exit codes of the program.
constexpr int kExitNormal = 0;
constexpr int kExitAlreadyRunning = 1;
constexpr int kExitNoDisplay = 1;
constexpr int kExitNoHome = 4;  // HOME unset or unusable: said in one line on standard error
// A usage error on the command line also ends with 2 (kExitUsageError).

// The whole program: the command line (--help, --version and usage errors
// answered without a display, see CommandLine.h), the home folder check,
// then the recorder with its window (display check, toolkit, main window)
// or without one (--headless: no display, no toolkit), each through the
// same start-up and shutdown, until the window's exit command or a
// termination signal (SIGTERM, SIGINT, SIGHUP). Returns the process exit
// code.
int runApplication(int argc, char** argv);

// The toolkit's application object. The toolkit sets the whole process
// locale from the environment; the numeric part goes back to "C" at once so
// that no number the program writes or reads gets a decimal comma. `argc`
// must outlive the object.
std::unique_ptr<QApplication> makeApplication(int& argc, char** argv);

// Start-up up to the main window (or the headless recorder), in order:
// the single-instance lock in the data folder (held by another instance:
// what tellAlreadyRunning() says, and kExitAlreadyRunning, nothing but the
// data folder touched; no lock file to be had: a note on standard error,
// and start-up goes on without the guard), socket support, the language
// flag, the fonts (with a window only: they need the GUI toolkit running),
// then the settings, run-time state, disk probe and storage cleanup.
// Returns kExitNormal when the recorder may run. The lock stays owned by
// `lock` until the process ends; its note says `windowless`.
int startUp(InstanceLock& lock, bool windowless = false);

// The two halves of startUp, for a run that starts its journal between them.
int takeInstanceLock(InstanceLock& lock, bool windowless);
void prepareStart(bool windowless);

}  // namespace kvt
