#pragma once

namespace kvt {

// The recorder without a window or display (`kvt936p --headless`), after
// the same start-up as the window's: the parts the composition root hands
// it.
struct HeadlessParts {
    void (*startWorkers)();
    void (*stopWorkers)();
    // A command a worker thread posted for the window (WindowCommands.h),
    // done as the window does it, without drawing; its message boxes go to
    // the journal.
    void (*takeCommand)(int command);
};

// How long after a start that failed (no gateway, a node that does not
// answer) START is pressed again: nobody is there to press it.
constexpr int kStartRetryMs = 60000;

// Starts the workers, tells a service manager that waits (Type=notify)
// that the recorder is ready, presses START as a user would, then sleeps
// on the posted commands and the termination signals (TerminationSignals.h;
// catchTerminationSignals() first) until SIGTERM, SIGINT or SIGHUP comes.
// Then stops the workers, which write the rows and alarm records still
// queued, and returns exit code 0.
int runHeadlessRecorder(const HeadlessParts& parts);

}  // namespace kvt
