#pragma once
#include <sys/types.h>

#include <string>
#include <vector>

namespace kvt::test {

// What a program run by runProgram() did.
struct ProgramRun {
    int exitCode = -1;       // exit status, or 128 + signal
    bool timedOut = false;   // still running at the deadline (then killed)
    std::string out;         // standard output
    std::string err;         // standard error
};

// Runs `program` with `arguments` and exactly `environment` ("NAME=value"
// entries; a sanitizer build's settings are added), standard input from
// /dev/null, and waits at most `timeoutMs`.
ProgramRun runProgram(const std::string& program, const std::vector<std::string>& arguments,
                      const std::vector<std::string>& environment, int timeoutMs = 10000);

// Starts `program` with `arguments` and exactly `environment` (the same
// way), standard input from /dev/null and standard output and error
// appended to `outputPath`. Returns the child, or -1.
pid_t startProgram(const std::string& program, const std::vector<std::string>& arguments,
                   const std::vector<std::string>& environment, const std::string& outputPath);

// Waits at most `timeoutMs` for the child to end, killing it then; its
// exit status, or 128 + signal. `timedOut` (if given) tells whether it had
// to be killed.
int awaitExit(pid_t child, int timeoutMs, bool* timedOut = nullptr);

// The child's exit status (128 + signal when killed) once it ends within
// `timeoutMs`; -1 while it still runs, which it is left to do; -2 when it
// is no child to wait for (one reaped already).
int waitForExit(pid_t child, int timeoutMs);

// What the tests start the programs with: HOME and XDG_RUNTIME_DIR at
// `home`, the C locale, a plain PATH and nothing of the test's own
// environment (no DISPLAY, no toolkit platform).
std::vector<std::string> bareEnvironment(const std::string& home);

// The words as the null-ended pointer array exec and posix_spawn take; the
// pointers are good while `words` is.
std::vector<char*> argumentPointers(std::vector<std::string>& words);

// Paths of the programs built with the project (the node simulator's is
// NodeSimulatorProcess::programPath()).
std::string recorderProgram();
std::string simulatorSettingsProgram();

}  // namespace kvt::test
