#pragma once

namespace kvt {

// The recorder takes all its settings from the settings file; its command
// line answers --help and --version, asks a running recorder with --status
// (--json for JSON), starts measuring at once with --start, records without
// a window or display with --headless (measuring from the start), and passes the
// GUI toolkit's own options (such as -platform offscreen or -style fusion)
// through to it. Anything else is a usage error.
enum class CommandLineRequest { Run, Help, Version, Status, UsageError };

struct CommandLine {
    CommandLineRequest request = CommandLineRequest::Run;
    // Run: press START once the window is up.
    bool startMeasuring = false;
    // Run: no window and no display; measures from the start.
    bool headless = false;
    // Status: as JSON.
    bool json = false;
    // What the usage error is about ("unknown option: --x" and so on).
    char error[160] = {};
    // The toolkit's -platform and -display values, or null.
    const char* platform = nullptr;
    const char* display = nullptr;
};

// Reads the arguments after the program name, in order; the first --help,
// --version or error decides. Our options take any number of leading
// dashes; toolkit options take one or two dashes (as the toolkit does),
// their values as the next argument or after '='.
CommandLine readCommandLine(int argc, const char* const* argv);

// Prints the help text or the version on standard output, or the error and
// the usage line on standard error. Returns the exit code: 0, or 2 for a
// usage error.
int answerCommandLine(const CommandLine& commandLine);

constexpr int kExitUsageError = 2;

}  // namespace kvt
