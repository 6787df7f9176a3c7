#include "support/XvfbSession.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <sstream>

#include "support/Eventually.h"
#include "support/ProgramRun.h"

namespace kvt::test {
namespace {

constexpr int kServerStartMs = 10000;
constexpr int kToolMs = 10000;  // one xdotool or screen grab run
constexpr int kPollMs = 50;
constexpr int kIntoPlace = 6;   // pixels into a control from its left edge

bool haveCommand(const char* name) {
    const char* path = std::getenv("PATH");
    std::string folders = path != nullptr ? path : "/usr/bin:/bin";
    size_t start = 0;
    while (start <= folders.size()) {
        size_t end = folders.find(':', start);
        if (end == std::string::npos) end = folders.size();
        if (access((folders.substr(start, end - start) + "/" + name).c_str(), X_OK) == 0) return true;
        start = end + 1;
    }
    return false;
}

// Starts a program found on PATH with its standard output on the write end
// of `channel` (a pipe opened close-on-exec) and its standard error discarded.
pid_t spawnInto(std::vector<std::string> arguments, std::vector<std::string> environment,
                const int (&channel)[2]) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, channel[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    std::vector<char*> argv = argumentPointers(arguments);
    std::vector<char*> envp = argumentPointers(environment);
    pid_t process = -1;
    if (posix_spawnp(&process, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0) {
        process = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    return process;
}

// Reads what a pipe delivers until it closes or `timeoutMs` passes.
std::string readPipe(int descriptor, int timeoutMs, bool untilNewline) {
    std::string text;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < deadline) {
        pollfd waiting{descriptor, POLLIN, 0};
        if (poll(&waiting, 1, kPollMs) <= 0) continue;
        char buffer[256];
        ssize_t count = read(descriptor, buffer, sizeof buffer);
        if (count <= 0) break;
        text.append(buffer, static_cast<size_t>(count));
        if (untilNewline && text.find('\n') != std::string::npos) break;
    }
    return text;
}

// Ends a child that still runs; one the test has reaped already is left
// alone (its number may belong to another process by now).
void endProcess(pid_t process) {
    if (process > 0 && waitpid(process, nullptr, WNOHANG) == 0) awaitExit(process, 0);
}

std::string firstWord(const std::string& text) {
    std::istringstream words(text);
    std::string word;
    words >> word;
    return word;
}

}  // namespace

XvfbSession::XvfbSession(int width, int height, const std::string& authFile) {
    if (!haveCommand("Xvfb") || !haveCommand("xdotool")) return;
    int channel[2];
    if (pipe2(channel, O_CLOEXEC) != 0) return;
    std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
    // The server writes the display number it took to its standard output.
    std::vector<std::string> arguments = {"Xvfb", "-displayfd", "1", "-screen", "0", screen,
                                          "-nolisten", "tcp", "-noreset"};
    if (!authFile.empty()) arguments.insert(arguments.end(), {"-auth", authFile});
    server_ = spawnInto(arguments, {"PATH=/usr/bin:/bin"}, channel);
    close(channel[1]);
    std::string number = readPipe(channel[0], kServerStartMs, true);
    close(channel[0]);
    number.erase(std::remove(number.begin(), number.end(), '\n'), number.end());
    if (server_ < 0 || number.empty()) return;
    display_ = ":" + number;
    ready_ = true;
}

XvfbSession::~XvfbSession() {
    for (pid_t process : launched_) endProcess(process);
    endProcess(server_);
}

pid_t XvfbSession::launchRecorder(const std::string& home) {
    return launch(recorderProgram(), {}, home);
}

pid_t XvfbSession::launch(const std::string& program, const std::vector<std::string>& arguments,
                          const std::string& home) {
    std::vector<std::string> environment = bareEnvironment(home);
    environment.push_back("DISPLAY=" + display_);
    pid_t process = startProgram(program, arguments, environment, programOutputPath(home));
    if (process > 0) launched_.push_back(process);
    return process;
}

void XvfbSession::stop(pid_t process) {
    auto found = std::find(launched_.begin(), launched_.end(), process);
    if (found == launched_.end()) return;
    launched_.erase(found);
    endProcess(process);
}

void XvfbSession::endServer() {
    if (server_ <= 0) return;
    kill(server_, SIGTERM);
    awaitExit(server_, kServerStartMs);
    server_ = -1;
}

// A bare environment: the test's own (QT_QPA_PLATFORM=offscreen among it)
// would keep the screen grabber off this display.
bool XvfbSession::run(std::vector<std::string> arguments, std::string* output) {
    int channel[2];
    if (pipe2(channel, O_CLOEXEC) != 0) return false;
    pid_t process = spawnInto(std::move(arguments), {"DISPLAY=" + display_, "PATH=/usr/bin:/bin"},
                              channel);
    close(channel[1]);
    std::string text = process > 0 ? readPipe(channel[0], kToolMs, false) : "";
    close(channel[0]);
    bool succeeded = process > 0 && awaitExit(process, kToolMs) == 0;
    if (output != nullptr) *output = succeeded ? text : "";
    return succeeded;
}

std::string XvfbSession::focusedWindow() {
    std::string output;
    run({"xdotool", "getwindowfocus", "-f"}, &output);
    return firstWord(output);
}

std::vector<std::string> XvfbSession::visibleWindows(const std::string& title) {
    std::string output;
    run({"xdotool", "search", "--onlyvisible", "--name", "^" + title + "$"}, &output);
    std::istringstream ids(output);
    std::vector<std::string> windows;
    for (std::string id; ids >> id;) windows.push_back(id);
    return windows;
}

bool XvfbSession::readGeometry(ScreenWindow& window) {
    std::string output;
    if (!run({"xdotool", "getwindowgeometry", "--shell", window.id}, &output)) return false;
    std::istringstream shell(output);
    for (std::string line; std::getline(shell, line);) {
        size_t equals = line.find('=');
        if (equals == std::string::npos) continue;
        int value = std::atoi(line.c_str() + equals + 1);
        std::string name = line.substr(0, equals);
        if (name == "X") window.x = value;
        if (name == "Y") window.y = value;
        if (name == "WIDTH") window.width = value;
        if (name == "HEIGHT") window.height = value;
    }
    return window.width > 0 && window.height > 0;
}

bool XvfbSession::waitForWindow(const std::string& title, ScreenWindow& window, int timeoutMs) {
    return eventually(
        [&] {
            std::vector<std::string> shown = visibleWindows(title);
            if (shown.empty()) return false;
            window = ScreenWindow{shown.front(), title};
            return readGeometry(window);
        },
        timeoutMs);
}

bool XvfbSession::waitForDialog(const std::string& title, ScreenWindow& window,
                                const ScreenWindow& besides, int timeoutMs) {
    return eventually(
        [&] {
            std::string focused = focusedWindow();
            if (focused == besides.id) return false;
            std::vector<std::string> shown = visibleWindows(title);
            if (std::find(shown.begin(), shown.end(), focused) == shown.end()) return false;
            window = ScreenWindow{focused, title};
            return readGeometry(window);
        },
        timeoutMs);
}

bool XvfbSession::waitForGone(const ScreenWindow& window, int timeoutMs) {
    return eventually(
        [&] {
            std::vector<std::string> shown = visibleWindows(window.title);
            return std::find(shown.begin(), shown.end(), window.id) == shown.end();
        },
        timeoutMs);
}

bool XvfbSession::click(const ScreenWindow& window, int x, int y) {
    return run({"xdotool", "mousemove", std::to_string(window.x + x), std::to_string(window.y + y),
                "click", "1"});
}

bool XvfbSession::clickControl(const ScreenWindow& dialog, const DialogTemplate& layout, int id) {
    for (const ControlTemplate& control : layout.controls) {
        if (control.id != id) continue;
        return click(dialog, dialogUnitsToPixelsX(control.place.x) + kIntoPlace,
                     dialogUnitsToPixelsY(control.place.y) +
                         dialogUnitsToPixelsY(control.place.height) / 2);
    }
    return false;
}

// Keys go to the focused widget, as the user's keyboard does; the click
// gave the edit the focus.
bool XvfbSession::typeInto(const ScreenWindow& dialog, const DialogTemplate& layout, int id,
                           const std::string& text) {
    return clickControl(dialog, layout, id) && key("ctrl+a") &&
           run({"xdotool", "type", "--delay", "20", text});
}

bool XvfbSession::key(const char* name) { return run({"xdotool", "key", name}); }

QImage XvfbSession::grab(const std::string& scratchFolder) {
    std::string path = scratchFolder + "/screen.png";
    std::string grabber = std::string(KVT_BINARY_DIR) + "/tools/screengrab/kvt-screengrab";
    if (!run({grabber, path})) return QImage();
    return QImage(QString::fromStdString(path));
}

}  // namespace kvt::test
